#include "diagrams/nfcont.h"

#include "model/branch.h"
#include "model/fizdisp.h"

namespace qv {

void NFCont::draw(Canvas* canvas) {
    Pen saved = canvas->pen();
    Pen p = saved;
    p.color = color;
    canvas->setPen(p);
    for (NFVetv* b : branches)
        if (b) b->draw(canvas);
    canvas->setPen(saved);
}

void NFCont::saveToStream(BinaryWriter& w) {
    NFizSemEl::saveToStream(w);
    if (!owner) return;
    w.writeInt32(int32_t(nodes.size()));
    w.writeInt32(int32_t(branches.size()));
    w.writeColour(color);
    w.writeByte(throughGround);
    for (NFVetv* b : branches) writeRef(w, b);
    for (NFUsel* n : nodes) writeRef(w, n);
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
    if (nodeCount < 0 || nodeCount > kMaxEntries || branchCount < 0 || branchCount > kMaxEntries) {
        r.fail("loop \"" + name + "\" has " + std::to_string(branchCount) + " branches and " +
               std::to_string(nodeCount) + " nodes (at most " + std::to_string(kMaxEntries) + " each)");
        return;
    }
    if (size_t(nodeCount + branchCount) * 4 > r.remaining()) {
        r.fail("loop \"" + name + "\" is cut short");
        return;
    }
    branches.clear();
    nodes.clear();
    for (int i = 0; i < branchCount && !r.failed(); ++i) branches.push_back(readRefAs<NFVetv>(r, "a loop branch"));
    for (int i = 0; i < nodeCount && !r.failed(); ++i) nodes.push_back(readRefAs<NFUsel>(r, "a loop node"));
}

bool NFCont::refersOnlyTo(const FizDisp& doc) const {
    for (NFVetv* b : branches)
        if (!b || doc.indexOfObject(b) < 0) return false;
    for (NFUsel* n : nodes)
        if (!n || doc.indexOfObject(n) < 0) return false;
    return true;
}

} // namespace qv
