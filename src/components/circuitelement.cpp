#include "components/circuitelement.h"

#include "components/branch.h"
#include "graphics/labels.h"
#include "model/document.h"
#include "platform/binarystream.h"

namespace qv {

std::string cutToCharacters(const std::string& s, int n) {
    QString q = QString::fromStdString(s);
    return q.size() <= n ? s : q.left(n).toStdString();
}

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
    w.writeShortString(name, kNameLength);
    writeRef(w, nameLabel);
    w.writePoint(labelPos);
}

void NFizSemEl::loadFromStream(BinaryReader& r) {
    NFizObj::loadFromStream(r);
    r.readShortString(name, kNameLength);
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

bool NFizSemEl::ensureLabel(std::unique_ptr<NUniLabel> fresh, LabelKind kind) {
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
        state = kPlacementDone;
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
    state = kPlacementDone;
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

void NSetObj::draw(Canvas* canvas) {
    symbolLine->draw(canvas);
}

void NSetObj::placePoint(int& state, int32_t x, int32_t y) {
    if (state == kPlacementDone || !owner) return;
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
    state = kPlacementDone;
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

void NSetObj::defaultLabelPos(Point& p) {
    symbolLine->localToWorld(20, symbolLine->len / 2, p);
}

void NSetObj::getBounds(Rect& rect) {
    symbolLine->getBounds(rect);
}

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
