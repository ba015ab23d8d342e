#include "graphics/symbol.h"

#include "graphics/graphicsdialogs.h"
#include "model/classregistry.h"
#include "model/context.h"
#include "model/document.h"
#include "platform/binarystream.h"
#include "platform/kindcast.h"

namespace qv {

namespace {

/// `obj` as a primitive a symbol may hold: a drawing object that is not itself a symbol.
std::unique_ptr<NGraphObj> asPrimitive(std::unique_ptr<NFizObj> obj) {
    auto* g = kindCast<NGraphObj>(obj.get());
    if (!g || kindCast<NUniGraphObj>(g)) return nullptr;
    obj.release();
    return std::unique_ptr<NGraphObj>(g);
}

} // namespace

NUniGraphObj::~NUniGraphObj() = default;

std::unique_ptr<NUniGraphObj> NUniGraphObj::createFromTemplate(const FizDisp& tmpl) {
    auto symbol = std::make_unique<NUniGraphObj>();
    symbol->elementLength = tmpl.elementLength;
    symbol->len = tmpl.elementLength;
    for (NFizObj* o : tmpl.objects()) {
        std::unique_ptr<NGraphObj> copy = asPrimitive(tmpl.createByClassName(o->className()));
        if (!copy) continue; // only registered drawing classes can be copied
        copy->owner = o->owner;
        o->copyTo(copy.get());
        // The template document usually dies right after this; the copies must not keep it.
        copy->owner = nullptr;
        symbol->primitives.push_back(std::move(copy));
    }
    return symbol;
}

void NUniGraphObj::adoptOwner() {
    for (auto& p : primitives)
        p->owner = owner;
}

void NUniGraphObj::place(Point a, Point b) {
    p1 = a;
    p2 = b;
    adoptOwner();
    if (a != b)
        for (auto& p : primitives)
            p->mapToFrame(a, b);
    recalc();
}

void NUniGraphObj::mapBack() {
    recalc();
    adoptOwner();
    if (p1 == p2) return; // never placed along a direction
    Point o{roundCoord(-Extended(p1.x) * cos - Extended(p1.y) * sin),
            roundCoord(Extended(p1.x) * sin - Extended(p1.y) * cos)};
    for (auto& p : primitives)
        p->mapToFrameBy(o, cos, -sin);
}

void NUniGraphObj::replace(Point a, Point b) {
    mapBack();
    place(a, b);
}

void NUniGraphObj::reverse() {
    mapBack();
    std::swap(p1, p2);
    recalc();
    place(p1, p2);
}

void NUniGraphObj::editProperties() {
    if (owner) {
        Context* ctx = owner->context();
        auto& dlg = ctx->dialog<GraphicsPropertiesDialog>();
        dlg.setTarget(&pen, &brush);
        ctx->presenter()->exec(dlg);
        dlg.setTarget(nullptr, nullptr);
    }
    // Whichever button closed the dialog, the primitives take the symbol's pen.
    for (auto& p : primitives)
        p->pen = pen;
}

bool NUniGraphObj::hitTest(int32_t x, int32_t y) {
    adoptOwner();
    for (auto& p : primitives)
        if (p->hitTest(x, y)) return true;
    return false;
}

void NUniGraphObj::placePoint(int& state, int32_t x, int32_t y) {
    // A placed symbol is in its document already: another click would map it twice and
    // add it twice.
    if (state == kPlacementDone) return;
    if (state == 1 && owner && owner->objectCount() >= FizDisp::kMaxObjects) {
        owner->reportFull();
        return;
    }
    TwoPointGraph::placePoint(state, x, y);
    if (state != kPlacementDone) return;
    place(p1, p2);
    if (owner) owner->add(this);
}

void NUniGraphObj::draw(Canvas* canvas) {
    for (auto& p : primitives)
        p->draw(canvas);
}

void NUniGraphObj::paint(Canvas* canvas) {
    for (auto& p : primitives)
        p->paint(canvas);
}

void NUniGraphObj::getBounds(Rect& rect) {
    bool any = false;
    Rect acc;
    for (auto& p : primitives) {
        Rect r{INT32_MIN, INT32_MIN, INT32_MIN, INT32_MIN};
        p->getBounds(r);
        if (r == Rect{INT32_MIN, INT32_MIN, INT32_MIN, INT32_MIN}) continue;
        unionBounds(acc, any, r);
    }
    if (any) rect = acc;
}

void NUniGraphObj::moveBy(int32_t dx, int32_t dy) {
    for (auto& p : primitives)
        p->moveBy(dx, dy);
}

void NUniGraphObj::addCopyToScheme() {
    if (!owner) return;
    auto copy = std::make_unique<NUniGraphObj>();
    copy->owner = owner;
    copyTo(copy.get());
    if (owner->add(copy.get())) copy.release();
}

void NUniGraphObj::saveToStream(BinaryWriter& w) {
    TwoPointGraph::saveToStream(w);
    w.writeInt32(int32_t(primitives.size()));
    w.writeInt32(elementLength);
    for (auto& p : primitives) {
        w.writeShortStringRaw(p->className(), 20);
        p->saveToStream(w);
    }
}

void NUniGraphObj::loadFromStream(BinaryReader& r) {
    TwoPointGraph::loadFromStream(r);
    int32_t count = 0;
    r.readInt32(count);
    r.readInt32(elementLength);
    if (r.failed()) return;
    if (count < 0 || count > kMaxPrimitives || size_t(count) * 21 > r.remaining()) {
        r.fail("a symbol declares " + std::to_string(count) + " primitives");
        return;
    }
    primitives.clear();
    for (int32_t i = 0; i < count && !r.failed(); ++i) {
        std::string name;
        r.readShortStringRaw(name, 20);
        if (r.failed()) return;
        std::unique_ptr<NFizObj> obj = createObjectByClassName(name);
        if (!obj) {
            r.fail("Invalid class name \"" + name + "\" in a symbol");
            return;
        }
        std::unique_ptr<NGraphObj> p = asPrimitive(std::move(obj));
        if (!p) {
            r.fail("a symbol holds a \"" + name + "\", which is not a drawing primitive");
            return;
        }
        p->owner = owner;
        p->loadFromStream(r);
        primitives.push_back(std::move(p));
    }
}

} // namespace qv
