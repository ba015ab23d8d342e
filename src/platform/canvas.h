#pragma once
// The drawing surface objects draw on: the current pen, brush and font that `Draw` uses and
// `Paint` swaps, and the drawing calls, carried out by a QPainter. The calls are virtual so
// that a test can record what an object draws.
#include <QColor>
#include <QString>
#include <memory>
#include <vector>

#include "platform/types.h"

class QPainter;
class QFont;
class QFontMetrics;

namespace qv {

/// The pen mode that interactive feedback uses: drawing twice restores the picture.
constexpr uint8_t kInvertMode = pmNotXor;

class Canvas {
  public:
    /// A canvas without a painter keeps state and draws nothing.
    explicit Canvas(QPainter* painter = nullptr);
    virtual ~Canvas();

    const Pen& pen() const { return pen_; }
    void setPen(const Pen& pen);
    void setPenMode(uint8_t mode);
    void setPenWidth(int32_t width);
    void setPenStyle(uint8_t style);
    const Brush& brush() const { return brush_; }
    void setBrush(const Brush& brush);
    const FontRec& font() const { return font_; }
    void setFont(const FontRec& font) { font_ = font; }

    virtual void line(Point a, Point b);
    /// Ellipse inside the box (left, top)-(right, bottom), outline with the pen, filled with the brush.
    virtual void ellipse(int32_t left, int32_t top, int32_t right, int32_t bottom);
    /// Elliptic arc of the ellipse in the box, counter-clockwise (on screen) from the ray
    /// through `start` to the ray through `end`.
    virtual void arc(int32_t left, int32_t top, int32_t right, int32_t bottom, Point start, Point end);
    virtual void polyline(const std::vector<Point>& points);
    /// Closed polygon: outline with the pen, interior with the brush.
    virtual void polygon(const std::vector<Point>& points);
    /// Text with its cell's top-left corner at `at`, in `font`, rotated by `escapement`
    /// tenths of a degree counter-clockwise.
    virtual void text(Point at, const QString& text, const FontRec& font, int escapement);
    /// One pixel in the given colour (the pen is not used).
    virtual void pixel(Point at, Colour color);
    /// Many single pixels in one colour (the grid).
    virtual void pixels(const std::vector<Point>& points, Colour color);
    virtual void fillRect(const Rect& r, Colour color);

    /// What was drawn on this canvas is out of date: a surface that can paints it whole again
    /// (a page's canvas); others ignore it.
    virtual void refresh() {}

    /// Width and height of the text cell in logical units.
    virtual void textExtent(const QString& text, const FontRec& font, int32_t& width, int32_t& height) const;

    QPainter* painter() const { return painter_; }

    static QFont toQFont(const FontRec& font);

  protected:
    /// Draws through `painter` from now on (null: draws nothing), with the current pen and brush.
    void setPainter(QPainter* painter);

  private:
    void applyPen();
    void applyBrush();
    /// The metrics textExtent measured with last, and their font: a drawing measures its
    /// labels in a few fonts, one after another.
    mutable std::unique_ptr<QFontMetrics> extentMetrics_;
    mutable FontRec extentFont_;
    QPainter* painter_;
    Pen pen_;
    Brush brush_;
    FontRec font_;
};

/// Saves the pen's width, mode and style and restores them when it goes out of scope.
class PenStateGuard {
  public:
    explicit PenStateGuard(Canvas* c) : c_(c) {
        if (c_) saved_ = c_->pen();
    }
    ~PenStateGuard() {
        if (!c_) return;
        Pen p = c_->pen();
        p.width = saved_.width;
        p.mode = saved_.mode;
        p.style = saved_.style;
        c_->setPen(p);
    }
    PenStateGuard(const PenStateGuard&) = delete;
    PenStateGuard& operator=(const PenStateGuard&) = delete;

  private:
    Canvas* c_;
    Pen saved_;
};

QColor toQColor(Colour c);

} // namespace qv
