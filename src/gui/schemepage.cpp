#include "schemepage.h"

#include <QMouseEvent>
#include <QPainter>
#include <cmath>

#include "app/workbench.h"

namespace qv::gui {

SchemePage::SchemePage(Workbench& workbench, QWidget* parent) : QWidget(parent), workbench_(workbench) {
    setMouseTracking(true);
    // The back buffer covers every pixel; no need for Qt to clear first.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void SchemePage::paintEvent(QPaintEvent*) {
    if (buffer_.size() != size()) buffer_ = QImage(size(), QImage::Format_RGB32);
    if (buffer_.isNull()) return;
    {
        QPainter p(&buffer_);
        workbench_.paintScheme(p, size());
    }
    QPainter(this).drawImage(0, 0, buffer_);
}

void SchemePage::mouseMoveEvent(QMouseEvent* event) {
    // Device to logical as the page paints: scroll origin plus pixels over the zoom, rounded
    // to the nearest (halves to even, the default rounding mode).
    double z = double(workbench_.zoom) > 0 ? double(workbench_.zoom) : 1.0;
    QPointF d = event->position();
    long x = std::lrint(workbench_.scrollX + d.x() / z);
    long y = std::lrint(workbench_.scrollY + d.y() / z);
    emit pointerText(QStringLiteral("Pos: %1,%2").arg(x).arg(y));
}

} // namespace qv::gui
