#include "diagrams/looplist.h"

#include <QCoreApplication>
#include <algorithm>

#include "diagrams/loop.h"
#include "diagrams/loopdialogs.h"
#include "graphics/labels.h"
#include "model/context.h"
#include "model/document.h"

namespace qv {

NContDisp::~NContDisp() = default;

int NContDisp::indexOf(const NFCont* loop) const {
    for (int i = 0; i < count(); ++i)
        if (loops_[size_t(i)].get() == loop) return i;
    return -1;
}

bool NContDisp::add(NFCont* loop) {
    if (!loop || isFull()) return false;
    loops_.emplace_back(loop);
    loop->color = NFCont::kListedColor;
    return true;
}

bool NContDisp::remove(NFCont* loop) {
    auto it = std::find_if(loops_.begin(), loops_.end(), [&](auto& p) { return p.get() == loop; });
    if (it == loops_.end()) return false;
    loops_.erase(it);
    return true;
}

void NContDisp::clear() {
    loops_.clear();
}

void NContDisp::forget(const NFizObj* obj) {
    for (auto& l : loops_)
        if (static_cast<const NFizObj*>(l->nameLabel) == obj) l->nameLabel = nullptr;
}

void NContDisp::removeInvalid() {
    std::erase_if(loops_, [&](auto& l) { return !l->isIntact(); });
}

void NContDisp::paintHighlighted(Canvas* canvas) {
    for (auto& l : loops_)
        if (l->highlighted) l->draw(canvas);
}

void NContDisp::showList() {
    Context* ctx = document_->context();
    auto& dlg = ctx->dialog<LoopListDialog>();
    dlg.list = this;
    ctx->presenter()->exec(dlg);
    dlg.list = nullptr;
}

void NContDisp::reportFull() const {
    document_->context()->messages()->show(
        QCoreApplication::translate("qv::Message", "The loop list is full: it holds at most %1 loops.")
            .arg(kMaxLoops),
        QString(), MsgButtons::Ok, MsgIcon::Warning);
}

void NContDisp::saveToStream(BinaryWriter& w) {
    w.writeInt32(count());
    for (auto& l : loops_)
        l->saveToStream(w);
}

void NContDisp::loadFromStream(BinaryReader& r) {
    int32_t n = 0;
    r.readInt32(n);
    if (r.failed()) return;
    if (n < 0 || n > kMaxLoops) {
        r.fail("the loop list holds " + std::to_string(n) + " loops (at most " + std::to_string(kMaxLoops) +
               ")");
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
