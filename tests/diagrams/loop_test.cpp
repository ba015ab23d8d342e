#include <gtest/gtest.h>

#include "diagrams/loop.h"
#include "diagrams/loopdialogs.h"
#include "diagrams/looplist.h"
#include "graphics/labels.h"
#include "graphics/primitives.h"
#include "support/recordingcanvas.h"
#include "support/schemefixture.h"

using namespace qv;
using qv::test::ProbeLoop;
using qv::test::RecordingCanvas;
using qv::test::Scheme;
using qv::test::Triangle;

namespace {

/// A loop as the editor builds it: owned here until it closes.
struct Building {
    explicit Building(Scheme& s) : loop(newLoop(s.doc)), raw(loop.get()) {}
    Building& click(Point p) {
        placeLoopPoint(loop, state, p.x, p.y);
        return *this;
    }
    std::unique_ptr<NFCont> loop;
    NFCont* raw;
    int state = 0;
};

} // namespace

TEST(LoopBuilding, ClosesOnARepeatedNodeAndTakesTheNextNumber) {
    Triangle s;
    std::string taken;
    s.doc.nextNumberFor("NFCont", taken); // a loop built before: this one is the second
    Building b(s);
    b.click(Scheme::at(s.n1)).click(Scheme::mid(s.b12)).click(Scheme::mid(s.b23));
    EXPECT_EQ(b.state, 1);
    b.click(Scheme::mid(s.b31));
    ASSERT_EQ(b.state, -1);
    EXPECT_FALSE(b.loop) << "the loop list owns a closed loop";
    ASSERT_EQ(s.doc.loops().get(0), b.raw);
    EXPECT_EQ(b.raw->nodes, (std::vector<NFUsel*>{s.n1, s.n2, s.n3, s.n1}));
    EXPECT_EQ(b.raw->branches, (std::vector<NFVetv*>{s.b12, s.b23, s.b31}));
    EXPECT_EQ(b.raw->name, "2");
    EXPECT_EQ(b.raw->color, NFCont::kListedColor);
    EXPECT_FALSE(b.raw->throughGround);
}

TEST(LoopBuilding, ATailBeforeTheClosingNodeIsCutOff) {
    // n1, then n2, n3 and back to n2 over the second branch: the loop is n2-n3-n2.
    Triangle s;
    Building b(s);
    b.click(Scheme::at(s.n1)).click(Scheme::mid(s.b12)).click(Scheme::mid(s.b23)).click({150, 50});
    ASSERT_EQ(b.state, -1);
    EXPECT_EQ(b.raw->nodes, (std::vector<NFUsel*>{s.n2, s.n3, s.n2}));
    EXPECT_EQ(b.raw->branches, (std::vector<NFVetv*>{s.b23, s.b23b}));
}

TEST(LoopBuilding, DropPrefixRemovesTheFirstNodesAndBranches) {
    Triangle s;
    NFCont loop;
    loop.nodes = {s.n1, s.n2, s.n3, s.n2};
    loop.branches = {s.b12, s.b23, s.b23b};
    loop.dropPrefix(1);
    EXPECT_EQ(loop.nodes, (std::vector<NFUsel*>{s.n2, s.n3, s.n2}));
    EXPECT_EQ(loop.branches, (std::vector<NFVetv*>{s.b23, s.b23b}));
    loop.dropPrefix(5); // more than there is: the path is empty, nothing beyond is touched
    EXPECT_TRUE(loop.nodes.empty());
    EXPECT_TRUE(loop.branches.empty());
}

TEST(LoopBuilding, ClosesThroughGroundAtAnotherGroundedNode) {
    /*  n0 --- n1 --- n2 --- n3        n1 and n3 grounded; the path starts at n0
               |             |
              gnd           gnd */
    Scheme s;
    NTbeNode* n0 = s.node(0, 0);
    NTbeNode* n1 = s.node(100, 0);
    NTbeNode* n2 = s.node(200, 0);
    NTbeNode* n3 = s.node(300, 0);
    NTbeLine* b01 = s.branch(n0, n1);
    NTbeLine* b12 = s.branch(n1, n2);
    NTbeLine* b23 = s.branch(n2, n3);
    s.ground(n1);
    s.ground(n3);
    Building b(s);
    b.click(Scheme::at(n0)).click(Scheme::mid(b01)).click(Scheme::mid(b12));
    EXPECT_EQ(b.state, 1);
    EXPECT_TRUE(b.raw->throughGround);
    b.click(Scheme::mid(b23));
    ASSERT_EQ(b.state, -1);
    EXPECT_EQ(b.raw->nodes, (std::vector<NFUsel*>{n1, n2, n3}));
    EXPECT_EQ(b.raw->branches, (std::vector<NFVetv*>{b12, b23}));
    EXPECT_TRUE(b.raw->throughGround);
}

TEST(LoopBuilding, IgnoredClicksLeaveStateAndPathAsTheyWere) {
    struct Case {
        const char* what;
        std::vector<Point> setup; ///< clicks before the ignored one
        Point ignored;
        int state;
        size_t nodes, branches;
    };
    const Case cases[] = {
        {"first click on empty space", {}, {30, 70}, 0, 0, 0},
        {"first click on a branch", {}, {50, 0}, 0, 0, 0},
        {"a node once the path is open", {{0, 0}}, {100, 0}, 1, 1, 0},
        {"a branch that misses the last node", {{0, 0}}, {100, 50}, 1, 1, 0},
        {"the same branch twice in a row", {{0, 0}, {50, 0}}, {50, 0}, 1, 2, 1},
        {"empty space once the path is open", {{0, 0}, {50, 0}}, {40, 60}, 1, 2, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Triangle s;
        Building b(s);
        for (Point p : c.setup)
            b.click(p);
        b.click(c.ignored);
        EXPECT_EQ(b.state, c.state);
        EXPECT_EQ(b.raw->nodes.size(), c.nodes);
        EXPECT_EQ(b.raw->branches.size(), c.branches);
        EXPECT_EQ(s.doc.loops().count(), 0);
    }
}

TEST(LoopBuilding, AtMostOneHundredBranches) {
    // A ring of n nodes on a line, closed by a branch that runs back below them.
    for (int n : {100, 101}) {
        SCOPED_TRACE(n);
        Scheme s;
        std::vector<NTbeNode*> nodes;
        for (int i = 0; i < n; ++i)
            nodes.push_back(s.node(20 * i, 0));
        std::vector<NTbeLine*> chain;
        for (int i = 0; i + 1 < n; ++i)
            chain.push_back(s.branch(nodes[size_t(i)], nodes[size_t(i + 1)]));
        s.branch(nodes.back(), nodes.front(), {{20 * (n - 1), 50}, {0, 50}});
        Building b(s);
        b.click({0, 0});
        for (NTbeLine* br : chain)
            b.click(Scheme::mid(br));
        b.click({10, 50});
        if (n == 100) {
            EXPECT_EQ(b.state, -1);
            EXPECT_EQ(b.raw->branches.size(), 100u);
            EXPECT_EQ(b.raw->nodes.size(), 101u);
        } else {
            EXPECT_EQ(b.state, 1) << "the 101st branch is ignored";
            EXPECT_EQ(b.raw->branches.size(), 100u);
        }
    }
}

TEST(LoopBuilding, ABranchListedOnANodeItDoesNotEndOnBreaksIntegrity) {
    // n3 lists b12 among its branches (as a damaged file may have it); b12 ends on n1 and n2.
    Triangle s;
    int32_t x = 0, y = 0;
    s.n3->attachBranch(s.b12, x, y);
    Building b(s);
    b.click(Scheme::at(s.n3)).click(Scheme::mid(s.b12));
    auto& shown = s.messages().shown;
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown[0].text, QString::fromUtf8("Нарушена целостность"));
    EXPECT_EQ(shown[0].buttons, MsgButtons::Ok);
    // Sound behaviour: the branch is not taken and the path can go on from n3.
    EXPECT_EQ(b.state, 1);
    EXPECT_EQ(b.raw->nodes, (std::vector<NFUsel*>{s.n3}));
    EXPECT_TRUE(b.raw->branches.empty());
    b.click(Scheme::mid(s.b31)).click(Scheme::mid(s.b12)).click(Scheme::mid(s.b23));
    EXPECT_EQ(b.state, -1);
}

TEST(LoopBuilding, APathWhoseBranchWasDeletedStartsAfresh) {
    Triangle s;
    Building b(s);
    b.click(Scheme::at(s.n1)).click(Scheme::mid(s.b12));
    s.doc.deleteObject(s.b12);
    b.click(Scheme::mid(s.b23)); // no node yet: ignored
    EXPECT_EQ(b.state, 0);
    EXPECT_TRUE(b.raw->nodes.empty());
    b.click(Scheme::at(s.n2)).click(Scheme::mid(s.b23)).click(Scheme::mid(s.b23b));
    EXPECT_EQ(b.state, -1);
}

TEST(LoopBuilding, DrawsRedWhileBuiltAndGreenOnceListed) {
    Triangle s;
    RecordingCanvas canvas;
    Pen before = canvas.pen();
    s.doc.setCanvas(&canvas);
    Building b(s);
    b.click(Scheme::at(s.n1)).click(Scheme::mid(s.b12));
    auto lines = canvas.of("line");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].pen.color, NFCont::kBuildingColor);
    canvas.calls.clear();
    b.click(Scheme::mid(s.b23)).click(Scheme::mid(s.b31));
    ASSERT_EQ(b.state, -1);
    lines = canvas.of("line");
    ASSERT_EQ(lines.size(), 2u + 3u); // after the third click (two branches), after the last (three)
    for (size_t i = 2; i < lines.size(); ++i)
        EXPECT_EQ(lines[i].pen.color, NFCont::kListedColor);
    EXPECT_EQ(canvas.pen(), before);
    s.doc.setCanvas(nullptr);
}

TEST(Loop, HasCurrentSourceByTheClassOfAComponentOnItsBranches) {
    struct Case {
        const char* className;
        bool onLoop; ///< on a branch of the loop, else on a branch outside it
        bool expected;
    };
    const Case cases[] = {
        {"NUniIst", true, true},
        {"NUniCompCurSource", true, true},
        {"NUniRes", true, false},
        {"NUniIst", false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.className) + (c.onLoop ? " on the loop" : " beside it"));
        Triangle s;
        NFCont loop;
        loop.owner = &s.doc;
        loop.nodes = {s.n1, s.n2, s.n3, s.n1};
        loop.branches = {s.b12, s.b23, s.b31};
        s.component(c.className, c.onLoop ? Point{100, 50} : Point{150, 50});
        EXPECT_EQ(loop.hasCurrentSource(), c.expected);
    }
}

TEST(Loop, ReverseTurnsThePathRound) {
    Triangle s;
    NFCont loop;
    loop.nodes = {s.n1, s.n2, s.n3, s.n1};
    loop.branches = {s.b12, s.b23, s.b31};
    loop.reverse();
    EXPECT_EQ(loop.nodes, (std::vector<NFUsel*>{s.n1, s.n3, s.n2, s.n1}));
    EXPECT_EQ(loop.branches, (std::vector<NFVetv*>{s.b31, s.b23, s.b12}));
}

/*  a --ab-- b --bc-- c
    |        |        |
    ad       be       cf
    |        |        |
    d --de-- e --ef-- f  */
struct TwoSquares : Scheme {
    NTbeNode *a = node(0, 0), *b = node(100, 0), *c = node(200, 0);
    NTbeNode *d = node(0, 100), *e = node(100, 100), *f = node(200, 100);
    NTbeLine *ab = branch(a, b), *bc = branch(b, c), *ad = branch(a, d), *be = branch(b, e);
    NTbeLine *cf = branch(c, f), *de = branch(d, e), *ef = branch(e, f);

    NFCont* build(std::initializer_list<NTbeLine*> path, NFUsel* start) {
        Building bl(*this);
        bl.click(at(start));
        for (NTbeLine* br : path)
            bl.click(mid(br));
        EXPECT_EQ(bl.state, -1);
        return bl.raw;
    }
};

TEST(LoopList, DeletingABranchDropsEveryLoopThatUsedItSilently) {
    TwoSquares s;
    NFCont* left = s.build({s.ab, s.be, s.de, s.ad}, s.a);
    NFCont* outer = s.build({s.ab, s.bc, s.cf, s.ef, s.de, s.ad}, s.a);
    NFCont* right = s.build({s.bc, s.cf, s.ef, s.be}, s.b);
    NFCont* outerBack = s.build({s.ad, s.de, s.ef, s.cf, s.bc, s.ab}, s.a);
    bool freed = false;
    auto* probe = new ProbeLoop(&freed); // a left mesh too, to see that dropped loops are freed
    probe->owner = &s.doc;
    probe->nodes = left->nodes;
    probe->branches = left->branches;
    ASSERT_TRUE(s.doc.loops().add(probe));
    ASSERT_EQ(s.doc.loops().count(), 5);
    (void)right;

    s.doc.deleteObject(s.be);
    ASSERT_EQ(s.doc.loops().count(), 2);
    EXPECT_EQ(s.doc.loops().get(0), outer);
    EXPECT_EQ(s.doc.loops().get(1), outerBack);
    EXPECT_TRUE(freed);
    EXPECT_TRUE(s.messages().shown.isEmpty());
}

TEST(LoopList, ALabelALoopNamesIsForgottenWhenItIsDeleted) {
    // Only a damaged file gives a loop a label; deleting that label must not leave the loop
    // pointing at freed memory (and saving then writing whatever lives there).
    TwoSquares s;
    NFCont* left = s.build({s.ab, s.be, s.de, s.ad}, s.a);
    auto* stray = new NTextLabel();
    stray->owner = &s.doc;
    ASSERT_TRUE(s.doc.add(stray));
    left->nameLabel = stray;
    s.doc.deleteObject(stray);
    EXPECT_EQ(left->nameLabel, nullptr);
    EXPECT_EQ(s.doc.loops().count(), 1);
}

TEST(LoopList, SavingAndLoadingKeepsTheLoops) {
    TwoSquares s;
    NFCont* left = s.build({s.ab, s.be, s.de, s.ad}, s.a);
    NFCont* right = s.build({s.bc, s.cf, s.ef, s.be}, s.b);
    left->name = "Left mesh";
    right->color = rgb(1, 2, 3);
    right->throughGround = 1;
    BinaryWriter w;
    s.doc.saveToStream(w);

    Scheme t;
    BinaryReader r(w.bytes());
    t.doc.loadFromStream(r);
    ASSERT_FALSE(r.failed()) << r.error();
    ASSERT_EQ(t.doc.loops().count(), 2);
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE(i);
        NFCont* was = s.doc.loops().get(i);
        NFCont* now = t.doc.loops().get(i);
        EXPECT_EQ(now->name, was->name);
        EXPECT_EQ(now->color, was->color);
        EXPECT_EQ(now->throughGround, was->throughGround);
        EXPECT_EQ(now->owner, &t.doc);
        auto indices = [](FizDisp& doc, const auto& refs) {
            std::vector<int> out;
            for (auto* o : refs)
                out.push_back(doc.indexOfObject(o));
            return out;
        };
        EXPECT_EQ(indices(t.doc, now->branches), indices(s.doc, was->branches));
        EXPECT_EQ(indices(t.doc, now->nodes), indices(s.doc, was->nodes));
    }
    EXPECT_EQ(t.doc.loops().get(0)->name, "Left mesh");
}

TEST(LoopList, ALoopRecordWithTooManyBranchesIsRefused) {
    // The loop record's counts sit before the colour, the ground flag and 4 + 4 + 5 references;
    // after the loop list come the tail mark and the frequency (14 bytes).
    Triangle s;
    Building b(s);
    b.click(Scheme::at(s.n1)).click(Scheme::mid(s.b12)).click(Scheme::mid(s.b23)).click(Scheme::mid(s.b31));
    ASSERT_EQ(b.state, -1);
    BinaryWriter w;
    s.doc.saveToStream(w);
    std::vector<uint8_t> bytes = w.bytes();
    size_t branchCountAt = bytes.size() - 14 - 4 * (3 + 4) - 1 - 4 - 4;
    ASSERT_EQ(bytes[branchCountAt], 3);
    for (int count : {100, 101}) {
        SCOPED_TRACE(count);
        bytes[branchCountAt] = uint8_t(count);
        Scheme t;
        BinaryReader r(bytes);
        t.doc.loadFromStream(r);
        ASSERT_TRUE(r.failed()); // either cut short or beyond the limit
        bool overLimit = r.error().find("at most 100") != std::string::npos;
        EXPECT_EQ(overLimit, count == 101) << r.error();
    }
}

TEST(LoopList, HoldsAtMostOneHundredLoops) {
    Triangle s;
    Building b(s);
    b.click(Scheme::at(s.n1)).click(Scheme::mid(s.b12)).click(Scheme::mid(s.b23));
    for (int i = 0; i < NContDisp::kMaxLoops; ++i) {
        auto loop = std::make_unique<NFCont>();
        loop->owner = &s.doc;
        ASSERT_TRUE(s.doc.loops().add(loop.release()));
    }
    NFCont extra;
    EXPECT_FALSE(s.doc.loops().add(&extra)); // refused and not taken (it lives on the stack)

    b.click(Scheme::mid(s.b31)); // would close the open path
    EXPECT_EQ(b.state, 1);
    EXPECT_EQ(s.doc.loops().count(), 100);
    EXPECT_EQ(s.doc.loops().indexOf(b.raw), -1);
    Building next(s);
    next.click(Scheme::at(s.n1));
    EXPECT_EQ(next.state, 0);
    auto& shown = s.messages().shown;
    ASSERT_EQ(shown.size(), 2);
    EXPECT_TRUE(shown[0].text.contains("at most 100 loops"));
}

TEST(LoopList, PaintsOnlyHighlightedLoopsInTheirColour) {
    Triangle s;
    Building b(s);
    b.click(Scheme::at(s.n1)).click(Scheme::mid(s.b12)).click(Scheme::mid(s.b23)).click(Scheme::mid(s.b31));
    RecordingCanvas canvas;
    s.doc.loops().paintHighlighted(&canvas);
    EXPECT_TRUE(canvas.calls.empty());
    b.raw->highlighted = 1;
    b.raw->color = rgb(0, 0, 255);
    s.doc.loops().paintHighlighted(&canvas);
    auto lines = canvas.of("line");
    ASSERT_EQ(lines.size(), 3u);
    for (const auto& l : lines)
        EXPECT_EQ(l.pen.color, rgb(0, 0, 255));
}
