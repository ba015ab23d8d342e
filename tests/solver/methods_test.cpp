// The Kirchhoff-laws and mesh-current methods on schemes built by clicks, with the report
// recorded, and their parameter dialogs.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "diagrams/loop.h"
#include "diagrams/looplist.h"
#include "graphics/primitives.h"
#include "report/recordingtarget.h"
#include "solver/kirchhoff.h"
#include "solver/meshcurrent.h"
#include "solver/solutionerror.h"
#include "solver/solvedialogs.h"
#include "support/componentbench.h"

using namespace qv;
using qv::test::ComponentBench;
using qv::test::value;

namespace {

struct MethodBench : ComponentBench {
    MethodBench() {
        doc.insertInitialData = 0;
        doc.insertSchemeImage = 0;
    }

    /// A loop built by clicks: on `start`, then on the first segment of each branch.
    NFCont* loop(NFUsel* start, const std::vector<NFVetv*>& path) {
        std::unique_ptr<NFCont> building = newLoop(doc);
        NFCont* raw = building.get();
        int state = 0;
        placeLoopPoint(building, state, start->x, start->y);
        for (NFVetv* b : path) {
            const NGraphLine* s = b->segments().front();
            placeLoopPoint(building, state, (s->p1.x + s->p2.x) / 2, (s->p1.y + s->p2.y) / 2);
        }
        EXPECT_EQ(state, -1) << "the loop did not close";
        return state == -1 ? raw : nullptr;
    }

    /// Builds the model of method T and runs the solve the scheme's kind asks for.
    template <class T = KirchhoffMethod> T& solve(std::vector<NFCont*> chosen = {}) {
        auto m = std::make_unique<T>(wb.context());
        for (NFCont* c : chosen)
            m->chosenLoops.add(c);
        m->buildFromScheme(doc);
        m->document = &doc;
        T& ref = *m;
        model = std::move(m);
        if (ref.checkCurrentKind() == 1)
            ref.solveAlternate(report);
        else
            ref.solveDirect(report);
        return ref;
    }

    Extended current(int branch) const { return model->branches.get(branch)->current; }
    std::string text() const { return report.shownText(); }

    RecordingReportTarget report;
    std::unique_ptr<CircuitModel> model;
};

/*  Two nodes, three parallel branches, each from n1 to n2:
        +------[R3]------+          b3 (above)
        |                |
        n1 --[E1>][R1]-- n2         b1: E1 = 10 V along, R1 = 2 ohm
        |                |
        +------[R2]------+          b2 (below)     */
struct Parallel : MethodBench {
    NTbeNode* n1 = node(0, 0);
    NTbeNode* n2 = node(200, 0);
    NTbeLine* b1 = branch(n1, n2);
    NTbeLine* b2 = branch(n1, n2, {{0, 100}, {200, 100}});
    NTbeLine* b3 = branch(n1, n2, {{0, -100}, {200, -100}});
    NUniEds* e1 = place<NUniEds>(50, 0, value("10"));
    NUniRes* r1 = place<NUniRes>(150, 0, value("2"));
    NUniRes* r2 = place<NUniRes>(100, 100, value("4"));
};

struct ThreeResistors : Parallel {
    NUniRes* r3 = place<NUniRes>(100, -100, value("4"));
};

ScriptedPresenter::Script complexValue(const QString& re, const QString& im) {
    return [re, im](DialogModel& m) {
        m.field("first").text = re;
        m.field("second").text = im;
        return m.ok();
    };
}

/// AC: branch 1 holds an AC source of 10 V along and R1 = 2 ohm, branch 2 R2 = 4 ohm, branch 3
/// an impedance of j4 ohm.
struct AcParallel : MethodBench {
    NTbeNode* n1 = node(0, 0);
    NTbeNode* n2 = node(200, 0);
    NTbeLine* b1 = branch(n1, n2);
    NTbeLine* b2 = branch(n1, n2, {{0, 100}, {200, 100}});
    NTbeLine* b3 = branch(n1, n2, {{0, -100}, {200, -100}});
    NUniCompEDS* e1 = place<NUniCompEDS>(50, 0, complexValue("10", "0"));
    NUniRes* r1 = place<NUniRes>(150, 0, value("2"));
    NUniRes* r2 = place<NUniRes>(100, 100, value("4"));
    NUniImpedance* z3 = place<NUniImpedance>(100, -100, [](DialogModel& m) {
        m.field("resistance").text = "0";
        m.field("reactance").text = "4";
        return m.ok();
    });
};

/// Branch 3 holds a current source of 2 A instead of a resistor.
struct WithCurrentSource : Parallel {
    NUniIst* j = place<NUniIst>(100, -100, value("2"));
};

/// Small currents: 30 microvolts in branch 1 (R1 = 5 ohm), R2 = 6 ohm in branch 2, R3 = 3 ohm
/// in branch 3 and a capacitor alone in branch 4, all from n1 to n2. The first loop runs
/// through branches 1 and 2, the second, without a source, through 2 and 3.
struct SmallCurrents : MethodBench {
    NTbeNode* n1 = node(0, 0);
    NTbeNode* n2 = node(200, 0);
    NTbeLine* b1 = branch(n1, n2);
    NTbeLine* b2 = branch(n1, n2, {{0, 100}, {200, 100}});
    NTbeLine* b3 = branch(n1, n2, {{0, -100}, {200, -100}});
    NTbeLine* b4 = branch(n1, n2, {{0, 200}, {200, 200}});
    NUniEds* e1 = place<NUniEds>(50, 0, value("0.00003"));
    NUniRes* r1 = place<NUniRes>(150, 0, value("5"));
    NUniRes* r2 = place<NUniRes>(100, 100, value("6"));
    NUniRes* r3 = place<NUniRes>(100, -100, value("3"));
    NUniCon* c4 = place<NUniCon>(100, 200, value("10"));
    NFCont* first = loop(n1, {b1, b2});
    NFCont* second = loop(n1, {b2, b3});
    /// The mesh currents: 11 I11 - 6 I22 = 3E-5, -6 I11 + 9 I22 = 0.
    static constexpr double kI11 = 0.00003 / 7, kI22 = kI11 * 6 / 9;
};

} // namespace

// ---------------------------------------------------------------------------------------
// Kirchhoff-laws method

TEST(KirchhoffMethod, TwoNodesThreeBranchesGiveOneNodeAndTwoLoopEquations) {
    ThreeResistors s;
    s.loop(s.n1, {s.b1, s.b2});
    s.loop(s.n1, {s.b2, s.b3});
    CircuitModel& m = s.solve();

    // V(n2) - V(n1) = 5 V: I1 = (10 - 5) / 2, I2 = I3 = -5 / 4.
    EXPECT_NEAR(s.current(0), 2.5, 1e-12);
    EXPECT_NEAR(s.current(1), -1.25, 1e-12);
    EXPECT_NEAR(s.current(2), -1.25, 1e-12);
    EXPECT_EQ(m.branches.get(2)->column, 2);

    const std::string text = s.text();
    EXPECT_NE(text.find("Решение\nWriting Kirchoff current law for2-1 nodes\n"), std::string::npos) << text;
    EXPECT_NE(text.find("Wrining Kirchoff voltage law for 3-0-(2-1) loops\n"), std::string::npos) << text;
    const std::string i1 = "I_{" + s.b1->name + "}", i2 = "I_{" + s.b2->name + "}",
                      i3 = "I_{" + s.b3->name + "}";
    // The current law for n1: every current leaves it.
    EXPECT_NE(text.find(i1 + "+" + i2 + "+" + i3 + "=0\n"), std::string::npos) << text;
    // The first loop passes branch 2 against its direction.
    EXPECT_NE(
        text.find(i1 + "·R_{" + s.r1->name + "}-" + i2 + "·R_{" + s.r2->name + "}=E_{" + s.e1->name + "}\n"),
        std::string::npos)
        << text;
    EXPECT_NE(text.find(i1 + "=2.500\n" + i2 + "=-1.250\n" + i3 + "=-1.250\n"), std::string::npos) << text;
    EXPECT_EQ(s.report.updates, 0);
}

TEST(KirchhoffMethod, ABranchWithACurrentSourceIsNoUnknownAndShowsTheSourceWithItsSign) {
    // n2 balances I1 + I2 + J = 0 with I1 = (10 - V) / 2, I2 = -V / 4, J counted along b3.
    struct Case {
        bool reversed;
        double i1, i2, i3;
        const char* shown;
    };
    for (const Case c : {Case{false, 1.0 / 3, -7.0 / 3, 2, "=2\n"}, Case{true, 3, -1, -2, "=-2\n"}}) {
        SCOPED_TRACE(c.reversed ? "reversed" : "along");
        WithCurrentSource s;
        if (c.reversed) s.j->changeDirection();
        s.loop(s.n1, {s.b1, s.b2});
        CircuitModel& m = s.solve();
        EXPECT_EQ(m.branches.get(2)->column, -1);
        EXPECT_NEAR(s.current(0), c.i1, 1e-12);
        EXPECT_NEAR(s.current(1), c.i2, 1e-12);
        EXPECT_EQ(s.current(2), c.i3);
        EXPECT_NE(s.text().find("I_{" + s.b3->name + "}" + c.shown), std::string::npos) << s.text();
        EXPECT_NE(s.text().find("Wrining Kirchoff voltage law for 3-1-(2-1) loops\n"), std::string::npos);
    }
}

TEST(KirchhoffMethod, SmallCurrentsInTheGeneralFormatAndTheOpenBranchAtZero) {
    SmallCurrents s;
    s.solve();
    EXPECT_NEAR(s.model->builtBranches.get(0)->current, SmallCurrents::kI11, 1e-18);
    // Three decimals would show 0.000; a current of 0 keeps them.
    const std::string i = "I_{" + s.b1->name + "}=4.2857E-6\nI_{" + s.b2->name + "}=-1.4286E-6\nI_{" +
                          s.b3->name + "}=-2.8571E-6\nI_{" + s.b4->name + "}=0.000\n";
    EXPECT_NE(s.text().find(i), std::string::npos) << s.text();
}

TEST(KirchhoffMethod, TooFewLoopsEndInASolutionErrorWithThePartialReport) {
    ThreeResistors s;
    s.loop(s.n1, {s.b1, s.b2});
    EXPECT_THROW(s.solve(), SolutionError);
    EXPECT_NE(s.text().find("Wrining Kirchoff voltage law"), std::string::npos);
}

TEST(KirchhoffMethod, MoreThan44UnknownsAreRefusedWithTheReason) {
    MethodBench s;
    std::vector<NTbeNode*> nodes;
    for (int i = 0; i <= 45; ++i)
        nodes.push_back(s.node(i * 100, 0));
    for (int i = 0; i < 45; ++i)
        s.branch(nodes[size_t(i)], nodes[size_t(i) + 1]);
    s.place<NUniRes>(50, 0, value("1"));
    s.place<NUniEds>(150, 0, value("1"));
    s.doc.deleteZeroBranches = 0;
    try {
        s.solve();
        FAIL() << "no error";
    } catch (const SolutionError& e) {
        EXPECT_NE(std::string(e.what()).find("more than 44 unknowns"), std::string::npos);
    }
    EXPECT_EQ(s.text(), "Решение\n");
}

// ---------------------------------------------------------------------------------------
// Mesh-current method

TEST(MeshMethod, SharedBranchInEitherDirectionGivesTheSameBranchCurrents) {
    struct Case {
        bool secondFromN1; // the second loop passes branch 2 along (else against, like the first)
        const char* mutual;
        double i22;
    };
    for (const Case c : {Case{true, "=-R", 1.25}, Case{false, "=R", -1.25}}) {
        SCOPED_TRACE(c.secondFromN1 ? "opposite directions" : "same direction");
        ThreeResistors s;
        NFCont* first = s.loop(s.n1, {s.b1, s.b2});
        NFCont* second = c.secondFromN1 ? s.loop(s.n1, {s.b2, s.b3}) : s.loop(s.n2, {s.b2, s.b3});
        auto& m = s.solve<MeshCurrentMethod>();

        EXPECT_NEAR(m.loops.get(0)->meshCurrent, 2.5, 1e-12);
        EXPECT_NEAR(m.loops.get(1)->meshCurrent, c.i22, 1e-12);
        EXPECT_NEAR(s.current(0), 2.5, 1e-12);
        EXPECT_NEAR(s.current(1), -1.25, 1e-12);
        EXPECT_NEAR(s.current(2), -1.25, 1e-12);
        EXPECT_EQ(m.loopResistance(0, 1), c.secondFromN1 ? -4 : 4);

        const std::string text = s.text();
        const std::string l11 = first->name + first->name, l22 = second->name + second->name;
        EXPECT_NE(text.find("R_{" + first->name + second->name + "}" + c.mutual + "_{" + s.r2->name + "}="),
                  std::string::npos)
            << text;
        EXPECT_NE(text.find("I_{" + l11 + "}·R_{" + l11 + "}+I_{" + l22 + "}·R_{" + first->name +
                            second->name + "}=E_{" + l11 + "}\n"),
                  std::string::npos)
            << text;
        // Branch 1 is passed along by the first loop: the blank after "=" stays.
        EXPECT_NE(text.find("I_{" + s.b1->name + "}= I_{" + l11 + "}=2.5\n"), std::string::npos) << text;
        // Branch 2 is passed against by the first loop: "-I" follows "=" directly.
        EXPECT_NE(text.find("I_{" + s.b2->name + "}=-I_{" + l11 + "}" + (c.secondFromN1 ? "+" : "-") + "I_{" +
                            l22 + "}=-1.25\n"),
                  std::string::npos)
            << text;
    }
}

TEST(MeshMethod, ACurrentSourceAgainstTheLoopFixesItsMeshCurrentAtMinusJ) {
    WithCurrentSource s;
    NFCont* first = s.loop(s.n1, {s.b1, s.b2});
    NFCont* second = s.loop(s.n1, {s.b2, s.b3}); // passes b3, and J, from n2 to n1
    auto& m = s.solve<MeshCurrentMethod>({first, second});

    EXPECT_EQ(m.loops.get(1)->loopSource, m.branches.get(2)->currentSource);
    EXPECT_EQ(m.loops.get(1)->sourceAlong, 0);
    EXPECT_EQ(m.loops.get(1)->meshCurrent, -2);
    EXPECT_NEAR(m.loops.get(0)->meshCurrent, 1.0 / 3, 1e-12);
    // The branch currents are those of the Kirchhoff-laws method.
    EXPECT_NEAR(s.current(0), 1.0 / 3, 1e-12);
    EXPECT_NEAR(s.current(1), -7.0 / 3, 1e-12);
    EXPECT_EQ(s.current(2), 2);

    const std::string text = s.text();
    const std::string l11 = first->name + first->name, l22 = second->name + second->name;
    // E11 = E1 - R12 * I22 = 10 - (-4) * (-2).
    EXPECT_NE(text.find("E_{" + l11 + "}= E_{" + s.e1->name + "}-I_{" + l22 + "}·R_{" + second->name +
                        first->name + "}=2\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("I_{" + l22 + "}=-2\n"), std::string::npos) << text;
    EXPECT_NE(text.find("I_{" + s.b3->name + "}= J_{" + s.j->name + "}=2\n"), std::string::npos) << text;
}

TEST(MeshMethod, LinesWithoutEmfOrLoopAndExponentsOfThreeDigits) {
    SmallCurrents s;
    auto& m = s.solve<MeshCurrentMethod>();
    EXPECT_NEAR(m.loops.get(0)->meshCurrent, SmallCurrents::kI11, 1e-18);
    EXPECT_NEAR(m.loops.get(1)->meshCurrent, SmallCurrents::kI22, 1e-18);
    const std::string l11 = s.first->name + s.first->name, l22 = s.second->name + s.second->name;
    const std::string text = s.text();
    // A loop without a voltage source keeps the blank after "=".
    EXPECT_NE(text.find("E_{" + l22 + "}= =0\n"), std::string::npos) << text;
    EXPECT_NE(text.find("11I_{" + l11 + "}-6I_{" + l22 + "}=3E-005\n"), std::string::npos) << text;
    EXPECT_NE(text.find("I_{" + l11 + "}=4.285714E-006\nI_{" + l22 + "}=2.857143E-006\n"), std::string::npos)
        << text;
    EXPECT_NE(text.find("I_{" + s.b1->name + "}= I_{" + l11 + "}=4.2857143E-006\n"), std::string::npos)
        << text;
    // The capacitor's branch is in no loop: the blank after "=" is taken back.
    EXPECT_NE(text.find("I_{" + s.b4->name + "}==0\n"), std::string::npos) << text;
}

TEST(MeshMethod, ACurrentSourceOutsideEveryLoopIsRefusedWithTheReason) {
    WithCurrentSource s;
    s.loop(s.n1, {s.b1, s.b2});
    try {
        s.solve<MeshCurrentMethod>();
        FAIL() << "no error";
    } catch (const SolutionError& e) {
        EXPECT_EQ(std::string(e.what()).find("the current source J" + s.j->name + " lies in 0 of the loops"),
                  0u)
            << e.what();
    }
}

// ---------------------------------------------------------------------------------------
// Both methods on an AC scheme

TEST(AcMethods, BothMethodsFindTheBranchCurrentsOfTheNodeBalance) {
    // V(n2) - V(n1) = V: (10 - V) / 2 - V / 4 - V / j4 = 0 gives V = 6 + j2.
    const Complex expected[] = {{2, -1}, {-1.5, -0.5}, {-0.5, 1.5}};
    for (bool mesh : {false, true}) {
        SCOPED_TRACE(mesh ? "mesh currents" : "Kirchhoff laws");
        AcParallel s;
        NFCont* first = s.loop(s.n1, {s.b1, s.b2});
        NFCont* second = s.loop(s.n2, {s.b2, s.b3});
        CircuitModel& m = mesh ? static_cast<CircuitModel&>(s.solve<MeshCurrentMethod>()) : s.solve();
        for (int i = 0; i < 3; ++i) {
            EXPECT_NEAR(m.branches.get(i)->complexCurrent.re, expected[i].re, 1e-12) << i;
            EXPECT_NEAR(m.branches.get(i)->complexCurrent.im, expected[i].im, 1e-12) << i;
        }
        const std::string text = s.text();
        if (mesh) {
            EXPECT_NE(text.find("Решение\nBranch impedances calculation\n"), std::string::npos) << text;
            EXPECT_NE(text.find("Z_{" + first->name + first->name + "}=Z_{" + s.b1->name + "}+Z_{" +
                                s.b2->name + "}=6\n"),
                      std::string::npos)
                << text;
            EXPECT_NE(text.find("I_{" + s.b1->name + "}= I_{" + first->name + first->name + "}=2-j1\n"),
                      std::string::npos)
                << text;
            (void)second;
        } else {
            EXPECT_NE(text.find("Solution\nBranches impedance calculation\n"), std::string::npos) << text;
            EXPECT_NE(text.find("I_{" + s.b1->name + "}·Z_{" + s.b1->name + "}-I_{" + s.b2->name + "}·Z_{" +
                                s.b2->name + "}=E_{" + s.e1->name + "}\n"),
                      std::string::npos)
                << text;
            EXPECT_NE(text.find("I_{" + s.b3->name + "}=-0.5+j1.5\n"), std::string::npos) << text;
        }
    }
}

// ---------------------------------------------------------------------------------------
// Dialogs

TEST(KirchhoffDialogTest, CountsWarningsOrderAndOk) {
    ThreeResistors s;
    NFCont* a = s.loop(s.n1, {s.b1, s.b2});
    NFCont* b = s.loop(s.n1, {s.b2, s.b3});
    KirchhoffDialog d;
    d.document = &s.doc;
    KirchhoffMethod model(s.wb.context());
    d.model = &model;
    d.show();
    EXPECT_EQ(d.field("nodeCount").text, "2");
    EXPECT_EQ(d.field("branchCount").text, "3");
    EXPECT_EQ(d.field("sourceCount").text, "0");
    EXPECT_EQ(d.field("currentLaws").text, "1");
    EXPECT_EQ(d.field("voltageLaws").text, "2");
    EXPECT_EQ(d.field("areaCount").text, "1");
    // Exactly B - J - N + 1 loops: no warning.
    EXPECT_EQ(d.field("warnings").text, "");
    EXPECT_FALSE(d.extraButtons().contains(KirchhoffDialog::kLoopDelete));

    // "Down" on the first node makes n1 the last node, whose equation is left out.
    d.field("nodes").choice = 0;
    d.pressed(KirchhoffDialog::kNodeDown);
    EXPECT_EQ(d.field("nodes").choice, 1);
    d.pressed(KirchhoffDialog::kNodeDown); // already last: nothing
    ASSERT_TRUE(d.ok());
    EXPECT_EQ(d.accepted, 1);
    ASSERT_EQ(model.chosenNodes.count(), 2);
    EXPECT_EQ(model.chosenNodes.get(0), s.n2);
    EXPECT_EQ(model.chosenNodes.get(1), s.n1);
    ASSERT_EQ(model.chosenLoops.count(), 2);
    EXPECT_EQ(model.chosenLoops.get(0), a);
    EXPECT_EQ(model.chosenLoops.get(1), b);

    // A third loop is one too many; "All Loops" appends the listable loops again.
    s.loop(s.n1, {s.b1, s.b3});
    d.show();
    EXPECT_EQ(d.accepted, 0);
    EXPECT_EQ(d.field("warnings").text,
              "Attention! Number of loops  greater then number of Kirchoff current laws");
    EXPECT_TRUE(d.extraButtons().contains(KirchhoffDialog::kLoopDelete));
    d.pressed(KirchhoffDialog::kLoopAll);
    EXPECT_EQ(d.field("loops").items.size(), 6);
}

// Grounds are one point for the methods, and so for the dialogs' counts: two parts joined only
// through their grounds are one part, and their grounded nodes one node.
TEST(KirchhoffDialogTest, GroundedNodesCountAsOnePoint) {
    MethodBench s;
    NTbeNode* a = s.node(0, 0);
    NTbeNode* b = s.node(200, 0);
    NTbeNode* c = s.node(400, 0);
    NTbeNode* d = s.node(600, 0);
    s.branch(a, b);
    s.branch(c, d);
    ASSERT_NE(s.ground(a, {0, 60}), nullptr);
    ASSERT_NE(s.ground(c, {400, 60}), nullptr);
    EXPECT_EQ(countConnectedParts(s.doc), 1);
    KirchhoffDialog dialog;
    dialog.document = &s.doc;
    KirchhoffMethod model(s.wb.context());
    dialog.model = &model;
    dialog.show();
    EXPECT_EQ(dialog.field("nodeCount").text, "3");
    EXPECT_EQ(dialog.field("areaCount").text, "1");
    EXPECT_EQ(dialog.field("voltageLaws").text, "0");
}

TEST(KirchhoffDialogTest, TwoCurrentSourcesInABranchRefuseOk) {
    WithCurrentSource s;
    s.place<NUniIst>(150, -100, value("1"));
    s.loop(s.n1, {s.b1, s.b2});
    s.loop(s.n1, {s.b2, s.b3});
    KirchhoffDialog d;
    d.document = &s.doc;
    d.show();
    EXPECT_EQ(d.field("sourceCount").text, "2");
    // The loop through the sources is not listed.
    EXPECT_EQ(d.field("loops").items.size(), 1);
    const QString first = d.field("warnings").text.section('\n', 0, 0);
    EXPECT_EQ(first, ("Attention! Branch " + QString::fromStdString(s.b3->name)).left(38) + "\t include 2" +
                         " current sources. Calculation impossible");
    EXPECT_FALSE(d.okEnabled());
    EXPECT_FALSE(d.ok());
    EXPECT_EQ(d.accepted, 0);
}

// Each list has its own "Up", "Down", "All" and "Delete" beside it, acting on that list; a
// "Delete" shows when its warning stands, and OK is greyed while a branch holds two sources.
TEST(MeshDialogTest, EachListHasItsOwnButtonsAndOkIsGreyedWhileRefused) {
    WithCurrentSource s;
    NFCont* plain = s.loop(s.n1, {s.b1, s.b2});
    NFCont* viaB2 = s.loop(s.n1, {s.b2, s.b3});
    NFCont* viaB1 = s.loop(s.n1, {s.b1, s.b3});
    MeshCurrentDialog d;
    d.document = &s.doc;
    KirchhoffMethod model(s.wb.context());
    d.model = &model;
    d.show();
    auto captions = [&](const char* list) {
        QStringList shown;
        for (const DialogButton& b : d.field(list).buttons)
            shown << (b.visible ? b.caption : "(" + b.caption + ")");
        return shown;
    };
    EXPECT_TRUE(d.extraButtons().isEmpty());
    EXPECT_EQ(captions("loops"), (QStringList{"UP", "Down", "All", "(Delete)"}));
    EXPECT_EQ(captions("sourceLoops"), (QStringList{"Up", "Down", "All", "(Delete)"}));
    EXPECT_TRUE(d.okEnabled());

    const QString name2 = QString::fromStdString(viaB2->name), name3 = QString::fromStdString(viaB1->name);
    ASSERT_EQ(d.field("sourceLoops").items, (QStringList{name2, name3}));
    d.field("sourceLoops").choice = 0;
    d.pressed(MeshCurrentDialog::kSourceDown);
    EXPECT_EQ(d.field("sourceLoops").items, (QStringList{name3, name2}));
    EXPECT_EQ(d.field("sourceLoops").choice, 1);
    EXPECT_EQ(d.field("loops").items.size(), 1) << "the first list is left alone";
    d.pressed(MeshCurrentDialog::kSourceDelete);
    EXPECT_EQ(d.field("sourceLoops").items, QStringList{name3});
    d.pressed(MeshCurrentDialog::kSourceAll);
    d.pressed(MeshCurrentDialog::kSourceAll);
    EXPECT_EQ(d.field("sourceLoops").items, (QStringList{name2, name3})) << "each once";
    d.field("sourceLoops").choice = 1;
    d.pressed(MeshCurrentDialog::kSourceUp);
    ASSERT_TRUE(d.ok());
    ASSERT_EQ(model.chosenLoops.count(), 3);
    EXPECT_EQ(model.chosenLoops.get(0), plain);
    EXPECT_EQ(model.chosenLoops.get(1), viaB1);
    EXPECT_EQ(model.chosenLoops.get(2), viaB2);

    // A second plain loop is one too many for the first list; a spare node makes a second
    // isolated area, whose "Delete" stands beside the second list.
    s.loop(s.n1, {s.b2, s.b1});
    s.node(600, 600);
    d.show();
    EXPECT_EQ(captions("loops"), (QStringList{"UP", "Down", "All", "Delete"}));
    EXPECT_EQ(captions("sourceLoops"), (QStringList{"Up", "Down", "All", "Delete"}));

    s.place<NUniIst>(150, -100, value("1"));
    d.show();
    EXPECT_FALSE(d.okEnabled());
    EXPECT_FALSE(ScriptedPresenter::pressOk(d));
    EXPECT_EQ(d.accepted, 0);
}

TEST(MeshDialogTest, ListsLoopsBySourcesAndPutsTheSourceLoopsLast) {
    WithCurrentSource s;
    NFCont* withSource = s.loop(s.n1, {s.b2, s.b3});
    NFCont* plain = s.loop(s.n1, {s.b1, s.b2});
    MeshCurrentDialog d;
    d.document = &s.doc;
    KirchhoffMethod model(s.wb.context());
    d.model = &model;
    s.dialogs.scripts.push_back([](DialogModel& m) {
        m.pressed("All");
        m.pressed("All");
        return m.ok();
    });
    ASSERT_TRUE(s.dialogs.exec(d));
    EXPECT_EQ(d.field("loops").items.size(), 1);
    EXPECT_EQ(d.field("sourceLoops").items.size(), 1);
    EXPECT_EQ(d.field("warnings").text, "");
    ASSERT_EQ(model.chosenLoops.count(), 2);
    EXPECT_EQ(model.chosenLoops.get(0), plain);
    EXPECT_EQ(model.chosenLoops.get(1), withSource);

    // Without the source loop: fewer loops with sources than sources.
    s.doc.loops().remove(withSource);
    d.show();
    EXPECT_EQ(d.field("warnings").text,
              "Attention! Number of loops with current sources less then number of current sources");
}
