#pragma once
// The loop list of a scheme document. Loops refer to branches and nodes of the document;
// the list drops the loops that a deletion made invalid.
#include <memory>
#include <vector>

#include "platform/binarystream.h"
#include "platform/canvas.h"

namespace qv {

class FizDisp;
class NFCont;

class NContDisp {
public:
    static constexpr int kMaxLoops = 100;
    explicit NContDisp(FizDisp* document) : document_(document) {}
    ~NContDisp();

    int count() const { return int(loops_.size()); }
    NFCont* get(int i) const { return i >= 0 && i < count() ? loops_[size_t(i)].get() : nullptr; }
    /// Appends a loop and takes it; false when the list is full.
    bool add(std::unique_ptr<NFCont> loop);
    void remove(NFCont* loop);
    /// Frees every loop.
    void clear();
    /// Drops the loops that refer to objects no longer in the document.
    void removeInvalid();
    void paintHighlighted(Canvas* canvas);
    void saveToStream(BinaryWriter& w);
    /// Reads the count and the loop records; loops get `document` as their owner.
    void loadFromStream(BinaryReader& r);

private:
    FizDisp* document_;
    std::vector<std::unique_ptr<NFCont>> loops_;
};

} // namespace qv
