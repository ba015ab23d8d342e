#pragma once
// A loop: a closed path through branches of the scheme, drawn by the user click by click.
// It lives in the document's loop list, not among the drawn objects.
#include <vector>

#include "model/nfizobj.h"

namespace qv {

class NFCont : public NFizSemEl {
public:
    static constexpr int kMaxEntries = 101;
    NFCont() { removable = 1; }
    const char* className() const override { return "NFCont"; }
    void draw(Canvas* canvas) override;
    void saveToStream(BinaryWriter& w) override;
    void loadFromStream(BinaryReader& r) override;

    /// True when every branch and node of the path is still in the document.
    bool refersOnlyTo(const FizDisp& doc) const;

    Colour color = 255;
    std::vector<NFVetv*> branches;  ///< in path order
    std::vector<NFUsel*> nodes;     ///< in path order; closed: one more than branches
    uint8_t throughGround = 0;
};

} // namespace qv
