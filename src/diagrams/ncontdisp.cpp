#include "diagrams/ncontdisp.h"

#include <algorithm>

#include "diagrams/nfcont.h"
#include "model/fizdisp.h"

namespace qv {

NContDisp::~NContDisp() = default;

bool NContDisp::add(std::unique_ptr<NFCont> loop) {
    if (count() >= kMaxLoops) return false;
    loops_.push_back(std::move(loop));
    return true;
}

void NContDisp::remove(NFCont* loop) {
    auto it = std::find_if(loops_.begin(), loops_.end(), [&](auto& p) { return p.get() == loop; });
    if (it != loops_.end()) loops_.erase(it);
}

void NContDisp::clear() { loops_.clear(); }

void NContDisp::removeInvalid() {
    std::erase_if(loops_, [&](auto& l) { return !l->refersOnlyTo(*document_); });
}

void NContDisp::paintHighlighted(Canvas* canvas) {
    for (auto& l : loops_)
        if (l->highlighted) l->draw(canvas);
}

void NContDisp::saveToStream(BinaryWriter& w) {
    w.writeInt32(count());
    for (auto& l : loops_) l->saveToStream(w);
}

void NContDisp::loadFromStream(BinaryReader& r) {
    int32_t n = 0;
    r.readInt32(n);
    if (r.failed()) return;
    if (n < 0 || n > kMaxLoops) {
        r.fail("the loop list holds " + std::to_string(n) + " loops (at most " + std::to_string(kMaxLoops) + ")");
        return;
    }
    loops_.clear();
    for (int i = 0; i < n && !r.failed(); ++i) {
        auto loop = std::make_unique<NFCont>();
        loop->owner = document_;
        loop->loadFromStream(r);
        loops_.push_back(std::move(loop));
    }
}

} // namespace qv
