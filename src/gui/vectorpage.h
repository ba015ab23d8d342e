#pragma once
// The "Vector diagram" page: the drawing of the vector document and its layer box.
#include <QWidget>

#include "drawingarea.h"

namespace qv {
class Workbench;
}

namespace qv::gui {

class LayerList;

/// The drawing area: one logical unit is a tenth of a millimetre on the screen.
class VectorCanvas : public DrawingArea {
    Q_OBJECT
  public:
    explicit VectorCanvas(Workbench& workbench, QWidget* parent = nullptr);

  protected:
    void paintDocument(QPainter& painter) override;
    void setMapping(QPainter& painter) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    bool centred_ = false;
};

class VectorPage : public QWidget {
    Q_OBJECT
  public:
    explicit VectorPage(Workbench& workbench, QWidget* parent = nullptr);
    VectorCanvas* canvas() const { return canvas_; }
    LayerList* layers() const { return layers_; }

  private:
    VectorCanvas* canvas_;
    LayerList* layers_;
};

} // namespace qv::gui
