#pragma once
// The root of every scheme object and the abstract element classes: the one polymorphic
// interface that documents and the editor call without knowing the concrete class.
#include <memory>
#include <string>

#include "platform/canvas.h"
#include "platform/extended.h"
#include "platform/types.h"

namespace qv {

class BinaryReader;
class BinaryWriter;
class FizDisp;
class NFUsel;
class NFVetv;
class NGraphLine;
class NUniLabel;

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

    Pen pen;
    uint8_t reservedFlag1 = 0;
    uint8_t highlighted = 0;  ///< boolean; loops set it while their dialog is open
    uint8_t removable = 1;    ///< boolean; the user may delete the object on its own
    uint8_t reservedFlag2 = 0;
    FizDisp* owner = nullptr;

protected:
    /// The canvas of the owning document (a painter-less one when there is none).
    Canvas* ownerCanvas() const;
    /// Reference fields in records: the index of the object in the owner's list, -1 for none.
    void writeRef(BinaryWriter& w, const NFizObj* obj) const;
    NFizObj* readRef(BinaryReader& r) const;
    /// Reads a reference that must be of type T (or none); anything else fails the read.
    template <class T>
    T* readRefAs(BinaryReader& r, const char* what) const;
};

/// A calculation attached to a document; never drawn.
class NCalcClass : public NFizObj {};

/// A circuit element: has a name and a label (a separate object of the same document).
class NFizSemEl : public NFizObj {
public:
    void detach() override;
    void saveToStream(BinaryWriter& w) override;
    void loadFromStream(BinaryReader& r) override;
    /// Creates the label if there is none, brings its text up to date and draws it.
    virtual void updateLabel(int a = 0, int b = 0);
    virtual void defaultLabelPos(Point& p) { p = {-10000, -10000}; }

    NUniLabel* nameLabel = nullptr;
    std::string name;  ///< at most 20 characters
    Point labelPos;

protected:
    /// The common tail of every label upkeep: flags, owner, placement at `labelPos`, drawing.
    void placeLabel();
    /// The common head of the label upkeep of nodes, branches and components: an existing
    /// label gives `labelPos`; otherwise `fresh` (made only when there is no label) is added at
    /// the default position, filed as label `kind`. False when the document cannot take it.
    bool ensureLabel(std::unique_ptr<NUniLabel> fresh, uint8_t kind);
};

/// An element with two ends, each on a node.
class NFTwoPole : public NFizSemEl {
public:
    void detach() override;
    void placePoint(int& state, int32_t x, int32_t y) override;
    void saveToStream(BinaryWriter& w) override;
    void loadFromStream(BinaryReader& r) override;
    virtual void nodeMoved(NFUsel* node) {}
    virtual void reverse() {}

    Point curPoint;
    NFUsel* node1 = nullptr;
    NFUsel* node2 = nullptr;

protected:
    /// Branches store their nodes in their own record, not in the common part.
    virtual bool storesNodesInCommonPart() const { return true; }
};

/// An element with one end on a node and one free end (the ground).
class NNodeObj : public NFTwoPole {
public:
    void trackTo(int state, int32_t x, int32_t y, Canvas* canvas) override;
    void placePoint(int& state, int32_t x, int32_t y) override;

    Point freeEnd;
};

/// An element placed in a gap of a branch segment (the components).
class NSetObj : public NFizSemEl {
public:
    NSetObj();
    ~NSetObj() override;
    void editProperties() override {}
    void detach() override;
    bool hitTest(int32_t x, int32_t y) override;
    void placePoint(int& state, int32_t x, int32_t y) override;
    void draw(Canvas* canvas) override;
    void saveToStream(BinaryWriter& w) override;
    void loadFromStream(BinaryReader& r) override;
    void defaultLabelPos(Point& p) override;
    void getBounds(Rect& rect) override;
    virtual void setEnds(Point p1, Point p2);

    NFVetv* branch = nullptr;
    std::unique_ptr<NGraphLine> symbolLine;  ///< carries the base hit test and drawing
    Point endPoint;                          ///< terminal on the side of the branch's node2
    Point startPoint;                        ///< terminal on the side of the branch's node1
    uint8_t orientation = 1;                 ///< boolean: follows the branch direction
    int32_t length = 10;                     ///< gap cut out of a segment on insertion
};

/// The early voltage-source element: draws a circle and edits its EMF. Not in the class
/// registry, so it does not survive saving.
class NEDSObj : public NSetObj {
public:
    NEDSObj() { length = 30; }
    const char* className() const override { return "NEDSObj"; }
    void draw(Canvas* canvas) override;

    Extended emf = 0;
};

} // namespace qv
