// The solve command and the node-voltage method through it: the report as it reads, the
// reference node, the dialog's rules, the capacities, and the numbers against ngspice.
#include "app/solvecommand.h"

#include <gtest/gtest.h>

#include <random>

#include "report/recordingtarget.h"
#include "solver/nodevoltagedialog.h"
#include "support/randomcircuit.h"

using namespace qv;
using qv::test::ComponentBench;
using qv::test::RandomCircuit;
using qv::test::value;

namespace {

struct Solve : ComponentBench {
    RecordingReportTarget report;

    SolveResult run(std::optional<QStringList> nodes = std::nullopt) {
        SolveRequest r = SolveRequest::fromScheme(doc, "node");
        r.target = &report;
        r.picture = false;
        r.initialData = false;
        r.nodes = nodes;
        return solveScheme(doc, r);
    }
    static std::map<QString, double> byName(const std::vector<NamedValue>& values) {
        std::map<QString, double> m;
        for (const NamedValue& v : values)
            m[v.name] = double(v.value.re);
        return m;
    }
};

/*  n1 --[E1 R1]--> n2 --[R2]--> n3,   n1 --[R3]--> n3 */
struct Chain : Solve, ::testing::Test {
    NTbeNode* n1 = node(0, 0);
    NTbeNode* n2 = node(400, 0);
    NTbeNode* n3 = node(800, 0);
    NTbeLine* b1 = branch(n1, n2);
    NTbeLine* b2 = branch(n2, n3);
    NTbeLine* b3 = branch(n1, n3, {{0, 300}, {800, 300}});
    Chain() {
        place<NUniEds>(100, 0, value("10"));
        place<NUniRes>(250, 0, value("2"));
        place<NUniRes>(600, 0, value("3"));
        place<NUniRes>(400, 300, value("5"));
    }
};

} // namespace

TEST_F(Chain, WithoutGroundTheLastListedNodeIsTheReference) {
    SolveResult a = run();
    ASSERT_EQ(a.status, SolveResult::Solved) << a.errors.join(' ').toStdString();
    EXPECT_FALSE(a.ac);
    ASSERT_EQ(a.nodes.size(), 3u);
    EXPECT_EQ(a.nodes.back().name, "3");
    EXPECT_EQ(double(a.nodes.back().value.re), 0.0);
    // Loop n1 -> n2 -> n3 -> n1: E1 drives 10 / (2 + 3 + 5) = 1 A along b1 and b2, back
    // through b3 against its direction.
    auto i = byName(a.branches);
    EXPECT_NEAR(i["1"], 1.0, 1e-12);
    EXPECT_NEAR(i["2"], 1.0, 1e-12);
    EXPECT_NEAR(i["3"], -1.0, 1e-12);
    const std::string text = report.shownText();
    EXPECT_NE(text.find("Solution\nφ_{1}·G_{11}+φ_{2}·G_{12}=I_{11}\n"), std::string::npos) << text;
    EXPECT_NE(text.find("I_{1}=(φ_{1}-φ_{2}+E_{1})/R_{1}=1\n"), std::string::npos) << text;
    EXPECT_NE(text.find("φ_{3}=0\n"), std::string::npos) << text;

    // Another node last: potentials move by a constant, currents stay.
    report.clear();
    SolveResult b = run(QStringList{"3", "2", "1"});
    ASSERT_EQ(b.status, SolveResult::Solved);
    EXPECT_EQ(b.nodes.back().name, "1");
    auto pa = byName(a.nodes), pb = byName(b.nodes);
    EXPECT_NEAR(pa["2"] - pa["1"], pb["2"] - pb["1"], 1e-12);
    EXPECT_NEAR(pa["3"] - pa["1"], pb["3"] - pb["1"], 1e-12);
    for (auto [name, current] : byName(b.branches))
        EXPECT_NEAR(current, i[name], 1e-12) << name.toStdString();
    // The calculation records hold the last solution.
    EXPECT_NEAR(double(n1->nodeData.dcPotential), 0.0, 1e-15);
    EXPECT_NEAR(double(b3->lineData.dcCurrent), -1.0, 1e-12);
}

TEST_F(Chain, AGroundIsTheReferenceWhateverTheOrder) {
    ground(n2, {400, -150});
    SolveResult r = run(QStringList{"2", "1", "3"});
    ASSERT_EQ(r.status, SolveResult::Solved) << r.errors.join(' ').toStdString();
    // Every node under its own name, in the order chosen; the grounded one at 0.
    auto p = byName(r.nodes);
    ASSERT_EQ(r.nodes.size(), 3u);
    EXPECT_EQ(r.nodes.front().name, "2");
    EXPECT_EQ(p.count(""), 0u);
    EXPECT_EQ(p["2"], 0.0);
    EXPECT_NEAR(p["1"], -8.0, 1e-12);
    const std::string text = report.shownText();
    // The reference keeps its empty subscript; the grounded node merged into it follows under
    // its own name, and the current formulas name it.
    EXPECT_NE(text.find("φ=0\nφ_{2}=0\n"), std::string::npos) << text;
    EXPECT_NE(text.find("I_{1}=(φ_{1}-φ_{2}+E_{1})/R_{1}=1\n"), std::string::npos) << text;
    EXPECT_EQ(double(n2->nodeData.dcPotential), 0.0);
    // n2 at 0: n1 = n2 - (E1 - I R1) = -(10 - 2) = -8, n3 = n2 - I R2 = -3.
    EXPECT_NEAR(double(n1->nodeData.dcPotential), -8.0, 1e-12);
    EXPECT_NEAR(double(n3->nodeData.dcPotential), -3.0, 1e-12);
}

TEST_F(Chain, UnknownNodeNamesAndMixedSchemesFail) {
    SolveResult r = run(QStringList{"1", "9"});
    EXPECT_EQ(r.status, SolveResult::Failed);
    EXPECT_TRUE(r.errors.join(' ').contains("9"));

    place<NUniInd>(600, 300, value("0.1"));
    auto* z = place<NUniImpedance>(200, 300, [](DialogModel& m) {
        m.field("resistance").text = "1";
        m.field("reactance").text = "1";
        return m.ok();
    });
    ASSERT_NE(z, nullptr);
    r = run();
    EXPECT_EQ(r.status, SolveResult::Failed);
    EXPECT_EQ(r.errors.value(0), kMixedScheme);
}

TEST(NodeVoltageDialogRules, WarningsDisableOkAndTheListReorders) {
    Solve s;
    NTbeNode* a = s.node(0, 0);
    NTbeNode* b = s.node(400, 0);
    s.node(1200, 0); // isolated: a second area
    s.branch(a, b);
    s.branch(a, b, {{0, 300}, {400, 300}});
    s.place<NUniEds>(200, 0, value("5"));
    s.place<NUniIst>(100, 300, value("1"));
    s.place<NUniIst>(300, 300, value("2"));

    NodeVoltageDialog d;
    d.document = &s.doc;
    d.show();
    EXPECT_FALSE(d.calculationPossible);
    ASSERT_EQ(d.warnings.size(), 3);
    EXPECT_EQ(d.warnings[0],
              "Attention! Branch 1 include 1 voltage sources and has nil resistance. Transform schem");
    EXPECT_EQ(d.warnings[1], "Attention! Branch 2 include 2 current sources. Calculation impossible");
    EXPECT_TRUE(d.extraButtons().contains("Delete"));
    EXPECT_EQ(d.field("currentSources").text, "2");
    EXPECT_FALSE(d.okEnabled());
    EXPECT_FALSE(d.ok());

    d.field("AllNodes").choice = 0;
    d.pressed("Down");
    EXPECT_EQ(d.field("AllNodes").items, (QStringList{"2", "1", "3"}));
    EXPECT_EQ(d.field("AllNodes").choice, 1);
    d.pressed("Delete");
    EXPECT_EQ(d.field("AllNodes").items, (QStringList{"2", "3"}));
    d.pressed("All");
    EXPECT_EQ(d.field("AllNodes").items, (QStringList{"1", "2", "3"}));

    // The command refuses what the dialog refuses.
    SolveResult r = s.run();
    EXPECT_EQ(r.status, SolveResult::Refused);
    EXPECT_EQ(r.warnings.size(), 3);
}

// "Freqncy": a text that is not a number, or a negative one, is told and keeps the dialog
// open with the frequency as it was; a number closes it and is stored.
TEST(FrequencyDialogRules, OnlyANumberNotBelowZeroCloses) {
    ComponentBench s;
    RecordingMessages messages;
    s.wb.context().setMessages(&messages);
    const struct {
        const char* typed;
        const char* message; ///< empty: accepted
    } cases[] = {{"abc", "'abc' is not a valid floating point value"},
                 {"", "'' is not a valid floating point value"},
                 {"1e5000", "'1e5000' is not a valid floating point value"},
                 {"-5", "'-5' is not a valid frequency: it cannot be negative"},
                 {"0", ""},
                 {" 60 ", ""}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        messages.shown.clear();
        s.doc.frequency = 50;
        bool closedAtOnce = false;
        s.dialogs.scripts.push_back([&](DialogModel& m) {
            EXPECT_EQ(m.field("Edit1").text, "50");
            EXPECT_EQ(m.cancelText(), QString::fromUtf8("Отмена"));
            m.field("Edit1").text = QString::fromUtf8(c.typed);
            closedAtOnce = m.ok();
            if (closedAtOnce) return true;
            m.cancel();
            return false;
        });
        const bool stored = FrequencyDialog::edit(s.doc);
        EXPECT_EQ(stored, closedAtOnce);
        if (*c.message) {
            EXPECT_FALSE(stored);
            ASSERT_EQ(messages.shown.size(), 1);
            EXPECT_EQ(messages.shown[0].text.toStdString(), c.message);
            EXPECT_EQ(double(s.doc.frequency), 50.0);
        } else {
            EXPECT_TRUE(stored);
            EXPECT_TRUE(messages.shown.isEmpty());
            EXPECT_EQ(double(s.doc.frequency), QString::fromUtf8(c.typed).trimmed().toDouble());
        }
    }
    s.wb.context().setMessages(nullptr);
}

TEST(NodeVoltageCapacity, FortyFiveDcUnknownsEndInASolutionErrorWithTheReason) {
    Solve s;
    std::vector<NTbeNode*> n;
    for (int i = 0; i < 46; ++i)
        n.push_back(s.node(400 * i, 0));
    for (int i = 1; i < 46; ++i) {
        s.branch(n[size_t(i - 1)], n[size_t(i)]);
        s.place<NUniRes>(400 * i - 200, 0, value("1"));
    }
    s.place<NUniEds>(100, 0, value("1"));
    SolveResult r = s.run();
    EXPECT_EQ(r.status, SolveResult::Failed);
    EXPECT_EQ(r.errors.value(0), kSolutionError);
    EXPECT_TRUE(r.errors.value(1).contains("more than 44 unknowns")) << r.errors.join(' ').toStdString();
    EXPECT_NE(s.report.shownText().find("Solution error: more than 44 unknowns"), std::string::npos);
    EXPECT_EQ(s.report.updates, 0);
}

TEST(NodeVoltageAgainstNgspice, RandomCircuitsAgreeToOnePartInAMillion) {
    if (RandomCircuit::ngspice().isEmpty())
        GTEST_SKIP() << "ngspice is not installed (scripts/deps.sh installs it)";
    std::mt19937 rng(20261210);
    int compared = 0;
    for (int round = 0; round < 12; ++round) {
        const bool ac = round % 2 == 1;
        const int nodes = 2 + int(rng() % 5);
        Solve s;
        RandomCircuit c = RandomCircuit::generate(rng, ac, nodes, 1 + int(rng() % 4), int(rng() % 3));
        c.draw(s);
        SCOPED_TRACE(c.netlist(nodes - 1));
        SolveResult r = s.run();
        ASSERT_EQ(r.status, SolveResult::Solved) << r.errors.join(' ').toStdString();
        ASSERT_EQ(r.ac, ac);
        QString log;
        auto spice = RandomCircuit::simulate(c.netlist(nodes - 1), log);
        ASSERT_FALSE(spice.empty()) << log.toStdString();
        // One part in a million, and a picoampere or picovolt where the value is a rounding
        // remainder of zero (the simulator's own is about 1e-15).
        auto close = [](double a, double b) {
            return std::fabs(a - b) <= 1e-6 * std::max(std::fabs(a), std::fabs(b)) + 1e-12;
        };
        for (const NamedValue& v : r.branches) {
            int k = -1;
            for (size_t q = 0; q < c.branches.size(); ++q)
                if (QString::fromStdString(c.branches[q].line->name) == v.name) k = int(q);
            ASSERT_GE(k, 0);
            const auto want = spice["i(vm" + std::to_string(k) + ")"];
            EXPECT_TRUE(close(double(v.value.re), want.first))
                << "branch " << k << ": " << double(v.value.re) << " vs " << want.first;
            if (ac) {
                EXPECT_TRUE(close(double(v.value.im), want.second)) << "branch " << k << " imag";
            }
            ++compared;
        }
        for (int i = 0; i < nodes; ++i) {
            const std::string key = "v(n" + std::to_string(i) + ")";
            if (!spice.count(key)) continue; // at the reference
            for (const NamedValue& v : r.nodes)
                if (v.name == QString::fromStdString(c.nodes[size_t(i)]->name)) {
                    EXPECT_TRUE(close(double(v.value.re), spice[key].first)) << key;
                    if (ac) {
                        EXPECT_TRUE(close(double(v.value.im), spice[key].second)) << key;
                    }
                }
        }
    }
    EXPECT_GT(compared, 20);
}

// AC: mutual admittances as Y12=Y21=-1/Z, a current source in parallel left out of them, and
// the currents found obey Kirchhoff's current law at every node.
TEST(NodeVoltageAlternate, AdmittanceLinesAndCurrentLaw) {
    Solve s;
    NTbeNode* n1 = s.node(0, 0);
    NTbeNode* n2 = s.node(400, 0);
    NTbeNode* n3 = s.node(800, 0);
    NTbeLine* b1 = s.branch(n1, n2);
    NTbeLine* b2 = s.branch(n2, n3);
    NTbeLine* b3 = s.branch(n1, n3, {{0, 300}, {800, 300}});
    NTbeLine* b4 = s.branch(n1, n2, {{0, -300}, {400, -300}});
    auto complexValue = [](const char* re, const char* im) {
        return [re, im](DialogModel& m) {
            m.field("first").text = re;
            m.field("second").text = im;
            return m.ok();
        };
    };
    s.place<NUniCompEDS>(100, 0, complexValue("10", "5"));
    s.place<NUniRes>(250, 0, value("2"));
    s.place<NUniInd>(600, 0, value("0.01"));
    s.place<NUniRes>(400, 300, value("5"));
    s.place<NUniCompCurSource>(200, -300, complexValue("1", "-1"));
    SolveResult r = s.run();
    ASSERT_EQ(r.status, SolveResult::Solved) << r.errors.join(' ').toStdString();
    EXPECT_TRUE(r.ac);
    const std::string text = s.report.shownText();
    EXPECT_NE(text.find("Branches impedance calculation\nZ_{1}=R_{1}=2=2\n"), std::string::npos) << text;
    EXPECT_NE(text.find("Y_{12}=Y_{21}=-1/Z_{1}=-0.5\n"), std::string::npos) << text;
    EXPECT_NE(text.find("I_{4}=J_{1}=1-j1\n"), std::string::npos) << text;

    std::map<const NFUsel*, Complex> sum;
    for (NTbeLine* b : {b1, b2, b3, b4}) {
        const NamedValue* found = nullptr;
        for (const NamedValue& v : r.branches)
            if (v.name == QString::fromStdString(b->name)) found = &v;
        ASSERT_NE(found, nullptr);
        sum[b->node1] = CSub(sum[b->node1], found->value);
        sum[b->node2] = CAdd(sum[b->node2], found->value);
        EXPECT_EQ(b->lineData.acCurrentRe, found->value.re);
    }
    for (auto [node, total] : sum) {
        EXPECT_NEAR(double(total.re), 0, 1e-12);
        EXPECT_NEAR(double(total.im), 0, 1e-12);
    }
}

// Two nodes, one grounded: one equation; small values in the exponent form with three digits.
TEST(NodeVoltageDirect, TwoNodesOneGrounded) {
    Solve s;
    NTbeNode* n1 = s.node(0, 0);
    NTbeNode* n2 = s.node(400, 0);
    s.branch(n1, n2);
    s.branch(n1, n2, {{0, 300}, {400, 300}});
    s.place<NUniEds>(100, 0, value("1"));
    s.place<NUniRes>(250, 0, value("1E7"));
    s.place<NUniRes>(200, 300, value("1E7"));
    s.ground(n2, {400, -150});
    SolveResult r = s.run();
    ASSERT_EQ(r.status, SolveResult::Solved) << r.errors.join(' ').toStdString();
    const std::string text = s.report.shownText();
    EXPECT_NE(text.find("Solution\nφ_{1}·G_{11}=I_{11}\nG_{11}=1/R_{1}+1/R_{2}=2E-007\n"), std::string::npos)
        << text;
    EXPECT_NE(text.find("I_{1}=(φ_{1}-φ_{2}+E_{1})/R_{1}=5E-008\n"), std::string::npos) << text;
    EXPECT_NEAR(double(n1->nodeData.dcPotential), -0.5, 1e-12);
}
