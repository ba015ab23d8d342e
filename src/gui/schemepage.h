#pragma once
// The "Scheme" page: paints the scheme through a back buffer and reports the pointer.
#include <QImage>
#include <QWidget>

namespace qv {
class Workbench;
}

namespace qv::gui {

class SchemePage : public QWidget {
    Q_OBJECT
  public:
    explicit SchemePage(Workbench& workbench, QWidget* parent = nullptr);

  signals:
    /// The pointer's logical position as the status bar shows it.
    void pointerText(const QString& text);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

  private:
    Workbench& workbench_;
    QImage buffer_;
};

} // namespace qv::gui
