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

VectorCanvas::VectorCanvas(Workbench& workbench, QWidget* parent)
    : DrawingArea(workbench, workbench.vectorEditor(), parent) {
    setAccessibleName(tr("Vector diagram drawing"));
}

void VectorCanvas::resizeEvent(QResizeEvent* event) {
    // The diagram's origin starts in the middle of the page as first shown: until the first
    // paint the page may still be resized by the window's layout (a hidden tab, a first small
    // size), and centring on that size would leave the origin near a corner.
    if (!centred_ && !event->size().isEmpty()) {
        QScreen* s = screen();
        double dpiX = s ? s->physicalDotsPerInchX() : 96.0, dpiY = s ? s->physicalDotsPerInchY() : 96.0;
        workbench_.centreVectorPage(event->size(), dpiX / 2.54, dpiY / 2.54);
    }
    DrawingArea::resizeEvent(event);
}

void VectorCanvas::paintDocument(QPainter& painter) {
    centred_ = true;
    workbench_.paintVector(painter, size(), logicalDpiX(), logicalDpiY());
}

void VectorCanvas::setMapping(QPainter& painter) {
    workbench_.setVectorMapping(painter, logicalDpiX(), logicalDpiY());
}

VectorPage::VectorPage(Workbench& workbench, QWidget* parent) : QWidget(parent) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    canvas_ = new VectorCanvas(workbench, this);
    layers_ = new LayerList(LayerList::vectorLayerNames(), this);
    layers_->setObjectName(QStringLiteral("vectorLayers"));
    layers_->setMaximumWidth(150);
    layout->addWidget(canvas_, 1);
    layout->addWidget(layers_);
    connect(layers_, &LayerList::ticksChanged, this, [this, &workbench](const std::vector<bool>& ticks) {
        workbench.setLayerTicks(Page::Vector, ticks);
        canvas_->refresh();
    });
}

} // namespace qv::gui
