// The layout of a scheme made from a netlist: nodes on the grid, branches straight or
// right-angled, none over another or over a node, components in free stretches, and a ladder
// laid out as a ladder.
#include <gtest/gtest.h>

#include <map>
#include <random>

#include "app/netlistimport.h"
#include "app/netlistreader.h"
#include "app/schemelayout.h"
#include "components/branch.h"
#include "components/components.h"
#include "graphics/primitives.h"
#include "platform/segments.h"
#include "support/componentbench.h"

using namespace qv;

namespace {

std::vector<std::pair<int, int>> endsOf(const LayoutInput& in) {
    std::vector<std::pair<int, int>> e;
    for (const auto& b : in.branches)
        e.push_back({b.node1, b.node2});
    return e;
}

/// The route of a branch as the scheme holds it: its segments, the gaps of its components
/// straight between them.
std::vector<Point> routeOf(const NFVetv& b) {
    std::vector<Point> pts{{b.node1->x, b.node1->y}};
    for (NGraphLine* s : b.segments())
        for (Point p : {s->p1, s->p2})
            if (!(p == pts.back())) pts.push_back(p);
    // Points on a straight run are no corners (a component's gap may be a pixel off it, where
    // its ends were rounded on a slanting branch).
    std::vector<Point> corners{pts.front()};
    for (size_t i = 1; i + 1 < pts.size(); ++i)
        if (distanceToSegment(pts[i], corners.back(), pts[i + 1]) > 2) corners.push_back(pts[i]);
    corners.push_back(pts.back());
    return corners;
}

} // namespace

TEST(SchemeLayout, ALadderIsALadder) {
    std::string text = "ladder\nV1 in 0 10\nR0 in n1 100\n";
    for (int k = 1; k <= 12; ++k) {
        if (k > 1)
            text +=
                "R" + std::to_string(k) + "s n" + std::to_string(k - 1) + " n" + std::to_string(k) + " 100\n";
        text += "R" + std::to_string(k) + "p n" + std::to_string(k) + " 0 1k\n";
    }
    const NetlistReading r = readNetlist(text);
    ASSERT_TRUE(r.ok());
    test::ComponentBench b;
    buildSchemeFromNetlist(r.netlist, b.doc);

    std::map<std::string, NFUsel*> nodes;
    std::vector<NFVetv*> branches;
    for (NFizObj* o : b.doc.objects()) {
        if (auto* n = dynamic_cast<NFUsel*>(o)) nodes[n->name] = n;
        if (auto* v = dynamic_cast<NFVetv*>(o)) branches.push_back(v);
    }
    // The rail: n1 .. n11 in order on one row (n12 joins two elements and is inside the last
    // rung), the ground below its middle.
    ASSERT_EQ(nodes.size(), 12u);
    for (int k = 1; k < 11; ++k) {
        const NFUsel* a = nodes.at("n" + std::to_string(k));
        const NFUsel* c = nodes.at("n" + std::to_string(k + 1));
        EXPECT_EQ(a->y, c->y);
        EXPECT_LT(a->x, c->x);
    }
    const NFUsel* ground = nodes.at("0");
    EXPECT_GT(ground->y, nodes.at("n1")->y + 200);
    EXPECT_GT(ground->x, nodes.at("n1")->x);
    EXPECT_LT(ground->x, nodes.at("n11")->x);
    EXPECT_TRUE(ground->isGrounded());
    int rungs = 0, rails = 0;
    std::vector<std::vector<Point>> routes;
    std::vector<std::pair<int, int>> ends;
    std::vector<Point> centres;
    std::map<const NFUsel*, int> index;
    for (NFUsel* n : [&] {
             std::vector<NFUsel*> v;
             for (auto& [name, n] : nodes)
                 v.push_back(n);
             return v;
         }()) {
        index[n] = int(centres.size());
        centres.push_back({n->x, n->y});
        EXPECT_EQ(n->x % 10, 0);
        EXPECT_EQ(n->y % 10, 0);
    }
    for (NFVetv* v : branches) {
        routes.push_back(routeOf(*v));
        ends.push_back({index.at(v->node1), index.at(v->node2)});
        const bool toGround = v->node1 == ground || v->node2 == ground;
        // Rails run straight between neighbours; rungs straight down to the ground.
        if (!toGround && routes.back().size() == 2 && v->node1->y == v->node2->y) ++rails;
        if (toGround && routes.back().size() == 2) ++rungs;
    }
    EXPECT_EQ(rails, 10);
    EXPECT_GE(rungs, 10);
    EXPECT_EQ(layoutFault(centres, routes, ends), "");
}

/// A random circuit: a tree of `nodes`, then `extra` branches, at most `parallel` between a
/// pair and at most `busy` at a node other than the hub.
LayoutInput randomCircuit(std::mt19937& rng, int nodes, int extra, int parallel, int busy) {
    LayoutInput in;
    in.nodes = nodes;
    in.hub = rng() % 3 ? int(rng() % unsigned(nodes)) : -1;
    std::map<std::pair<int, int>, int> pairs;
    std::vector<int> degree(static_cast<size_t>(nodes));
    auto add = [&](int a, int c) {
        const auto key = std::minmax(a, c);
        if (pairs[key] >= parallel) return;
        if ((a != in.hub && degree[size_t(a)] >= busy) || (c != in.hub && degree[size_t(c)] >= busy)) return;
        ++pairs[key];
        ++degree[size_t(a)];
        ++degree[size_t(c)];
        in.branches.push_back({a, c, 1 + int(rng() % 3)});
    };
    for (int i = 1; i < nodes; ++i)
        add(int(rng() % unsigned(i)), i);
    for (int k = 0; k < extra; ++k) {
        const int a = int(rng() % unsigned(nodes));
        const int c = (a + 1 + int(rng() % unsigned(nodes - 1))) % nodes;
        add(a, c);
    }
    return in;
}

std::string shapeOf(const LayoutInput& in) {
    std::string shape = std::to_string(in.nodes) + " nodes, hub " + std::to_string(in.hub) + ":";
    for (const auto& br : in.branches)
        shape += " " + std::to_string(br.node1) + "-" + std::to_string(br.node2);
    return shape;
}

bool onRoute(Point c, const std::vector<Point>& route) {
    for (size_t i = 0; i + 1 < route.size(); ++i)
        if (distanceToSegment(c, route[i], route[i + 1]) < 1.5) return true;
    return false;
}

// Circuits of up to eight nodes with parallel branches (two at most between a pair) and
// nodes of up to five branches, with and without a ground: every layout keeps the rules,
// and every component sits on its branch.
TEST(SchemeLayout, RandomCircuitsKeepTheRules) {
    std::mt19937 rng(77);
    for (int round = 0; round < 80; ++round) {
        const LayoutInput in = randomCircuit(rng, 2 + int(rng() % 7), int(rng() % 8), 2, 5);
        const SchemeLayout l = layOutScheme(in);
        SCOPED_TRACE(shapeOf(in));
        ASSERT_EQ(l.routes.size(), in.branches.size());
        EXPECT_TRUE(l.tidy);
        EXPECT_EQ(layoutFault(l.nodes, l.routes, endsOf(in)), "");
        for (Point p : l.nodes) {
            EXPECT_EQ(p.x % 10, 0);
            EXPECT_EQ(p.y % 10, 0);
        }
        for (size_t k = 0; k < in.branches.size(); ++k) {
            ASSERT_EQ(int(l.components[k].size()), in.branches[k].components);
            for (Point c : l.components[k])
                EXPECT_TRUE(onRoute(c, l.routes[k])) << "branch " << k;
        }
    }
}

// More branches at a node than right-angled and straight lines can bring there apart (six
// in parallel): some are bent at another angle, but none runs over another or over a node.
TEST(SchemeLayout, CrowdedNodesBendBranchesButKeepThemApart) {
    std::mt19937 rng(78);
    for (int round = 0; round < 20; ++round) {
        const LayoutInput in = randomCircuit(rng, 2 + int(rng() % 4), 4 + int(rng() % 8), 6, 100);
        const SchemeLayout l = layOutScheme(in);
        SCOPED_TRACE(shapeOf(in));
        EXPECT_EQ(layoutFault(l.nodes, l.routes, endsOf(in), false), "");
    }
}
