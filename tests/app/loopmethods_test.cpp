// The Kirchhoff-laws and mesh-current methods through the solve command: the lists taken
// when none are named, and the numbers against ngspice.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "app/solvecommand.h"
#include "report/recordingtarget.h"
#include "support/randomcircuit.h"

using namespace qv;
using qv::test::ComponentBench;
using qv::test::RandomCircuit;

namespace {

struct Solve : ComponentBench {
    RecordingReportTarget report;

    SolveResult run(const std::string& method, std::optional<QStringList> loops = std::nullopt) {
        SolveRequest r = SolveRequest::fromScheme(doc, method);
        r.target = &report;
        r.picture = false;
        r.initialData = false;
        r.loops = loops;
        return solveScheme(doc, r);
    }
};

} // namespace

TEST(LoopMethodsAgainstNgspice, RandomCircuitsAgreeToOnePartInAMillion) {
    if (RandomCircuit::ngspice().isEmpty())
        GTEST_SKIP() << "ngspice is not installed (scripts/deps.sh installs it)";
    std::mt19937 rng(20261211);
    int compared = 0;
    for (int round = 0; round < 16; ++round) {
        const bool ac = round % 2 == 1;
        const std::string method = round % 4 < 2 ? "kirchhoff" : "mesh";
        const int nodes = 2 + int(rng() % 5);
        Solve s;
        // At most one ground: the methods do not join grounded nodes, ngspice would.
        RandomCircuit c = RandomCircuit::generate(rng, ac, nodes, 1 + int(rng() % 4), int(rng() % 2));
        c.draw(s);
        c.drawLoops(s, method == "mesh");
        SCOPED_TRACE(method + "\n" + c.netlist(nodes - 1));
        SolveResult r = s.run(method);
        ASSERT_EQ(r.status, SolveResult::Solved) << r.errors.join(' ').toStdString() << "\n"
                                                 << s.report.shownText();
        ASSERT_EQ(r.ac, ac);
        EXPECT_EQ(r.loops.empty(), method != "mesh");
        QString log;
        auto spice = RandomCircuit::simulate(c.netlist(nodes - 1), log);
        ASSERT_FALSE(spice.empty()) << log.toStdString();
        auto close = [](double a, double b) {
            // Relative, with a floor for the currents that are 0 up to rounding.
            return std::fabs(a - b) <= 1e-6 * std::max(std::fabs(a), std::fabs(b)) + 1e-12;
        };
        ASSERT_EQ(r.branches.size(), c.branches.size());
        for (const NamedValue& v : r.branches) {
            int k = -1;
            for (size_t q = 0; q < c.branches.size(); ++q)
                if (QString::fromStdString(c.branches[q].line->name) == v.name) k = int(q);
            ASSERT_GE(k, 0);
            const auto want = spice["i(vm" + std::to_string(k) + ")"];
            EXPECT_TRUE(close(double(v.value.re), want.first))
                << "branch " << k << ": " << double(v.value.re) << " vs " << want.first;
            if (ac) {
                EXPECT_TRUE(close(double(v.value.im), want.second))
                    << "branch " << k << " imag: " << double(v.value.im) << " vs " << want.second;
            }
            ++compared;
        }
    }
    EXPECT_GT(compared, 30);
}

TEST(LoopMethodsCommand, NamedLoopsInAnyOrderAndUnknownNames) {
    Solve s;
    std::mt19937 rng(7);
    RandomCircuit c = RandomCircuit::generate(rng, false, 4, 3, 0);
    c.draw(s);
    c.drawLoops(s, true);
    QStringList names;
    for (int i = 0; i < s.doc.loops().count(); ++i)
        names << QString::fromStdString(s.doc.loops().get(i)->name);
    ASSERT_GE(names.size(), 2);
    const SolveResult inOrder = s.run("mesh");
    ASSERT_EQ(inOrder.status, SolveResult::Solved) << inOrder.errors.join(' ').toStdString();
    // Reversed: the source loops come first, and the numbers stay.
    QStringList reversed = names;
    std::reverse(reversed.begin(), reversed.end());
    const SolveResult turned = s.run("mesh", reversed);
    ASSERT_EQ(turned.status, SolveResult::Solved) << turned.errors.join(' ').toStdString();
    ASSERT_EQ(turned.branches.size(), inOrder.branches.size());
    for (size_t i = 0; i < turned.branches.size(); ++i)
        EXPECT_NEAR(double(turned.branches[i].value.re), double(inOrder.branches[i].value.re), 1e-9);
    EXPECT_EQ(turned.loops.front().name, reversed.front());

    const SolveResult unknown = s.run("kirchhoff", QStringList{"no such loop"});
    EXPECT_EQ(unknown.status, SolveResult::Failed);
    EXPECT_TRUE(unknown.errors.join(' ').contains("no such loop"));
}
