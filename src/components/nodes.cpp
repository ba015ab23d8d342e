#include "components/nodes.h"

#include <algorithm>
#include <cmath>

#include "model/classregistry.h"
#include "model/document.h"
#include "platform/binarystream.h"

namespace qv {

namespace {

bool withinFive(Point c, int32_t x, int32_t y) {
    int64_t dx = int64_t(x) - c.x, dy = int64_t(y) - c.y;
    return std::sqrt(double(dx * dx + dy * dy)) < 5;
}

void circle(Canvas* canvas, Point c, int32_t r) {
    // A full elliptic arc: an outline whatever the brush.
    Point corner{c.x - r, c.y - r};
    canvas->arc(c.x - r, c.y - r, c.x + r, c.y + r, corner, corner);
}

} // namespace

// ---- shapes ----

bool NGRoundNode::hitTest(int32_t x, int32_t y) {
    return withinFive(centre, x, y);
}

void NGRoundNode::placePoint(int& state, int32_t x, int32_t y) {
    if (state != 0) return;
    centre = {x, y};
    state = kPlacementDone;
}

void NGRoundNode::draw(Canvas* canvas) {
    circle(canvas, centre, 5);
}

void NGRoundNode::saveToStream(BinaryWriter& w) {
    TwoPointGraph::saveToStream(w);
    w.writePoint(centre);
}

void NGRoundNode::loadFromStream(BinaryReader& r) {
    TwoPointGraph::loadFromStream(r);
    r.readPoint(centre);
}

void NGRoundNode::getBounds(Rect& rect) {
    rect = {centre.x - 5, centre.y - 5, centre.x + 5, centre.y + 5};
}

void NGRoundNode::moveBy(int32_t dx, int32_t dy) {
    // Wraps at the ends of the coordinate range, as the other primitives do, instead of overflowing.
    centre = {int32_t(uint32_t(centre.x) + uint32_t(dx)), int32_t(uint32_t(centre.y) + uint32_t(dy))};
}

void NGTPNode::draw(Canvas* canvas) {
    circle(canvas, centre, 10);
    circle(canvas, centre, 15);
}

void NGTPNode::getBounds(Rect& rect) {
    rect = {centre.x - 15, centre.y - 15, centre.x + 15, centre.y + 15};
}

void NGShine::draw(Canvas* canvas) {
    Point a{roundCoord(p1.x - 5 * sin), roundCoord(p1.y + 5 * cos)};
    Point b{roundCoord(p2.x - 5 * sin), roundCoord(p2.y + 5 * cos)};
    canvas->polygon({p1, p2, b, a});
}

// ---- NFUniNode ----

NFUniNode::NFUniNode() : shape(std::make_unique<NGRoundNode>()) {}
NFUniNode::~NFUniNode() = default;

void NFUniNode::dragBy(int32_t dx, int32_t dy, Canvas* canvas) {
    shape->owner = owner;
    shape->dragBy(dx, dy, canvas);
    for (Point& p : connectionPoints)
        p = {p.x - dx, p.y - dy};
}

void NFUniNode::trackTo(int state, int32_t x, int32_t y, Canvas* canvas) {
    shape->owner = owner;
    shape->trackTo(state, x, y, canvas);
}

bool NFUniNode::hitTest(int32_t x, int32_t y) {
    shape->owner = owner;
    return shape->hitTest(x, y);
}

void NFUniNode::placePoint(int& state, int32_t x, int32_t y) {
    if (state == kPlacementDone || !owner) return;
    shape->owner = owner;
    int before = state;
    shape->placePoint(state, x, y);
    if (state != kPlacementDone) return;
    // The node and its name label both need a place in the document.
    if (owner->objectCount() + 2 > FizDisp::kMaxObjects) {
        owner->reportFull();
        state = before;
        return;
    }
    Rect b;
    shape->getBounds(b);
    this->x = b.right;
    this->y = b.bottom;
    owner->add(this);
    autoName();
}

void NFUniNode::draw(Canvas* canvas) {
    shape->paint(canvas);
}

void NFUniNode::attachBranch(NFizSemEl* element, int32_t& px, int32_t& py) {
    if (!canAttach()) return;
    NFUsel::attachBranch(element, px, py);
    connectionPoints.push_back({px, py});
}

void NFUniNode::detachBranch(NFizSemEl* element) {
    auto it = std::find(attached.begin(), attached.end(), element);
    if (it != attached.end()) {
        size_t i = size_t(it - attached.begin());
        if (i < connectionPoints.size()) connectionPoints.erase(connectionPoints.begin() + long(i));
    }
    NFUsel::detachBranch(element);
}

void NFUniNode::connectionPoint(NFizSemEl* element, Point& p) {
    auto it = std::find(attached.begin(), attached.end(), element);
    if (it == attached.end()) return;
    size_t i = size_t(it - attached.begin());
    if (i < connectionPoints.size()) p = connectionPoints[i];
}

void NFUniNode::saveToStream(BinaryWriter& w) {
    NFUsel::saveToStream(w);
    w.writeInt32(int32_t(connectionPoints.size()));
    for (Point p : connectionPoints)
        w.writePoint(p);
    w.writeShortStringRaw(shape->className(), 100);
    shape->saveToStream(w);
}

void NFUniNode::loadFromStream(BinaryReader& r) {
    NFUsel::loadFromStream(r);
    int32_t n = 0;
    r.readInt32(n);
    if (r.failed()) return;
    if (n < 0 || n > kMaxAttached || size_t(n) * 8 > r.remaining()) {
        r.fail("node \"" + name + "\" lists " + std::to_string(n) + " connection points");
        return;
    }
    // Point i belongs to attached element i; lists out of step would join branches at
    // other branches' points.
    if (size_t(n) != attached.size()) {
        r.fail("node \"" + name + "\" lists " + std::to_string(n) + " connection points for " +
               std::to_string(attached.size()) + " attached elements");
        return;
    }
    connectionPoints.assign(size_t(n), Point{});
    for (Point& p : connectionPoints)
        r.readPoint(p);
    std::string cls;
    r.readShortStringRaw(cls, 100);
    if (r.failed()) return;
    std::unique_ptr<NFizObj> obj = createObjectByClassName(cls);
    auto* g = dynamic_cast<NGraphObj*>(obj.get());
    if (!g || dynamic_cast<NUniGraphObj*>(g)) {
        r.fail("Invalid class name \"" + cls + "\" for the shape of a node");
        return;
    }
    obj.release();
    shape.reset(g);
    shape->owner = owner;
    shape->loadFromStream(r);
}

// ---- NFGroundObj ----

NFGroundObj::NFGroundObj() : symbol(std::make_unique<NUniGraphObj>()) {}
NFGroundObj::~NFGroundObj() = default;

void NFGroundObj::createFromTemplate(const FizDisp& tmpl) {
    symbol = NUniGraphObj::createFromTemplate(tmpl);
    symbol->owner = owner;
}

void NFGroundObj::dragBy(int32_t dx, int32_t dy, Canvas* canvas) {
    Pen p = canvas->pen();
    p.mode = kInvertMode;
    canvas->setPen(p);
    canvas->line(leadStart, curPoint);
    curPoint = {curPoint.x - dx, curPoint.y - dy};
    canvas->line(leadStart, curPoint);
    canvas->setPenMode(pmCopy);
}

bool NFGroundObj::hitTest(int32_t x, int32_t y) {
    symbol->owner = owner;
    return symbol->hitTest(x, y);
}

void NFGroundObj::layOut() {
    symbol->owner = owner;
    Point p = freeEnd;
    if (node1) node1->connectionPoint(this, p);
    symbol->place(p, freeEnd);
    const Extended el = symbol->elementLength;
    symbolStart = {roundCoord(freeEnd.x - el * symbol->cos), roundCoord(freeEnd.y - el * symbol->sin)};
    symbol->replace(symbolStart, freeEnd);
    if (node1) node1->connectionPoint(this, leadStart);
}

void NFGroundObj::autoName() {
    layOut();
    curPoint = freeEnd;
}

bool NFGroundObj::endDrag() {
    freeEnd = curPoint;
    symbol->owner = owner;
    symbol->recalc();
    if (node1) node1->connectionPoint(this, leadStart);
    symbol->replace(leadStart, freeEnd);
    const Extended el = symbol->elementLength;
    symbolStart = {roundCoord(freeEnd.x - el * symbol->cos), roundCoord(freeEnd.y - el * symbol->sin)};
    symbol->replace(symbolStart, freeEnd);
    if (node1) node1->connectionPoint(this, leadStart);
    return true;
}

void NFGroundObj::draw(Canvas* canvas) {
    if (node1) node1->connectionPoint(this, leadStart);
    canvas->line(leadStart, symbolStart);
    symbol->draw(canvas);
}

void NFGroundObj::getBounds(Rect& rect) {
    symbol->getBounds(rect);
}

void NFGroundObj::saveToStream(BinaryWriter& w) {
    NNodeObj::saveToStream(w);
    symbol->saveToStream(w);
    w.writePoint(leadStart);
    w.writePoint(symbolStart);
}

void NFGroundObj::loadFromStream(BinaryReader& r) {
    NNodeObj::loadFromStream(r);
    symbol->owner = owner;
    symbol->loadFromStream(r);
    r.readPoint(leadStart);
    r.readPoint(symbolStart);
    // The free end is not stored. The layout ends the symbol exactly there, so its end point
    // is the free end; one symbol length from SymbolStart along the symbol's direction can be
    // a pixel off on an oblique ground, because SymbolStart itself was rounded.
    const Extended el = symbol->elementLength;
    if (symbol->p1 == symbolStart)
        freeEnd = symbol->p2;
    else
        freeEnd = {roundCoord(symbolStart.x + el * symbol->cos),
                   roundCoord(symbolStart.y + el * symbol->sin)};
    curPoint = freeEnd;
}

} // namespace qv
