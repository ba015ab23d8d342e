// Exercise sets: circuits drawn with round values that every method solves as ngspice solves
// their netlists, drawn without branches over each other or names over names, and options
// that cannot give a set refused with the reason.
#include <gtest/gtest.h>

#include <QRegularExpression>
#include <cmath>
#include <complex>
#include <random>

#include "app/circuitcommands.h"
#include "app/exercises.h"
#include "app/netlistimport.h"
#include "app/netlistreader.h"
#include "app/schemelayout.h"
#include "app/solvecommand.h"
#include "components/branch.h"
#include "components/components.h"
#include "graphics/labels.h"
#include "platform/segments.h"
#include "support/componentbench.h"
#include "support/randomcircuit.h"
#include "support/spiceresults.h"

using namespace qv;
using qv::test::RandomCircuit;

namespace {

bool close(double a, double b) {
    return std::fabs(a - b) <= 1e-6 * std::max(std::fabs(a), std::fabs(b)) + 1e-9;
}

/// A branch's corners from its first node to its second, as the scheme holds it.
std::vector<Point> routeOf(const NFVetv& b) {
    std::vector<Point> pts{{b.node1->x, b.node1->y}};
    for (NGraphLine* s : b.segments())
        for (Point p : {s->p1, s->p2})
            if (!(p == pts.back())) pts.push_back(p);
    std::vector<Point> corners{pts.front()};
    for (size_t i = 1; i + 1 < pts.size(); ++i)
        if (distanceToSegment(pts[i], corners.back(), pts[i + 1]) > 2) corners.push_back(pts[i]);
    corners.push_back(pts.back());
    return corners;
}

/// What breaks the drawing's rules: branches over each other or over nodes, a slanting
/// line, two names over each other, a name over a line; empty when none.
std::string drawingFault(NTBEFizDisp& doc) {
    std::vector<Point> nodes;
    std::map<const NFUsel*, int> index;
    std::vector<std::vector<Point>> routes;
    std::vector<std::pair<int, int>> ends;
    std::vector<Rect> names;
    std::vector<std::string> texts;
    for (NFizObj* o : doc.objects())
        if (auto* n = dynamic_cast<NFUsel*>(o)) {
            index[n] = int(nodes.size());
            nodes.push_back({n->x, n->y});
        }
    for (NFizObj* o : doc.objects()) {
        if (auto* v = dynamic_cast<NFVetv*>(o)) {
            routes.push_back(routeOf(*v));
            ends.push_back({index.at(v->node1), index.at(v->node2)});
        }
        if (auto* e = dynamic_cast<NFizSemEl*>(o); e && e->nameLabel) {
            Rect r;
            e->nameLabel->getBounds(r);
            names.push_back(r);
            texts.push_back(std::string(o->className()) + " " + e->name);
        }
    }
    if (std::string why = layoutFault(nodes, routes, ends); !why.empty()) return why;
    for (size_t k = 0; k < routes.size(); ++k)
        for (size_t i = 0; i + 1 < routes[k].size(); ++i)
            if (routes[k][i].x != routes[k][i + 1].x && routes[k][i].y != routes[k][i + 1].y)
                return "branch " + std::to_string(k) + " slants";
    for (size_t i = 0; i < names.size(); ++i)
        for (size_t j = i + 1; j < names.size(); ++j)
            if (names[i].left < names[j].right && names[j].left < names[i].right &&
                names[i].top < names[j].bottom && names[j].top < names[i].bottom)
                return "the names of " + texts[i] + " and " + texts[j] + " over each other";
    for (size_t n = 0; n < names.size(); ++n)
        for (const auto& route : routes)
            for (size_t i = 0; i + 1 < route.size(); ++i) {
                const Point a = route[i], b = route[i + 1];
                // A line through the box: sampled finely enough for text boxes.
                for (int t = 0; t <= 100; ++t) {
                    const double x = a.x + (b.x - a.x) * t / 100.0, y = a.y + (b.y - a.y) * t / 100.0;
                    const Rect& r = names[n];
                    if (x > r.left && x < r.right && y > r.top && y < r.bottom)
                        return "the name of " + texts[n] + " over a line";
                }
            }
    return {};
}

} // namespace

// Twenty circuits of each kind, with and without current sources: every method solves the
// scheme and finds the currents ngspice finds for its netlist; the drawing keeps the rules;
// the values are round.
TEST(Exercises, EveryMethodAgreesWithNgspiceOnADrawingThatKeepsTheRules) {
    if (RandomCircuit::ngspice().isEmpty())
        GTEST_SKIP() << "ngspice is not installed (scripts/deps.sh installs it)";
    for (const bool ac : {false, true}) {
        ExerciseOptions o;
        o.ac = ac;
        o.minNodes = 3;
        o.maxNodes = 5;
        o.minBranches = 5;
        o.maxBranches = 8;
        std::mt19937 rng(ac ? 2602 : 2601);
        for (int round = 0; round < 20; ++round) {
            o.currentSources = round % 3 == 2 ? 1 : 0;
            test::ComponentBench b;
            Exercise e;
            QString error;
            ASSERT_TRUE(drawExercise(b.wb, o, rng, e, error)) << error.toStdString();
            SCOPED_TRACE(e.netlist);
            const NetlistReading reading = readNetlist(e.netlist);
            ASSERT_TRUE(reading.ok());
            const Netlist& n = reading.netlist;
            EXPECT_EQ(n.ac, ac);
            // Every node drawn is a node of the scheme, none a point inside a branch.
            EXPECT_EQ(n.schemeNodes.size(),
                      n.nodes.size() -
                          size_t(std::count_if(n.nodes.begin(), n.nodes.end(),
                                               [](const NetlistNode& x) { return x.name[0] == 'x'; })));
            EXPECT_GE(int(n.schemeNodes.size()), o.minNodes);
            EXPECT_LE(int(n.schemeNodes.size()), o.maxNodes);
            EXPECT_GE(int(n.branches.size()), o.minBranches);
            EXPECT_LE(int(n.branches.size()), o.maxBranches);
            int currentSources = 0;
            for (const NetlistElement& el : n.elements) {
                currentSources += el.kind == 'I';
                // Round values: E12 resistances, whole volts and amperes.
                if (el.kind == 'R') {
                    const double mantissa = el.value / std::pow(10.0, std::floor(std::log10(el.value)) - 1);
                    EXPECT_TRUE(std::set<long>({10, 12, 15, 18, 22, 27, 33, 39, 47, 56, 68, 82})
                                    .count(std::lround(mantissa)))
                        << el.value;
                    EXPECT_NEAR(mantissa, std::round(mantissa), 1e-9);
                }
                const double source = ac ? el.acMagnitude : el.value;
                if (el.kind == 'V' || el.kind == 'I') EXPECT_EQ(source, std::round(source));
            }
            EXPECT_EQ(currentSources, o.currentSources);
            EXPECT_EQ(drawingFault(b.doc), "");

            QString log;
            const auto spice = RandomCircuit::runAsItStands(e.netlist, log);
            ASSERT_FALSE(spice.empty()) << log.toStdString();
            using C = std::complex<double>;
            auto current = [&](const NetlistElement& el) {
                return test::spiceCurrent(n, spice, el, n.frequency.value_or(50), ac);
            };
            for (const std::string& method : exerciseMethods()) {
                SCOPED_TRACE(method);
                SolveRequest request = SolveRequest::fromScheme(b.doc, method);
                request.picture = false;
                const SolveResult r = solveScheme(b.doc, request);
                ASSERT_EQ(r.status, SolveResult::Solved) << r.errors.join(' ').toStdString();
                ASSERT_EQ(r.branches.size(), n.branches.size());
                for (size_t k = 0; k < r.branches.size(); ++k) {
                    const NetlistBranch& branch = n.branches[k];
                    const C want =
                        current(n.elements[size_t(branch.elements[0])]) * (branch.along[0] ? 1.0 : -1.0);
                    EXPECT_TRUE(close(double(r.branches[k].value.re), want.real()))
                        << "branch " << k + 1 << ": " << double(r.branches[k].value.re) << " vs "
                        << want.real();
                    if (ac) EXPECT_TRUE(close(double(r.branches[k].value.im), want.imag())) << "imag";
                }
            }
        }
    }
}

// The same seed draws the same circuits; another seed other ones.
TEST(Exercises, TheSeedDecidesTheCircuits) {
    ExerciseOptions o;
    auto draw = [&](uint32_t seed) {
        std::mt19937 rng(seed);
        test::ComponentBench b;
        Exercise e;
        QString error;
        EXPECT_TRUE(drawExercise(b.wb, o, rng, e, error)) << error.toStdString();
        return e.netlist;
    };
    EXPECT_EQ(draw(11), draw(11));
    EXPECT_NE(draw(11), draw(12));
}

// Options that cannot give a set, each with a reason naming the option; ranges as typed.
TEST(Exercises, OptionsThatCannotGiveASet) {
    const struct {
        std::function<void(ExerciseOptions&)> change;
        const char* reason; // a piece of the message, or "" for options that are fine
    } cases[] = {
        {[](ExerciseOptions&) {}, ""},
        {[](ExerciseOptions& o) { o.count = 0; }, "--count"},
        {[](ExerciseOptions& o) { o.count = 100; }, "--count"},
        {[](ExerciseOptions& o) { o.minNodes = 1; }, "--nodes"},
        {[](ExerciseOptions& o) { o.minNodes = 5, o.maxNodes = 4; }, "--nodes"},
        {[](ExerciseOptions& o) { o.maxNodes = 21; }, "--nodes"},
        {[](ExerciseOptions& o) { o.maxBranches = 41; }, "--branches"},
        {[](ExerciseOptions& o) { o.currentSources = -1; }, "--current-sources"},
        {[](ExerciseOptions& o) { o.method = "guess"; }, "--method"},
        // Four nodes need six branches; three nodes hold two per pair, six in all.
        {[](ExerciseOptions& o) { o.minNodes = o.maxNodes = 4, o.minBranches = 2, o.maxBranches = 5; },
         "need 6 branches"},
        {[](ExerciseOptions& o) { o.minNodes = o.maxNodes = 3, o.minBranches = 7, o.maxBranches = 8; },
         "hold 6"},
        // Two of four branches cannot carry current sources across three nodes.
        {[](ExerciseOptions& o) {
             o.minNodes = o.maxNodes = 3, o.minBranches = o.maxBranches = 4, o.currentSources = 3;
         },
         "must join all the nodes"},
    };
    for (const auto& c : cases) {
        ExerciseOptions o;
        c.change(o);
        const QString error = exerciseOptionsError(o);
        if (*c.reason == 0)
            EXPECT_TRUE(error.isEmpty()) << error.toStdString();
        else
            EXPECT_TRUE(error.contains(QLatin1String(c.reason))) << c.reason << ": " << error.toStdString();
    }
    using R = std::optional<std::pair<int, int>>;
    EXPECT_EQ(parseExerciseRange("3-5"), R({3, 5}));
    EXPECT_EQ(parseExerciseRange(" 4 "), R({4, 4}));
    EXPECT_EQ(parseExerciseRange("5-3"), R({5, 3})); // refused by the options' check
    for (const char* bad : {"", "-3", "3-", "a-b", "3..5", "3-5-7", "1e3", "99999"})
        EXPECT_EQ(parseExerciseRange(bad), std::nullopt) << bad;
}

// "New exercise...": OK greyed with the reason while the choices cannot give a circuit; then
// one circuit of the chosen kind and seed in place of the scheme, which Undo brings back.
TEST(Exercises, TheWindowsCommandDrawsOneCircuitAsOneStep) {
    test::ComponentBench b;
    b.node(100, 100);
    b.wb.commit(QStringLiteral("Node"));
    const size_t before = b.doc.objects().size();
    std::string drawn;
    b.dialogs.scripts.push_back([&](DialogModel& m) {
        auto& d = dynamic_cast<NewExerciseDialog&>(m);
        d.field("nodesFrom").choice = d.field("nodesTo").choice = 5;
        d.field("branchesFrom").choice = d.field("branchesTo").choice = 4;
        d.changed("branchesTo");
        EXPECT_FALSE(d.okEnabled());
        EXPECT_TRUE(d.field("why").text.contains("need 7 branches")) << d.field("why").text.toStdString();
        d.field("seed").text = "x";
        d.changed("seed");
        EXPECT_FALSE(d.okEnabled());
        d.field("kind").choice = 1;
        d.field("nodesFrom").choice = d.field("nodesTo").choice = 3;
        d.field("branchesFrom").choice = d.field("branchesTo").choice = 5;
        d.field("seed").text = "26";
        d.changed("seed");
        EXPECT_TRUE(d.okEnabled()) << d.field("why").text.toStdString();
        ExerciseOptions o = d.options();
        std::mt19937 rng(o.seed);
        test::ComponentBench other;
        Exercise e;
        QString error;
        EXPECT_TRUE(drawExercise(other.wb, o, rng, e, error));
        drawn = e.netlist;
        return ScriptedPresenter::pressOk(m);
    });
    ASSERT_TRUE(runNewExerciseCommand(b.wb));
    EXPECT_NE(drawn.find(".ac lin"), std::string::npos);
    int branches = 0, loops = b.doc.loops().count();
    for (NFizObj* o : b.doc.objects())
        branches += dynamic_cast<NFVetv*>(o) != nullptr;
    EXPECT_EQ(branches, 5);
    EXPECT_GT(loops, 0);
    b.wb.undo();
    EXPECT_EQ(b.doc.objects().size(), before);
}
