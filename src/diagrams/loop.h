#pragma once
// A loop: a closed path through branches of the scheme, drawn by the user click by click.
// It lives in the document's loop list, not among the drawn objects. It refers to branches
// and nodes and owns none of them.
#include <memory>
#include <vector>

#include "components/circuitelement.h"

namespace qv {

class NTBEFizDisp;

class NFCont : public NFizSemEl {
  public:
    static constexpr int kMaxBranches = 100;
    static constexpr int kMaxEntries = kMaxBranches + 1; ///< nodes: one more than branches
    static constexpr Colour kBuildingColor = 255;        ///< red
    static constexpr Colour kListedColor = 32768;        ///< green

    NFCont() { removable = 1; }
    const char* className() const override { return "NFCont"; }
    void editProperties() override;
    /// One click of building the loop. State 0: nothing yet; 1: the path is open; -1: closed
    /// and taken by the document's loop list, which owns it from then on.
    void placePoint(int& state, int32_t x, int32_t y) override;
    void draw(Canvas* canvas) override;
    void saveToStream(BinaryWriter& w) override;
    void loadFromStream(BinaryReader& r) override;

    /// Appends a node to the path; true when the path has closed (a tail before the closing
    /// node is cut off).
    bool addNode(NFUsel* node);
    /// Appends a branch that leaves the path's last node, then its far end; true when the
    /// branch was taken and the path has closed.
    bool addBranch(NFVetv* branch);
    /// Removes the first k nodes and the first k branches.
    void dropPrefix(int k);
    /// True when every branch and node of the path is still in the document.
    bool isIntact() const;
    /// True when some branch of the loop carries a current source.
    bool hasCurrentSource() const;
    /// Runs the path the other way round: branches and nodes in reverse order.
    void reverse();

    Colour color = kBuildingColor;
    std::vector<NFVetv*> branches; ///< in path order
    std::vector<NFUsel*> nodes;    ///< in path order; closed: one more than branches
    uint8_t throughGround = 0;     ///< boolean: the path has passed a grounded node
};

/// "New Loop": a loop of `doc` to be built by clicks. The caller owns it until it closes.
std::unique_ptr<NFCont> newLoop(NTBEFizDisp& doc);
/// Feeds one mouse-down to a loop being built. When the loop closes, the document's loop
/// list owns it and `loop` is left empty; the caller then repaints the page.
void placeLoopPoint(std::unique_ptr<NFCont>& loop, int& state, int32_t x, int32_t y);

} // namespace qv
