#pragma once
// A drawing page: paints its document through a back buffer and turns mouse, wheel and key
// events into calls on the page's editor. The editor draws its feedback (marks, rubber bands)
// in inverting mode straight onto the buffer, as the objects expect.
#include <QImage>
#include <QWidget>

#include "app/editor.h"

class QPainter;

namespace qv {
class Workbench;
}

namespace qv::gui {

class DrawingArea : public QWidget {
    Q_OBJECT
  public:
    DrawingArea(Workbench& workbench, Editor& editor, QWidget* parent = nullptr);
    Editor& editor() { return editor_; }
    /// Paints the whole page again on the next paint event.
    void refresh();
    /// Scrolls by one step of the arrow keys.
    void scrollBy(EditorKey key);

  signals:
    /// The pointer's logical position as the status bar shows it.
    void pointerText(const QString& text);
    /// The editor asked for a pop-up menu at `globalPos`.
    void popupRequested(QPoint globalPos, const qv::Editor::Popup& popup);
    /// An action may have changed a document (caption, undo entries follow).
    void edited();
    /// Ctrl+wheel: +1 zooms in one step, -1 out.
    void zoomStep(int direction);

  protected:
    /// Paints the document on the whole buffer.
    virtual void paintDocument(QPainter& painter) = 0;
    /// Sets the page's logical mapping on `painter`.
    virtual void setMapping(QPainter& painter) = 0;

    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

    Workbench& workbench_;

  private:
    /// Runs `f` with a canvas on the buffer in logical coordinates, then shows the outcome.
    template <class F> void withCanvas(F f);
    void afterEvent();

    Editor& editor_;
    QImage buffer_;
    bool dirty_ = true;
    bool panning_ = false;
    QPoint panFrom_;
};

} // namespace qv::gui
