#include "platform/canvas.h"

#include <algorithm>

#include <map>

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>
#include <QPolygon>
#include <cmath>

#include "platform/fonts.h"

namespace qv {

QColor toQColor(Colour c) {
    return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
}

Canvas::Canvas(QPainter* painter) : painter_(painter) {
    applyPen();
    applyBrush();
}

void Canvas::setPainter(QPainter* painter) {
    painter_ = painter;
    applyPen();
    applyBrush();
}

void Canvas::setPen(const Pen& pen) {
    pen_ = pen;
    applyPen();
}
void Canvas::setPenMode(uint8_t mode) {
    pen_.mode = mode;
    applyPen();
}
void Canvas::setPenWidth(int32_t width) {
    pen_.width = width;
    applyPen();
}
void Canvas::setPenStyle(uint8_t style) {
    pen_.style = style;
    applyPen();
}
void Canvas::setBrush(const Brush& brush) {
    brush_ = brush;
    applyBrush();
}

static QPainter::CompositionMode compositionFor(uint8_t mode) {
    switch (mode) {
    case pmNot:
        return QPainter::RasterOp_NotDestination;
    case pmNotCopy:
        return QPainter::RasterOp_NotSource;
    case pmXor:
        return QPainter::RasterOp_SourceXorDestination;
    case pmNotXor:
        return QPainter::RasterOp_NotSourceXorDestination;
    case pmMask:
        return QPainter::RasterOp_SourceAndDestination;
    case pmMerge:
        return QPainter::RasterOp_SourceOrDestination;
    case pmNotMask:
        return QPainter::RasterOp_NotSourceOrNotDestination;
    case pmNotMerge:
        return QPainter::RasterOp_NotSourceAndNotDestination;
    case pmMaskPenNot:
        return QPainter::RasterOp_SourceAndNotDestination;
    case pmMaskNotPen:
        return QPainter::RasterOp_NotSourceAndDestination;
    case pmMergeNotPen:
        return QPainter::RasterOp_NotSourceOrDestination;
    case pmMergePenNot:
        return QPainter::RasterOp_SourceOrNotDestination;
    default:
        return QPainter::CompositionMode_SourceOver;
    }
}

void Canvas::applyPen() {
    if (!painter_) return;
    QColor color = toQColor(pen_.color);
    if (pen_.mode == pmBlack) color = Qt::black;
    if (pen_.mode == pmWhite) color = Qt::white;
    QPen qp(color);
    qp.setWidth(pen_.width <= 1 ? 0 : pen_.width);
    switch (pen_.style) {
    case psDash:
        qp.setStyle(Qt::DashLine);
        break;
    case psDot:
        qp.setStyle(Qt::DotLine);
        break;
    case psDashDot:
        qp.setStyle(Qt::DashDotLine);
        break;
    case psDashDotDot:
        qp.setStyle(Qt::DashDotDotLine);
        break;
    case psClear:
        qp.setStyle(Qt::NoPen);
        break;
    default:
        qp.setStyle(Qt::SolidLine);
        break;
    }
    if (pen_.mode == pmNop) qp.setStyle(Qt::NoPen);
    painter_->setPen(qp);
    painter_->setCompositionMode(compositionFor(pen_.mode));
}

void Canvas::applyBrush() {
    if (!painter_) return;
    QBrush qb(toQColor(brush_.color));
    switch (brush_.style) {
    case bsClear:
        qb.setStyle(Qt::NoBrush);
        break;
    case bsHorizontal:
        qb.setStyle(Qt::HorPattern);
        break;
    case bsVertical:
        qb.setStyle(Qt::VerPattern);
        break;
    case bsFDiagonal:
        qb.setStyle(Qt::FDiagPattern);
        break;
    case bsBDiagonal:
        qb.setStyle(Qt::BDiagPattern);
        break;
    case bsCross:
        qb.setStyle(Qt::CrossPattern);
        break;
    case bsDiagCross:
        qb.setStyle(Qt::DiagCrossPattern);
        break;
    default:
        qb.setStyle(Qt::SolidPattern);
        break;
    }
    painter_->setBrush(qb);
}

void Canvas::line(Point a, Point b) {
    if (painter_) painter_->drawLine(a.x, a.y, b.x, b.y);
}

void Canvas::ellipse(int32_t l, int32_t t, int32_t r, int32_t b) {
    if (painter_) painter_->drawEllipse(QRectF(l, t, double(r) - l, double(b) - t));
}

void Canvas::arc(int32_t l, int32_t t, int32_t r, int32_t b, Point start, Point end) {
    if (!painter_) return;
    double cx = (double(l) + r) / 2, cy = (double(t) + b) / 2;
    // Screen y grows downwards, so counter-clockwise on screen is the mathematical sense
    // after flipping y.
    double a1 = std::atan2(cy - start.y, start.x - cx) * 180.0 / M_PI;
    double a2 = std::atan2(cy - end.y, end.x - cx) * 180.0 / M_PI;
    double span = a2 - a1;
    while (span <= 0)
        span += 360.0;
    if (start == end) span = 360.0;
    painter_->drawArc(QRectF(l, t, double(r) - l, double(b) - t), int(std::lround(a1 * 16)),
                      int(std::lround(span * 16)));
}

static QPolygon toPolygon(const std::vector<Point>& pts) {
    QPolygon poly;
    poly.reserve(int(pts.size()));
    for (const Point& p : pts)
        poly << QPoint(p.x, p.y);
    return poly;
}

void Canvas::polyline(const std::vector<Point>& pts) {
    if (painter_ && !pts.empty()) painter_->drawPolyline(toPolygon(pts));
}

void Canvas::polygon(const std::vector<Point>& pts) {
    if (painter_ && !pts.empty()) painter_->drawPolygon(toPolygon(pts));
}

namespace {

/// The largest pixel (em) size whose line, ascent plus descent, fits in `cell` pixels: what a
/// positive logical-font height asks for.
int pixelSizeForCell(const QString& family, int cell) {
    // Text is measured and drawn often, with few distinct fonts.
    thread_local std::map<std::pair<QString, int>, int> known;
    auto [it, fresh] = known.try_emplace({family, cell}, 1);
    if (!fresh) return it->second;
    QFont probe(family);
    auto heightAt = [&probe](int px) {
        probe.setPixelSize(px);
        return QFontMetrics(probe).height();
    };
    int px = cell;
    const int full = heightAt(px);
    if (full > cell) {
        // The line grows in proportion to the size: start from the proportional size and
        // step only over the last few. Walking down from a cell of thousands (a damaged
        // file's height) loaded a font engine per size and took minutes.
        px = std::clamp(int(qint64(cell) * cell / full), 1, cell);
        while (px < cell && heightAt(px + 1) <= cell)
            ++px;
        while (px > 1 && heightAt(px) > cell)
            --px;
    }
    it->second = px;
    return px;
}

} // namespace

Canvas::~Canvas() = default;

QFont Canvas::toQFont(const FontRec& f) {
    QFont font(QString::fromStdString(f.name));
    // As in logical fonts: a negative height is the character (em) height, a positive one the
    // height of the character cell, internal leading included.
    int px = f.height < 0 ? -f.height : f.height > 0 ? pixelSizeForCell(font.family(), f.height) : 13;
    font.setPixelSize(px);
    font.setBold(f.style & 1);
    font.setItalic(f.style & 2);
    font.setUnderline(f.style & 4);
    font.setStrikeOut(f.style & 8);
    return font;
}

// Text for the symbol font is written with Latin letters that stand for Greek ones.
static QString shownText(const QString& s, const FontRec& f) {
    return isSymbolFont(QString::fromStdString(f.name)) ? symbolToGreek(s) : s;
}

void Canvas::text(Point at, const QString& s, const FontRec& f, int escapement) {
    if (!painter_) return;
    painter_->save();
    painter_->setCompositionMode(QPainter::CompositionMode_SourceOver);
    QFont font = toQFont(f);
    painter_->setFont(font);
    painter_->setPen(toQColor(f.color));
    painter_->translate(at.x, at.y);
    if (escapement != 0) painter_->rotate(-escapement / 10.0);
    QFontMetrics fm(font);
    painter_->drawText(0, fm.ascent(), shownText(s, f));
    painter_->restore();
}

void Canvas::pixel(Point at, Colour color) {
    if (!painter_) return;
    painter_->save();
    painter_->setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter_->fillRect(QRect(at.x, at.y, 1, 1), toQColor(color));
    painter_->restore();
}

void Canvas::pixels(const std::vector<Point>& points, Colour color) {
    if (!painter_ || points.empty()) return;
    painter_->save();
    painter_->setCompositionMode(QPainter::CompositionMode_SourceOver);
    QPen p(toQColor(color));
    p.setWidth(0);
    painter_->setPen(p);
    std::vector<QPoint> qp;
    qp.reserve(points.size());
    for (const Point& pt : points)
        qp.emplace_back(pt.x, pt.y);
    painter_->drawPoints(qp.data(), int(qp.size()));
    painter_->restore();
}

void Canvas::fillRect(const Rect& r, Colour color) {
    if (!painter_) return;
    painter_->save();
    painter_->setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter_->fillRect(QRect(QPoint(r.left, r.top), QPoint(r.right - 1, r.bottom - 1)), toQColor(color));
    painter_->restore();
}

void Canvas::textExtent(const QString& s, const FontRec& f, int32_t& width, int32_t& height) const {
    if (!extentMetrics_ || !(extentFont_ == f)) {
        extentMetrics_ = std::make_unique<QFontMetrics>(toQFont(f));
        extentFont_ = f;
    }
    width = extentMetrics_->horizontalAdvance(shownText(s, f));
    height = extentMetrics_->height();
}

} // namespace qv
