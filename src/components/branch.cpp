#include "components/branch.h"

#include <algorithm>
#include <cmath>

#include "components/branchdialogs.h"
#include "components/nodes.h"
#include "graphics/labels.h"
#include "model/context.h"
#include "model/document.h"
#include "platform/binarystream.h"
#include "platform/kindcast.h"

namespace qv {

// ---- NFUsel ----

bool NFUsel::hitTest(int32_t px, int32_t py) {
    double dx = double(px) - x, dy = double(py) - y;
    return std::sqrt(dx * dx + dy * dy) < radius + 2;
}

void NFUsel::draw(Canvas* canvas) {
    canvas->ellipse(x - radius, y - radius, x + radius, y + radius);
}

void NFUsel::getBounds(Rect& rect) {
    rect = {x - 3, y - 3, x + 3, y + 3};
}

void NFUsel::dragBy(int32_t dx, int32_t dy, Canvas* canvas) {
    PenStateGuard guard(canvas);
    Pen p = canvas->pen();
    p.width = pen.width;
    p.mode = kInvertMode;
    canvas->setPen(p);
    draw(canvas);
    x -= dx;
    y -= dy;
    draw(canvas);
}

bool NFUsel::endDrag() {
    // Copy first: a moved element may not change the list, but be safe if it does.
    std::vector<NFizSemEl*> list = attached;
    for (NFizSemEl* e : list)
        if (auto* tp = dynamic_cast<NFTwoPole*>(e)) tp->nodeMoved(this);
    return true;
}

void NFUsel::placePoint(int& state, int32_t px, int32_t py) {
    if (state == kPlacementDone || !owner) return;
    if (owner->objectCount() + 2 > FizDisp::kMaxObjects) {
        owner->reportFull();
        return;
    }
    x = px;
    y = py;
    state = kPlacementDone;
    owner->add(this);
    autoName();
}

void NFUsel::attachBranch(NFizSemEl* element, int32_t&, int32_t&) {
    if (!canAttach()) return;
    attached.push_back(element);
    removable = 0;
}

void NFUsel::detachBranch(NFizSemEl* element) {
    auto it = std::find(attached.begin(), attached.end(), element);
    if (it != attached.end()) attached.erase(it);
    removable = attached.empty() ? 1 : 0;
}

void NFUsel::connectionPoint(NFizSemEl*, Point& p) {
    p = {x, y};
}

bool NFUsel::isGrounded() const {
    return std::any_of(attached.begin(), attached.end(),
                       [](NFizSemEl* e) { return kindCast<NFGroundObj>(e) != nullptr; });
}

void NFUsel::autoName() {
    if (owner) owner->takeNodeNumber(name);
    defaultLabelPos(labelPos);
    updateLabel();
}

void NFUsel::updateLabel(int, int) {
    if (!owner) return;
    if (!ensureLabel(nameLabel ? nullptr : std::make_unique<NTextLabel>(), LabelKind::Node)) return;
    if (auto* text = dynamic_cast<NTextLabel*>(nameLabel)) text->text = cutToCharacters(name, 100);
    placeLabel();
}

void NFUsel::editProperties() {
    if (!owner) return;
    Context* ctx = owner->context();
    auto& dlg = ctx->dialog<NodeDialog>();
    dlg.field("name").text = QString::fromStdString(name);
    ctx->presenter()->exec(dlg);
    name = cutToCharacters(dlg.field("name").text.toStdString(), kNameLength);
    updateLabel();
}

void NFUsel::saveToStream(BinaryWriter& w) {
    NFizSemEl::saveToStream(w);
    w.writeInt32(x);
    w.writeInt32(y);
    w.writeInt32(radius);
    w.writeInt32(int32_t(attached.size()));
    for (NFizSemEl* e : attached)
        writeRef(w, e);
}

void NFUsel::loadFromStream(BinaryReader& r) {
    NFizSemEl::loadFromStream(r);
    r.readInt32(x);
    r.readInt32(y);
    r.readInt32(radius);
    int32_t n = 0;
    r.readInt32(n);
    if (r.failed()) return;
    if (n < 0 || n > kMaxAttached || size_t(n) * 4 > r.remaining()) {
        r.fail("node \"" + name + "\" lists " + std::to_string(n) + " attached elements");
        return;
    }
    attached.clear();
    for (int i = 0; i < n && !r.failed(); ++i) {
        NFizSemEl* e = readRefAs<NFizSemEl>(r, "an element attached to a node");
        if (e) attached.push_back(e);
    }
}

// ---- NFVetv ----

NFVetv::~NFVetv() {
    freeSegments();
}

void NFVetv::freeSegments() {
    bool trackInChain = false;
    for (NFizObj* e : elements) {
        if (e == trackSegment) trackInChain = true;
        if (NGraphLine* s = asSegment(e)) delete s;
    }
    if (!trackInChain) delete trackSegment;
    trackSegment = nullptr;
    elements.clear();
}

NGraphLine* NFVetv::asSegment(NFizObj* entry) {
    if (kindCast<NSetObj>(entry)) return nullptr;
    return kindCast<NGraphLine>(entry);
}

std::vector<NSetObj*> NFVetv::components() const {
    std::vector<NSetObj*> out;
    for (NFizObj* e : elements)
        if (auto* c = kindCast<NSetObj>(e)) out.push_back(c);
    return out;
}

std::vector<NGraphLine*> NFVetv::segments() const {
    std::vector<NGraphLine*> out;
    for (NFizObj* e : elements)
        if (NGraphLine* s = asSegment(e)) out.push_back(s);
    return out;
}

bool NFVetv::hitTest(int32_t x, int32_t y) {
    for (NGraphLine* s : segments()) {
        s->owner = owner;
        if (s->hitTest(x, y)) return true;
    }
    return false;
}

void NFVetv::draw(Canvas* canvas) {
    for (NGraphLine* s : segments())
        s->draw(canvas);
}

void NFVetv::getBounds(Rect& rect) {
    bool any = false;
    Rect acc;
    for (NFizObj* e : elements) {
        Rect r{INT32_MIN, INT32_MIN, INT32_MIN, INT32_MIN};
        e->getBounds(r);
        if (r.left == INT32_MIN && r.top == INT32_MIN && r.right == INT32_MIN && r.bottom == INT32_MIN)
            continue;
        unionBounds(acc, any, r);
    }
    if (any) rect = acc;
}

void NFVetv::setArrows(bool flag) {
    showArrows = flag ? 1 : 0;
    for (NGraphLine* s : segments())
        s->arrow = showArrows;
}

void NFVetv::trackTo(int state, int32_t x, int32_t y, Canvas* canvas) {
    if (state < 1 || !trackSegment) return;
    for (NGraphLine* s : segments())
        s->draw(canvas);
    Pen p = canvas->pen();
    p.mode = kInvertMode;
    canvas->setPen(p);
    canvas->line(trackSegment->p1, curPoint);
    curPoint = {x, y};
    canvas->line(trackSegment->p1, curPoint);
    canvas->setPenMode(pmCopy);
}

void NFVetv::placePoint(int& state, int32_t x, int32_t y) {
    if (state == kPlacementDone || !owner) return;
    NFizObj* found = nullptr;
    NFUsel* node = owner->findAt(x, y, found) ? dynamic_cast<NFUsel*>(found) : nullptr;
    if (state == 0) {
        if (!node || !node->canAttach()) return;
        node->attachBranch(this, x, y);
        node1 = node;
        Point start;
        node->connectionPoint(this, start);
        trackSegment = new NGraphLine();
        trackSegment->owner = owner;
        trackSegment->setPoints(start, start);
        curPoint = start;
        state = 1;
        return;
    }
    if (node == node1) return;
    if (node) {
        if (!node->canAttach()) return;
        if (owner->objectCount() + 2 > FizDisp::kMaxObjects) {
            owner->reportFull();
            return;
        }
        node->attachBranch(this, x, y);
        node2 = node;
        Point end;
        node->connectionPoint(this, end);
        trackSegment->setPoints(trackSegment->p1, end);
        elements.push_back(trackSegment);
        trackSegment = nullptr; // now an ordinary segment of the chain
        setArrows(showArrows);
        state = kPlacementDone;
        owner->add(this);
        autoName();
        return;
    }
    // A corner: the segment drawn so far ends here and the next one starts.
    if (int(cornerPoints.size()) >= kMaxCorners || int(elements.size()) + 2 > kMaxEntries) return;
    cornerPoints.push_back({x, y});
    trackSegment->setPoints(trackSegment->p1, {x, y});
    elements.push_back(trackSegment);
    trackSegment = new NGraphLine();
    trackSegment->owner = owner;
    trackSegment->setPoints({x, y}, {x, y});
    curPoint = {x, y};
    state += 1;
}

void NFVetv::nodeMoved(NFUsel* node) {
    if (elements.empty()) return;
    Point p;
    if (node == node1)
        if (NGraphLine* s = asSegment(elements.front())) {
            node->connectionPoint(this, p);
            s->setPoints(p, s->p2);
        }
    if (node == node2)
        if (NGraphLine* s = asSegment(elements.back())) {
            node->connectionPoint(this, p);
            s->setPoints(s->p1, p);
        }
}

void NFVetv::defaultLabelPos(Point& p) {
    NGraphLine* longest = nullptr;
    for (NGraphLine* s : segments())
        if (!longest || s->len > longest->len) longest = s;
    if (!longest) {
        NFizSemEl::defaultLabelPos(p);
        return;
    }
    longest->localToWorld(25, roundCoord(longest->len / 2), p);
    p.x -= 8;
    p.y -= 8;
}

void NFVetv::autoName() {
    defaultLabelPos(labelPos);
    if (owner) owner->takeBranchNumber(name);
    updateLabel();
}

void NFVetv::updateLabel(int, int) {
    if (!owner) return;
    if (!ensureLabel(nameLabel ? nullptr : NTwoBin::withMainText("I"), LabelKind::Branch)) return;
    if (auto* two = dynamic_cast<NTwoBin*>(nameLabel)) two->indexText = cutToCharacters(name, kNameLength);
    placeLabel();
}

void NFVetv::editProperties() {
    if (!owner) return;
    Context* ctx = owner->context();
    auto& dlg = ctx->dialog<BranchDialog>();
    dlg.field("name").text = QString::fromStdString(name);
    dlg.field("arrows").checked = showArrows != 0;
    ctx->presenter()->exec(dlg);
    name = cutToCharacters(dlg.field("name").text.toStdString(), kNameLength);
    setArrows(dlg.field("arrows").checked);
    if (dlg.field("reverse").checked) reverse();
    updateLabel();
}

bool NFVetv::insertElementAt(int32_t x, int32_t y, NSetObj* element) {
    if (int(elements.size()) + 2 > kMaxEntries) return false;
    for (size_t i = 0; i < elements.size(); ++i) {
        NGraphLine* seg = asSegment(elements[i]);
        if (!seg) continue;
        seg->owner = owner;
        if (!seg->hitTest(x, y)) continue;
        std::unique_ptr<NGraphLine> first, second;
        seg->splitAt({x, y}, element->length, first, second);
        if (!first || !second) continue;
        // The element must fit inside the segment: both parts keep the segment's direction.
        auto fits = [&](const NGraphLine& part) {
            return (int64_t(part.p2.x) - part.p1.x) * (int64_t(seg->p2.x) - seg->p1.x) +
                       (int64_t(part.p2.y) - part.p1.y) * (int64_t(seg->p2.y) - seg->p1.y) >=
                   0;
        };
        if (!fits(*first) || !fits(*second)) continue;
        first->arrow = seg->arrow;
        second->arrow = seg->arrow;
        first->owner = owner;
        second->owner = owner;
        if (seg == trackSegment) trackSegment = nullptr;
        delete seg;
        elements[i] = second.release();
        element->owner = owner;
        element->setEnds(first->p2, static_cast<NGraphLine*>(elements[i])->p1);
        elements.insert(elements.begin() + long(i), element);
        elements.insert(elements.begin() + long(i), first.release());
        return true;
    }
    return false;
}

void NFVetv::removeElement(NFizObj* entry) {
    auto it = std::find(elements.begin(), elements.end(), entry);
    if (it == elements.end()) return;
    size_t i = size_t(it - elements.begin());
    if (NGraphLine* seg = asSegment(entry)) {
        elements.erase(it);
        if (seg == trackSegment) trackSegment = nullptr;
        delete seg;
        return;
    }
    NGraphLine* before = i > 0 ? asSegment(elements[i - 1]) : nullptr;
    NGraphLine* after = i + 1 < elements.size() ? asSegment(elements[i + 1]) : nullptr;
    if (before && after) {
        before->setPoints(before->p1, after->p2);
        elements.erase(elements.begin() + long(i) + 1);
        delete after;
    }
    elements.erase(elements.begin() + long(i));
}

void NFVetv::insertAt(int index, NFizObj* entry) {
    if (index < 0) index = 0;
    if (index > int(elements.size())) index = int(elements.size());
    elements.insert(elements.begin() + index, entry);
}

void NFVetv::detach() {
    if (owner)
        for (NSetObj* c : components())
            owner->deleteObject(c);
    // Components that the document did not hold are only unlinked.
    std::erase_if(elements, [](NFizObj* e) { return asSegment(e) == nullptr; });
    freeSegments();
    NFTwoPole::detach();
}

void NFVetv::reverse() {
    for (NFizObj* e : elements) {
        if (NGraphLine* s = asSegment(e))
            s->reverse();
        else if (auto* c = dynamic_cast<NSetObj*>(e))
            c->orientation = c->orientation ? 0 : 1;
    }
    std::reverse(elements.begin(), elements.end());
    std::swap(node1, node2);
}

NFUsel* NFVetv::otherEnd(const NFUsel* node) const {
    if (node == node1) return node2;
    if (node == node2) return node1;
    return nullptr;
}

void NFVetv::saveToStream(BinaryWriter& w) {
    NFTwoPole::saveToStream(w);
    w.writeInt32(int32_t(cornerPoints.size()));
    for (Point p : cornerPoints)
        w.writePoint(p);
    writeRef(w, node1);
    writeRef(w, node2);
    w.writeInt32(int32_t(elements.size()));
    for (NFizObj* e : elements) {
        if (NGraphLine* s = asSegment(e)) {
            w.writeInt32(1);
            s->saveToStream(w);
        } else {
            w.writeInt32(2);
            writeRef(w, e);
        }
    }
}

void NFVetv::loadFromStream(BinaryReader& r) {
    NFTwoPole::loadFromStream(r);
    int32_t p = 0;
    r.readInt32(p);
    if (r.failed()) return;
    if (p < 0 || p > kMaxCorners || size_t(p) * 8 > r.remaining()) {
        r.fail("branch \"" + name + "\" has " + std::to_string(p) + " corner points");
        return;
    }
    cornerPoints.assign(size_t(p), Point{});
    for (Point& pt : cornerPoints)
        r.readPoint(pt);
    node1 = readRefAs<NFUsel>(r, "the first node of a branch");
    node2 = readRefAs<NFUsel>(r, "the second node of a branch");
    int32_t e = 0;
    r.readInt32(e);
    if (r.failed()) return;
    if (e < 0 || e > kMaxEntries || size_t(e) * 8 > r.remaining()) {
        r.fail("branch \"" + name + "\" has " + std::to_string(e) + " chain entries");
        return;
    }
    freeSegments();
    for (int i = 0; i < e && !r.failed(); ++i) {
        int32_t tag = 0;
        r.readInt32(tag);
        if (r.failed()) break;
        if (tag == 1) {
            auto seg = std::make_unique<NGraphLine>(true);
            seg->owner = owner;
            seg->loadFromStream(r);
            elements.push_back(seg.release());
        } else if (NSetObj* c = readRefAs<NSetObj>(r, "a component of a branch")) {
            elements.push_back(c);
        }
    }
    // The flag itself is not stored; the segments carry it.
    auto segs = segments();
    showArrows = !segs.empty() && segs.front()->arrow ? 1 : 0;
}

void setAllArrows(FizDisp& doc, bool show) {
    for (NFizObj* o : doc.objects())
        if (auto* b = dynamic_cast<NFVetv*>(o)) b->setArrows(show);
}

int countConnectedParts(const FizDisp& doc) {
    std::vector<NFUsel*> a;
    for (NFizObj* o : doc.objects())
        if (auto* n = kindCast<NFUsel>(o)) a.push_back(n);
    int count = 0;
    while (!a.empty()) {
        std::vector<NFUsel*> b{a.front()};
        a.erase(a.begin());
        for (size_t i = 0; i < b.size(); ++i) {
            for (NFizSemEl* e : b[i]->attached) {
                auto* branch = kindCast<NFVetv>(e);
                if (!branch) continue;
                NFUsel* other = branch->otherEnd(b[i]);
                if (!other || std::find(b.begin(), b.end(), other) != b.end()) continue;
                b.push_back(other);
                std::erase(a, other);
            }
            // The grounds are one point: every grounded node joins this part.
            if (b[i]->isGrounded())
                for (auto it = a.begin(); it != a.end();)
                    if ((*it)->isGrounded()) {
                        b.push_back(*it);
                        it = a.erase(it);
                    } else {
                        ++it;
                    }
        }
        ++count;
    }
    return count;
}

} // namespace qv
