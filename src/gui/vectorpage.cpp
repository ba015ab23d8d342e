#include "vectorpage.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QResizeEvent>
#include <QScreen>
#include <cmath>

#include "app/workbench.h"
#include "layerlist.h"
#include "platform/canvas.h"

namespace qv::gui {

VectorCanvas::VectorCanvas(Workbench& workbench, QWidget* parent) : QWidget(parent), workbench_(workbench) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void VectorCanvas::resizeEvent(QResizeEvent* event) {
    // The diagram's origin starts in the middle of the page as first laid out.
    if (!centred_ && !event->size().isEmpty()) {
        centred_ = true;
        QScreen* s = screen();
        double dpiX = s ? s->physicalDotsPerInchX() : 96.0, dpiY = s ? s->physicalDotsPerInchY() : 96.0;
        workbench_.centreVectorPage(event->size(), dpiX / 2.54, dpiY / 2.54);
    }
    QWidget::resizeEvent(event);
}

void VectorCanvas::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    // Window extent 1000 / c over a viewport extent of 10 pixels, c in logical pixels per cm.
    long cx = std::lround(logicalDpiX() / 2.54), cy = std::lround(logicalDpiY() / 2.54);
    long ex = std::lround(1000.0 / double(cx > 0 ? cx : 38)),
         ey = std::lround(1000.0 / double(cy > 0 ? cy : 38));
    p.scale(10.0 / double(ex), 10.0 / double(ey));
    p.translate(-workbench_.vdScrollX, -workbench_.vdScrollY);
    Canvas canvas(&p);
    workbench_.vectorDoc().paint(&canvas);
}

VectorPage::VectorPage(Workbench& workbench, QWidget* parent) : QWidget(parent) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    canvas_ = new VectorCanvas(workbench, this);
    layers_ = new LayerList(this);
    layers_->setObjectName(QStringLiteral("vectorLayers"));
    layers_->setMaximumWidth(150);
    layout->addWidget(canvas_, 1);
    layout->addWidget(layers_);
    connect(layers_, &LayerList::ticksChanged, this, [this, &workbench](const std::vector<bool>& ticks) {
        workbench.vectorDoc().syncLayerVisibility(ticks);
        canvas_->update();
    });
}

} // namespace qv::gui
