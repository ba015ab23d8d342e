// The element records of a solved scheme: the walk along a branch from its first node, back
// from its second around a current source, the names of the points inside a branch, and the
// potential profile of a loop.
#include "solver/powerbalance.h"

#include <gtest/gtest.h>

#include <string>

#include "diagrams/nfcont.h"
#include "support/componentbench.h"

using namespace qv;
using qv::test::ComponentBench;

namespace {

ScriptedPresenter::Script value(const QString& v) {
    return [v](DialogModel& m) {
        m.field("value").text = v;
        return m.ok();
    };
}

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
        if (i > 0) EXPECT_EQ(s.record(i).acPhi1, s.record(i - 1).acPhi2);
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
