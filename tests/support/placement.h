#pragma once
// Placing nodes and branches by clicks, as the editor does, for tests that build schemes.
#include <gtest/gtest.h>

#include <vector>

#include "components/branch.h"
#include "model/document.h"

namespace qv::test {

/// A node placed by one click at (x, y).
inline NTbeNode* placeNode(FizDisp& doc, int32_t x, int32_t y) {
    auto* n = new NTbeNode();
    n->owner = &doc;
    int state = 0;
    n->placePoint(state, x, y);
    EXPECT_EQ(state, -1);
    return n;
}

/// A branch placed by clicks: at `from` (on a node), on each corner, at `to` (on another node).
inline NTbeLine* placeBranch(FizDisp& doc, Point from, Point to, const std::vector<Point>& corners = {}) {
    auto* br = new NTbeLine();
    br->owner = &doc;
    int state = 0;
    br->placePoint(state, from.x, from.y);
    for (Point c : corners)
        br->placePoint(state, c.x, c.y);
    br->placePoint(state, to.x, to.y);
    EXPECT_EQ(state, -1);
    return br;
}

inline NTbeLine* placeBranch(FizDisp& doc, const NFUsel* a, const NFUsel* b,
                             const std::vector<Point>& corners = {}) {
    return placeBranch(doc, Point{a->x, a->y}, Point{b->x, b->y}, corners);
}

} // namespace qv::test
