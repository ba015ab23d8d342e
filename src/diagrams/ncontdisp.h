#pragma once
// The loop list of a scheme document. It owns its loops; the loops refer to branches and
// nodes of the document, and the list drops the loops that a deletion made invalid.
#include <memory>
#include <vector>

#include "platform/binarystream.h"
#include "platform/canvas.h"

namespace qv {

class FizDisp;
class NFCont;
class NFizObj;

class NContDisp {
  public:
    static constexpr int kMaxLoops = 100;
    explicit NContDisp(FizDisp* document) : document_(document) {}
    ~NContDisp();

    int count() const { return int(loops_.size()); }
    bool isFull() const { return count() >= kMaxLoops; }
    NFCont* get(int i) const { return i >= 0 && i < count() ? loops_[size_t(i)].get() : nullptr; }
    int indexOf(const NFCont* loop) const;
    /// Appends the loop, takes ownership of it and paints it green. Refused (false, the loop
    /// not taken) when the list is full.
    bool add(NFCont* loop);
    bool add(std::unique_ptr<NFCont> loop);
    /// Removes and frees the first occurrence; false when the loop is not listed.
    bool remove(NFCont* loop);
    /// Frees every loop.
    void clear();
    /// Drops (and frees) the loops that refer to objects no longer in the document.
    void removeInvalid();
    /// Drops every reference a loop holds to `obj` other than its path (its label), before
    /// the document destroys `obj`.
    void forget(const NFizObj* obj);
    /// Draws the loops whose properties are being shown.
    void paintHighlighted(Canvas* canvas);
    /// The "Loops List" dialog, modal.
    void showList();
    void saveToStream(BinaryWriter& w);
    /// Reads the count and the loop records; loops get `document` as their owner.
    void loadFromStream(BinaryReader& r);

    /// Tells the user that no more loops can be listed.
    void reportFull() const;

  private:
    FizDisp* document_;
    std::vector<std::unique_ptr<NFCont>> loops_;
};

} // namespace qv
