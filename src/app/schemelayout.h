#pragma once
// Where the nodes and branches of a scheme built from a netlist go: nodes on the grid,
// branches as straight or right-angled lines that do not run over each other or over nodes,
// with room for their components. Pure geometry, no document.
#include <string>
#include <vector>

#include "platform/types.h"

namespace qv {

struct LayoutInput {
    struct Branch {
        int node1 = 0, node2 = 0;
        int components = 1;
        std::vector<std::string> componentLabels; ///< "R1", to measure their names by
        std::string label;                        ///< "I1"
    };
    int nodes = 0;
    std::vector<std::string> nodeLabels;
    /// A node drawn below the others, which branches may reach as straight lines from
    /// anywhere (the ground, which often has more branches than four right-angled lines can
    /// bring to a point); -1 for none.
    int hub = -1;
    std::vector<Branch> branches;
};

struct SchemeLayout {
    std::vector<Point> nodes;
    /// Per branch: its points from node1's centre to node2's, corners between.
    std::vector<std::vector<Point>> routes;
    /// Per branch: where its components go, in order from node1, each centred in a free
    /// stretch of one straight piece (away from corners and from lines crossing it).
    std::vector<std::vector<Point>> components;
    /// Per node: where its name goes.
    std::vector<Point> labels;
    /// Per branch: where its name goes; per component: where its name goes (the top left of
    /// the text).
    std::vector<Point> branchLabels;
    std::vector<std::vector<Point>> componentLabels;
    Point groundEnd; ///< the free end of the hub's ground symbol
    Point titleAt;   ///< above the drawing
    /// False when more branches meet at some node than right-angled and straight lines can
    /// bring there apart: some are bent once at another angle.
    bool tidy = true;
};

/// Lays the scheme out: the nodes other than the hub in a row ordered so that chains stay
/// together (a ladder's rail in its order), the hub below the row's middle; branches between
/// neighbours straight, those to the hub straight (a fan), others as arches on tracks of
/// their own; when that cannot be done without overlaps, the nodes on a circle with straight
/// chords, parallel branches right-angled beside them.
SchemeLayout layOutScheme(const LayoutInput& input);

/// What breaks the rules in a drawing (two branches running over each other or touching away
/// from a node, a branch over a node, and with `rightAngles` a bent branch with a piece that
/// is not horizontal or vertical), or empty when nothing does.
std::string layoutFault(const std::vector<Point>& nodes, const std::vector<std::vector<Point>>& routes,
                        const std::vector<std::pair<int, int>>& ends, bool rightAngles = true);

} // namespace qv
