#pragma once
// The abstract circuit elements: what has a name and a label (nodes, branches, components,
// grounds, loops), with two ends on nodes, or sitting in a gap of a branch.
#include <memory>
#include <string>

#include "model/document.h"
#include "model/sceneobject.h"

namespace qv {

class NFUsel;
class NFVetv;
class NGraphLine;
class NUniLabel;

/// Longest name an element (node, branch, component, loop) keeps, in characters.
inline constexpr int kNameLength = 20;

/// `s` cut to `n` characters (a character is one byte in the file's code page).
std::string cutToCharacters(const std::string& s, int n);

/// A circuit element: has a name and a label (a separate object of the same document).
class NFizSemEl : public NFizObj {
  public:
    LayerRole layerRole() const override { return LayerRole::Element; }
    void detach() override;
    void saveToStream(BinaryWriter& w) override;
    void loadFromStream(BinaryReader& r) override;
    /// Creates the label if there is none, brings its text up to date and draws it.
    virtual void updateLabel(int a = 0, int b = 0);
    virtual void defaultLabelPos(Point& p) { p = {-10000, -10000}; }

    NUniLabel* nameLabel = nullptr;
    std::string name; ///< at most kNameLength characters
    Point labelPos;

  protected:
    /// The common tail of every label upkeep: flags, owner, placement at `labelPos`, drawing.
    void placeLabel();
    /// The common head of the label upkeep of nodes, branches and components: an existing
    /// label gives `labelPos`; otherwise `fresh` (made only when there is no label) is added at
    /// the default position, filed as label `kind`. False when the document cannot take it.
    bool ensureLabel(std::unique_ptr<NUniLabel> fresh, LabelKind kind);
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
    std::unique_ptr<NGraphLine> symbolLine; ///< carries the base hit test and drawing
    Point endPoint;                         ///< terminal on the side of the branch's node2
    Point startPoint;                       ///< terminal on the side of the branch's node1
    uint8_t orientation = 1;                ///< boolean: follows the branch direction
    int32_t length = 10;                    ///< gap cut out of a segment on insertion
};

/// The early voltage-source element: draws a circle and edits its EMF. Not in the class
/// registry, so it does not survive saving.
class NEDSObj : public NSetObj {
  public:
    NEDSObj() { length = 30; }
    const char* className() const override { return "NEDSObj"; }
    /// The "DC Voltage source" dialog with the value at full precision and "Change
    /// direction" showing the orientation.
    void editProperties() override;
    void draw(Canvas* canvas) override;

    Extended emf = 0;
};

} // namespace qv
