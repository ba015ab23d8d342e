#pragma once
// The topology of a scheme: nodes and the branches between them. A branch is a chain of
// straight segments (owned) and components (owned by the document), read from node1 to node2.
#include <vector>

#include "components/circuitelement.h"

namespace qv {

class NGraphLine;

/// A node: a small circle where branches and other elements end.
class NFUsel : public NFizSemEl {
  public:
    static constexpr int kMaxAttached = 1002;
    const char* className() const override { return "NFUsel"; }
    void dragBy(int32_t dx, int32_t dy, Canvas* canvas) override;
    void editProperties() override;
    bool hitTest(int32_t x, int32_t y) override;
    bool endDrag() override;
    void placePoint(int& state, int32_t x, int32_t y) override;
    void draw(Canvas* canvas) override;
    void saveToStream(BinaryWriter& w) override;
    void loadFromStream(BinaryReader& r) override;
    void autoName() override;
    void getBounds(Rect& rect) override;
    void updateLabel(int a = 0, int b = 0) override;
    void defaultLabelPos(Point& p) override { p = {x + 10, y + 10}; }

    virtual void attachBranch(NFizSemEl* element, int32_t& px, int32_t& py);
    virtual void detachBranch(NFizSemEl* element);
    virtual void connectionPoint(NFizSemEl* element, Point& p);
    bool isGrounded() const;
    bool canAttach() const { return int(attached.size()) < kMaxAttached; }

    int32_t x = 0, y = 0;
    int32_t radius = 3;
    std::vector<NFizSemEl*> attached; ///< in the order they were attached; not owned
};

/// A branch: a chain of segments and components from node1 to node2.
class NFVetv : public NFTwoPole {
  public:
    static constexpr int kMaxEntries = 1001;
    static constexpr int kMaxCorners = 101;
    NFVetv() = default;
    ~NFVetv() override;
    const char* className() const override { return "NFVetv"; }
    void trackTo(int state, int32_t x, int32_t y, Canvas* canvas) override;
    void editProperties() override;
    void detach() override;
    bool hitTest(int32_t x, int32_t y) override;
    void placePoint(int& state, int32_t x, int32_t y) override;
    void draw(Canvas* canvas) override;
    void saveToStream(BinaryWriter& w) override;
    void loadFromStream(BinaryReader& r) override;
    void autoName() override;
    void getBounds(Rect& rect) override;
    void updateLabel(int a = 0, int b = 0) override;
    void defaultLabelPos(Point& p) override;
    void nodeMoved(NFUsel* node) override;
    void reverse() override;

    void setArrows(bool flag);
    bool insertElementAt(int32_t x, int32_t y, NSetObj* element);
    void removeElement(NFizObj* entry);
    void insertAt(int index, NFizObj* entry);
    NFUsel* otherEnd(const NFUsel* node) const;

    /// The entry as a segment, or null when it is a component.
    static NGraphLine* asSegment(NFizObj* entry);
    std::vector<NSetObj*> components() const;
    std::vector<NGraphLine*> segments() const;

    NGraphLine* trackSegment = nullptr; ///< the segment being drawn while placing
    std::vector<NFizObj*> elements;     ///< segments (owned) and components (not owned)
    std::vector<Point> cornerPoints;
    uint8_t showArrows = 0;

  protected:
    bool storesNodesInCommonPart() const override { return false; }
    void freeSegments();
};

/// DC and AC results of the last node-voltage solution for a branch; never stored.
struct NTbeLineData {
    Extended dcCurrent = 0;
    uint8_t calcFlag = 0; ///< 1 while the branch is in the last built solver model
    Extended acCurrentRe = 0, acCurrentIm = 0;
};

/// Node potentials of the last node-voltage solution; never stored.
struct NTbeNodeData {
    Extended dcPotential = 0;
    Extended acPotentialRe = 0, acPotentialIm = 0;
};

/// The branch of a working scheme: takes part in solutions.
class NTbeLine : public NFVetv {
  public:
    const char* className() const override { return "NTbeLine"; }
    NTbeLineData lineData;
};

/// The node of a working scheme: takes part in solutions.
class NTbeNode : public NFUsel {
  public:
    const char* className() const override { return "NTbeNode"; }
    NTbeNodeData nodeData;
};

/// "Set all branch arrows" (`show`) and "Kill all branch arrows".
void setAllArrows(FizDisp& doc, bool show);
/// Number of connected parts of the node graph of `doc`, all grounded nodes being one point
/// (as the methods solve them).
int countConnectedParts(const FizDisp& doc);

} // namespace qv
