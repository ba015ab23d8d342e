#include "model/sceneobject.h"

#include "model/document.h"
#include "platform/binarystream.h"

namespace qv {

// ---- NFizObj ----

void NFizObj::drawHighlighted(Canvas* canvas) {
    PenStateGuard guard(canvas);
    Pen p = canvas->pen();
    p.width = pen.width + 2;
    p.mode = kInvertMode;
    canvas->setPen(p);
    draw(canvas);
}

void NFizObj::copyTo(NFizObj* target) {
    BinaryWriter w;
    saveToStream(w);
    BinaryReader r(w.bytes());
    target->loadFromStream(r);
}

void NFizObj::saveToStream(BinaryWriter& w) {
    w.writePen(pen);
    w.writeByte(reservedFlag1);
    w.writeBool(highlighted);
    w.writeBool(removable);
    w.writeByte(reservedFlag2);
}

void NFizObj::loadFromStream(BinaryReader& r) {
    r.readPen(pen);
    r.readByte(reservedFlag1);
    r.readBool(highlighted);
    r.readBool(removable);
    r.readByte(reservedFlag2);
}

void NFizObj::paint(Canvas* canvas) {
    Pen saved = canvas->pen();
    canvas->setPen(pen);
    draw(canvas);
    canvas->setPen(saved);
}

Canvas* NFizObj::ownerCanvas() const {
    // Objects that belong to no document draw nowhere.
    thread_local Canvas detached;
    return owner ? owner->canvas() : &detached;
}

void NFizObj::writeRef(BinaryWriter& w, const NFizObj* obj) const {
    w.writeInt32(obj && owner ? owner->indexOfObject(obj) : -1);
}

NFizObj* NFizObj::readRef(BinaryReader& r) const {
    int32_t index = -1;
    r.readInt32(index);
    if (r.failed() || index == -1) return nullptr;
    if (!owner || index < 0 || index >= owner->objectCount()) {
        r.fail("a reference to object " + std::to_string(index) + " lies outside the object list");
        return nullptr;
    }
    return owner->objectAt(index);
}

void NFizObj::failWrongClass(BinaryReader& r, const char* what, const NFizObj* obj) const {
    r.fail(std::string(what) + " refers to object " + std::to_string(owner->indexOfObject(obj)) +
           " of class " + obj->className());
}

} // namespace qv
