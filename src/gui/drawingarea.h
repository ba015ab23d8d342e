#pragma once
// A drawing page: paints its document through a back buffer and turns mouse, wheel and key
// events into calls on the page's editor. The page's document keeps the page's canvas, so what
// the objects draw themselves (the editor's feedback in inverting mode, a label's upkeep, a
// loop shown while its dialog is open) goes straight onto the buffer and shows.
#include <QImage>
#include <QWidget>

#include "app/editor.h"
#include "platform/canvas.h"

class QPainter;

namespace qv {
class Workbench;
enum class Page;
} // namespace qv

namespace qv::gui {

class DrawingArea;

/// The canvas of one page. During the page's own events it draws through the event's painter;
/// at any other time each drawing call paints onto the back buffer and asks the page to show
/// it, which a modal dialog's event loop does too. Nothing is drawn while the buffer waits for
/// a whole repaint: that repaint shows the outcome.
class PageCanvas : public Canvas {
  public:
    explicit PageCanvas(DrawingArea& page) : page_(page) {}
    /// Draws through `painter` (null: nowhere) until `release`, from the default pen and brush.
    void hold(QPainter* painter);
    void release();

    void line(Point a, Point b) override;
    void ellipse(int32_t left, int32_t top, int32_t right, int32_t bottom) override;
    void arc(int32_t left, int32_t top, int32_t right, int32_t bottom, Point start, Point end) override;
    void polyline(const std::vector<Point>& points) override;
    void polygon(const std::vector<Point>& points) override;
    void text(Point at, const QString& text, const FontRec& font, int escapement) override;
    void pixel(Point at, Colour color) override;
    void pixels(const std::vector<Point>& points, Colour color) override;
    void fillRect(const Rect& r, Colour color) override;
    /// Paints the page whole again.
    void refresh() override;

  private:
    void restart();
    template <class F> void draw(F f);
    DrawingArea& page_;
    bool held_ = false;
};

class DrawingArea : public QWidget {
    Q_OBJECT
  public:
    DrawingArea(Workbench& workbench, Editor& editor, QWidget* parent = nullptr);
    ~DrawingArea() override;
    Editor& editor() { return editor_; }
    /// The canvas the page's document draws on outside a repaint.
    PageCanvas& canvas() { return canvas_; }
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
    friend class PageCanvas;
    /// Runs `f` with the page's canvas drawing on the buffer, then shows the outcome.
    template <class F> void withCanvas(F f);
    void afterEvent();
    /// Opens `painter` on the buffer in logical coordinates; false while there is no picture
    /// to draw on (not painted yet, resized, waiting for a whole repaint, being painted).
    bool beginOnBuffer(QPainter& painter);
    Page page() const;

    Editor& editor_;
    PageCanvas canvas_{*this};
    QImage buffer_;
    bool dirty_ = true;
    bool panning_ = false;
    QPoint panFrom_;
};

} // namespace qv::gui
