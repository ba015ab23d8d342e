// SPICE netlists both ways against ngspice: a scheme written as a netlist runs in ngspice as
// it stands and gives the node-voltage method's potentials; a netlist written by hand, read
// into a scheme, gives ngspice's currents by all three methods (with the loops found).
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <random>
#include <set>

#include "app/circuitcommands.h"
#include "app/netlistimport.h"
#include "app/netlistreader.h"
#include "app/solvecommand.h"
#include "components/components.h"
#include "components/nodes.h"
#include "diagrams/loop.h"
#include "report/recordingtarget.h"
#include "support/randomcircuit.h"
#include "support/spiceresults.h"

using namespace qv;
using qv::test::ComponentBench;
using qv::test::RandomCircuit;

namespace {

struct Bench : ComponentBench {
    RecordingReportTarget report;
    SolveResult solve(const std::string& method) {
        SolveRequest r = SolveRequest::fromScheme(doc, method);
        r.target = &report;
        r.picture = false;
        r.initialData = false;
        return solveScheme(doc, r);
    }
};

/// One part in a million, with a floor for values that are 0 up to rounding.
bool close(double a, double b) {
    return std::fabs(a - b) <= 1e-6 * std::max(std::fabs(a), std::fabs(b)) + 1e-9;
}

std::string problemsOf(const NetlistReading& r) {
    std::string s;
    for (const NetlistProblem& p : r.problems)
        s += p.message() + "\n";
    return s;
}

} // namespace

// Export: DC and AC, with no, one or two grounds, current sources and impedances: ngspice runs
// the netlist as it stands, and its node voltages are the node-voltage method's potentials.
// Read back, the same netlist gives the same potentials again.
TEST(SpiceExport, NgspiceRunsItAndAgreesWithTheNodeVoltageMethod) {
    if (RandomCircuit::ngspice().isEmpty())
        GTEST_SKIP() << "ngspice is not installed (scripts/deps.sh installs it)";
    std::mt19937 rng(2024);
    int compared = 0;
    for (int round = 0; round < 12; ++round) {
        const bool ac = round % 2 == 1;
        const int nodes = 2 + int(rng() % 5);
        Bench b;
        RandomCircuit c = RandomCircuit::generate(rng, ac, nodes, 1 + int(rng() % 4), round / 2 % 3);
        c.draw(b);
        const SolveResult r = b.solve("node");
        ASSERT_EQ(r.status, SolveResult::Solved) << r.errors.join(' ').toStdString();
        const SpiceNetlist n = writeSpiceNetlist(b.doc, "random " + std::to_string(round));
        ASSERT_TRUE(n.error.empty()) << n.error;
        SCOPED_TRACE(n.text);
        EXPECT_EQ(n.text.rfind("random " + std::to_string(round) + "\n", 0), 0u);
        EXPECT_EQ(n.text.find(".control"), std::string::npos);
        const std::string f = QString::number(c.frequency, 'g', 17).toStdString();
        EXPECT_NE(n.text.find(ac ? ".ac lin 1 " + f + " " + f + "\n" : ".op\n"), std::string::npos);
        EXPECT_NE(n.text.find("* branch " + c.branches[0].line->name + ": "), std::string::npos);
        QString log;
        auto spice = RandomCircuit::runAsItStands(n.text, log);
        ASSERT_FALSE(spice.empty()) << log.toStdString();
        for (const NamedValue& v : r.nodes) {
            const NFUsel* node = nullptr;
            for (NTbeNode* s : c.nodes)
                if (QString::fromStdString(s->name) == v.name) node = s;
            if (!node) continue; // the merged ground
            const std::string name = n.nodes.at(node);
            if (name == "0") {
                EXPECT_TRUE(close(double(v.value.re), 0) && close(double(v.value.im), 0)) << "the reference";
                continue;
            }
            ASSERT_TRUE(spice.count("v(" + test::lowerCase(name) + ")")) << name;
            const auto want = spice["v(" + test::lowerCase(name) + ")"];
            EXPECT_TRUE(close(double(v.value.re), want.first))
                << name << ": " << double(v.value.re) << " vs " << want.first;
            if (ac) EXPECT_TRUE(close(double(v.value.im), want.second)) << name << " imag";
            ++compared;
        }

        // And back: the netlist's scheme has the same potentials under the same names.
        // A branch between two grounded nodes is an element from 0 to 0, which a scheme cannot
        // draw and the reader refuses as such.
        const NetlistReading back = readNetlist(n.text);
        if (!back.ok() && problemsOf(back).find("both ends are on node '0'") != std::string::npos) continue;
        ASSERT_TRUE(back.ok()) << problemsOf(back);
        Bench again;
        buildSchemeFromNetlist(back.netlist, again.doc);
        const SolveResult r2 = again.solve("node");
        ASSERT_EQ(r2.status, SolveResult::Solved) << r2.errors.join(' ').toStdString();
        for (const NamedValue& v2 : r2.nodes)
            for (const NamedValue& v : r.nodes)
                if (const NFUsel* node = [&]() -> const NFUsel* {
                        for (NTbeNode* s : c.nodes)
                            if (QString::fromStdString(s->name) == v.name) return s;
                        return nullptr;
                    }();
                    node && QString::fromStdString(n.nodes.at(node)) == v2.name) {
                    EXPECT_TRUE(close(double(v2.value.re), double(v.value.re))) << v2.name.toStdString();
                    EXPECT_TRUE(close(double(v2.value.im), double(v.value.im))) << v2.name.toStdString();
                }
    }
    EXPECT_GT(compared, 20);
}

// Import: netlists written by hand (any case, suffixes, comments, continuation lines), DC
// and AC, with and without a ground, with current sources: Kirchhoff's laws and mesh
// currents on the loops found, and node voltages, all give the currents and voltages ngspice
// finds for the same netlist.
TEST(SpiceImport, AllThreeMethodsAgreeWithNgspice) {
    if (RandomCircuit::ngspice().isEmpty())
        GTEST_SKIP() << "ngspice is not installed (scripts/deps.sh installs it)";
    std::mt19937 rng(1224);
    int compared = 0;
    for (int round = 0; round < 12; ++round) {
        const bool ac = round % 2 == 1;
        const int nodes = 2 + int(rng() % 5);
        // One ground at most: two grounded ends of one branch would close it on node 0.
        const int grounds = round / 2 % 2;
        RandomCircuit c = RandomCircuit::generate(rng, ac, nodes, 1 + int(rng() % 4), grounds);
        const std::string plain = c.plainNetlist(rng);
        SCOPED_TRACE(plain);
        const NetlistReading reading = readNetlist(plain);
        ASSERT_TRUE(reading.ok()) << problemsOf(reading);
        const Netlist& n = reading.netlist;
        // ngspice needs a ground: a resistor to it from one node carries nothing.
        std::string forSpice = plain;
        if (!grounds) forSpice.insert(forSpice.rfind('.', forSpice.rfind(".end") - 1), "Rtie n0 0 1\n");
        QString log;
        auto spice = RandomCircuit::runAsItStands(forSpice, log);
        ASSERT_FALSE(spice.empty()) << log.toStdString();
        using C = std::complex<double>;
        auto at = [&](int node) { return test::spicePotential(n, spice, node); };
        // An element's current from its first written node to its second.
        auto current = [&](const NetlistElement& e) {
            return test::spiceCurrent(n, spice, e, c.frequency, ac);
        };

        for (const std::string method : {"kirchhoff", "mesh", "node"}) {
            SCOPED_TRACE(method);
            Bench b;
            buildSchemeFromNetlist(n, b.doc);
            if (method != "node") {
                QStringList notes;
                QString error;
                ASSERT_TRUE(putFoundLoops(b.wb, notes, error)) << error.toStdString();
                EXPECT_TRUE(notes.isEmpty()) << notes.join('\n').toStdString();
            }
            const SolveResult r = b.solve(method);
            ASSERT_EQ(r.status, SolveResult::Solved)
                << r.errors.join(' ').toStdString() << r.warnings.join(' ').toStdString();
            ASSERT_EQ(r.branches.size(), n.branches.size());
            for (size_t k = 0; k < r.branches.size(); ++k) {
                ASSERT_EQ(r.branches[k].name, QString::number(k + 1));
                // The branch's current is its first element's, counted from the branch's node1.
                const NetlistBranch& branch = n.branches[k];
                const C want =
                    current(n.elements[size_t(branch.elements[0])]) * (branch.along[0] ? 1.0 : -1.0);
                EXPECT_TRUE(close(double(r.branches[k].value.re), want.real()))
                    << "branch " << k + 1 << ": " << double(r.branches[k].value.re) << " vs " << want.real();
                if (ac) EXPECT_TRUE(close(double(r.branches[k].value.im), want.imag())) << "imag";
                ++compared;
            }
            if (method != "node") continue;
            // Potentials against the method's reference: the ground (listed without a
            // name), or the last node.
            const int base = n.groundNode() >= 0 ? n.groundNode() : n.schemeNodes.back();
            // Besides the netlist's nodes, the further places of the ground, all at 0.
            ASSERT_GE(r.nodes.size(), n.schemeNodes.size());
            for (const NamedValue& got : r.nodes)
                if (got.name.startsWith(QLatin1String("0_"))) {
                    EXPECT_GE(n.groundNode(), 0) << got.name.toStdString();
                    EXPECT_EQ(double(got.value.re), 0) << got.name.toStdString();
                    EXPECT_EQ(double(got.value.im), 0) << got.name.toStdString();
                }
            ASSERT_EQ(r.nodes.size(),
                      n.schemeNodes.size() +
                          size_t(std::count_if(r.nodes.begin(), r.nodes.end(), [](const NamedValue& v) {
                              return v.name.startsWith(QLatin1String("0_"));
                          })));
            for (int node : n.schemeNodes) {
                const NetlistNode& source = n.nodes[size_t(node)];
                const C want = at(node) - at(base);
                for (const NamedValue& got : r.nodes)
                    if (source.ground ? got.name.isEmpty()
                                      : got.name == QString::fromStdString(source.name)) {
                        EXPECT_TRUE(close(double(got.value.re), want.real())) << source.name;
                        if (ac) EXPECT_TRUE(close(double(got.value.im), want.imag())) << source.name;
                        ++compared;
                    }
            }
        }
    }
    EXPECT_GT(compared, 60);
}

// What the scheme of a netlist keeps: names, values in the scheme's units, source
// directions, the ground, the title and the analysis frequency.
TEST(SpiceImport, TheSchemeKeepsNamesValuesAndDirections) {
    const NetlistReading r = readNetlist("Divider with a load\n"
                                         "Vsupply top 0 AC 10 90\n"
                                         "Rload top out 4.7k\n"
                                         "Cf out 0 100n\n"
                                         "Iinj 0 out AC 2m\n"
                                         ".ac lin 1 1k 1k\n");
    ASSERT_TRUE(r.ok()) << problemsOf(r);
    Bench b;
    buildSchemeFromNetlist(r.netlist, b.doc);
    EXPECT_DOUBLE_EQ(double(b.doc.frequency), 1000);
    std::map<std::string, NUniSetObj*> parts;
    int grounds = 0;
    std::set<std::string> groundedNodes;
    std::string title;
    for (NFizObj* o : b.doc.objects()) {
        if (auto* c = dynamic_cast<NUniSetObj*>(o)) parts[std::string(c->letter()) + c->name] = c;
        if (dynamic_cast<NFGroundObj*>(o)) ++grounds;
        if (auto* t = dynamic_cast<NUserTextLabel*>(o)) title = t->text;
        if (auto* n = dynamic_cast<NTbeNode*>(o); n && n->isGrounded()) groundedNodes.insert(n->name);
    }
    EXPECT_EQ(title, "Divider with a load");
    // The ground is drawn under each of its three branches, each place with its symbol.
    EXPECT_EQ(groundedNodes, (std::set<std::string>{"0", "0_2", "0_3"}));
    EXPECT_EQ(grounds, 3);
    ASSERT_EQ(parts.size(), 4u);
    auto* v = dynamic_cast<NUniCompEDS*>(parts.at("Esupply"));
    ASSERT_TRUE(v);
    EXPECT_NEAR(double(v->re), 0, 1e-12);
    EXPECT_NEAR(double(v->im), 10, 1e-12);
    EXPECT_DOUBLE_EQ(double(dynamic_cast<NUniRes*>(parts.at("Rload"))->resistance), 4700);
    EXPECT_NEAR(double(dynamic_cast<NUniCon*>(parts.at("Cf"))->capacitance), 0.1, 1e-15); // microfarad
    // The supply raises "top" above 0 and the injected current enters "out": as the branch
    // runs from its first node, each points the way of its own first node or away from it.
    for (const NetlistBranch& br : r.netlist.branches)
        for (size_t i = 0; i < br.elements.size(); ++i) {
            const NetlistElement& e = r.netlist.elements[size_t(br.elements[i])];
            if (e.kind == 'V') EXPECT_EQ(parts.at("Esupply")->orientation, br.along[i] ? 0 : 1);
            if (e.kind == 'I') EXPECT_EQ(parts.at("Jinj")->orientation, br.along[i] ? 1 : 0);
        }
    // Every component sits in its branch and every label is where it was put.
    const SolveResult solved = b.solve("node");
    EXPECT_EQ(solved.status, SolveResult::Solved) << solved.errors.join(' ').toStdString();
}

TEST(SpiceExport, SchemesItCannotWrite) {
    Bench b;
    EXPECT_EQ(writeSpiceNetlist(b.doc, "empty").error, "the scheme has no branches between nodes to write");
    NTbeNode* n1 = b.node(0, 0);
    NTbeNode* n2 = b.node(300, 0);
    b.branch(n1, n2, {{0, 200}, {300, 200}});
    b.branch(n1, n2);
    b.place<NUniEds>(150, 200, test::value("5"));
    b.place<NUniCompEDS>(150, 0);
    EXPECT_EQ(writeSpiceNetlist(b.doc, "mixed").error, "Schem include direct and alternate currents devices");
}
