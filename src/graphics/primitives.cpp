#include "graphics/primitives.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <numbers>

#include "graphics/graphicsdialogs.h"
#include "model/context.h"
#include "model/document.h"
#include "platform/binarystream.h"

namespace qv {

int32_t roundCoord(Extended v) {
    // Most coordinates are whole already.
    if (v > Extended(INT32_MIN) && v < Extended(INT32_MAX)) {
        const auto whole = int32_t(v);
        if (Extended(whole) == v) return whole;
    }
    // Explicit half-to-even, so the result does not depend on the FPU rounding mode.
    if (std::isnan(v)) return 0;
    if (v >= Extended(INT32_MAX)) return INT32_MAX;
    if (v <= Extended(INT32_MIN)) return INT32_MIN;
    Extended fl = std::floor(v);
    Extended diff = v - fl;
    Extended r = fl;
    if (diff > 0.5L)
        r = fl + 1;
    else if (diff == 0.5L)
        r = std::fmod(fl, 2.0L) == 0 ? fl : fl + 1;
    return int32_t(r);
}

namespace {

/// The cached geometry a line hit test needs.
struct LineGeom {
    Point p1, p2;
    Extended k, b, sin, cos;
};

/// Signed distance of (x, y) from the line along its normal (-Sin, Cos); vertical lines
/// (Cos = 0) measure from P1.x.
Extended signedDistance(const LineGeom& g, int32_t x, int32_t y) {
    if (g.cos != 0) return (Extended(y) - (g.k * x + g.b)) * g.cos;
    return g.sin >= 0 ? Extended(g.p1.x) - x : Extended(x) - g.p1.x;
}

/// Foot of the perpendicular from (x, y) for the distance `d` given by signedDistance.
Point footOf(const LineGeom& g, int32_t x, int32_t y, Extended d) {
    if (g.cos == 0) return {g.p1.x, y};
    return {roundCoord(x + d * g.sin), roundCoord(y - d * g.cos)};
}

bool between(int32_t v, int32_t a, int32_t b) {
    // |v - a| + |v - b| = |a - b|, computed without overflow.
    int64_t lhs = std::llabs(int64_t(v) - a) + std::llabs(int64_t(v) - b);
    return lhs == std::llabs(int64_t(a) - b);
}

bool lineHit(const LineGeom& g, int32_t x, int32_t y, int tolerance) {
    Extended d = signedDistance(g, x, y);
    if (std::isnan(d) || std::fabs(d) > tolerance) return false;
    return footInBox(footOf(g, x, y, d), g.p1, g.p2);
}

/// Recalc's rule for Sin, Cos, K and B of the segment a -> b; K and B keep their values for
/// vertical segments.
void computeGeometry(Point a, Point b, Extended& len, Extended& sin, Extended& cos, Extended& k,
                     Extended& bb) {
    Extended dx = Extended(int64_t(b.x) - a.x), dy = Extended(int64_t(b.y) - a.y);
    len = std::sqrt(dx * dx + dy * dy);
    if (dx == 0 && dy == 0) {
        cos = 0;
        sin = 1;
    } else {
        cos = dx / len;
        sin = dy / len;
    }
    if (cos != 0) {
        k = dy / dx;
        bb = a.y - a.x * dy / dx;
    }
}

Extended distance(Point a, Point b) {
    Extended dx = Extended(int64_t(b.x) - a.x), dy = Extended(int64_t(b.y) - a.y);
    return std::sqrt(dx * dx + dy * dy);
}

/// The frame of MapToFrame. A frame whose direction point coincides with its origin has no
/// direction; it is taken as the plain x axis, so the figure is only shifted.
struct Frame {
    Point origin;
    Extended cos = 1, sin = 0;
    Frame(Point o, Extended c, Extended s) : origin(o), cos(c), sin(s) {}
    Frame(Point o, Point dir) : origin(o) {
        Extended l = distance(o, dir);
        if (l > 0) {
            cos = (Extended(dir.x) - o.x) / l;
            sin = (Extended(dir.y) - o.y) / l;
        }
    }
    Point map(Point p) const {
        return {roundCoord(cos * p.x - sin * p.y + origin.x), roundCoord(sin * p.x + cos * p.y + origin.y)};
    }
};

/// p + (dx, dy), wrapping at the ends of the coordinate range instead of overflowing.
Point shifted(Point p, int32_t dx, int32_t dy) {
    return {int32_t(uint32_t(p.x) + uint32_t(dx)), int32_t(uint32_t(p.y) + uint32_t(dy))};
}

} // namespace

void NGraphObj::mapToFrame(Point origin, Point dir) {
    Frame f(origin, dir);
    mapToFrameBy(origin, f.cos, f.sin);
}

bool footInBox(Point p, Point a, Point b) {
    return between(p.x, a.x, b.x) && between(p.y, a.y, b.y);
}

bool segmentHit(Point a, Point b, int32_t x, int32_t y, int tolerance) {
    LineGeom g{a, b, 0, 0, 0, 0};
    Extended len = 0;
    computeGeometry(a, b, len, g.sin, g.cos, g.k, g.b);
    return lineHit(g, x, y, tolerance);
}

// ---- NGraphObj ----

int NGraphObj::pickTolerance() const {
    return owner ? owner->context()->pickTolerance : 4;
}

void NGraphObj::dragBy(int32_t dx, int32_t dy, Canvas* canvas) {
    PenStateGuard guard(canvas);
    canvas->setPenWidth(pen.width);
    canvas->setPenMode(kInvertMode);
    draw(canvas);
    moveBy(-dx, -dy);
    draw(canvas);
}

void NGraphObj::editProperties() {
    if (!owner) return;
    Context* ctx = owner->context();
    auto& dlg = ctx->dialog<GraphicsPropertiesDialog>();
    dlg.setTarget(&pen, &brush);
    ctx->presenter()->exec(dlg);
    dlg.setTarget(nullptr, nullptr);
}

void NGraphObj::saveToStream(BinaryWriter& w) {
    NFizObj::saveToStream(w);
    w.writeBrush(brush);
}

void NGraphObj::loadFromStream(BinaryReader& r) {
    NFizObj::loadFromStream(r);
    r.readBrush(brush);
}

void NGraphObj::paint(Canvas* canvas) {
    Pen savedPen = canvas->pen();
    Brush savedBrush = canvas->brush();
    canvas->setBrush(brush);
    canvas->setPen(pen);
    draw(canvas);
    canvas->setPen(savedPen);
    canvas->setBrush(savedBrush);
}

// ---- TwoPointGraph ----

void TwoPointGraph::recalc() {
    computeGeometry(p1, p2, len, sin, cos, k, b);
}

void TwoPointGraph::localToWorld(Extended across, Extended along, Point& pt) const {
    pt = {roundCoord(p1.x + along * cos - across * sin), roundCoord(p1.y + along * sin + across * cos)};
}

bool TwoPointGraph::hitTest(int32_t x, int32_t y) {
    return lineHit({p1, p2, k, b, sin, cos}, x, y, pickTolerance());
}

void TwoPointGraph::placePoint(int& state, int32_t x, int32_t y) {
    if (state == 0) {
        p1 = {x, y};
        state = 1;
    } else if (state == 1) {
        p2 = {x, y};
        recalc();
        state = kPlacementDone;
    }
    cursor = {x, y};
}

void TwoPointGraph::trackTo(int state, int32_t x, int32_t y, Canvas* canvas) {
    if (state < 1) return;
    canvas->setPenMode(kInvertMode);
    canvas->line(p1, cursor);
    cursor = {x, y};
    canvas->line(p1, cursor);
    canvas->setPenMode(pmCopy);
}

void TwoPointGraph::saveTwoPoint(BinaryWriter& w) {
    w.writePoint(p1);
    w.writePoint(p2);
    w.writeExtended(k);
    w.writeExtended(b);
    w.writeExtended(sin);
    w.writeExtended(cos);
}

void TwoPointGraph::loadTwoPoint(BinaryReader& r) {
    r.readPoint(p1);
    r.readPoint(p2);
    r.readExtended(k);
    r.readExtended(b);
    r.readExtended(sin);
    r.readExtended(cos);
    // The stored cache stands; only the length, which files do not hold, follows the points.
    len = distance(p1, p2);
}

void TwoPointGraph::saveToStream(BinaryWriter& w) {
    NGraphObj::saveToStream(w);
    saveTwoPoint(w);
}

void TwoPointGraph::loadFromStream(BinaryReader& r) {
    NGraphObj::loadFromStream(r);
    loadTwoPoint(r);
}

void TwoPointGraph::getBounds(Rect& rect) {
    rect = {std::max(p1.x, p2.x), std::max(p1.y, p2.y), std::min(p1.x, p2.x), std::min(p1.y, p2.y)};
}

void TwoPointGraph::moveBy(int32_t dx, int32_t dy) {
    p1 = shifted(p1, dx, dy);
    p2 = shifted(p2, dx, dy);
    recalc();
}

// ---- NGraphLine ----

NGraphLine::NGraphLine(bool segment) {
    reservedFlag2 = segment ? 0 : 1;
}

void NGraphLine::setPoints(Point a, Point b) {
    p1 = a;
    p2 = b;
    recalc();
}

void NGraphLine::draw(Canvas* canvas) {
    canvas->line(p1, p2);
    if (arrow != 1) return;
    Point m{int32_t((int64_t(p1.x) + p2.x) / 2), int32_t((int64_t(p1.y) + p2.y) / 2)};
    // The base point 10 back along the line is rounded before the sideways offset is added.
    int32_t bx = roundCoord(m.x - 10 * cos), by = roundCoord(m.y - 10 * sin);
    canvas->line(m, {roundCoord(bx + 4 * sin), roundCoord(by - 4 * cos)});
    canvas->line(m, {roundCoord(bx - 4 * sin), roundCoord(by + 4 * cos)});
}

void NGraphLine::copyTo(NFizObj* target) {
    NFizObj::copyTo(target);
    if (auto* t = dynamic_cast<NGraphLine*>(target)) {
        t->arrow = arrow;
        t->cursor = cursor;
        t->len = len;
        t->p1 = p1;
        t->p2 = p2;
        t->k = k;
        t->b = b;
        t->sin = sin;
        t->cos = cos;
    }
}

void NGraphLine::saveToStream(BinaryWriter& w) {
    w.writeByte(arrow);
    TwoPointGraph::saveToStream(w);
}

void NGraphLine::loadFromStream(BinaryReader& r) {
    r.readByte(arrow);
    TwoPointGraph::loadFromStream(r);
}

void NGraphLine::mapToFrameBy(Point origin, Extended c, Extended sn) {
    Frame f(origin, c, sn);
    Point d{p2.x - p1.x, p2.y - p1.y};
    p1 = f.map(p1);
    p2 = {p1.x + roundCoord(f.cos * d.x - f.sin * d.y), p1.y + roundCoord(f.sin * d.x + f.cos * d.y)};
    recalc();
}

void NGraphLine::reverse() {
    std::swap(p1, p2);
    recalc();
}

void NGraphLine::splitAt(Point point, int32_t gap, std::unique_ptr<NGraphLine>& first,
                         std::unique_ptr<NGraphLine>& second) const {
    LineGeom g{p1, p2, k, b, sin, cos};
    Extended d = signedDistance(g, point.x, point.y);
    Point foot{roundCoord(point.x + d * sin), roundCoord(point.y - d * cos)};
    Point a{roundCoord(foot.x - gap * cos / 2), roundCoord(foot.y - gap * sin / 2)};
    Point bb{roundCoord(a.x + gap * cos), roundCoord(a.y + gap * sin)};
    first = std::make_unique<NGraphLine>(true);
    first->owner = owner;
    first->setPoints(p1, a);
    second = std::make_unique<NGraphLine>(true);
    second->owner = owner;
    second->setPoints(bb, p2);
}

// ---- NGrLine ----

void NGrLine::placePoint(int& state, int32_t x, int32_t y) {
    if (state == 1 && owner && owner->objectCount() >= FizDisp::kMaxObjects) {
        owner->reportFull();
        return;
    }
    TwoPointGraph::placePoint(state, x, y);
    if (state != kPlacementDone || !owner) return;
    pen.color = owner->drawColor;
    owner->add(this);
}

// ---- NGrRound ----

Rect NGrRound::box() const {
    return {roundCoord(centre.x - radius), roundCoord(centre.y - radius), roundCoord(centre.x + radius),
            roundCoord(centre.y + radius)};
}

bool NGrRound::ringHit(int32_t x, int32_t y) const {
    // 64-bit squares: far points must not wrap around into the ring.
    int64_t dx = int64_t(x) - centre.x, dy = int64_t(y) - centre.y;
    Extended dist = std::sqrt(Extended(dx * dx + dy * dy));
    return radius - 3 < dist && dist < radius + 3;
}

void NGrRound::invertCircle(Canvas* canvas, Point through) const {
    Extended r = distance(centre, through);
    canvas->arc(roundCoord(centre.x - r), roundCoord(centre.y - r), roundCoord(centre.x + r),
                roundCoord(centre.y + r), through, through);
}

void NGrRound::trackTo(int state, int32_t x, int32_t y, Canvas* canvas) {
    if (state <= 0) return;
    canvas->setPenMode(kInvertMode);
    invertCircle(canvas, cursor);
    cursor = {x, y};
    radius = distance(centre, cursor);
    invertCircle(canvas, cursor);
    canvas->setPenMode(pmCopy);
}

bool NGrRound::hitTest(int32_t x, int32_t y) {
    return ringHit(x, y);
}

void NGrRound::placePoint(int& state, int32_t x, int32_t y) {
    if (state == 0) {
        centre = {x, y};
        cursor = {x, y};
        state = 1;
        return;
    }
    if (state < 0) return;
    if (owner && owner->objectCount() >= FizDisp::kMaxObjects) {
        owner->reportFull();
        return;
    }
    radius = distance(centre, {x, y});
    state = kPlacementDone;
    if (!owner) return;
    pen.color = owner->drawColor;
    owner->add(this);
}

void NGrRound::draw(Canvas* canvas) {
    Rect r = box();
    canvas->ellipse(r.left, r.top, r.right, r.bottom);
}

void NGrRound::saveToStream(BinaryWriter& w) {
    NGraphObj::saveToStream(w);
    w.writePoint(centre);
    w.writeExtended(radius);
}

void NGrRound::loadFromStream(BinaryReader& r) {
    NGraphObj::loadFromStream(r);
    r.readPoint(centre);
    r.readExtended(radius);
}

void NGrRound::getBounds(Rect& rect) {
    rect = box();
}

void NGrRound::moveBy(int32_t dx, int32_t dy) {
    centre = shifted(centre, dx, dy);
}

void NGrRound::mapToFrameBy(Point origin, Extended c, Extended sn) {
    centre = Frame(origin, c, sn).map(centre);
}

// ---- NGrArc ----

Extended NGrArc::angleOf(Point centre, Point p) {
    Extended dx = Extended(int64_t(p.x) - centre.x), dy = Extended(int64_t(p.y) - centre.y);
    Extended l = std::sqrt(dx * dx + dy * dy);
    // The centre itself has no direction; it counts as the start of the scale.
    if (l == 0) return 0;
    Extended a = std::acos(std::clamp(dx / l, -1.0L, 1.0L));
    return dy < 0 ? 2 * std::numbers::pi_v<Extended> - a : a;
}

void NGrArc::trackTo(int state, int32_t x, int32_t y, Canvas* canvas) {
    if (state == 1) {
        NGrRound::trackTo(state, x, y, canvas);
        return;
    }
    if (state != 3) return;
    canvas->setPenMode(kInvertMode);
    if (firstTrack) {
        radius = distance(centre, cursor);
        invertCircle(canvas, cursor);
        firstTrack = 0;
    } else {
        Rect r = box();
        canvas->arc(r.left, r.top, r.right, r.bottom, arcStart, cursor);
    }
    Rect r = box();
    canvas->arc(r.left, r.top, r.right, r.bottom, arcStart, {x, y});
    cursor = {x, y};
    canvas->setPenMode(pmCopy);
}

bool NGrArc::hitTest(int32_t x, int32_t y) {
    bool hit = ringHit(x, y);
    if (!hit || arcStart == arcEnd) return hit;
    Extended a1 = angleOf(centre, arcStart), a2 = angleOf(centre, arcEnd), e = angleOf(centre, {x, y});
    if (a1 < a2) return e < a1 || e > a2;
    return a2 <= e && e <= a1;
}

void NGrArc::placePoint(int& state, int32_t x, int32_t y) {
    switch (state) {
    case 0:
        centre = {x, y};
        cursor = {x, y};
        state = 1;
        break;
    case 1:
        radius = distance(centre, {x, y});
        state = 2;
        break;
    case 2:
        arcStart = {x, y};
        firstTrack = 1;
        state = 3;
        break;
    case 3:
        if (owner && owner->objectCount() >= FizDisp::kMaxObjects) {
            owner->reportFull();
            return;
        }
        arcEnd = {x, y};
        state = kPlacementDone;
        if (!owner) return;
        pen.color = owner->drawColor;
        owner->add(this);
        draw(owner->canvas());
        break;
    default:
        break;
    }
}

void NGrArc::draw(Canvas* canvas) {
    Rect r = box();
    canvas->arc(r.left, r.top, r.right, r.bottom, arcStart, arcEnd);
}

void NGrArc::copyTo(NFizObj* target) {
    NFizObj::copyTo(target);
    if (auto* t = dynamic_cast<NGrArc*>(target)) {
        t->arcStart = arcStart;
        t->arcEnd = arcEnd;
    }
}

void NGrArc::saveToStream(BinaryWriter& w) {
    NGrRound::saveToStream(w);
    w.writePoint(arcStart);
    w.writePoint(arcEnd);
}

void NGrArc::loadFromStream(BinaryReader& r) {
    NGrRound::loadFromStream(r);
    r.readPoint(arcStart);
    r.readPoint(arcEnd);
}

void NGrArc::moveBy(int32_t dx, int32_t dy) {
    NGrRound::moveBy(dx, dy);
    arcStart = shifted(arcStart, dx, dy);
    arcEnd = shifted(arcEnd, dx, dy);
}

void NGrArc::mapToFrameBy(Point origin, Extended c, Extended sn) {
    Frame f(origin, c, sn);
    centre = f.map(centre);
    arcStart = f.map(arcStart);
    arcEnd = f.map(arcEnd);
}

// ---- NManypoints ----

void NManypoints::placePoint(int& state, int32_t x, int32_t y) {
    if (!owner || !owner->finishFlag) {
        pendingPoints.push_back({x, y});
        if (owner) owner->movePrev = {x, y};
        ++state;
        return;
    }
    if (owner->objectCount() >= FizDisp::kMaxObjects) {
        owner->reportFull();
        return;
    }
    state = kPlacementDone;
    owner->add(this);
    vertices = std::move(pendingPoints);
    pendingPoints = {};
}

void NManypoints::trackTo(int state, int32_t x, int32_t y, Canvas* canvas) {
    for (size_t i = 1; i < pendingPoints.size(); ++i)
        canvas->line(pendingPoints[i - 1], pendingPoints[i]);
    if (pendingPoints.empty() || !owner) return;
    Point first = pendingPoints.front(), last = pendingPoints.back();
    Point& track = owner->movePrev;
    // With a single point the closing segment would coincide with the rubber segment and
    // cancel it out, so a polygon closes only from its second point on.
    bool closing = closed() && pendingPoints.size() >= 2;
    canvas->setPenMode(kInvertMode);
    canvas->line(last, track);
    if (closing) canvas->line(track, first);
    track = {x, y};
    canvas->line(last, track);
    if (closing) canvas->line(track, first);
    canvas->setPenMode(pmCopy);
}

bool NManypoints::hitTest(int32_t x, int32_t y) {
    int tol = pickTolerance();
    for (size_t i = 1; i < vertices.size(); ++i)
        if (segmentHit(vertices[i - 1], vertices[i], x, y, tol)) return true;
    return closed() && !vertices.empty() && segmentHit(vertices.back(), vertices.front(), x, y, tol);
}

void NManypoints::saveToStream(BinaryWriter& w) {
    NGraphObj::saveToStream(w);
    w.writeInt32(int32_t(vertices.size()));
    for (Point p : vertices)
        w.writePoint(p);
}

void NManypoints::loadFromStream(BinaryReader& r) {
    NGraphObj::loadFromStream(r);
    int32_t n = 0;
    r.readInt32(n);
    if (r.failed()) return;
    if (n < 0 || uint64_t(n) * 8 > r.remaining()) {
        r.fail(std::string(className()) + " claims " + std::to_string(n) + " points");
        return;
    }
    vertices.assign(size_t(n), Point{});
    for (Point& p : vertices)
        r.readPoint(p);
}

void NManypoints::getBounds(Rect& rect) {
    if (vertices.empty()) return;
    Rect r{vertices[0].x, vertices[0].y, vertices[0].x, vertices[0].y};
    for (Point p : vertices) {
        r.left = std::max(r.left, p.x);
        r.top = std::max(r.top, p.y);
        r.right = std::min(r.right, p.x);
        r.bottom = std::min(r.bottom, p.y);
    }
    rect = r;
}

void NManypoints::moveBy(int32_t dx, int32_t dy) {
    for (Point& p : vertices)
        p = shifted(p, dx, dy);
}

void NGpolyLine::draw(Canvas* canvas) {
    canvas->polyline(vertices);
}

void NGpolyGon::draw(Canvas* canvas) {
    canvas->polygon(vertices);
}

} // namespace qv
