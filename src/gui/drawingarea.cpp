#include "drawingarea.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>
#include <QWheelEvent>

#include "app/workbench.h"
#include "platform/canvas.h"

namespace qv::gui {

// ---- PageCanvas ----

void PageCanvas::restart() {
    setPen(Pen{});
    setBrush(Brush{});
    setFont(FontRec{});
}

void PageCanvas::hold(QPainter* painter) {
    held_ = true;
    setPainter(painter);
    restart(); // each event starts from the defaults, as on a fresh canvas
}

void PageCanvas::release() {
    setPainter(nullptr);
    restart();
    held_ = false;
}

template <class F> void PageCanvas::draw(F f) {
    if (held_) {
        f();
        page_.update(); // a dialog the event opens may keep the event from ending for a while
        return;
    }
    QPainter painter;
    if (!page_.beginOnBuffer(painter)) return;
    setPainter(&painter);
    f();
    setPainter(nullptr);
    painter.end();
    page_.update();
}

void PageCanvas::line(Point a, Point b) {
    draw([&] { Canvas::line(a, b); });
}
void PageCanvas::ellipse(int32_t l, int32_t t, int32_t r, int32_t b) {
    draw([&] { Canvas::ellipse(l, t, r, b); });
}
void PageCanvas::arc(int32_t l, int32_t t, int32_t r, int32_t b, Point start, Point end) {
    draw([&] { Canvas::arc(l, t, r, b, start, end); });
}
void PageCanvas::polyline(const std::vector<Point>& points) {
    draw([&] { Canvas::polyline(points); });
}
void PageCanvas::polygon(const std::vector<Point>& points) {
    draw([&] { Canvas::polygon(points); });
}
void PageCanvas::text(Point at, const QString& s, const FontRec& font, int escapement) {
    draw([&] { Canvas::text(at, s, font, escapement); });
}
void PageCanvas::pixel(Point at, Colour color) {
    draw([&] { Canvas::pixel(at, color); });
}
void PageCanvas::pixels(const std::vector<Point>& points, Colour color) {
    draw([&] { Canvas::pixels(points, color); });
}
void PageCanvas::fillRect(const Rect& r, Colour color) {
    draw([&] { Canvas::fillRect(r, color); });
}

void PageCanvas::refresh() {
    page_.refresh();
}

// ---- DrawingArea ----

DrawingArea::DrawingArea(Workbench& workbench, Editor& editor, QWidget* parent)
    : QWidget(parent), workbench_(workbench), editor_(editor) {
    setMouseTracking(true);
    setFocusPolicy(Qt::ClickFocus);
    // The back buffer covers every pixel; no need for Qt to clear first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    workbench_.setPageCanvas(page(), &canvas_);
}

DrawingArea::~DrawingArea() {
    // The documents outlive the page: they must not keep its canvas.
    if (workbench_.pageCanvas(page()) == &canvas_) workbench_.setPageCanvas(page(), nullptr);
}

Page DrawingArea::page() const {
    return editor_.kind() == Editor::Kind::Scheme ? Page::Scheme : Page::Vector;
}

bool DrawingArea::beginOnBuffer(QPainter& painter) {
    if (buffer_.isNull() || buffer_.size() != size() || dirty_ || buffer_.paintingActive()) return false;
    if (!painter.begin(&buffer_)) return false;
    setMapping(painter);
    return true;
}

void DrawingArea::refresh() {
    dirty_ = true;
    update();
}

void DrawingArea::paintEvent(QPaintEvent*) {
    // While an event's painter is on the buffer (a dialog opened by a click runs its own event
    // loop), the buffer is shown as it stands; a new size or a whole repaint waits.
    if (!buffer_.paintingActive()) {
        if (buffer_.size() != size()) {
            buffer_ = QImage(size(), QImage::Format_RGB32);
            dirty_ = true;
        }
        if (!buffer_.isNull() && dirty_) {
            dirty_ = false;
            QPainter p(&buffer_);
            paintDocument(p);
        }
    }
    if (buffer_.isNull()) return;
    QPainter(this).drawImage(0, 0, buffer_);
}

template <class F> void DrawingArea::withCanvas(F f) {
    editor_.setPixelsPerInch(logicalDpiX(), logicalDpiY());
    // One painter for the whole event; without a picture to draw feedback on yet, the next
    // paint shows the result.
    QPainter painter;
    const bool onBuffer = beginOnBuffer(painter);
    canvas_.hold(onBuffer ? &painter : nullptr);
    f(canvas_);
    canvas_.release();
    if (onBuffer)
        painter.end();
    else
        dirty_ = true;
    afterEvent();
}

void DrawingArea::afterEvent() {
    if (editor_.takeRepaint()) dirty_ = true;
    update();
}

void DrawingArea::mousePressEvent(QMouseEvent* event) {
    setFocus(Qt::MouseFocusReason);
    if (event->button() == Qt::MiddleButton) {
        panning_ = true;
        panFrom_ = event->position().toPoint();
        return;
    }
    QPointF d = event->position();
    Point p = editor_.deviceToLogical(d.x(), d.y());
    MouseButton b = event->button() == Qt::RightButton ? MouseButton::Right : MouseButton::Left;
    withCanvas([&](Canvas& c) { editor_.mouseDown(p, b, &c); });
    emit edited();
    Editor::Popup popup = editor_.takePopup();
    if (popup.show) emit popupRequested(event->globalPosition().toPoint(), popup);
}

void DrawingArea::mouseMoveEvent(QMouseEvent* event) {
    if (panning_) {
        QPoint now = event->position().toPoint();
        QPoint delta = now - panFrom_;
        double u = editor_.unitsPerPixel();
        int32_t& sx = editor_.kind() == Editor::Kind::Scheme ? workbench_.scrollX : workbench_.vdScrollX;
        int32_t& sy = editor_.kind() == Editor::Kind::Scheme ? workbench_.scrollY : workbench_.vdScrollY;
        int dx = int(delta.x() * u), dy = int(delta.y() * u);
        if (dx || dy) {
            sx -= dx;
            sy -= dy;
            panFrom_ = now;
            refresh();
        }
        return;
    }
    QPointF d = event->position();
    Point p = editor_.deviceToLogical(d.x(), d.y());
    withCanvas([&](Canvas& c) { editor_.mouseMove(p, &c); });
    emit pointerText(editor_.statusText());
    const QString hint = editor_.hint();
    if (hint.isEmpty())
        QToolTip::hideText();
    else
        QToolTip::showText(event->globalPosition().toPoint(), hint, this);
}

void DrawingArea::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::MiddleButton) {
        panning_ = false;
        return;
    }
    QPointF d = event->position();
    Point p = editor_.deviceToLogical(d.x(), d.y());
    withCanvas([&](Canvas& c) {
        editor_.mouseUp(p, &c);
        if (event->button() == Qt::LeftButton) editor_.click(&c);
    });
    emit edited();
}

void DrawingArea::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    withCanvas([&](Canvas& c) { editor_.doubleClick(&c); });
    emit edited();
}

void DrawingArea::wheelEvent(QWheelEvent* event) {
    int steps = event->angleDelta().y() / 120;
    if (steps == 0) return;
    if (event->modifiers() & Qt::ControlModifier) {
        emit zoomStep(steps > 0 ? 1 : -1);
    } else {
        EditorKey k = (event->modifiers() & Qt::ShiftModifier)
                          ? (steps > 0 ? EditorKey::Left : EditorKey::Right)
                          : (steps > 0 ? EditorKey::Up : EditorKey::Down);
        scrollBy(k);
    }
    event->accept();
}

void DrawingArea::scrollBy(EditorKey key) {
    withCanvas([&](Canvas& c) { editor_.key(key, &c); });
}

void DrawingArea::keyPressEvent(QKeyEvent* event) {
    EditorKey k;
    switch (event->key()) {
    case Qt::Key_Left:
        k = EditorKey::Left;
        break;
    case Qt::Key_Right:
        k = EditorKey::Right;
        break;
    case Qt::Key_Up:
        k = EditorKey::Up;
        break;
    case Qt::Key_Down:
        k = EditorKey::Down;
        break;
    case Qt::Key_Escape:
        k = EditorKey::Escape;
        break;
    case Qt::Key_Delete:
        k = EditorKey::Delete;
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    bool handled = false;
    withCanvas([&](Canvas& c) { handled = editor_.key(k, &c); });
    emit edited();
    if (!handled) QWidget::keyPressEvent(event);
}

} // namespace qv::gui
