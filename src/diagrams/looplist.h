#pragma once
// The loop list of a scheme document. It owns its loops; the loops refer to branches and
// nodes of the document, and the list drops the loops that a deletion made invalid.
#include <memory>
#include <vector>

#include "model/looplistinterface.h"

namespace qv {

class FizDisp;
class NFCont;
class NFizObj;

class NContDisp : public NContDispV {
  public:
    explicit NContDisp(FizDisp* document) : document_(document) {}
    ~NContDisp() override;

    void removeInvalid() override;
    bool remove(NFCont* loop) override;
    bool add(NFCont* loop) override;
    void paintHighlighted(Canvas* canvas) override;
    void showList() override;
    void saveToStream(BinaryWriter& w) override;
    void loadFromStream(BinaryReader& r) override;

    int count() const override { return int(loops_.size()); }
    NFCont* get(int i) const override { return i >= 0 && i < count() ? loops_[size_t(i)].get() : nullptr; }
    int indexOf(const NFCont* loop) const override;
    void clear() override;
    void forget(const NFizObj* obj) override;
    void reportFull() const override;

  private:
    FizDisp* document_;
    std::vector<std::unique_ptr<NFCont>> loops_;
};

} // namespace qv
