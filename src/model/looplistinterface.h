#pragma once
// The loop list of a document as the document sees it. The loops themselves belong to a
// higher layer, which supplies the list (see `registerLoopList`); the document only asks it
// to forget deleted objects, drop broken loops, draw and stream itself.
#include "platform/binarystream.h"
#include "platform/canvas.h"

namespace qv {

class NFCont;
class NFizObj;

class NContDispV {
  public:
    static constexpr int kMaxLoops = 100;
    virtual ~NContDispV() = default;

    // In the order of the list's virtual table.
    /// Drops (and frees) the loops that refer to objects no longer in the document.
    virtual void removeInvalid() = 0;
    /// Removes and frees the first occurrence; false when the loop is not listed.
    virtual bool remove(NFCont* loop) = 0;
    /// Appends the loop, takes ownership of it and paints it green. Refused (false, the loop
    /// not taken) when the list is full.
    virtual bool add(NFCont* loop) = 0;
    /// Draws the loops whose properties are being shown.
    virtual void paintHighlighted(Canvas* canvas) = 0;
    /// The "Loops List" dialog, modal.
    virtual void showList() = 0;
    virtual void saveToStream(BinaryWriter& w) = 0;
    /// Reads the count and the loop records; the loops get the list's document as owner.
    virtual void loadFromStream(BinaryReader& r) = 0;

    // What the document and the loop tools need besides.
    virtual int count() const = 0;
    bool isFull() const { return count() >= kMaxLoops; }
    /// The loop at `i`, or null outside the list.
    virtual NFCont* get(int i) const = 0;
    virtual int indexOf(const NFCont* loop) const = 0;
    /// Frees every loop.
    virtual void clear() = 0;
    /// Drops every reference a loop holds to `obj` other than its path (its label), before
    /// the document destroys `obj`.
    virtual void forget(const NFizObj* obj) = 0;
    /// Tells the user that no more loops can be listed.
    virtual void reportFull() const = 0;
};

} // namespace qv
