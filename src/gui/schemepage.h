#pragma once
// The "Scheme" page: the drawing area of the scheme.
#include "drawingarea.h"

namespace qv::gui {

class SchemePage : public DrawingArea {
    Q_OBJECT
  public:
    explicit SchemePage(Workbench& workbench, QWidget* parent = nullptr);

  protected:
    void paintDocument(QPainter& painter) override;
    void setMapping(QPainter& painter) override;
};

} // namespace qv::gui
