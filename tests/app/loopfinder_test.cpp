// Loops found for the user: the meshes of a planar drawing, fundamental loops otherwise, a
// current source in one loop of its own, the set complete and independent (the mesh method
// on it gives the node-voltage method's currents), and the "Find loops" command.
#include <gtest/gtest.h>

#include <cmath>

#include "app/circuitcommands.h"
#include "app/solvecommand.h"
#include "components/components.h"
#include "diagrams/loop.h"
#include "diagrams/loopfinder.h"
#include "report/recordingtarget.h"
#include "support/componentbench.h"

using namespace qv;
using qv::test::ComponentBench;

namespace {

struct Grid : ComponentBench {
    RecordingReportTarget report;
    std::vector<NTbeNode*> n; ///< 3 x 3, row by row, 200 apart
    std::vector<NTbeLine*> across, down;

    /// Nine nodes joined by twelve resistive branches: four meshes.
    Grid() {
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 3; ++c)
                n.push_back(node(200 * c, 200 * r));
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 2; ++c) {
                across.push_back(branch(n[size_t(3 * r + c)], n[size_t(3 * r + c + 1)]));
                place<NUniRes>(200 * c + 100, 200 * r, test::value(QString::number(10 + 3 * r + c)));
            }
        for (int r = 0; r < 2; ++r)
            for (int c = 0; c < 3; ++c) {
                down.push_back(branch(n[size_t(3 * r + c)], n[size_t(3 * r + c + 3)]));
                place<NUniRes>(200 * c, 200 * r + 100, test::value(QString::number(20 + 3 * r + c)));
            }
    }

    SolveResult solve(const std::string& method) {
        SolveRequest r = SolveRequest::fromScheme(doc, method);
        r.target = &report;
        r.picture = false;
        r.initialData = false;
        return solveScheme(doc, r);
    }

    /// The mesh method on the loops found gives the node method's currents.
    void expectCompleteAndIndependent() {
        FoundLoops found = findLoops(doc);
        ASSERT_TRUE(found.error.empty()) << found.error;
        replaceLoops(doc, found);
        const SolveResult mesh = solve("mesh"), node = solve("node");
        ASSERT_EQ(mesh.status, SolveResult::Solved) << mesh.errors.join(' ').toStdString();
        ASSERT_EQ(node.status, SolveResult::Solved) << node.errors.join(' ').toStdString();
        ASSERT_EQ(mesh.branches.size(), node.branches.size());
        for (size_t i = 0; i < mesh.branches.size(); ++i)
            EXPECT_NEAR(double(mesh.branches[i].value.re), double(node.branches[i].value.re), 1e-9)
                << mesh.branches[i].name.toStdString();
    }
};

/// Twice the area the loop's nodes enclose: positive when it runs clockwise on the page.
double turn(const NFCont& loop) {
    double a = 0;
    for (size_t i = 0; i + 1 < loop.nodes.size(); ++i)
        a +=
            double(loop.nodes[i]->x) * loop.nodes[i + 1]->y - double(loop.nodes[i + 1]->x) * loop.nodes[i]->y;
    return a;
}

} // namespace

TEST(LoopFinder, APlanarDrawingGetsItsMeshesClockwiseInReadingOrder) {
    Grid g;
    g.place<NUniEds>(150, 0, test::value("12")); // beside the first resistor
    FoundLoops found = findLoops(g.doc);
    EXPECT_TRUE(found.meshes);
    EXPECT_EQ(found.needed, 4);
    ASSERT_EQ(found.loops.size(), 4u);
    const int centres[4][2] = {{100, 100}, {300, 100}, {100, 300}, {300, 300}};
    for (size_t i = 0; i < 4; ++i) {
        const NFCont& l = *found.loops[i];
        ASSERT_EQ(l.branches.size(), 4u);
        ASSERT_EQ(l.nodes.size(), 5u);
        EXPECT_EQ(l.nodes.front(), l.nodes.back());
        EXPECT_GT(turn(l), 0) << "loop " << l.name;
        int x = 0, y = 0;
        for (size_t k = 0; k < 4; ++k) {
            x += l.nodes[k]->x;
            y += l.nodes[k]->y;
            // Branch k runs between node k and node k + 1.
            EXPECT_EQ(l.branches[k]->otherEnd(l.nodes[k]), l.nodes[k + 1]);
        }
        EXPECT_EQ(x / 4, centres[i][0]);
        EXPECT_EQ(y / 4, centres[i][1]);
        EXPECT_EQ(l.name, std::to_string(i + 1));
    }
    g.expectCompleteAndIndependent();
}

TEST(LoopFinder, ACurrentSourceLiesInOneLoopOfItsOwnAndThatLoopComesLast) {
    Grid g;
    g.place<NUniEds>(150, 0, test::value("12"));
    // The middle vertical lies between two meshes; its source must lie in one loop only.
    g.place<NUniIst>(200, 150, test::value("0.5"));
    FoundLoops found = findLoops(g.doc);
    ASSERT_EQ(found.loops.size(), 4u);
    EXPECT_TRUE(found.notes.empty());
    int through = 0;
    for (size_t i = 0; i < found.loops.size(); ++i) {
        const NFCont& l = *found.loops[i];
        const bool source = l.hasCurrentSource();
        EXPECT_EQ(source, i + 1 == found.loops.size()) << "loop " << i;
        through += int(std::count(l.branches.begin(), l.branches.end(), g.down[1]));
        if (source) {
            // It runs the way the source drives its current: down the middle branch.
            const auto at = std::find(l.branches.begin(), l.branches.end(), g.down[1]) - l.branches.begin();
            EXPECT_EQ(l.nodes[size_t(at)], g.n[1]);
        }
    }
    EXPECT_EQ(through, 1);
    g.expectCompleteAndIndependent();
}

// A capacitor opens its branch in a DC scheme: loops through it would be dropped by the
// solution, leaving too few, so the set is found without that branch (three meshes, whose
// mesh currents give the node method's currents). Once the scheme is AC the branch counts.
TEST(LoopFinder, ADirectCurrentSchemeGetsNoLoopThroughACapacitor) {
    Grid g;
    g.place<NUniEds>(150, 0, test::value("12"));
    g.place<NUniCon>(200, 150, test::value("10")); // on the middle vertical of the top row
    FoundLoops found = findLoops(g.doc);
    EXPECT_EQ(found.needed, 3);
    ASSERT_EQ(found.loops.size(), 3u);
    for (const auto& l : found.loops)
        EXPECT_EQ(std::count(l->branches.begin(), l->branches.end(), g.down[1]), 0) << "loop " << l->name;
    g.expectCompleteAndIndependent();

    // An impedance makes the scheme AC.
    g.place<NUniImpedance>(200, 350, [](DialogModel& m) {
        m.field("resistance").text = "5";
        m.field("reactance").text = "1";
        return m.ok();
    });
    EXPECT_EQ(findLoops(g.doc).needed, 4);
}

TEST(LoopFinder, ADrawingWithCrossingsGetsFundamentalLoops) {
    Grid g;
    g.place<NUniEds>(150, 0, test::value("12"));
    // Corner to corner, crossing the middle column: the drawing is no longer planar.
    g.branch(g.n[0], g.n[8], {{-100, 0}, {-100, 500}, {400, 500}});
    g.branch(g.n[2], g.n[6], {{500, 0}, {500, 100}, {-50, 100}, {-50, 400}, {0, 400}});
    g.place<NUniRes>(150, 500, test::value("7"));
    g.place<NUniRes>(-50, 250, test::value("9"));
    FoundLoops found = findLoops(g.doc);
    EXPECT_FALSE(found.meshes);
    EXPECT_EQ(found.needed, 6);
    EXPECT_EQ(found.loops.size(), 6u);
    g.expectCompleteAndIndependent();
}

TEST(LoopFinder, MoreLoopsThanTheListHoldsIsToldAndNothingIsFound) {
    ComponentBench b;
    NTbeNode* a = b.node(0, 0);
    NTbeNode* z = b.node(0, 100);
    for (int k = 0; k < 102; ++k)
        b.branch(a, z, {{20 + 10 * k, 0}, {20 + 10 * k, 100}});
    FoundLoops found = findLoops(b.doc);
    EXPECT_EQ(found.error, "The scheme has 101 independent loops; the loop list holds at most 100.");
    EXPECT_TRUE(found.loops.empty());
}

TEST(LoopFinder, ASourceThatJoinsTwoPartsAloneIsInNoLoopAndSaysSo) {
    Grid g;
    NTbeNode* lone = g.node(600, 0);
    g.branch(g.n[2], lone);
    g.place<NUniIst>(500, 0, test::value("1"));
    FoundLoops found = findLoops(g.doc);
    EXPECT_EQ(found.loops.size(), 4u);
    ASSERT_FALSE(found.notes.empty());
    EXPECT_NE(found.notes.front().find("cannot lie in exactly one loop"), std::string::npos)
        << found.notes.front();
    for (const auto& l : found.loops)
        EXPECT_FALSE(l->hasCurrentSource());
}

TEST(FindLoopsCommand, AsksBeforeReplacingAndIsOneStepOfTheHistory) {
    Grid g;
    RecordingMessages messages;
    g.wb.context().setMessages(&messages);
    // A drawn loop of the scheme's own.
    auto own = newLoop(g.doc);
    own->addNode(g.n[0]);
    own->addBranch(g.across[0]);
    own->addBranch(g.down[1]);
    own->addBranch(g.across[2]);
    own->addBranch(g.down[0]);
    own->name = "mine";
    g.doc.loops().add(own.release());
    g.wb.commit("Loop");

    messages.answers = {MsgResult::No};
    EXPECT_FALSE(findLoopsCommand(g.wb));
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.shown[0].text,
              "The scheme has 1 loop(s) of its own. Replace them by the 4 loops found?");
    EXPECT_EQ(messages.shown[0].buttons, MsgButtons::YesNo);
    ASSERT_EQ(g.doc.loops().count(), 1);
    EXPECT_EQ(g.doc.loops().get(0)->name, "mine");

    messages.answers = {MsgResult::Yes};
    EXPECT_TRUE(findLoopsCommand(g.wb));
    ASSERT_EQ(g.doc.loops().count(), 4);
    // Declining gave the numbers back: the found loops are numbered from 1.
    EXPECT_EQ(g.doc.loops().get(0)->name, "1");
    EXPECT_EQ(g.wb.undoStack().undoText(), "Find loops");
    g.wb.undo();
    ASSERT_EQ(g.doc.loops().count(), 1);
    EXPECT_EQ(g.doc.loops().get(0)->name, "mine");
    g.wb.context().setMessages(nullptr);
}
