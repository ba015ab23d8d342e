// The element records of a solved scheme: the walk along a branch from its first node, back
// from its second around a current source, the names of the points inside a branch, and the
// potential profile of a loop.
#include "solver/powerbalance.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>

#include "app/solvecommand.h"
#include "diagrams/loop.h"
#include "report/recordingtarget.h"
#include "support/componentbench.h"
#include "support/randomcircuit.h"

using namespace qv;
using qv::test::ComponentBench;
using qv::test::value;

namespace {

/// One straight branch from node "a" (x = 0) to node "b" (x = 1400); components are clicked
/// onto it from left to right, so they follow the branch in the order given.
struct OneBranch : ComponentBench {
    NTbeNode* a = node(0, 0);
    NTbeNode* b = node(1400, 0);
    NTbeLine* line = branch(a, b);
    NCalcPowerBalance calc;
    int32_t nextX = 200;

    OneBranch() {
        a->name = "a";
        b->name = "b";
        line->name = "1";
        calc.owner = &doc;
    }
    template <class T> T* add(const QString& v, const std::string& name) {
        T* c = place<T>(nextX, 0, value(v));
        nextX += 200;
        if (c) c->name = name;
        return c;
    }
    /// The calculation records a node-voltage solution would leave.
    void solved(double phiA, double phiB, double current) {
        a->nodeData.dcPotential = phiA;
        b->nodeData.dcPotential = phiB;
        line->lineData.dcCurrent = current;
        line->lineData.calcFlag = 1;
    }
    const NTbeSetObj& record(size_t i) const { return calc.records.at(i); }
};

} // namespace

TEST(ElementRecordsDC, EmfOfTenVoltsWithFiveOhmsCarryingTwoAmps) {
    OneBranch s;
    auto* e = s.add<NUniEds>("10", "E1");
    auto* r = s.add<NUniRes>("5", "R1");
    s.solved(0, 0, 2);
    s.calc.buildRecordsDC(*s.line);
    ASSERT_EQ(s.calc.records.size(), 2u);
    EXPECT_EQ(s.record(0).element, e);
    EXPECT_DOUBLE_EQ(double(s.record(0).dcPhi1), 0);
    EXPECT_DOUBLE_EQ(double(s.record(0).dcPhi2), 10);
    EXPECT_DOUBLE_EQ(double(s.record(0).dcCurrent), 2);
    EXPECT_EQ(s.record(1).element, r);
    EXPECT_DOUBLE_EQ(double(s.record(1).dcPhi1), 10);
    EXPECT_DOUBLE_EQ(double(s.record(1).dcPhi2), 0);
    EXPECT_EQ(s.calc.findRecord(r), &s.record(1));
    EXPECT_EQ(s.calc.findRecord(nullptr), nullptr);

    // Turned against the branch the EMF lowers the potential and holds the current reversed.
    e->orientation = 0;
    s.solved(0, -20, 2);
    s.calc.records.clear();
    s.calc.buildRecordsDC(*s.line);
    EXPECT_DOUBLE_EQ(double(s.record(0).dcPhi2), -10);
    EXPECT_DOUBLE_EQ(double(s.record(0).dcCurrent), -2);
    EXPECT_DOUBLE_EQ(double(s.record(1).dcPhi2), -20);
}

TEST(ElementRecordsDC, ABranchWithOnlyACurrentSourceTakesBothNodes) {
    OneBranch s;
    auto* j = s.add<NUniIst>("3", "J1");
    s.solved(7, -2, 3);
    s.calc.buildRecordsDC(*s.line);
    ASSERT_EQ(s.calc.records.size(), 1u);
    EXPECT_EQ(s.record(0).element, j);
    EXPECT_DOUBLE_EQ(double(s.record(0).dcPhi1), 7);
    EXPECT_DOUBLE_EQ(double(s.record(0).dcPhi2), -2);
    EXPECT_DOUBLE_EQ(double(s.record(0).dcCurrent), 3);
    EXPECT_EQ(s.record(0).name1, "a");
    EXPECT_EQ(s.record(0).name2, "b");
}

// Where the current source sits decides which walk reaches each element and which point
// names are nodes and which are the source's own inner points ("J1н").
TEST(ElementRecordsDC, ACurrentSourceSplitsTheWalkAndNamesItsInnerPoints) {
    struct Case {
        const char* layout; ///< R: a 2 ohm resistor, E: a 5 V EMF, C: a capacitor, J: the source
        const char* order;  ///< the elements of the records, in the order they are made
        const char* name1;
        const char* name2;
        double phi1, phi2; ///< the source's terminals, with a at 100 V, b at 0 V and 3 A
    };
    const Case cases[] = {
        {"RJR", "RRJ", "J1\u043D", "J1\u043D", 94, 6},
        {"JR", "RJ", "a", "J1\u043D", 100, 6},
        {"RJ", "RJ", "J1\u043D", "b", 94, 0},
        {"EJ", "EJ", "J1\u043D", "b", 105, 0},
        {"CJC", "J", "a", "b", 100, 0}, // elements without a record leave the names alone
        {"JEJ", "EJ", "a", "J1\u043D", 100, -5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.layout);
        OneBranch s;
        std::string letters;
        int k = 0;
        bool firstSource = true;
        for (const char* p = c.layout; *p; ++p) {
            const std::string n = std::to_string(++k);
            if (*p == 'R') s.add<NUniRes>("2", "R" + n);
            if (*p == 'E') s.add<NUniEds>("5", "E" + n);
            if (*p == 'C') s.add<NUniCon>("1", "C" + n);
            if (*p == 'J') s.add<NUniIst>("3", firstSource ? "J1" : "J9");
            if (*p == 'J') firstSource = false;
        }
        s.solved(100, 0, 3);
        s.calc.buildRecordsDC(*s.line);
        for (const NTbeSetObj& r : s.calc.records)
            letters += r.element->name.substr(0, 1);
        EXPECT_EQ(letters, c.order);
        const NTbeSetObj& j = s.calc.records.back();
        ASSERT_EQ(j.element->name, "J1");
        EXPECT_EQ(j.name1, c.name1);
        EXPECT_EQ(j.name2, c.name2);
        EXPECT_DOUBLE_EQ(double(j.dcPhi1), c.phi1);
        EXPECT_DOUBLE_EQ(double(j.dcPhi2), c.phi2);
        EXPECT_DOUBLE_EQ(double(j.dcCurrent), 3);
    }
}

TEST(ElementRecordsDC, ABranchLeftOutOfTheSolutionCarriesNoCurrent) {
    OneBranch s;
    s.add<NUniRes>("5", "R1");
    s.solved(4, 4, 2);
    s.line->lineData.calcFlag = 0; // an older solution's current is still stored
    s.calc.buildRecordsDC(*s.line);
    ASSERT_EQ(s.calc.records.size(), 1u);
    EXPECT_EQ(double(s.record(0).dcCurrent), 0);
    EXPECT_EQ(double(s.record(0).dcPhi2), 4);
}

TEST(ElementRecordsAC, EveryImpedanceStepsByZIAndSourcesByTheirValue) {
    OneBranch s;
    s.calc.omega = 1000;
    auto* c = s.add<NUniCon>("100", "C1"); // -j10 ohm at 1000 rad/s
    s.add<NUniInd>("0.02", "L1");          // j20 ohm
    s.place<NUniCompEDS>(s.nextX, 0, [](DialogModel& m) {
        m.field("first").text = "3";
        m.field("second").text = "4";
        return m.ok();
    });
    s.nextX += 200;
    s.add<NUniRes>("2", "R1");
    s.a->nodeData.acPotentialRe = 1;
    s.a->nodeData.acPotentialIm = 1;
    s.line->lineData.acCurrentRe = 0;
    s.line->lineData.acCurrentIm = 1; // I = j
    s.line->lineData.calcFlag = 1;
    s.calc.buildRecordsAC(*s.line);
    ASSERT_EQ(s.calc.records.size(), 4u);
    EXPECT_EQ(s.record(0).element, c);
    // phi - Z I: 1+j - (-j10)(j) = -9+j, then -(j20)(j) = +20, then +3+j4, then -2j.
    const double expected[4][2] = {{-9, 1}, {11, 1}, {14, 5}, {14, 3}};
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_NEAR(double(s.record(i).acPhi2.re), expected[i][0], 1e-12) << i;
        EXPECT_NEAR(double(s.record(i).acPhi2.im), expected[i][1], 1e-12) << i;
        EXPECT_EQ(s.record(i).acCurrent, (Complex{0, 1}));
        if (i > 0) {
            EXPECT_EQ(s.record(i).acPhi1, s.record(i - 1).acPhi2);
        }
    }
}

// Triangle a -> b -> c -> a; the loop runs a -> c -> b -> a, so every branch is walked from
// its second node. Profile points: the first node, then one per component.
TEST(LoopProfile, PointsFollowTheLoopAndAbscissasAddUpResistance) {
    ComponentBench s;
    NTbeNode* a = s.node(0, 0);
    NTbeNode* b = s.node(800, 0);
    NTbeNode* c = s.node(400, 600);
    NTbeLine* ab = s.branch(a, b);
    NTbeLine* bc = s.branch(b, c);
    NTbeLine* ca = s.branch(c, a);
    s.place<NUniEds>(200, 0, value("12"));
    s.place<NUniRes>(600, 0, value("2"));
    s.place<NUniRes>(600, 300, value("4"));
    auto loop = newLoop(s.doc);
    loop->addNode(a);
    loop->addBranch(ca);
    loop->addBranch(bc);
    loop->addBranch(ab);
    s.doc.loops().add(loop.release());
    // E drives 12 / 6 = 2 A around a -> b -> c -> a; a at 0 V: b at 12 - 4 = 8, c at 0.
    b->nodeData.dcPotential = 8;
    for (NTbeLine* l : {ab, bc, ca}) {
        l->lineData.calcFlag = 1;
        l->lineData.dcCurrent = 2;
    }
    NCalcPowerBalance calc;
    calc.owner = &s.doc;
    calc.loopIndex = 0;
    ASSERT_TRUE(calc.loopProfile());
    // a (0) -> c: ca has no component; c -> b: R 4 backwards (0 -> 8); b -> a: R 2 (8 -> 12),
    // then E (12 -> 0).
    ASSERT_EQ(calc.profileCount, 4);
    const double phi[] = {0, 8, 12, 0};
    const double x[] = {0, 4, 6, 6};
    for (int i = 0; i < 4; ++i) {
        EXPECT_NEAR(double(calc.profilePotentials[size_t(i)]), phi[i], 1e-12) << i;
        EXPECT_NEAR(double(calc.profileAbscissas[size_t(i)]), x[i], 1e-12) << i;
    }

    // No such loop, or an element on it without a record: nothing to show.
    calc.loopIndex = 1;
    EXPECT_FALSE(calc.loopProfile());
    calc.loopIndex = -1;
    EXPECT_FALSE(calc.loopProfile());
    s.place<NUniCon>(400, 0, value("1"));
    calc.loopIndex = 0;
    EXPECT_FALSE(calc.loopProfile());
    EXPECT_EQ(calc.profileCount, 0);
}

namespace {

/// The balance of `calc` written into a fresh recording, as the reader sees it.
SolveResult solveNodes(NTBEFizDisp& doc) {
    SolveRequest r = SolveRequest::fromScheme(doc, "node");
    r.picture = false;
    r.initialData = false;
    return solveScheme(doc, r);
}

std::string balanceText(NCalcPowerBalance& calc, bool ac) {
    RecordingReportTarget report;
    calc.report = &report;
    if (ac)
        calc.balanceAC();
    else
        calc.balanceDC();
    calc.report = nullptr;
    return report.shownText();
}

} // namespace

TEST(PowerBalanceDC, EmfAndResistorLinesAndTheEmptyLines) {
    OneBranch s;
    s.add<NUniEds>("10", "E1");
    s.add<NUniRes>("5", "R1");
    s.solved(0, 0, 2);
    const std::string text = balanceText(s.calc, false);
    EXPECT_EQ(text, "I^{2}_{1}·R_{R1}=20=20\n"
                    "E_{E1}·I_{1}=20=20\n"
                    "=0\n"
                    "Imbalance (sources - consumers): 0, relative 0\n");
    EXPECT_DOUBLE_EQ(double(s.calc.consumerPower), 20);
    EXPECT_DOUBLE_EQ(double(s.calc.emfPower), 20);
    EXPECT_DOUBLE_EQ(double(s.calc.sourcePower), 0);
}

TEST(PowerBalanceDC, ACurrentSourceBetweenResistorsBalancesEitherWayRound) {
    // a -> R1 2 ohm -> J1 3 A -> R2 2 ohm -> b, back through R3 5 ohm: b is the reference,
    // a at -15 V; J1 sees -21 V before it and 6 V after it and delivers 27·3 = 81 W.
    OneBranch s;
    s.add<NUniRes>("2", "R1");
    auto* j = s.add<NUniIst>("3", "J1");
    s.add<NUniRes>("2", "R2");
    NTbeLine* back = s.branch(s.b, s.a, {{1400, 300}, {0, 300}});
    back->name = "2";
    s.place<NUniRes>(700, 300, value("5"))->name = "R3";
    for (uint8_t along : {1, 0}) {
        SCOPED_TRACE(int(along));
        j->orientation = along;
        ASSERT_EQ(solveNodes(s.doc).status, SolveResult::Solved);
        const std::string text = balanceText(s.calc, false);
        EXPECT_EQ(text.substr(0, text.find("Imbalance")),
                  std::string("I^{2}_{1}·R_{R1}+I^{2}_{1}·R_{R2}+I^{2}_{2}·R_{R3}=18+18+45=81\n"
                              "=0\n") +
                      (along ? "J_{J1}·(F_{J1н}-F_{J1н})=81=81\n" : "J_{J1}(F_{J1н}-F_{J1н})=81=81\n"));
        EXPECT_NEAR(double(s.calc.sourcePower), 81, 1e-12);
    }
}

// Whatever the circuit, the power the sources deliver is the power the resistances take.
// Current sources are put between a resistor and an EMF, in either direction, so that the
// walk back from the second node and the inner points are exercised as well.
TEST(PowerBalance, RandomSolvedCircuitsBalance) {
    std::mt19937 rng(20261210);
    for (int run = 0; run < 60; ++run) {
        const bool ac = run % 2 == 1;
        const int nodes = 2 + int(rng() % 6);
        test::RandomCircuit c =
            test::RandomCircuit::generate(rng, ac, nodes, 1 + int(rng() % 5), int(rng() % 3));
        for (auto& b : c.branches) {
            if (b.elements.front().kind != 'J' || rng() % 3 == 0) continue;
            b.elements.insert(b.elements.begin(), {'R', 1 + double(rng() % 50)});
            b.elements.push_back({'E', double(rng() % 40) - 20, ac ? double(rng() % 10) : 0, rng() % 2 == 0});
        }
        bool sources = false;
        for (const auto& b : c.branches)
            for (const auto& e : b.elements)
                sources = sources || e.kind == 'E' || e.kind == 'J';
        if (!sources) continue; // judged as DC, where its capacitors may cut a node off
        ComponentBench bench;
        c.draw(bench);
        SCOPED_TRACE(c.netlist(nodes - 1));
        SolveResult solved = solveNodes(bench.doc);
        ASSERT_EQ(solved.status, SolveResult::Solved) << solved.errors.join(' ').toStdString();
        NCalcPowerBalance calc;
        calc.owner = &bench.doc;
        calc.omega = 2 * M_PI * bench.doc.frequency;
        const std::string text = balanceText(calc, ac);
        auto close = [](Extended sources, Extended consumers) {
            return std::fabs(double(sources - consumers)) <=
                   1e-9 * std::max({1.0, std::fabs(double(sources)), std::fabs(double(consumers))});
        };
        if (ac) {
            EXPECT_TRUE(close(calc.acSourcePower.re, calc.acConsumerPower.re)) << text;
            EXPECT_TRUE(close(calc.acSourcePower.im, calc.acConsumerPower.im)) << text;
        } else {
            EXPECT_TRUE(close(calc.emfPower + calc.sourcePower, calc.consumerPower)) << text;
        }
    }
}

TEST(PowerBalanceAC, CapacitorTermsBringTheirOwnMinusAndSourcesTheirConjugates) {
    OneBranch s;
    s.calc.omega = 1000;
    s.add<NUniRes>("2", "R1");
    s.add<NUniCon>("100", "C1");  // -j10 ohm
    s.add<NUniInd>("0.02", "L1"); // j20 ohm
    auto* e = s.place<NUniCompEDS>(s.nextX, 0, [](DialogModel& m) {
        m.field("first").text = "3";
        m.field("second").text = "4";
        return m.ok();
    });
    e->name = "E1";
    s.line->lineData.calcFlag = 1;
    s.line->lineData.acCurrentRe = 1; // I = 1
    EXPECT_EQ(balanceText(s.calc, true),
              "|I|^{2}_{1}·R_{R1}-|I|^{2}_{1}·j/(ωC·_{C1})+|I|^{2}_{1}·j·ωL_{L1}=2-j10+j20=2+j10\n"
              "(Re(I_{1})-j·Im(I_{1}))·E_{E1}=3+j4=3+j4\n"
              "Imbalance (sources - consumers): P 1, relative 0.333333; Q -6, relative -0.6\n");
    e->orientation = 0;
    const std::string reversed = balanceText(s.calc, true);
    EXPECT_NE(reversed.find("(Re(I_{1})-j·Im(I_{1}))·(-E_{E1})=-3-j4=-3-j4\n"), std::string::npos)
        << reversed;
}

// The profile arrays hold 301 points: the first node and 300 components. A longer loop is
// refused rather than written past their end.
TEST(LoopProfile, ALoopLongerThanTheArraysIsRefused) {
    for (const int extra : {298, 299}) {
        SCOPED_TRACE(extra);
        std::vector<std::unique_ptr<NUniRes>> resistors; // outlive the scheme's branches
        OneBranch s;
        s.add<NUniRes>("1", "R1");
        NTbeLine* back = s.branch(s.b, s.a, {{1400, 300}, {0, 300}});
        s.place<NUniRes>(700, 300, value("1"));
        for (int i = 0; i < extra; ++i) {
            resistors.push_back(std::make_unique<NUniRes>());
            resistors.back()->resistance = 1;
            resistors.back()->branch = s.line;
            s.line->insertAt(int(s.line->elements.size()), resistors.back().get());
        }
        auto loop = newLoop(s.doc);
        loop->addNode(s.a);
        loop->addBranch(s.line);
        loop->addBranch(back);
        s.doc.loops().add(loop.release());
        s.calc.loopIndex = 0;
        const bool fits = 1 + 1 + extra + 1 <= NCalcPowerBalance::kProfileSize;
        EXPECT_EQ(s.calc.loopProfile(), fits);
        EXPECT_EQ(s.calc.profileCount, fits ? NCalcPowerBalance::kProfileSize : 0);
        for (auto& r : resistors)
            s.line->removeElement(r.get());
    }
}
