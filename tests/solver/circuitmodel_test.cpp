#include "solver/circuitmodel.h"
#include "solver/kirchhoff.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "diagrams/loop.h"
#include "diagrams/looplist.h"
#include "graphics/primitives.h"
#include "support/componentbench.h"

using namespace qv;
using qv::test::ComponentBench;

namespace {

/// A dialog script: types into the named fields and presses OK.
ScriptedPresenter::Script type(std::vector<std::pair<const char*, QString>> texts) {
    return [texts](DialogModel& m) {
        for (const auto& [id, text] : texts)
            m.field(id).text = text;
        return m.ok();
    };
}
ScriptedPresenter::Script value(const QString& v) {
    return type({{"value", v}});
}
ScriptedPresenter::Script complexValue(const QString& re, const QString& im) {
    return type({{"first", re}, {"second", im}});
}

/// The middle of a branch's first segment: where a click picks the branch.
Point mid(const NFVetv* b) {
    const NGraphLine* s = b->segments().front();
    return {(s->p1.x + s->p2.x) / 2, (s->p1.y + s->p2.y) / 2};
}

/// A scheme of the workbench built by clicks, and the solver model of it.
struct Bench : ComponentBench {
    /// A loop built by clicks: on `start`, then on each branch in turn. Returns the loop the
    /// scheme's loop list took.
    NFCont* loop(NFUsel* start, const std::vector<NFVetv*>& path) {
        std::unique_ptr<NFCont> building = newLoop(doc);
        NFCont* raw = building.get();
        int state = 0;
        placeLoopPoint(building, state, start->x, start->y);
        for (NFVetv* b : path) {
            const Point p = mid(b);
            placeLoopPoint(building, state, p.x, p.y);
        }
        EXPECT_EQ(state, -1) << "the loop did not close";
        return state == -1 ? raw : nullptr;
    }

    CircuitModel& build() {
        model = std::make_unique<KirchhoffMethod>(wb.context());
        model->buildFromScheme(doc);
        return *model;
    }

    int at(const NFizObj* obj) const { return doc.indexOfObject(obj); }

    std::unique_ptr<CircuitModel> model;
};

template <class T> std::vector<T*> items(const NTypedAr<T>& list) {
    std::vector<T*> v;
    for (int i = 0; i < list.count(); ++i)
        v.push_back(list.get(i));
    return v;
}

/// The solver nodes as their names, for compact comparisons.
std::vector<std::string> names(const NSUselAr& list) {
    std::vector<std::string> v;
    for (NUsel* n : items(list))
        v.push_back(n->name);
    return v;
}
std::vector<std::string> names(const NSVetvAr& list) {
    std::vector<std::string> v;
    for (NVetv* b : items(list))
        v.push_back(b->name);
    return v;
}

} // namespace

// ---------------------------------------------------------------------------------------
// Building

TEST(SolverModel, AnEmptySchemeBuildsAnEmptyModelAndTheSettingsFollowTheModel) {
    Bench b;
    b.doc.frequency = 60;
    KirchhoffMethod fresh(b.wb.context());
    EXPECT_EQ(b.wb.context().omega, 100 * CircuitModel::kPi);
    EXPECT_EQ(b.wb.context().numberPrecision, 6);
    EXPECT_EQ(b.wb.context().numberDigits, 7);
    EXPECT_EQ(fresh.isDirect, 0);

    CircuitModel& m = b.build();
    EXPECT_EQ(b.wb.context().omega, 60 * 2 * CircuitModel::kPi);
    EXPECT_EQ(b.wb.context().numberPrecision, 4);
    EXPECT_EQ(b.wb.context().numberDigits, 6);
    EXPECT_EQ(m.nodeCount(), 0);
    EXPECT_EQ(m.branchCount(), 0);
    EXPECT_EQ(m.loopCount(), 0);
    for (const NPointerAr* list :
         {static_cast<const NPointerAr*>(&m.resistors), static_cast<const NPointerAr*>(&m.emfs),
          static_cast<const NPointerAr*>(&m.complexEmfs), static_cast<const NPointerAr*>(&m.impedances),
          static_cast<const NPointerAr*>(&m.complexCurrentSources),
          static_cast<const NPointerAr*>(&m.capacitors), static_cast<const NPointerAr*>(&m.inductances),
          static_cast<const NPointerAr*>(&m.currentSources)})
        EXPECT_EQ(list->count(), 0);
    EXPECT_EQ(m.emfCount, 0);
    EXPECT_EQ(m.currentSourceCount, 0);
    EXPECT_EQ(m.checkCurrentKind(), 0);
    EXPECT_EQ(m.findNode(0), nullptr);
    EXPECT_EQ(m.findBranch(-1), nullptr);
    m.removeZeroBranches();
    EXPECT_EQ(m.removedBranches.count(), 0);
}

/*  DC scheme:   n1 --[E1>][R1]-- n2
                  |                |
              [L1][R3]        [R2][J1>]
                  |                |
                  +------ n3 ------+    n3 grounded; one loop n1 -> n2 -> n3 -> n1   */
struct DcScheme : Bench {
    NTbeNode* n1 = node(0, 0);
    NTbeNode* n2 = node(200, 0);
    NTbeNode* n3 = node(200, 200);
    NTbeLine* b1 = branch(n1, n2);
    NTbeLine* b2 = branch(n2, n3);
    NTbeLine* b3 = branch(n3, n1, {{0, 200}});
    NUniEds* e1 = place<NUniEds>(40, 0, value("12"));
    NUniRes* r1 = place<NUniRes>(140, 0, value("2"));
    NUniRes* r2 = place<NUniRes>(200, 50, value("3"));
    NUniIst* j1 = place<NUniIst>(200, 150, value("0.5"));
    NUniInd* l1 = place<NUniInd>(150, 200, value("0.1"));
    NUniRes* r3 = place<NUniRes>(0, 100, value("4"));
    NFGroundObj* gnd = ground(n3, {200, 260});
    NFCont* loop1 = loop(n1, {b1, b2, b3});

    DcScheme() {
        j1->changeDirection(); // drives its current from n3 to n2
    }
};

TEST(SolverModel, ADcSchemeBecomesItsNodesBranchesRecordsAndLoops) {
    DcScheme s;
    CircuitModel& m = s.build();

    ASSERT_EQ(m.nodeCount(), 3);
    NUsel* u1 = m.nodes.get(0);
    NUsel* u2 = m.nodes.get(1);
    NUsel* u3 = m.nodes.get(2);
    const NTbeNode* schemeNodes[] = {s.n1, s.n2, s.n3};
    for (int i = 0; i < 3; ++i) {
        NUsel* u = m.nodes.get(i);
        EXPECT_EQ(u->schemeNode, schemeNodes[i]);
        EXPECT_EQ(u->docIndex, s.at(schemeNodes[i]));
        EXPECT_EQ(u->name, schemeNodes[i]->name);
        EXPECT_EQ(m.findNode(u->docIndex), u);
    }
    EXPECT_EQ(u1->name, "1");
    EXPECT_EQ(u1->grounded, 0);
    EXPECT_EQ(u3->grounded, 1);

    ASSERT_EQ(m.branchCount(), 3);
    NVetv* v1 = m.branches.get(0);
    NVetv* v2 = m.branches.get(1);
    NVetv* v3 = m.branches.get(2);
    const NTbeLine* lines[] = {s.b1, s.b2, s.b3};
    NUsel* starts[] = {u1, u2, u3};
    NUsel* ends[] = {u2, u3, u1};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE("branch " + std::to_string(i + 1));
        NVetv* v = m.branches.get(i);
        EXPECT_EQ(v->schemeBranch, lines[i]);
        EXPECT_EQ(v->docIndex, s.at(lines[i]));
        EXPECT_EQ(v->name, lines[i]->name);
        EXPECT_EQ(v->startNode, starts[i]);
        EXPECT_EQ(v->endNode, ends[i]);
        EXPECT_EQ(v->column, i);
        EXPECT_EQ(v->impedance, Complex{});
        EXPECT_EQ(v->current, 0);
        EXPECT_EQ(v->kind, 0);
        EXPECT_EQ(lines[i]->lineData.calcFlag, 1);
        EXPECT_EQ(m.findBranch(v->docIndex), v);
    }
    EXPECT_EQ(items(u1->branches), (std::vector<NVetv*>{v1, v3}));
    EXPECT_EQ(items(u2->branches), (std::vector<NVetv*>{v1, v2}));
    EXPECT_EQ(items(u3->branches), (std::vector<NVetv*>{v2, v3}));

    // Resistors in document order, each on its branch.
    ASSERT_EQ(m.resistors.count(), 3);
    const NUniRes* schemeRes[] = {s.r1, s.r2, s.r3};
    const Extended ohms[] = {2, 3, 4};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(m.resistors.get(i)->value, ohms[i]);
        EXPECT_EQ(m.resistors.get(i)->name, schemeRes[i]->name);
    }
    EXPECT_EQ(items(v1->resistors), (std::vector<NRes*>{m.resistors.get(0)}));
    EXPECT_EQ(items(v2->resistors), (std::vector<NRes*>{m.resistors.get(1)}));
    EXPECT_EQ(items(v3->resistors), (std::vector<NRes*>{m.resistors.get(2)}));

    ASSERT_EQ(m.emfs.count(), 1);
    EXPECT_EQ(m.emfCount, 1);
    NEds* e = m.emfs.get(0);
    EXPECT_EQ(e->value, 12);
    EXPECT_EQ(e->name, "1");
    EXPECT_EQ(e->orientation, 1);
    EXPECT_EQ(e->fromNode, u1);
    EXPECT_EQ(e->toNode, u2);
    EXPECT_EQ(items(v1->emfs), (std::vector<NEds*>{e}));

    ASSERT_EQ(m.currentSourceCount, 1);
    NIst* j = m.currentSources.get(0);
    EXPECT_EQ(j->value, 0.5L);
    EXPECT_EQ(j->orientation, 0);
    EXPECT_EQ(j->fromNode, u3); // against the branch n2 -> n3
    EXPECT_EQ(j->toNode, u2);
    EXPECT_EQ(j->branch, v2);
    EXPECT_EQ(v2->currentSource, j);
    EXPECT_EQ(v1->currentSource, nullptr);

    ASSERT_EQ(m.inductances.count(), 1);
    EXPECT_EQ(m.inductances.get(0)->value, 0.1L);
    EXPECT_EQ(items(v3->inductances), items(m.inductances));
    for (NVetv* v : {v1, v2, v3}) {
        EXPECT_EQ(v->capacitors.count() + v->impedances.count() + v->complexEmfs.count(), 0);
        EXPECT_EQ(v->complexCurrentSource, nullptr);
    }

    ASSERT_EQ(m.loopCount(), 1);
    NCont* c = m.loops.get(0);
    EXPECT_EQ(c->id, 0);
    EXPECT_EQ(c->name, s.loop1->name);
    EXPECT_EQ(items(c->branches), (std::vector<NVetv*>{v1, v2, v3}));
    EXPECT_EQ(items(c->nodes), (std::vector<NUsel*>{u1, u2, u3, u1}));

    EXPECT_EQ(m.checkCurrentKind(), 0);
    EXPECT_EQ(m.isDirect, 1);
    EXPECT_EQ(m.commonNode, nullptr);
    EXPECT_EQ(m.document, nullptr); // the solve command sets it

    // Building again starts afresh.
    m.buildFromScheme(s.doc);
    EXPECT_EQ(m.nodeCount(), 3);
    EXPECT_EQ(m.branchCount(), 3);
    EXPECT_EQ(m.resistors.count(), 3);
    EXPECT_EQ(m.currentSourceCount, 1);
    EXPECT_EQ(m.loopCount(), 1);
}

/*  AC scheme, three parallel branches from n1 to n2, 60 Hz:
      b1: AC EMF E1 = 10+5j along, AC EMF E2 = 1-2j against, impedance Z1 = 3+4j
      b2: capacitor C1 = 100 uF, resistor R1 = 5
      b3: AC current source J1 = 1-1j against, inductor L1 = 0.2 H   */
struct AcScheme : Bench {
    NTbeNode* n1 = node(0, 0);
    NTbeNode* n2 = node(300, 0);
    NTbeLine* b1 = branch(n1, n2);
    NTbeLine* b2 = branch(n1, n2, {{0, 100}, {300, 100}});
    NTbeLine* b3 = branch(n1, n2, {{0, -100}, {300, -100}});
    NUniCompEDS* e1 = place<NUniCompEDS>(40, 0, complexValue("10", "5"));
    NUniCompEDS* e2 = place<NUniCompEDS>(150, 0, complexValue("1", "-2"));
    NUniImpedance* z1 = place<NUniImpedance>(250, 0, type({{"resistance", "3"}, {"reactance", "4"}}));
    NUniCon* c1 = place<NUniCon>(100, 100, value("100"));
    NUniRes* r1 = place<NUniRes>(200, 100, value("5"));
    NUniCompCurSource* j1 = place<NUniCompCurSource>(100, -100, complexValue("1", "-1"));
    NUniInd* l1 = place<NUniInd>(200, -100, value("0.2"));

    AcScheme() {
        doc.frequency = 60;
        e2->changeDirection();
        j1->changeDirection();
    }
};

TEST(SolverModel, AnAcSchemeBecomesItsNodesBranchesAndRecords) {
    AcScheme s;
    CircuitModel& m = s.build();
    EXPECT_EQ(s.wb.context().omega, 120 * CircuitModel::kPi);

    ASSERT_EQ(m.nodeCount(), 2);
    NUsel* u1 = m.nodes.get(0);
    NUsel* u2 = m.nodes.get(1);
    EXPECT_EQ(u1->grounded + u2->grounded, 0);
    ASSERT_EQ(m.branchCount(), 3);
    NVetv* v1 = m.branches.get(0);
    NVetv* v2 = m.branches.get(1);
    NVetv* v3 = m.branches.get(2);
    EXPECT_EQ(items(u1->branches), (std::vector<NVetv*>{v1, v2, v3}));
    EXPECT_EQ(items(u2->branches), (std::vector<NVetv*>{v1, v2, v3}));

    ASSERT_EQ(m.complexEmfs.count(), 2);
    NCompEds* e1 = m.complexEmfs.get(0);
    NCompEds* e2 = m.complexEmfs.get(1);
    EXPECT_EQ((Complex{e1->re, e1->im}), (Complex{10, 5}));
    EXPECT_EQ((Complex{e2->re, e2->im}), (Complex{1, -2}));
    EXPECT_EQ(e1->orientation, 1);
    EXPECT_EQ(e1->fromNode, u1);
    EXPECT_EQ(e1->toNode, u2);
    EXPECT_EQ(e2->orientation, 0);
    EXPECT_EQ(e2->fromNode, u2);
    EXPECT_EQ(e2->toNode, u1);
    EXPECT_EQ(e2->name, s.e2->name);
    EXPECT_EQ(items(v1->complexEmfs), (std::vector<NCompEds*>{e1, e2}));
    EXPECT_EQ(v1->complexEmfSum(), (Complex{9, 7})); // E1 - E2
    EXPECT_EQ(v2->complexEmfSum(), Complex{});

    ASSERT_EQ(m.impedances.count(), 1);
    EXPECT_EQ(m.impedances.get(0)->re, 3);
    EXPECT_EQ(m.impedances.get(0)->im, 4);
    EXPECT_EQ(m.impedances.get(0)->name, s.z1->name);
    EXPECT_EQ(items(v1->impedances), items(m.impedances));

    ASSERT_EQ(m.capacitors.count(), 1);
    EXPECT_EQ(m.capacitors.get(0)->value, 100);
    EXPECT_EQ(items(v2->capacitors), items(m.capacitors));
    ASSERT_EQ(m.resistors.count(), 1);
    EXPECT_EQ(items(v2->resistors), items(m.resistors));

    ASSERT_EQ(m.complexCurrentSources.count(), 1);
    NCompIst* j = m.complexCurrentSources.get(0);
    EXPECT_EQ((Complex{j->re, j->im}), (Complex{1, -1}));
    EXPECT_EQ(j->orientation, 0);
    EXPECT_EQ(j->fromNode, u2);
    EXPECT_EQ(j->toNode, u1);
    EXPECT_EQ(j->branch, v3);
    EXPECT_EQ(v3->complexCurrentSource, j);
    EXPECT_EQ(v3->currentSource, nullptr);
    ASSERT_EQ(m.inductances.count(), 1);
    EXPECT_EQ(m.inductances.get(0)->value, 0.2L);
    EXPECT_EQ(items(v3->inductances), items(m.inductances));
    EXPECT_EQ(m.emfCount + m.currentSourceCount, 0);

    EXPECT_EQ(m.checkCurrentKind(), 1);
    EXPECT_EQ(m.isDirect, 0);
}

TEST(SolverModel, ChosenNodesDecideTheOrderAndWhichBranchesAndLoopsTakePart) {
    // n1 -> n2 -> n3 -> n1 with a resistor on each branch and a loop through all three.
    DcScheme s;
    // The dialog's list, in the user's order; a branch and a repeated node are not nodes to add.
    s.model = std::make_unique<KirchhoffMethod>(s.wb.context());
    CircuitModel& m = *s.model;
    m.chosenNodes.add(s.n3);
    m.chosenNodes.add(s.b1);
    m.chosenNodes.add(s.n2);
    m.chosenNodes.add(s.n3);
    m.buildFromScheme(s.doc);

    EXPECT_EQ(names(m.nodes), (std::vector<std::string>{"3", "2"}));
    // Only b2 (n2 -> n3) has both ends in the model; b1 lacks its start, b3 its end.
    ASSERT_EQ(m.branchCount(), 1);
    NVetv* v = m.branches.get(0);
    EXPECT_EQ(v->schemeBranch, s.b2);
    EXPECT_EQ(v->column, 0);
    EXPECT_EQ(v->startNode, m.nodes.get(1));
    EXPECT_EQ(v->endNode, m.nodes.get(0));
    EXPECT_EQ(s.b1->lineData.calcFlag, 0);
    EXPECT_EQ(s.b2->lineData.calcFlag, 1);
    EXPECT_EQ(s.b3->lineData.calcFlag, 0);
    // Components of the branches left out are dropped.
    EXPECT_EQ(m.resistors.count(), 1);
    EXPECT_EQ(m.emfs.count(), 0);
    EXPECT_EQ(m.emfCount, 0);
    EXPECT_EQ(m.inductances.count(), 0);
    EXPECT_EQ(m.currentSourceCount, 1);
    // The loop runs through branches that are not in the model.
    EXPECT_EQ(m.loopCount(), 0);
}

TEST(SolverModel, ChosenLoopsAreTakenInTheirOrderAndNoChoiceTakesEveryLoop) {
    // Triangle n1 n2 n3 with a second branch n2 -> n3: loops A (n1 n2 n3) and B (n2 n3 via b4).
    Bench b;
    NTbeNode* n1 = b.node(0, 0);
    NTbeNode* n2 = b.node(100, 0);
    NTbeNode* n3 = b.node(100, 100);
    NTbeLine* b1 = b.branch(n1, n2);
    NTbeLine* b2 = b.branch(n2, n3);
    NTbeLine* b3 = b.branch(n3, n1);
    NTbeLine* b4 = b.branch(n2, n3, {{150, 0}, {150, 100}});
    NFCont* a = b.loop(n1, {b1, b2, b3});
    NFCont* c = b.loop(n2, {b4, b2});
    ASSERT_TRUE(a && c);

    CircuitModel& all = b.build();
    ASSERT_EQ(all.loopCount(), 2);
    EXPECT_EQ(all.loops.get(0)->name, a->name);
    EXPECT_EQ(all.loops.get(1)->name, c->name);
    EXPECT_EQ(all.loops.get(1)->id, 1);
    EXPECT_EQ(names(all.loops.get(1)->branches), (std::vector<std::string>{b4->name, b2->name}));
    EXPECT_EQ(names(all.loops.get(1)->nodes), (std::vector<std::string>{n2->name, n3->name, n2->name}));

    KirchhoffMethod chosen(b.wb.context());
    chosen.chosenLoops.add(c);
    chosen.chosenLoops.add(a);
    chosen.buildFromScheme(b.doc);
    ASSERT_EQ(chosen.loopCount(), 2);
    EXPECT_EQ(chosen.loops.get(0)->name, c->name);
    EXPECT_EQ(chosen.loops.get(0)->id, 0);
    EXPECT_EQ(chosen.loops.get(1)->name, a->name);
    EXPECT_EQ(chosen.loops.get(1)->id, 1);
}

TEST(SolverModel, TwoCurrentSourcesOnABranchAreBothListedAndTheFirstIsTheBranchs) {
    Bench b;
    NTbeLine* br = b.branch(b.node(0, 0), b.node(200, 0));
    NUniIst* first = b.place<NUniIst>(40, 0, value("1"));
    NUniIst* second = b.place<NUniIst>(150, 0, value("2"));
    ASSERT_TRUE(br && first && second);
    CircuitModel& m = b.build();
    ASSERT_EQ(m.currentSourceCount, 2);
    EXPECT_EQ(m.currentSources.get(0)->value, 1);
    EXPECT_EQ(m.currentSources.get(1)->value, 2);
    EXPECT_EQ(m.branches.get(0)->currentSource, m.currentSources.get(0));
    EXPECT_EQ(m.currentSources.get(1)->branch, m.branches.get(0));
}

// ---------------------------------------------------------------------------------------
// DC or AC

TEST(SolverModel, CurrentKindIsDecidedBySourcesAndImpedancesOnly) {
    enum Part { Res, Cap, Ind, Emf, Ist, AcEmf, AcIst, Imp };
    struct Case {
        const char* what;
        std::vector<Part> parts;
        int expected;
        int isDirectFrom0, isDirectFrom1;
    };
    const Case cases[] = {
        {"resistors only", {Res, Res}, 0, 0, 1},
        {"capacitor and inductor", {Cap, Ind}, 0, 0, 1},
        {"DC voltage source", {Emf, Res}, 0, 1, 1},
        {"DC current source", {Ist, Cap}, 0, 1, 1},
        {"AC voltage source", {AcEmf, Res}, 1, 0, 0},
        {"AC current source", {AcIst}, 1, 0, 0},
        {"an impedance alone", {Imp, Ind}, 1, 0, 0},
        {"DC source and impedance", {Emf, Imp}, -1, 0, 1},
        {"DC and AC current sources", {Ist, AcIst}, -1, 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Bench b;
        b.branch(b.node(0, 0), b.node(300, 0));
        int x = 40;
        for (Part p : c.parts) {
            switch (p) {
            case Res:
                b.place<NUniRes>(x, 0, value("1"));
                break;
            case Cap:
                b.place<NUniCon>(x, 0, value("1"));
                break;
            case Ind:
                b.place<NUniInd>(x, 0, value("1"));
                break;
            case Emf:
                b.place<NUniEds>(x, 0, value("1"));
                break;
            case Ist:
                b.place<NUniIst>(x, 0, value("1"));
                break;
            case AcEmf:
                b.place<NUniCompEDS>(x, 0, complexValue("1", "1"));
                break;
            case AcIst:
                b.place<NUniCompCurSource>(x, 0, complexValue("1", "1"));
                break;
            case Imp:
                b.place<NUniImpedance>(x, 0, type({{"resistance", "1"}, {"reactance", "1"}}));
                break;
            }
            x += 100;
        }
        CircuitModel& m = b.build();
        EXPECT_EQ(m.checkCurrentKind(), c.expected);
        EXPECT_EQ(m.isDirect, c.isDirectFrom0);
        m.isDirect = 1;
        EXPECT_EQ(m.checkCurrentKind(), c.expected);
        EXPECT_EQ(m.isDirect, c.isDirectFrom1);
    }
}

// ---------------------------------------------------------------------------------------
// Simplification

namespace {

/// A branch's records, made by hand for the classification.
struct Records {
    std::vector<NRes> res;
    std::vector<NCompRes> imp;
    std::vector<NCapacitor> cap;
    std::vector<NInductance> ind;
    std::vector<NEds> emf;
    std::vector<NCompEds> acEmf;
    bool ist = false, acIst = false;
};

int classify(Records r, int direct) {
    NVetv v;
    NIst ist;
    NCompIst acIst;
    for (auto& e : r.res)
        v.resistors.add(&e);
    for (auto& e : r.imp)
        v.impedances.add(&e);
    for (auto& e : r.cap)
        v.capacitors.add(&e);
    for (auto& e : r.ind)
        v.inductances.add(&e);
    for (auto& e : r.emf)
        v.emfs.add(&e);
    for (auto& e : r.acEmf)
        v.complexEmfs.add(&e);
    if (r.ist) v.currentSource = &ist;
    if (r.acIst) v.complexCurrentSource = &acIst;
    return CircuitModel::classifyBranch(v, direct);
}

NRes res(Extended v) {
    return NRes{{}, v, ""};
}
NCompRes imp(Extended re, Extended im) {
    return NCompRes{{}, re, im, ""};
}
NCapacitor cap(Extended v) {
    return NCapacitor{{}, v, ""};
}
NInductance ind(Extended v) {
    return NInductance{{}, v, ""};
}

} // namespace

TEST(SolverModel, BranchesAreJudgedShortOpenOrKeptForDc) {
    struct Case {
        const char* what;
        Records r;
        int expected;
    };
    const Case cases[] = {
        {"nothing on it", {}, BranchShort},
        {"only an inductor", {.ind = {ind(0.5)}}, BranchShort},
        {"a resistor of 0", {.res = {res(0)}}, BranchShort},
        {"an inductive impedance without resistance", {.imp = {imp(0, 5)}}, BranchShort},
        {"a resistor", {.res = {res(2)}}, BranchKept},
        {"the resistance of an impedance", {.imp = {imp(3, 4)}}, BranchKept},
        {"only a voltage source", {.emf = {NEds{}}}, BranchKept},
        {"a voltage source whatever the resistors add up to",
         {.res = {res(-1)}, .emf = {NEds{}}},
         BranchKept},
        {"a current source", {.ind = {ind(1)}, .ist = true}, BranchKept},
        {"a capacitor", {.res = {res(2)}, .cap = {cap(10)}}, BranchOpen},
        {"a capacitor beside a current source", {.cap = {cap(10)}, .ist = true}, BranchOpen},
        {"a capacitive impedance", {.res = {res(2)}, .imp = {imp(1, -1)}}, BranchOpen},
    };
    for (const Case& c : cases)
        EXPECT_EQ(classify(c.r, 1), c.expected) << c.what;
}

TEST(SolverModel, BranchesAreJudgedShortOpenOrKeptForAc) {
    struct Case {
        const char* what;
        Records r;
        int expected;
    };
    const Case cases[] = {
        {"nothing on it", {}, BranchShort},
        {"zero-valued elements only", {.res = {res(0)}, .imp = {imp(0, 0)}, .ind = {ind(0)}}, BranchShort},
        {"a DC voltage source does not count", {.emf = {NEds{}}}, BranchShort},
        {"an inductor", {.ind = {ind(0.1)}}, BranchKept},
        {"a resistor", {.res = {res(0), res(1)}}, BranchKept},
        {"a reactance", {.imp = {imp(0, -2)}}, BranchKept},
        {"an AC voltage source", {.acEmf = {NCompEds{}}}, BranchKept},
        {"an AC current source", {.acIst = true}, BranchKept},
        {"a capacitor", {.cap = {cap(100)}}, BranchKept},
        {"a capacitance of 0", {.res = {res(5)}, .cap = {cap(0)}}, BranchOpen},
        {"a capacitance of 0 behind another capacitor", {.cap = {cap(100), cap(0)}}, BranchOpen},
    };
    for (const Case& c : cases)
        EXPECT_EQ(classify(c.r, 0), c.expected) << c.what;
}

/*  Two short branches in series, P -> Q -> S (an inductor each), closed by S -> T (voltage
    source and resistor) and T -> P (resistor). Loop `forward` runs P Q S T P, loop `backward`
    the other way round.  */
struct SeriesShorts : Bench {
    NTbeNode* p = node(0, 0);
    NTbeNode* q = node(200, 0);
    NTbeNode* s = node(200, 200);
    NTbeNode* t = node(0, 200);
    NTbeLine* pq = branch(p, q);
    NTbeLine* qs = branch(q, s);
    NTbeLine* st = branch(s, t);
    NTbeLine* tp = branch(t, p);
    NUniInd* l1 = place<NUniInd>(100, 0, value("0.1"));
    NUniInd* l2 = place<NUniInd>(200, 100, value("0.1"));
    NUniEds* e = place<NUniEds>(150, 200, value("10"));
    NUniRes* r1 = place<NUniRes>(50, 200, value("5"));
    NUniRes* r2 = place<NUniRes>(0, 100, value("5"));
    NFCont* forward = loop(p, {pq, qs, st, tp});
    NFCont* backward = loop(p, {tp, st, qs, pq});
};

TEST(SolverModel, TwoShortBranchesInSeriesMergeTheirFarNodesIntoTheFirst) {
    SeriesShorts sc;
    CircuitModel& m = sc.build();
    ASSERT_EQ(m.checkCurrentKind(), 0);
    ASSERT_EQ(m.loopCount(), 2);
    NUsel *p = m.nodes.get(0), *q = m.nodes.get(1), *s = m.nodes.get(2), *t = m.nodes.get(3);
    NVetv *pq = m.branches.get(0), *qs = m.branches.get(1), *st = m.branches.get(2), *tp = m.branches.get(3);
    NCont* forward = m.loops.get(0);
    NCont* backward = m.loops.get(1);

    m.removeZeroBranches();

    EXPECT_EQ(pq->kind, BranchShort);
    EXPECT_EQ(qs->kind, BranchShort);
    EXPECT_EQ(st->kind, BranchKept);
    EXPECT_EQ(tp->kind, BranchKept);
    EXPECT_EQ(items(m.nodes), (std::vector<NUsel*>{p, t}));
    EXPECT_EQ(items(m.branches), (std::vector<NVetv*>{st, tp}));
    EXPECT_EQ(items(m.removedNodes), (std::vector<NUsel*>{q, s}));
    EXPECT_EQ(items(m.removedBranches), (std::vector<NVetv*>{pq, qs}));
    EXPECT_EQ(st->startNode, p);
    EXPECT_EQ(st->endNode, t);
    EXPECT_EQ(items(p->branches), (std::vector<NVetv*>{tp, st}));
    EXPECT_EQ(items(t->branches), (std::vector<NVetv*>{st, tp}));
    EXPECT_EQ(sc.pq->lineData.calcFlag, 0);
    EXPECT_EQ(sc.qs->lineData.calcFlag, 0);
    EXPECT_EQ(sc.st->lineData.calcFlag, 1);
    EXPECT_EQ(sc.tp->lineData.calcFlag, 1);
    // Both loops follow, whichever way they cross the short branches: every branch is still
    // entered at its own node.
    EXPECT_EQ(items(forward->branches), (std::vector<NVetv*>{st, tp}));
    EXPECT_EQ(items(forward->nodes), (std::vector<NUsel*>{p, t, p}));
    EXPECT_EQ(items(backward->branches), (std::vector<NVetv*>{tp, st}));
    EXPECT_EQ(items(backward->nodes), (std::vector<NUsel*>{p, t, p}));
    EXPECT_EQ(m.loopCount(), 2);
    // The records stay where they were: the voltage source still acts from its branch's start.
    EXPECT_EQ(m.emfs.get(0)->fromNode, s);
}

/*  P -> Q short (an inductor) with a resistor branch P -> Q beside it, and Q -> S -> P with
    a source and resistors. Loop `pair` runs through the short and its neighbour, loop `outer`
    through the neighbour and the rest.  */
TEST(SolverModel, ABranchBesideAShortClosesOnItselfAndLeavesWithItsLoop) {
    Bench b;
    NTbeNode* p = b.node(0, 0);
    NTbeNode* q = b.node(200, 0);
    NTbeNode* s = b.node(100, 200);
    NTbeLine* shortPq = b.branch(p, q);
    NTbeLine* besidePq = b.branch(p, q, {{0, -100}, {200, -100}});
    NTbeLine* qs = b.branch(q, s);
    NTbeLine* sp = b.branch(s, p);
    b.place<NUniInd>(100, 0, value("1"));
    b.place<NUniRes>(100, -100, value("3"));
    b.place<NUniEds>(150, 100, value("6"));
    b.place<NUniRes>(50, 100, value("2"));
    NFCont* pair = b.loop(p, {shortPq, besidePq});
    NFCont* outer = b.loop(p, {besidePq, qs, sp});
    ASSERT_TRUE(pair && outer);

    CircuitModel& m = b.build();
    m.checkCurrentKind();
    NUsel *up = m.nodes.get(0), *uq = m.nodes.get(1), *us = m.nodes.get(2);
    NVetv *vShort = m.branches.get(0), *vBeside = m.branches.get(1), *vqs = m.branches.get(2),
          *vsp = m.branches.get(3);
    NCont *lPair = m.loops.get(0), *lOuter = m.loops.get(1);

    m.removeZeroBranches();

    EXPECT_EQ(vBeside->kind, BranchKept);
    EXPECT_EQ(vBeside->startNode, up);
    EXPECT_EQ(vBeside->endNode, up);
    EXPECT_EQ(items(m.removedBranches), (std::vector<NVetv*>{vShort, vBeside}));
    EXPECT_EQ(items(m.removedNodes), (std::vector<NUsel*>{uq}));
    EXPECT_EQ(items(m.nodes), (std::vector<NUsel*>{up, us}));
    EXPECT_EQ(items(m.branches), (std::vector<NVetv*>{vqs, vsp}));
    EXPECT_EQ(items(up->branches), (std::vector<NVetv*>{vsp, vqs}));
    EXPECT_EQ(besidePq->lineData.calcFlag, 0);
    // The pair loop is left without branches; the outer one goes on without the closed branch.
    EXPECT_EQ(items(m.loops), (std::vector<NCont*>{lOuter}));
    EXPECT_EQ(items(m.removedLoops), (std::vector<NCont*>{lPair}));
    EXPECT_EQ(items(lOuter->branches), (std::vector<NVetv*>{vqs, vsp}));
    EXPECT_EQ(items(lOuter->nodes), (std::vector<NUsel*>{up, us, up}));
}

TEST(SolverModel, AnOpenBranchLeavesWithTheLoopsThroughIt) {
    // n1 -> n2: source and resistor; n2 -> n1: capacitor (open for DC); n2 -> n1: resistor.
    Bench b;
    NTbeNode* n1 = b.node(0, 0);
    NTbeNode* n2 = b.node(200, 0);
    NTbeLine* source = b.branch(n1, n2);
    NTbeLine* capacitor = b.branch(n2, n1, {{200, 100}, {0, 100}});
    NTbeLine* load = b.branch(n2, n1, {{200, -100}, {0, -100}});
    b.place<NUniEds>(50, 0, value("9"));
    b.place<NUniRes>(150, 0, value("1"));
    b.place<NUniCon>(100, 100, value("47"));
    b.place<NUniRes>(100, -100, value("2"));
    NFCont* throughCapacitor = b.loop(n1, {source, capacitor});
    NFCont* throughLoad = b.loop(n1, {source, load});
    ASSERT_TRUE(throughCapacitor && throughLoad);

    CircuitModel& m = b.build();
    ASSERT_EQ(m.checkCurrentKind(), 0);
    NVetv *vSource = m.branches.get(0), *vCap = m.branches.get(1), *vLoad = m.branches.get(2);
    NCont *lCap = m.loops.get(0), *lLoad = m.loops.get(1);
    m.removeZeroBranches();

    EXPECT_EQ(vCap->kind, BranchOpen);
    EXPECT_EQ(items(m.removedBranches), (std::vector<NVetv*>{vCap}));
    EXPECT_EQ(m.removedNodes.count(), 0);
    EXPECT_EQ(m.nodeCount(), 2);
    EXPECT_EQ(items(m.branches), (std::vector<NVetv*>{vSource, vLoad}));
    EXPECT_EQ(items(m.nodes.get(0)->branches), (std::vector<NVetv*>{vSource, vLoad}));
    EXPECT_EQ(items(m.nodes.get(1)->branches), (std::vector<NVetv*>{vSource, vLoad}));
    EXPECT_EQ(capacitor->lineData.calcFlag, 0);
    EXPECT_EQ(items(m.loops), (std::vector<NCont*>{lLoad}));
    EXPECT_EQ(items(m.removedLoops), (std::vector<NCont*>{lCap}));
    EXPECT_EQ(lLoad->branches.count(), 2);
    EXPECT_EQ(lLoad->nodes.count(), 3);
}

TEST(SolverModel, AcSimplificationKeepsReactiveBranchesAndMergesEmptyOnes) {
    // The AC scheme with a fourth branch n1 -> n2 whose only resistor is 0 ohm.
    AcScheme s;
    NTbeLine* zero = s.branch(s.n1, s.n2, {{0, 200}, {300, 200}});
    s.place<NUniRes>(150, 200, value("0"));
    CircuitModel& m = s.build();
    ASSERT_EQ(m.checkCurrentKind(), 1);
    m.removeZeroBranches();
    // The zero branch merges n2 into n1; the three others are then closed on n1.
    EXPECT_EQ(m.branches.get(0), nullptr);
    EXPECT_EQ(m.removedBranches.count(), 4);
    EXPECT_EQ(m.removedBranches.get(0)->schemeBranch, zero);
    EXPECT_EQ(m.removedBranches.get(0)->kind, BranchShort);
    for (int i = 1; i < 4; ++i)
        EXPECT_EQ(m.removedBranches.get(i)->kind, BranchKept);
    EXPECT_EQ(names(m.nodes), (std::vector<std::string>{s.n1->name}));
}
