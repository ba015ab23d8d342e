#pragma once
// The root of every scheme object: the one polymorphic interface that documents and the
// editor call without knowing the concrete class.
#include <memory>
#include <string>

#include "platform/canvas.h"
#include "platform/extended.h"
#include "platform/types.h"

namespace qv {

class BinaryReader;
class BinaryWriter;
class FizDisp;

/// The placement state an object answers when it is complete and has added itself to its
/// document. 0 means nothing is fixed yet; a positive state counts the points fixed so far.
inline constexpr int kPlacementDone = -1;

/// Which layer of a layered document an object is filed into.
enum class LayerRole { Element, Label, Drawing };

/// Root of every object a document holds. Owns its pen; `owner` is not owned.
class NFizObj {
  public:
    NFizObj() = default;
    virtual ~NFizObj() = default;
    NFizObj(const NFizObj&) = delete;
    NFizObj& operator=(const NFizObj&) = delete;

    /// The class registry name written into files ("NGrLine", "NTbeNode", ...).
    virtual const char* className() const = 0;

    // The virtual interface, in its fixed order. `canvas` is never null.
    virtual void dragBy(int32_t dx, int32_t dy, Canvas* canvas) {}
    virtual void dragByDC(int32_t dx, int32_t dy, Canvas* canvas) {}
    virtual void trackTo(int state, int32_t x, int32_t y, Canvas* canvas) {}
    virtual void trackToDC(int state, int32_t x, int32_t y, Canvas* canvas) {}
    virtual void editProperties() {}
    virtual void detach() {}
    virtual bool hitTest(int32_t x, int32_t y) { return false; }
    virtual bool endDrag() { return true; }
    virtual void placePoint(int& state, int32_t x, int32_t y) {}
    virtual void draw(Canvas* canvas) {}
    virtual void drawDC(Canvas* canvas) {}
    virtual void drawHighlighted(Canvas* canvas);
    virtual void copyTo(NFizObj* target);
    virtual void saveToStream(BinaryWriter& w);
    virtual void loadFromStream(BinaryReader& r);
    virtual void paint(Canvas* canvas);
    virtual void autoName() {}
    virtual void getBounds(Rect& rect) {}
    virtual void paintDC(Canvas* canvas) { paint(canvas); }

    /// Elements and labels answer for themselves; everything else is a drawing.
    virtual LayerRole layerRole() const { return LayerRole::Drawing; }

    Pen pen;
    uint8_t reservedFlag1 = 0;
    uint8_t highlighted = 0; ///< boolean; loops set it while their dialog is open
    uint8_t removable = 1;   ///< boolean; the user may delete the object on its own
    uint8_t reservedFlag2 = 0;
    FizDisp* owner = nullptr;

  protected:
    /// The canvas of the owning document (a painter-less one when there is none).
    Canvas* ownerCanvas() const;
    /// Reference fields in records: the index of the object in the owner's list, -1 for none.
    void writeRef(BinaryWriter& w, const NFizObj* obj) const;
    NFizObj* readRef(BinaryReader& r) const;
    /// Reads a reference that must be of type T (or none); anything else fails the read.
    template <class T> T* readRefAs(BinaryReader& r, const char* what) const {
        NFizObj* obj = readRef(r);
        if (!obj) return nullptr;
        if (T* typed = dynamic_cast<T*>(obj)) return typed;
        failWrongClass(r, what, obj);
        return nullptr;
    }

  private:
    void failWrongClass(BinaryReader& r, const char* what, const NFizObj* obj) const;
};

/// A calculation attached to a document; never drawn.
class NCalcClass : public NFizObj {};

} // namespace qv
