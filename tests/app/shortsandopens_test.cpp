// DC circuits with shorts (wires, lone inductors, resistors of 0) and open branches
// (capacitors), solved by all three methods through the solve command: every branch current
// as ngspice finds it, or a "Solution error" with the reason where the circuit has no one set
// of currents; never numbers that are wrong or missing.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "app/solvecommand.h"
#include "report/recordingtarget.h"
#include "support/randomcircuit.h"

using namespace qv;
using qv::test::ComponentBench;
using qv::test::RandomCircuit;

namespace {

using Element = RandomCircuit::Element;
using Branch = RandomCircuit::Branch;

const char* const kMethods[] = {"kirchhoff", "mesh", "node"};

struct Bench : ComponentBench {
    RecordingReportTarget report;

    SolveResult run(const std::string& method) {
        report.clear();
        SolveRequest r = SolveRequest::fromScheme(doc, method);
        r.target = &report;
        r.picture = false;
        r.initialData = false;
        return solveScheme(doc, r);
    }
};

/// A circuit of `nodes` nodes, its branches and grounds, drawn with the loops of every method.
RandomCircuit circuit(int nodes, std::vector<Branch> branches, std::vector<int> grounded = {}) {
    RandomCircuit c;
    c.nodeCount = nodes;
    c.branches = std::move(branches);
    c.grounded = std::move(grounded);
    return c;
}

using Spice = std::map<std::string, std::pair<double, double>>;

/// One part in a million, beside what the simulator's own conductance to ground leaves of
/// a current or a voltage of 0.
bool close(double a, double b, double floor = 1e-9) {
    return std::fabs(a - b) <= 1e-6 * std::max(std::fabs(a), std::fabs(b)) + floor;
}

/// Every branch with the current ngspice finds; for the node-voltage method also the voltage
/// across every branch that carries current, from the potentials of its own nodes.
void expectAgrees(const RandomCircuit& c, const SolveResult& r, const Spice& spice,
                  const std::string& method) {
    ASSERT_EQ(r.branches.size(), c.branches.size()) << "every branch of the scheme has its current";
    for (size_t k = 0; k < c.branches.size(); ++k) {
        const NamedValue& v = r.branches[k];
        ASSERT_EQ(v.name, QString::fromStdString(c.branches[k].line->name));
        // The netlist leaves open branches out: they pass nothing.
        std::pair<double, double> want{0, 0};
        if (!c.isOpen(c.branches[k])) {
            auto found = spice.find("i(vm" + std::to_string(k) + ")");
            ASSERT_NE(found, spice.end()) << "ngspice found no current for branch " << k;
            want = found->second;
        }
        EXPECT_TRUE(close(double(v.value.re), want.first))
            << method << ", branch " << k << ": " << double(v.value.re) << " vs " << want.first;
        if (c.ac) {
            EXPECT_TRUE(close(double(v.value.im), want.second))
                << method << ", branch " << k << " imag: " << double(v.value.im) << " vs " << want.second;
        }
    }
    if (method != "node") return;
    std::map<QString, Complex> potential;
    for (const NamedValue& v : r.nodes)
        potential[v.name] = v.value;
    ASSERT_EQ(potential.size(), size_t(c.nodeCount)) << "every node under its own name";
    auto spiceAt = [&](int i) {
        auto it = spice.find("v(n" + std::to_string(i) + ")");
        return it == spice.end() ? std::pair<double, double>{0, 0} : it->second;
    };
    for (const Branch& b : c.branches) {
        if (c.isOpen(b) || RandomCircuit::hasSource(b)) continue;
        const Complex u = CSub(potential[QString::fromStdString(c.nodes[size_t(b.from)]->name)],
                               potential[QString::fromStdString(c.nodes[size_t(b.to)]->name)]);
        const double want = spiceAt(b.from).first - spiceAt(b.to).first;
        EXPECT_TRUE(close(double(u.re), want, 1e-8))
            << "voltage across " << b.line->name << ": " << double(u.re) << " vs " << want;
    }
}

/// Draws the circuit with its loops, solves it by every method and compares.
void expectAllMethodsAgree(RandomCircuit& c) {
    Bench s;
    c.draw(s);
    c.drawBasisLoops(s, true);
    const std::string netlist = c.netlist(c.nodeCount - 1);
    SCOPED_TRACE(netlist);
    QString log;
    const Spice spice = RandomCircuit::simulate(netlist, log);
    ASSERT_FALSE(spice.empty()) << log.toStdString();
    for (const char* method : kMethods) {
        const SolveResult r = s.run(method);
        ASSERT_EQ(r.status, SolveResult::Solved)
            << method << ": " << r.errors.join(": ").toStdString() << "\n"
            << s.report.shownText();
        expectAgrees(c, r, spice, method);
    }
}

Element R(double ohm) {
    return {'R', ohm};
}
Element E(double volt, bool along = true) {
    return {'E', volt, 0, along};
}
Element J(double ampere, bool along = true) {
    return {'J', ampere, 0, along};
}
Element L(double henry) {
    return {'L', henry};
}
Element C(double microfarad) {
    return {'C', microfarad};
}
Branch wire(int from, int to) {
    return {from, to, {}};
}

} // namespace

// Capacitors in series in some branches, a wire or a lone inductor as another branch.
TEST(ShortsAndOpensAgainstNgspice, ATableOfDcCircuitsByAllThreeMethods) {
    if (RandomCircuit::ngspice().isEmpty())
        GTEST_SKIP() << "ngspice is not installed (scripts/deps.sh installs it)";
    struct Case {
        const char* what;
        RandomCircuit c;
    };
    Case cases[] = {
        {"a wire carries the loop current past an open branch",
         circuit(3, {{0, 1, {E(10), R(2)}}, wire(1, 2), {2, 0, {R(4)}}, {1, 0, {R(6), C(10)}}})},
        {"a lone inductor across an EMF with its resistor: the branch keeps its own loop",
         circuit(3, {{0, 1, {E(5), R(1)}}, {0, 1, {L(0.1)}}, {1, 2, {R(3), C(10)}}, {2, 0, {R(7)}}})},
        {"two capacitors in series, a wire into a node grounded with another",
         circuit(
             3,
             {{0, 1, {R(10), C(5), C(20), E(3)}}, {0, 1, {R(5), E(12, false)}}, wire(1, 2), {2, 0, {R(20)}}},
             {0, 2})},
        {"a current source beside a chain of shorts",
         circuit(3,
                 {{0, 1, {J(2)}}, {1, 2, {L(0.2)}}, {2, 0, {R(5)}}, {0, 2, {R(10), C(47)}}, {1, 0, {R(0)}}})},
        {"every node merged into one", circuit(3, {wire(0, 1),
                                                   {1, 2, {L(1)}},
                                                   {2, 0, {E(6), R(3)}},
                                                   {0, 1, {R(2)}},
                                                   {2, 1, {E(1, false), R(4)}}})},
        {"a part cut off by a capacitor keeps its own current",
         circuit(
             4,
             {{0, 1, {E(10), R(5)}}, {1, 0, {R(5)}}, {1, 2, {C(100)}}, {2, 3, {E(4), R(2)}}, {3, 2, {R(6)}}},
             {0})},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.what);
        expectAllMethodsAgree(c.c);
    }
}

TEST(ShortsAndOpensAgainstNgspice, RandomCircuitsByAllThreeMethodsGroundedAndNot) {
    if (RandomCircuit::ngspice().isEmpty())
        GTEST_SKIP() << "ngspice is not installed (scripts/deps.sh installs it)";
    std::mt19937 rng(20261222);
    for (int round = 0; round < 24; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        const bool ac = round % 6 == 5;
        RandomCircuit c = RandomCircuit::generateWithShortsAndOpens(rng, ac, 2 + int(rng() % 5),
                                                                    1 + int(rng() % 5), int(rng() % 4));
        expectAllMethodsAgree(c);
        if (HasFatalFailure()) return;
    }
}

// Without the guards a circuit may have no one set of currents, and a loop may be missing:
// a method may then fail with its reason, but whatever it solves agrees with ngspice.
TEST(ShortsAndOpensAgainstNgspice, RandomCircuitsAnyHowNeverGetWrongNumbers) {
    if (RandomCircuit::ngspice().isEmpty())
        GTEST_SKIP() << "ngspice is not installed (scripts/deps.sh installs it)";
    std::mt19937 rng(20261223);
    const int rounds = 24;
    int solved = 0, failed = 0;
    for (int round = 0; round < rounds; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        const bool ac = round % 5 == 4;
        RandomCircuit c = RandomCircuit::generateWithShortsAndOpens(
            rng, ac, 2 + int(rng() % 5), 1 + int(rng() % 5), int(rng() % 4), false);
        Bench s;
        c.draw(s);
        c.drawBasisLoops(s, true);
        if (rng() % 4 == 0 && s.doc.loops().count() > 0) s.doc.loops().remove(s.doc.loops().get(0));
        // Without the simplification the shorts stay in the equations.
        if (rng() % 3 == 0) s.doc.deleteZeroBranches = 0;
        const std::string netlist = c.netlist(c.nodeCount - 1);
        SCOPED_TRACE(netlist);
        QString log;
        const Spice spice = RandomCircuit::simulate(netlist, log);
        for (const char* method : kMethods) {
            const SolveResult r = s.run(method);
            if (r.status == SolveResult::Solved) {
                ++solved;
                expectAgrees(c, r, spice, method);
            } else {
                ++failed;
                if (r.status == SolveResult::Failed) {
                    EXPECT_EQ(r.errors.value(0), kSolutionError) << method;
                    EXPECT_FALSE(r.errors.value(1).isEmpty()) << method << ": a reason";
                }
                EXPECT_TRUE(r.branches.empty()) << method << ": no numbers";
            }
            if (HasFailure()) return;
        }
    }
    EXPECT_GT(solved, rounds);
    EXPECT_GT(failed, rounds / 4);
}

// Where the circuit has no one set of currents, every method says why and writes none.
TEST(ShortsAndOpens, CircuitsWithoutOneSetOfCurrentsEndInASolutionErrorWithTheReason) {
    struct Case {
        const char* what;
        RandomCircuit c;
        const char* reason;
    };
    Case cases[] = {
        {"two wires side by side",
         circuit(3, {{0, 1, {E(10), R(5)}}, wire(1, 2), wire(1, 2), {2, 0, {R(5)}}}),
         "the loop of branches 2, 3 has no resistance (wires and inductors carry direct current without "
         "any): "
         "the current around it is not determined"},
        {"a wire across a voltage source", circuit(2, {{0, 1, {E(10), L(0.5)}}, wire(0, 1), {1, 0, {R(5)}}}),
         "the loop of branches 1, 2 has voltage sources but no resistance: Kirchhoff's voltage law cannot "
         "hold "
         "around it"},
        {"a wire between two grounded nodes", circuit(2, {{0, 1, {E(10), R(5)}}, wire(0, 1)}, {0, 1}),
         "the loop of branch 2 (closed through the ground) has no resistance"},
        {"a current source and a capacitor in one branch",
         circuit(2, {{0, 1, {J(1), C(10)}}, {0, 1, {R(5)}}}),
         "branch 1 holds the current source J1 and a capacitor, which passes no direct current"},
        {"a current source in series with an open branch",
         circuit(3, {{0, 1, {J(1)}}, {1, 2, {R(3), C(10)}}, {2, 0, {R(5)}}, {0, 2, {E(2), R(1)}}}),
         "the current of the current source J1 has no way back from node 2"},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.what);
        Bench s;
        c.c.draw(s);
        c.c.drawBasisLoops(s, true);
        for (const char* method : kMethods) {
            SCOPED_TRACE(method);
            const SolveResult r = s.run(method);
            EXPECT_EQ(r.status, SolveResult::Failed);
            EXPECT_EQ(r.errors.value(0), kSolutionError);
            EXPECT_TRUE(r.errors.value(1).startsWith(QString::fromUtf8(c.reason)))
                << r.errors.join(": ").toStdString();
            EXPECT_TRUE(r.branches.empty());
            EXPECT_NE(s.report.shownText().find("Solution error: "), std::string::npos);
        }
    }
}

// A wire between n2 and n3 merges n3 into n2; a branch beside it with its own EMF closes on
// itself. Both stay in the results of every method, and the node-voltage method names every
// node of the scheme in its formulas and lists it with its potential.
TEST(ShortsAndOpens, TheMergedAndClosedBranchesStayInTheReport) {
    Bench s;
    RandomCircuit c = circuit(3, {{0, 1, {E(10), R(2)}}, wire(1, 2), {2, 0, {R(3)}}, {1, 2, {E(5), R(4)}}});
    c.draw(s);
    c.drawBasisLoops(s, true);
    // Loop current 10 / (2 + 3) = 2 A through branches 1 and 3; branch 4 drives 5 / 4 A round
    // itself through the wire, which carries 2 - 1.25 A.
    const std::map<std::string, std::vector<std::string>> lines = {
        {"kirchhoff", {"I_{1}=2.000\nI_{2}=0.750\nI_{3}=2.000\nI_{4}=1.250\n"}},
        {"mesh", {"I_{2}= I_{L1L1}-I_{L2L2}=0.75\n", "I_{4}= I_{L2L2}=1.25\n"}},
        {"node",
         {"φ_{1}=-6\nφ_{2}=0\nφ_{3}=0\n", "I_{2}=I_{1}-I_{4}=0.75\n", "I_{3}=(φ_{3}-φ_{1})/R_{2}=2\n",
          "I_{4}=E_{2}/R_{3}=1.25\n"}},
    };
    for (const char* method : kMethods) {
        SCOPED_TRACE(method);
        const SolveResult r = s.run(method);
        ASSERT_EQ(r.status, SolveResult::Solved) << r.errors.join(": ").toStdString();
        ASSERT_EQ(r.branches.size(), 4u);
        EXPECT_NEAR(double(r.branches[1].value.re), 0.75, 1e-12);
        EXPECT_NEAR(double(r.branches[3].value.re), 1.25, 1e-12);
        const std::string text = s.report.shownText();
        for (const std::string& line : lines.at(method))
            EXPECT_NE(text.find(line), std::string::npos) << line << "\n" << text;
    }
    // The scheme's records hold the potential of the merged node and the currents of both.
    EXPECT_EQ(c.nodes[2]->nodeData.dcPotential, 0);
    EXPECT_NEAR(double(c.branches[1].line->lineData.dcCurrent), 0.75, 1e-12);
    EXPECT_EQ(c.branches[3].line->lineData.calcFlag, 1);
}

// A part that a capacitor cuts off keeps its own currents; the node-voltage method takes one
// of its nodes as its reference and says so.
TEST(ShortsAndOpens, APartCutOffHasItsOwnReferenceNode) {
    Bench s;
    RandomCircuit c = circuit(
        4, {{0, 1, {E(10), R(5)}}, {1, 0, {R(5)}}, {1, 2, {C(100)}}, {2, 3, {E(4), R(2)}}, {3, 2, {R(6)}}},
        {0});
    c.draw(s);
    const SolveResult r = s.run("node");
    ASSERT_EQ(r.status, SolveResult::Solved) << r.errors.join(": ").toStdString();
    EXPECT_TRUE(
        r.warnings.contains("nodes 3, 4 reach the reference node only through current sources or open "
                            "branches: node 4 is their own reference (potential 0)"))
        << r.warnings.join("\n").toStdString();
    EXPECT_NEAR(double(r.branches[3].value.re), 0.5, 1e-12);
    EXPECT_NE(s.report.shownText().find("φ_{4}=0\nφ=0\n"), std::string::npos) << s.report.shownText();
}
