#include "model/nfizobj.h"

#include "graphics/labels.h"
#include "model/branch.h"
#include "model/fizdisp.h"
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

template <class T>
T* NFizObj::readRefAs(BinaryReader& r, const char* what) const {
    NFizObj* obj = readRef(r);
    if (!obj) return nullptr;
    T* typed = dynamic_cast<T*>(obj);
    if (!typed) {
        r.fail(std::string(what) + " refers to object " + std::to_string(owner->indexOfObject(obj)) +
               " of class " + obj->className());
        return nullptr;
    }
    return typed;
}

template NUniLabel* NFizObj::readRefAs<NUniLabel>(BinaryReader&, const char*) const;
template NFUsel* NFizObj::readRefAs<NFUsel>(BinaryReader&, const char*) const;
template NFVetv* NFizObj::readRefAs<NFVetv>(BinaryReader&, const char*) const;
template NFizObj* NFizObj::readRefAs<NFizObj>(BinaryReader&, const char*) const;
template NSetObj* NFizObj::readRefAs<NSetObj>(BinaryReader&, const char*) const;
template NFizSemEl* NFizObj::readRefAs<NFizSemEl>(BinaryReader&, const char*) const;

// ---- NFizSemEl ----

void NFizSemEl::detach() {
    if (nameLabel && owner) {
        NFizObj* label = nameLabel;
        nameLabel = nullptr;
        owner->deleteObject(label);
    }
}

void NFizSemEl::saveToStream(BinaryWriter& w) {
    NFizObj::saveToStream(w);
    w.writeShortString(name, 20);
    writeRef(w, nameLabel);
    w.writePoint(labelPos);
}

void NFizSemEl::loadFromStream(BinaryReader& r) {
    NFizObj::loadFromStream(r);
    r.readShortString(name, 20);
    nameLabel = readRefAs<NUniLabel>(r, "the label reference of an element");
    r.readPoint(labelPos);
}

void NFizSemEl::updateLabel(int, int) {
    if (!owner) return;
    if (!nameLabel) {
        auto label = std::make_unique<NTwoBin>();
        label->mainText = "I";
        label->indexText = "111";
        label->owner = owner;
        NTwoBin* raw = label.get();
        if (!owner->add(label.get())) return;
        label.release();
        nameLabel = raw;
        labelPos = {2147483647, 2147483647};
    }
    placeLabel();
}

bool NFizSemEl::ensureLabel(std::unique_ptr<NUniLabel> fresh, uint8_t kind) {
    if (nameLabel) {
        labelPos = nameLabel->p1;
        return true;
    }
    fresh->owner = owner;
    defaultLabelPos(labelPos);
    owner->labelKind = kind;
    if (!owner->add(fresh.get())) return false;
    nameLabel = fresh.release();
    return true;
}

void NFizSemEl::placeLabel() {
    nameLabel->reservedFlag2 = 1;
    nameLabel->reservedFlag1 = 0;
    nameLabel->removable = 0;
    nameLabel->owner = owner;
    // The second click lies 100 units to the right; wrap rather than overflow at the edge.
    int32_t x2 = int32_t(uint32_t(labelPos.x) + 100u);
    int state = 0;
    nameLabel->placePoint(state, labelPos.x, labelPos.y);
    nameLabel->placePoint(state, x2, labelPos.y);
    nameLabel->draw(ownerCanvas());
}

// ---- NFTwoPole ----

void NFTwoPole::detach() {
    NFizSemEl::detach();
    if (node1) node1->detachBranch(this);
    if (node2) node2->detachBranch(this);
}

void NFTwoPole::placePoint(int& state, int32_t x, int32_t y) {
    curPoint = {x, y};
    if (!owner) return;
    NFizObj* found = nullptr;
    if (state == 0) {
        if (owner->findAt(x, y, found))
            if (auto* node = dynamic_cast<NFUsel*>(found); node && node->canAttach()) {
                node->attachBranch(this, x, y);
                node1 = node;
                state = 1;
            }
        return;
    }
    if (state > 0 && owner->findAt(x, y, found)) {
        auto* node = dynamic_cast<NFUsel*>(found);
        if (!node || node == node1 || !node->canAttach()) return;
        if (owner->objectCount() + 2 > FizDisp::kMaxObjects) {
            owner->reportFull();
            return;
        }
        node->attachBranch(this, x, y);
        node2 = node;
        state = -1;
        owner->add(this);
        autoName();
    }
}

void NFTwoPole::saveToStream(BinaryWriter& w) {
    NFizSemEl::saveToStream(w);
    if (!storesNodesInCommonPart()) return;
    writeRef(w, node1);
    writeRef(w, node2);
}

void NFTwoPole::loadFromStream(BinaryReader& r) {
    NFizSemEl::loadFromStream(r);
    if (!storesNodesInCommonPart()) return;
    node1 = readRefAs<NFUsel>(r, "the first node of an element");
    node2 = readRefAs<NFUsel>(r, "the second node of an element");
}

// ---- NNodeObj ----

void NNodeObj::trackTo(int state, int32_t x, int32_t y, Canvas* canvas) {
    if (state != 1 || !node1) return;
    Point start;
    node1->connectionPoint(this, start);
    Pen p = canvas->pen();
    p.mode = kInvertMode;
    canvas->setPen(p);
    canvas->line(start, curPoint);
    curPoint = {x, y};
    canvas->line(start, curPoint);
    canvas->setPenMode(pmCopy);
}

void NNodeObj::placePoint(int& state, int32_t x, int32_t y) {
    if (!owner) return;
    if (state == 0) {
        NFizObj* found = nullptr;
        if (owner->findAt(x, y, found))
            if (auto* node = dynamic_cast<NFUsel*>(found); node && node->canAttach()) {
                node->attachBranch(this, x, y);
                node1 = node;
                state = 1;
                curPoint = {x, y};
            }
        return;
    }
    if (owner->objectCount() + 2 > FizDisp::kMaxObjects) {
        owner->reportFull();
        return;
    }
    node2 = nullptr;
    owner->add(this);
    freeEnd = {x, y};
    autoName();
    state = -1;
}

// ---- NSetObj ----

NSetObj::NSetObj() : symbolLine(std::make_unique<NGraphLine>()) {}
NSetObj::~NSetObj() = default;

void NSetObj::detach() {
    NFizSemEl::detach();
    if (branch) branch->removeElement(this);
}

bool NSetObj::hitTest(int32_t x, int32_t y) {
    symbolLine->owner = owner;
    return symbolLine->hitTest(x, y);
}

void NSetObj::draw(Canvas* canvas) { symbolLine->draw(canvas); }

void NSetObj::placePoint(int& state, int32_t x, int32_t y) {
    if (state == -1 || !owner) return;
    NFizObj* found = nullptr;
    if (!owner->findAt(x, y, found)) return;
    auto* target = dynamic_cast<NFVetv*>(found);
    if (!target) return;
    // The element and its label must both fit; check before the branch is cut.
    if (owner->objectCount() + 2 > FizDisp::kMaxObjects) {
        owner->reportFull();
        return;
    }
    if (!target->insertElementAt(x, y, this)) return;
    branch = target;
    name.clear();
    owner->nextNumberFor(className(), name);
    updateLabel();
    owner->add(this);
    editProperties();
    state = -1;
}

void NSetObj::saveToStream(BinaryWriter& w) {
    NFizSemEl::saveToStream(w);
    writeRef(w, branch);
    w.writePoint(startPoint);
    w.writePoint(endPoint);
    w.writeBool(orientation);
    w.writeInt32(length);
}

void NSetObj::loadFromStream(BinaryReader& r) {
    NFizSemEl::loadFromStream(r);
    branch = readRefAs<NFVetv>(r, "the branch of a component");
    r.readPoint(startPoint);
    r.readPoint(endPoint);
    r.readBool(orientation);
    r.readInt32(length);
    symbolLine->owner = owner;
    symbolLine->setPoints(startPoint, endPoint);
}

void NSetObj::defaultLabelPos(Point& p) { symbolLine->localToWorld(20, symbolLine->len / 2, p); }

void NSetObj::getBounds(Rect& rect) { symbolLine->getBounds(rect); }

void NSetObj::setEnds(Point p1, Point p2) {
    startPoint = p1;
    endPoint = p2;
    symbolLine->owner = owner;
    int state = 0;
    symbolLine->placePoint(state, p1.x, p1.y);
    symbolLine->placePoint(state, p2.x, p2.y);
}

// ---- NEDSObj ----

void NEDSObj::draw(Canvas* canvas) {
    int32_t cx = (startPoint.x + endPoint.x) / 2, cy = (startPoint.y + endPoint.y) / 2;
    canvas->ellipse(cx - 15, cy - 15, cx + 15, cy + 15);
}

} // namespace qv
