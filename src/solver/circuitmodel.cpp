#include "solver/circuitmodel.h"

#include <QString>
#include <functional>
#include <unordered_map>

#include "components/branch.h"
#include "components/components.h"
#include "diagrams/loop.h"
#include "diagrams/looplist.h"
#include "model/context.h"
#include "model/document.h"
#include "platform/kindcast.h"

namespace qv {

namespace {

/// The first `n` characters of a name.
std::string firstChars(const std::string& name, int n) {
    const QString text = QString::fromStdString(name);
    return text.size() <= n ? name : text.left(n).toStdString();
}

/// Removes the entry at `index` of a list (a loop may pass a node twice, so removing by
/// value would not do).
template <class T> void removeAt(NTypedAr<T>& list, int index) {
    if (index < 0 || index >= list.count()) return;
    std::vector<T*> kept;
    for (int i = 0; i < list.count(); ++i)
        if (i != index) kept.push_back(list.get(i));
    list.clear();
    for (T* item : kept)
        list.add(item);
}

template <class T> bool contains(const NTypedAr<T>& list, const T* item) {
    return list.indexOf(item) >= 0;
}

/// Every component of class T on the scheme, in document order.
template <class T, class Fn> void forEachComponent(const NTBEFizDisp& doc, Fn fn) {
    for (NFizObj* obj : doc.objects())
        if (auto* c = kindCast<T>(obj)) fn(*c);
}

} // namespace

CircuitModel::CircuitModel(Context& context) : context_(&context) {
    context_->omega = 100 * kPi;
    context_->numberPrecision = 6;
    context_->numberDigits = 7;
}

CircuitModel::~CircuitModel() = default;

void CircuitModel::reset() {
    for (NPointerAr* list : std::initializer_list<NPointerAr*>{
             &nodes, &branches, &resistors, &emfs, &complexEmfs, &impedances, &complexCurrentSources,
             &capacitors, &inductances, &currentSources, &loops, &removedNodes, &removedBranches,
             &removedLoops, &builtNodes, &builtBranches})
        list->clear();
    emfCount = 0;
    currentSourceCount = 0;
    commonNode = nullptr;
    notes.clear();
    owned_.clear();
}

void CircuitModel::buildFromScheme(NTBEFizDisp& doc) {
    reset();
    context_->omega = doc.frequency * 2 * kPi;
    context_->numberPrecision = 4;
    context_->numberDigits = 6;

    // The document index of an object, looked up once rather than by scanning the list.
    std::unordered_map<const NFizObj*, int> position;
    for (int i = 0; i < doc.objectCount(); ++i)
        position.emplace(doc.objects()[size_t(i)], i);
    auto indexOf = [&](const NFizObj* obj) {
        auto it = obj ? position.find(obj) : position.end();
        return it == position.end() ? -1 : it->second;
    };
    // The first node and branch of each document index, as findNode and findBranch answer.
    std::unordered_map<int, NUsel*> nodeAt;
    std::unordered_map<int, NVetv*> branchAt;
    auto nodeOf = [&](const NFizObj* obj) -> NUsel* {
        auto it = nodeAt.find(indexOf(obj));
        return it == nodeAt.end() ? nullptr : it->second;
    };
    auto branchOf = [&](const NFizObj* obj) -> NVetv* {
        auto it = branchAt.find(indexOf(obj));
        return it == branchAt.end() ? nullptr : it->second;
    };

    // Nodes. A chosen entry that is not a node of this scheme, or is chosen twice, would only
    // add an unknown without equations.
    auto addNode = [&](NFizObj* obj) {
        auto* scheme = kindCast<NTbeNode>(obj);
        const int at = indexOf(scheme);
        if (!scheme || at < 0 || nodeAt.count(at)) return;
        NUsel* node = make<NUsel>();
        node->name = firstChars(scheme->name, kSolverNameLength);
        node->docIndex = at;
        node->grounded = scheme->isGrounded() ? 1 : 0;
        node->schemeNode = scheme;
        nodes.add(node);
        builtNodes.add(node);
        nodeAt.emplace(at, node);
    };
    if (chosenNodes.count() > 0)
        for (int i = 0; i < chosenNodes.count(); ++i)
            addNode(chosenNodes.get(i));
    else
        for (NFizObj* obj : doc.objects())
            addNode(obj);

    // Branches: only those with both ends among the nodes; the flag tells the later readers
    // of the results which branches took part.
    int column = 0;
    for (NFizObj* obj : doc.objects()) {
        auto* line = kindCast<NTbeLine>(obj);
        if (!line) continue;
        NUsel* start = nodeOf(line->node1);
        NUsel* end = nodeOf(line->node2);
        if (!start || !end) {
            line->lineData.calcFlag = 0;
            continue;
        }
        line->lineData.calcFlag = 1;
        NVetv* branch = make<NVetv>();
        branch->name = firstChars(line->name, kSolverNameLength);
        branch->startNode = start;
        start->branches.add(branch);
        branch->endNode = end;
        end->branches.add(branch);
        branch->schemeStart = start;
        branch->schemeEnd = end;
        branch->schemeBranch = line;
        branch->docIndex = indexOf(line);
        branch->column = column++;
        branches.add(branch);
        builtBranches.add(branch);
        branchAt.emplace(branch->docIndex, branch);
    }

    // Element records, one class after another; a component off the model's branches is left out.
    auto ends = [](NVetv* branch, uint8_t orientation, NUsel*& from, NUsel*& to) {
        from = orientation == 1 ? branch->startNode : branch->endNode;
        to = orientation == 1 ? branch->endNode : branch->startNode;
    };
    forEachComponent<NUniRes>(doc, [&](NUniRes& c) {
        if (NVetv* branch = branchOf(c.branch)) {
            NRes* r = make<NRes>();
            r->value = c.resistance;
            r->name = firstChars(c.name, kElementNameLength);
            branch->resistors.add(r);
            resistors.add(r);
        }
    });
    forEachComponent<NUniImpedance>(doc, [&](NUniImpedance& c) {
        if (NVetv* branch = branchOf(c.branch)) {
            NCompRes* z = make<NCompRes>();
            z->re = c.resistance;
            z->im = c.reactance;
            z->name = firstChars(c.name, kElementNameLength);
            branch->impedances.add(z);
            impedances.add(z);
        }
    });
    forEachComponent<NUniCon>(doc, [&](NUniCon& c) {
        if (NVetv* branch = branchOf(c.branch)) {
            NCapacitor* cap = make<NCapacitor>();
            cap->value = c.capacitance;
            cap->name = firstChars(c.name, kElementNameLength);
            branch->capacitors.add(cap);
            capacitors.add(cap);
        }
    });
    forEachComponent<NUniInd>(doc, [&](NUniInd& c) {
        if (NVetv* branch = branchOf(c.branch)) {
            NInductance* l = make<NInductance>();
            l->value = c.inductance;
            l->name = firstChars(c.name, kElementNameLength);
            branch->inductances.add(l);
            inductances.add(l);
        }
    });
    forEachComponent<NUniCompEDS>(doc, [&](NUniCompEDS& c) {
        if (NVetv* branch = branchOf(c.branch)) {
            NCompEds* e = make<NCompEds>();
            e->re = c.re;
            e->im = c.im;
            e->name = firstChars(c.name, kElementNameLength);
            e->orientation = c.orientation;
            ends(branch, c.orientation, e->fromNode, e->toNode);
            branch->complexEmfs.add(e);
            complexEmfs.add(e);
        }
    });
    forEachComponent<NUniEds>(doc, [&](NUniEds& c) {
        if (NVetv* branch = branchOf(c.branch)) {
            NEds* e = make<NEds>();
            e->value = c.emf;
            e->name = firstChars(c.name, kElementNameLength);
            e->orientation = c.orientation;
            ends(branch, c.orientation, e->fromNode, e->toNode);
            branch->emfs.add(e);
            emfs.add(e);
        }
    });
    emfCount = emfs.count();
    forEachComponent<NUniCompCurSource>(doc, [&](NUniCompCurSource& c) {
        if (NVetv* branch = branchOf(c.branch)) {
            NCompIst* j = make<NCompIst>();
            j->re = c.re;
            j->im = c.im;
            j->name = firstChars(c.name, kElementNameLength);
            j->orientation = c.orientation;
            ends(branch, c.orientation, j->fromNode, j->toNode);
            j->branch = branch;
            if (!branch->complexCurrentSource) branch->complexCurrentSource = j;
            complexCurrentSources.add(j);
        }
    });
    forEachComponent<NUniIst>(doc, [&](NUniIst& c) {
        if (NVetv* branch = branchOf(c.branch)) {
            NIst* j = make<NIst>();
            j->value = c.current;
            j->name = firstChars(c.name, kElementNameLength);
            j->orientation = c.orientation;
            ends(branch, c.orientation, j->fromNode, j->toNode);
            j->branch = branch;
            if (!branch->currentSource) branch->currentSource = j;
            currentSources.add(j);
        }
    });
    currentSourceCount = currentSources.count();

    // Loops. A loop through a branch or node that is not in the model is not a loop of the
    // model (its equation would refer to nothing), so it is left out.
    int id = 0;
    auto addLoop = [&](NFizObj* obj) {
        auto* scheme = kindCast<NFCont>(obj);
        if (!scheme) return;
        std::vector<NVetv*> path;
        std::vector<NUsel*> stops;
        for (NFVetv* b : scheme->branches) {
            NVetv* branch = branchOf(b);
            if (!branch) return;
            path.push_back(branch);
        }
        for (NFUsel* n : scheme->nodes) {
            NUsel* node = nodeOf(n);
            if (!node) return;
            stops.push_back(node);
        }
        NCont* loop = make<NCont>();
        loop->id = id++;
        loop->name = firstChars(scheme->name, kSolverNameLength);
        for (size_t i = 0; i < path.size(); ++i) {
            loop->branches.add(path[i]);
            loop->forward.push_back(i < stops.size() && stops[i] == path[i]->startNode ? 1 : 0);
        }
        for (NUsel* node : stops)
            loop->nodes.add(node);
        loops.add(loop);
    };
    if (chosenLoops.count() > 0)
        for (int i = 0; i < chosenLoops.count(); ++i)
            addLoop(chosenLoops.get(i));
    else
        for (int i = 0; i < doc.loops().count(); ++i)
            addLoop(doc.loops().get(i));
}

NUsel* CircuitModel::findNode(int docIndex) const {
    for (int i = 0; i < nodes.count(); ++i)
        if (nodes.get(i)->docIndex == docIndex) return nodes.get(i);
    return nullptr;
}

NVetv* CircuitModel::findBranch(int docIndex) const {
    for (int i = 0; i < branches.count(); ++i)
        if (branches.get(i)->docIndex == docIndex) return branches.get(i);
    return nullptr;
}

int CircuitModel::checkCurrentKind() {
    const bool ac = impedances.count() > 0 || complexEmfs.count() > 0 || complexCurrentSources.count() > 0;
    const bool dc = emfs.count() > 0 || currentSourceCount > 0;
    if (ac && dc) return -1;
    if (dc) {
        isDirect = 1;
        return 0;
    }
    if (ac) {
        isDirect = 0;
        return 1;
    }
    return 0;
}

int CircuitModel::classifyBranch(const NVetv& b, int direct) {
    if (direct) {
        // DC: a capacitor, or an impedance of capacitive reactance, passes no current.
        for (int i = 0; i < b.impedances.count(); ++i)
            if (b.impedances.get(i)->im < 0) return BranchOpen;
        if (b.capacitors.count() > 0) return BranchOpen;
        if (b.currentSource) return BranchKept;
        Extended resistance = 0;
        for (int i = 0; i < b.resistors.count(); ++i)
            resistance += b.resistors.get(i)->value;
        for (int i = 0; i < b.impedances.count(); ++i)
            resistance += b.impedances.get(i)->re;
        // Inductors are shorts in DC; a voltage source keeps the branch whatever the resistors add up to.
        return b.emfs.count() == 0 && resistance == 0 ? BranchShort : BranchKept;
    }
    // AC: a capacitance of 0 anywhere in the branch is an infinite reactance.
    if (b.capacitors.count() > 0) {
        for (int i = 0; i < b.capacitors.count(); ++i)
            if (b.capacitors.get(i)->value == 0) return BranchOpen;
        return BranchKept;
    }
    for (int i = 0; i < b.inductances.count(); ++i)
        if (b.inductances.get(i)->value != 0) return BranchKept;
    for (int i = 0; i < b.resistors.count(); ++i)
        if (b.resistors.get(i)->value != 0) return BranchKept;
    for (int i = 0; i < b.impedances.count(); ++i)
        if (b.impedances.get(i)->re != 0 || b.impedances.get(i)->im != 0) return BranchKept;
    if (b.complexCurrentSource || b.complexEmfs.count() > 0) return BranchKept;
    return BranchShort;
}

void CircuitModel::classifyBranches() {
    for (int i = 0; i < branches.count(); ++i) {
        NVetv* b = branches.get(i);
        b->kind = classifyBranch(*b, isDirect);
        if (b->schemeBranch) b->schemeBranch->lineData.calcFlag = 1;
    }
}

void CircuitModel::takeOpenBranchOut(NVetv* b) {
    // A loop broken by an open branch has no voltage equation any more.
    takeLoopsOut([b](const NCont& loop) { return contains(loop.branches, b); });
    b->startNode->branches.remove(b);
    b->endNode->branches.remove(b);
    removedBranches.add(b);
}

void CircuitModel::dropRemoved() {
    for (int i = 0; i < removedNodes.count(); ++i)
        nodes.remove(removedNodes.get(i));
    for (int i = 0; i < removedBranches.count(); ++i) {
        NVetv* b = removedBranches.get(i);
        branches.remove(b);
        if (b->schemeBranch) b->schemeBranch->lineData.calcFlag = 0;
    }
}

void CircuitModel::removeZeroBranches() {
    classifyBranches();
    for (int i = 0; i < branches.count(); ++i) {
        NVetv* b = branches.get(i);
        if (b->kind == BranchShort && b->startNode != b->endNode) {
            // The end node is merged into the start node.
            NUsel* start = b->startNode;
            NUsel* end = b->endNode;
            repairLoopsForMerge(b);
            start->branches.remove(b);
            end->branches.remove(b);
            for (int k = 0; k < end->branches.count(); ++k)
                start->branches.add(end->branches.get(k));
            for (int k = 0; k < end->branches.count(); ++k) {
                NVetv* moved = end->branches.get(k);
                moveBranchEnds(moved, end, start);
            }
            end->mergedInto = start;
            removedBranches.add(b);
            removedNodes.add(end);
        } else if (b->kind == BranchOpen) {
            takeOpenBranchOut(b);
        }
    }
    // Branches closed on themselves, among them those whose ends a merge has joined.
    for (int i = 0; i < branches.count(); ++i) {
        NVetv* b = branches.get(i);
        if (b->startNode != b->endNode || contains(removedBranches, b)) continue;
        repairLoopsForClosed(b);
        removedBranches.add(b);
        b->startNode->branches.remove(b);
        b->startNode->branches.remove(b);
    }
    dropRemoved();
    takeLoopsOut([](const NCont& loop) { return loop.branches.count() == 0; });
}

void CircuitModel::removeOpenBranches() {
    classifyBranches();
    for (int i = 0; i < branches.count(); ++i)
        if (branches.get(i)->kind == BranchOpen) takeOpenBranchOut(branches.get(i));
    dropRemoved();
}

void CircuitModel::joinGroundedNodes() {
    NUsel* first = nullptr;
    std::vector<NUsel*> joined;
    for (int i = 0; i < nodes.count(); ++i) {
        NUsel* n = nodes.get(i);
        if (!n->grounded) continue;
        if (!first) {
            first = n;
            continue;
        }
        for (int k = 0; k < n->branches.count(); ++k) {
            NVetv* b = n->branches.get(k);
            first->branches.add(b);
            moveBranchEnds(b, n, first);
        }
        n->branches.clear();
        for (int l = 0; l < loops.count(); ++l) {
            NCont* loop = loops.get(l);
            for (int k = 0; k < loop->nodes.count(); ++k)
                if (loop->nodes.get(k) == n) loop->nodes.put(k, first);
        }
        n->mergedInto = first;
        removedNodes.add(n);
        joined.push_back(n);
    }
    for (NUsel* n : joined)
        nodes.remove(n);
}

void CircuitModel::moveBranchEnds(NVetv* b, const NUsel* from, NUsel* to) {
    // The source records keep the ends they were built with: the methods read the direction
    // of a source from its orientation, which a branch closed on one node still has.
    if (b->startNode == from) b->startNode = to;
    if (b->endNode == from) b->endNode = to;
}

NUsel* CircuitModel::representative(NUsel* node) {
    while (node && node->mergedInto)
        node = node->mergedInto;
    return node;
}

void CircuitModel::repairLoopsForMerge(NVetv* b) {
    NUsel* end = b->endNode;
    for (int i = 0; i < loops.count(); ++i) {
        NCont* loop = loops.get(i);
        for (int a = loop->branches.indexOf(b); a >= 0; a = loop->branches.indexOf(b)) {
            // The loop crosses the branch between its nodes a and a+1: one of them goes with it.
            if (loop->nodes.get(a) == end || loop->nodes.get(a + 1) == end) removeAt(loop->nodes, a);
            removeAt(loop->branches, a);
            if (size_t(a) < loop->forward.size()) loop->forward.erase(loop->forward.begin() + a);
        }
    }
    for (int i = 0; i < loops.count(); ++i) {
        NCont* loop = loops.get(i);
        for (int k = 0; k < loop->nodes.count(); ++k)
            if (loop->nodes.get(k) == end) loop->nodes.put(k, b->startNode);
    }
}

void CircuitModel::repairLoopsForClosed(NVetv* b) {
    for (int i = 0; i < loops.count(); ++i) {
        NCont* loop = loops.get(i);
        for (int a = loop->branches.indexOf(b); a >= 0; a = loop->branches.indexOf(b)) {
            removeAt(loop->nodes, a);
            removeAt(loop->branches, a);
            if (size_t(a) < loop->forward.size()) loop->forward.erase(loop->forward.begin() + a);
        }
    }
}

void CircuitModel::takeLoopsOut(const std::function<bool(const NCont&)>& out) {
    std::vector<NCont*> kept;
    for (int i = 0; i < loops.count(); ++i) {
        NCont* loop = loops.get(i);
        if (out(*loop))
            removedLoops.add(loop);
        else
            kept.push_back(loop);
    }
    loops.clear();
    for (NCont* loop : kept)
        loops.add(loop);
}

} // namespace qv
