#include "diagrams/loop.h"

#include <algorithm>

#include "components/branch.h"
#include "components/components.h"
#include "diagrams/loopdialogs.h"
#include "diagrams/looplist.h"
#include "model/context.h"
#include "model/document.h"

namespace qv {

void NFCont::placePoint(int& state, int32_t x, int32_t y) {
    if (!owner || state == kPlacementDone) return;
    NContDispV& list = owner->loops();
    // A path whose branch or node has been deleted meanwhile refers to nothing; start afresh.
    if (state > 0 && !isIntact()) {
        branches.clear();
        nodes.clear();
        throughGround = 0;
        state = 0;
    }
    NFizObj* found = nullptr;
    bool hit = owner->findAt(x, y, found);
    if (state == 0) {
        if (auto* node = hit ? dynamic_cast<NFUsel*>(found) : nullptr) {
            // A loop that could not be listed is not worth drawing.
            if (list.isFull()) {
                list.reportFull();
                return;
            }
            addNode(node);
            state = 1;
        }
    } else if (auto* branch = hit ? dynamic_cast<NFVetv*>(found) : nullptr) {
        if (list.isFull()) {
            list.reportFull();
        } else if (addBranch(branch)) {
            state = kPlacementDone;
            owner->nextNumberFor(className(), name);
            name = cutToCharacters(name, kNameLength);
            list.add(this);
        }
    }
    draw(owner->canvas());
}

bool NFCont::addBranch(NFVetv* branch) {
    if (!branch || nodes.empty()) return false;
    NFUsel* last = nodes.back();
    if (!last || std::find(last->attached.begin(), last->attached.end(), branch) == last->attached.end())
        return false;
    if (std::find(branches.begin(), branches.end(), branch) != branches.end()) return false;
    if (int(branches.size()) >= kMaxBranches || int(nodes.size()) >= kMaxEntries) return false;
    NFUsel* other = branch->otherEnd(last);
    if (!other) {
        // The branch is listed on the node but does not end there. A path cannot go on from
        // an unknown node, so the branch is not taken and the path stays where it was.
        if (owner)
            owner->context()->messages()->show(
                QString::fromUtf8(QT_TRANSLATE_NOOP("qv::Message", "Нарушена целостность")), QString(),
                MsgButtons::Ok, MsgIcon::Information);
        return false;
    }
    branches.push_back(branch);
    return addNode(other);
}

bool NFCont::addNode(NFUsel* node) {
    if (!node || int(nodes.size()) >= kMaxEntries) return false;
    int k = -1;
    bool grounded = node->isGrounded();
    if (grounded && throughGround) {
        // Every ground is one and the same point: any grounded node already passed closes.
        for (int i = int(nodes.size()) - 1; i >= 0 && k < 0; --i)
            if (nodes[size_t(i)] && nodes[size_t(i)]->isGrounded()) k = i;
    } else {
        if (grounded) throughGround = 1;
        for (int i = int(nodes.size()) - 1; i >= 0 && k < 0; --i)
            if (nodes[size_t(i)] == node) k = i;
    }
    nodes.push_back(node);
    if (k < 0) return false;
    dropPrefix(k);
    return true;
}

void NFCont::dropPrefix(int k) {
    if (k <= 0) return;
    nodes.erase(nodes.begin(), nodes.begin() + std::min<ptrdiff_t>(k, ptrdiff_t(nodes.size())));
    branches.erase(branches.begin(), branches.begin() + std::min<ptrdiff_t>(k, ptrdiff_t(branches.size())));
}

bool NFCont::isIntact() const {
    // Nodes are checked too: a loop read from a file may name a node none of its branches
    // ends on, and such a node can be deleted on its own.
    for (NFVetv* b : branches)
        if (!b || !owner || owner->indexOfObject(b) < 0) return false;
    for (NFUsel* n : nodes)
        if (!n || !owner || owner->indexOfObject(n) < 0) return false;
    return true;
}

bool NFCont::hasCurrentSource() const {
    for (NFVetv* b : branches) {
        if (!b) continue;
        for (NSetObj* c : b->components())
            if (auto* u = dynamic_cast<NUniSetObj*>(c); u && u->isCurrentSource()) return true;
    }
    return false;
}

void NFCont::reverse() {
    std::reverse(branches.begin(), branches.end());
    std::reverse(nodes.begin(), nodes.end());
}

void NFCont::draw(Canvas* canvas) {
    Pen saved = canvas->pen();
    Pen p = saved;
    p.color = color;
    canvas->setPen(p);
    for (NFVetv* b : branches)
        if (b) b->draw(canvas);
    canvas->setPen(saved);
}

void NFCont::editProperties() {
    if (!owner) return;
    Context* ctx = owner->context();
    auto& dlg = ctx->dialog<LoopPropertiesDialog>();
    highlighted = 1;
    QStringList lines;
    for (NFVetv* b : branches)
        lines << (QString::fromUtf8("ветвь") + QString::fromStdString(b ? b->name : std::string())).left(25);
    DialogField& list = dlg.field("branches");
    list.items = lines;
    list.choice = -1;
    dlg.field("color").color = color;
    dlg.field("name").text = QString::fromStdString(name);
    draw(owner->canvas());
    ctx->presenter()->exec(dlg);
    list.items.clear();
    // The dialog has no Cancel: whatever it holds when it closes is taken.
    name = cutToCharacters(dlg.field("name").text.toStdString(), kNameLength);
    color = dlg.field("color").color;
    if (dlg.directionChanged()) reverse();
    highlighted = 0;
    // Drawn over the branches, it leaves only with a whole repaint of the page.
    owner->canvas()->refresh();
}

void NFCont::saveToStream(BinaryWriter& w) {
    NFizSemEl::saveToStream(w);
    if (!owner) return;
    w.writeInt32(int32_t(nodes.size()));
    w.writeInt32(int32_t(branches.size()));
    w.writeColour(color);
    w.writeByte(throughGround);
    for (NFVetv* b : branches)
        writeRef(w, b);
    for (NFUsel* n : nodes)
        writeRef(w, n);
}

void NFCont::loadFromStream(BinaryReader& r) {
    NFizSemEl::loadFromStream(r);
    if (!owner) return;
    int32_t nodeCount = 0, branchCount = 0;
    r.readInt32(nodeCount);
    r.readInt32(branchCount);
    r.readColour(color);
    r.readByte(throughGround);
    if (r.failed()) return;
    if (nodeCount < 0 || nodeCount > kMaxEntries || branchCount < 0 || branchCount > kMaxBranches) {
        r.fail("loop \"" + name + "\" has " + std::to_string(branchCount) + " branches and " +
               std::to_string(nodeCount) + " nodes (at most " + std::to_string(kMaxBranches) + " and " +
               std::to_string(kMaxEntries) + ")");
        return;
    }
    if (size_t(nodeCount + branchCount) * 4 > r.remaining()) {
        r.fail("loop \"" + name + "\" is cut short");
        return;
    }
    branches.clear();
    nodes.clear();
    for (int i = 0; i < branchCount && !r.failed(); ++i)
        branches.push_back(readRefAs<NFVetv>(r, "a loop branch"));
    for (int i = 0; i < nodeCount && !r.failed(); ++i)
        nodes.push_back(readRefAs<NFUsel>(r, "a loop node"));
}

std::unique_ptr<NFCont> newLoop(NTBEFizDisp& doc) {
    auto loop = std::make_unique<NFCont>();
    loop->owner = &doc;
    return loop;
}

void placeLoopPoint(std::unique_ptr<NFCont>& loop, int& state, int32_t x, int32_t y) {
    if (!loop) return;
    loop->placePoint(state, x, y);
    if (state != kPlacementDone) return;
    if (loop->owner && loop->owner->loops().indexOf(loop.get()) >= 0)
        loop.release(); // the loop list owns it now
    else
        loop.reset();
}

} // namespace qv
