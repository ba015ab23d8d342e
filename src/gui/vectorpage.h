#pragma once
// The "Vector diagram" page: the drawing of the vector document and its layer box.
#include <QWidget>

namespace qv {
class Workbench;
}

namespace qv::gui {

class LayerList;

/// The drawing area: one logical unit is a tenth of a millimetre on the screen.
class VectorCanvas : public QWidget {
    Q_OBJECT
  public:
    explicit VectorCanvas(Workbench& workbench, QWidget* parent = nullptr);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    Workbench& workbench_;
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
