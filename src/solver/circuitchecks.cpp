#include "solver/circuitchecks.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <deque>
#include <unordered_map>
#include <unordered_set>

#include "components/branch.h"
#include "model/context.h"
#include "solver/circuitmodel.h"
#include "solver/solvefailure.h"

namespace qv {

namespace {

/// Relative size of a rounding remainder: what is smaller against the circuit's own scale
/// counts as zero.
constexpr Extended kRoundingShare = 1e-9L;
/// Relative size of a broken law: the solvers leave remainders many orders below it, a
/// wrong solution misses by the order of the values themselves.
constexpr Extended kLawShare = 1e-7L;

Extended magnitude(Complex z) {
    return std::hypot(z.re, z.im);
}

bool isZero(Complex z) {
    return z.re == 0 && z.im == 0;
}

std::string joined(const std::vector<std::string>& names) {
    std::string s;
    for (const std::string& n : names)
        s += (s.empty() ? "" : ", ") + n;
    return s;
}

/// The points of the circuit: the nodes as built, all grounded nodes being one point.
class Points {
  public:
    explicit Points(const CircuitModel& m) {
        for (int i = 0; i < m.builtNodes.count(); ++i) {
            NUsel* n = m.builtNodes.get(i);
            const bool grounded = n->schemeNode ? n->schemeNode->isGrounded() : n->grounded != 0;
            if (grounded && ground_ >= 0) {
                index_[n] = ground_;
                ++groundedNodes_;
                continue;
            }
            const int id = int(names_.size());
            index_[n] = id;
            names_.push_back(n->name);
            if (grounded) {
                ground_ = id;
                ++groundedNodes_;
            }
        }
    }
    int count() const { return int(names_.size()); }
    int of(const NUsel* n) const {
        auto it = index_.find(n);
        return it == index_.end() ? -1 : it->second;
    }
    const std::string& name(int point) const { return names_[size_t(point)]; }
    /// Whether `point` joins several grounded nodes.
    bool isJoinedGround(int point) const { return point == ground_ && groundedNodes_ > 1; }

  private:
    std::unordered_map<const NUsel*, int> index_;
    std::vector<std::string> names_;
    int ground_ = -1;
    int groundedNodes_ = 0;
};

class UnionFind {
  public:
    explicit UnionFind(int n) : parent_(size_t(std::max(n, 0))) {
        for (size_t i = 0; i < parent_.size(); ++i)
            parent_[i] = int(i);
    }
    int find(int x) {
        while (parent_[size_t(x)] != x)
            x = parent_[size_t(x)] = parent_[size_t(parent_[size_t(x)])];
        return x;
    }
    void unite(int a, int b) { parent_[size_t(find(a))] = find(b); }

  private:
    std::vector<int> parent_;
};

/// What the checks need to know of a branch, DC or AC.
struct Facts {
    bool source = false; ///< carries a current source
    Complex j;           ///< that source's current along the branch
    std::string sourceName;
    bool open = false;
    Complex z; ///< resistance (DC) or impedance (AC)
    Complex e; ///< its voltage sources, along the branch
    /// Its voltage is set by its current: no current source, not open.
    bool voltageDefined() const { return !source && !open; }
    bool zero() const { return voltageDefined() && isZero(z); }
};

Facts factsOf(const NVetv& b, bool direct, Extended omega) {
    Facts f;
    if (direct) {
        if (const NIst* s = b.currentSource) {
            f.source = true;
            f.j = {s->orientation == 1 ? s->value : -s->value, 0};
            f.sourceName = s->name;
        }
        f.open = CircuitModel::classifyBranch(b, 1) == BranchOpen;
        f.z = {dcResistance(b), 0};
        for (int i = 0; i < b.emfs.count(); ++i) {
            const NEds* e = b.emfs.get(i);
            f.e.re += e->orientation == 1 ? e->value : -e->value;
        }
    } else {
        if (const NCompIst* s = b.complexCurrentSource) {
            f.source = true;
            f.j = s->orientation == 1 ? Complex{s->re, s->im} : Complex{-s->re, -s->im};
            f.sourceName = s->name;
        }
        // Without a frequency a capacitor passes no current either.
        f.open = CircuitModel::classifyBranch(b, 0) == BranchOpen || (b.capacitors.count() > 0 && omega == 0);
        if (!f.open) f.z = acImpedance(b, omega);
        f.e = b.complexEmfSum();
    }
    return f;
}

std::vector<Facts> factsOfAll(const CircuitModel& m, bool direct) {
    std::vector<Facts> facts;
    for (int i = 0; i < m.builtBranches.count(); ++i)
        facts.push_back(factsOf(*m.builtBranches.get(i), direct, m.context().omega));
    return facts;
}

Complex currentOf(const NVetv& b, bool direct) {
    return direct ? Complex{b.current, 0} : b.complexCurrent;
}

/// A step of a walk: the branch and whether it is passed from its start to its end.
struct Step {
    const NVetv* branch;
    bool forward;
};

/// The walk from `from` to `to` through a forest given as the branches at each point.
std::vector<Step> walkInForest(const std::vector<std::vector<std::pair<int, const NVetv*>>>& forest,
                               const Points& points, int from, int to) {
    std::vector<int> cameFrom(forest.size(), -1);
    std::vector<const NVetv*> by(forest.size(), nullptr);
    std::deque<int> queue{from};
    cameFrom[size_t(from)] = from;
    while (!queue.empty()) {
        const int x = queue.front();
        queue.pop_front();
        if (x == to) break;
        for (const auto& [y, b] : forest[size_t(x)])
            if (cameFrom[size_t(y)] < 0) {
                cameFrom[size_t(y)] = x;
                by[size_t(y)] = b;
                queue.push_back(y);
            }
    }
    std::vector<Step> steps;
    for (int y = to; y != from && cameFrom[size_t(y)] >= 0; y = cameFrom[size_t(y)]) {
        const NVetv* b = by[size_t(y)];
        steps.push_back({b, points.of(b->schemeEnd) == y});
    }
    std::reverse(steps.begin(), steps.end());
    return steps;
}

/// Fails the solution for the loop of branches without resistance that `closing` closes.
[[noreturn]] void failZeroLoop(const Points& points, const std::vector<Step>& walk, const NVetv& closing,
                               const std::unordered_map<const NVetv*, const Facts*>& facts, bool direct) {
    std::vector<std::string> names{closing.name};
    Complex emf = facts.at(&closing)->e;
    Extended scale = magnitude(emf);
    bool throughGround = points.isJoinedGround(points.of(closing.schemeStart)) ||
                         points.isJoinedGround(points.of(closing.schemeEnd));
    for (const Step& s : walk) {
        names.push_back(s.branch->name);
        const Complex e = facts.at(s.branch)->e;
        emf = s.forward ? CAdd(emf, e) : CSub(emf, e);
        scale += magnitude(e);
        throughGround = throughGround || points.isJoinedGround(points.of(s.branch->schemeStart)) ||
                        points.isJoinedGround(points.of(s.branch->schemeEnd));
    }
    std::sort(names.begin(), names.end());
    std::string loop = (names.size() == 1 ? "the loop of branch " : "the loop of branches ") + joined(names);
    if (throughGround) loop += " (closed through the ground)";
    const std::string none = direct ? "no resistance" : "no impedance";
    if (magnitude(emf) > kRoundingShare * scale)
        failSolution(loop + " has voltage sources but " + none +
                     ": Kirchhoff's voltage law cannot hold around it");
    failSolution(loop + " has " + none +
                 (direct ? " (wires and inductors carry direct current without any)" : "") +
                 ": the current around it is not determined");
}

} // namespace

Extended dcResistance(const NVetv& b) {
    Extended r = 0;
    for (int i = 0; i < b.resistors.count(); ++i)
        r += b.resistors.get(i)->value;
    for (int i = 0; i < b.impedances.count(); ++i)
        r += b.impedances.get(i)->re;
    return r;
}

Complex acImpedance(const NVetv& b, Extended omega) {
    Complex z;
    for (int i = 0; i < b.resistors.count(); ++i)
        z.re += b.resistors.get(i)->value;
    for (int i = 0; i < b.inductances.count(); ++i)
        z.im += b.inductances.get(i)->value * omega;
    for (int i = 0; i < b.capacitors.count(); ++i)
        z.im -= 1000000 / (b.capacitors.get(i)->value * omega);
    for (int i = 0; i < b.impedances.count(); ++i) {
        z.re += b.impedances.get(i)->re;
        z.im += b.impedances.get(i)->im;
    }
    return z;
}

void requireDeterminedCurrents(const CircuitModel& m, bool direct) {
    const Points points(m);
    const std::vector<Facts> facts = factsOfAll(m, direct);
    std::unordered_map<const NVetv*, const Facts*> factOf;
    for (int i = 0; i < m.builtBranches.count(); ++i)
        factOf[m.builtBranches.get(i)] = &facts[size_t(i)];

    // A current source cannot drive its current through a branch that passes none.
    for (int i = 0; i < m.builtBranches.count(); ++i) {
        const Facts& f = facts[size_t(i)];
        if (f.source && f.open && !isZero(f.j))
            failSolution("branch " + m.builtBranches.get(i)->name + " holds the current source J" +
                         f.sourceName +
                         (direct ? " and a capacitor, which passes no direct current"
                                 : " and a capacitance of 0, which passes no current"));
    }

    // Branches without resistance must not close a loop: around it either the voltage law
    // fails or any current may circulate.
    UnionFind shorts(points.count());
    std::vector<std::vector<std::pair<int, const NVetv*>>> forest(size_t(points.count()));
    for (int i = 0; i < m.builtBranches.count(); ++i) {
        const NVetv* b = m.builtBranches.get(i);
        if (!facts[size_t(i)].zero()) continue;
        const int a = points.of(b->schemeStart), c = points.of(b->schemeEnd);
        if (shorts.find(a) == shorts.find(c))
            failZeroLoop(points, walkInForest(forest, points, c, a), *b, factOf, direct);
        shorts.unite(a, c);
        forest[size_t(a)].push_back({c, b});
        forest[size_t(c)].push_back({a, b});
    }

    // The current sources' current must find its way back through the branches that carry
    // any: into every part those branches join, the sources drive as much as out of it.
    UnionFind parts(points.count());
    for (int i = 0; i < m.builtBranches.count(); ++i) {
        const NVetv* b = m.builtBranches.get(i);
        if (facts[size_t(i)].voltageDefined())
            parts.unite(points.of(b->schemeStart), points.of(b->schemeEnd));
    }
    std::vector<Complex> net(size_t(points.count()));
    Extended scale = 0;
    for (int i = 0; i < m.builtBranches.count(); ++i) {
        const NVetv* b = m.builtBranches.get(i);
        const Facts& f = facts[size_t(i)];
        if (!f.source || f.open) continue;
        const int from = parts.find(points.of(b->schemeStart)), to = parts.find(points.of(b->schemeEnd));
        scale = std::max(scale, magnitude(f.j));
        if (from == to) continue;
        net[size_t(to)] = CAdd(net[size_t(to)], f.j);
        net[size_t(from)] = CSub(net[size_t(from)], f.j);
    }
    // Of the parts the sources drive current into or out of with no way back, the smallest
    // is the one cut off.
    int cutOff = -1;
    std::vector<int> size(size_t(points.count()), 0);
    for (int q = 0; q < points.count(); ++q)
        ++size[size_t(parts.find(q))];
    for (int p = 0; p < points.count(); ++p)
        if (parts.find(p) == p && magnitude(net[size_t(p)]) > kRoundingShare * scale &&
            (cutOff < 0 || size[size_t(p)] < size[size_t(cutOff)]))
            cutOff = p;
    if (cutOff >= 0) {
        const int p = cutOff;
        std::vector<std::string> nodes, sources;
        for (int q = 0; q < points.count(); ++q)
            if (parts.find(q) == p) nodes.push_back(points.name(q));
        for (int i = 0; i < m.builtBranches.count(); ++i) {
            const NVetv* b = m.builtBranches.get(i);
            const Facts& f = facts[size_t(i)];
            if (!f.source || f.open) continue;
            const bool in = parts.find(points.of(b->schemeStart)) == p,
                       out = parts.find(points.of(b->schemeEnd)) == p;
            if (in != out) sources.push_back("J" + f.sourceName);
        }
        failSolution(std::string(sources.size() == 1 ? "the current of the current source "
                                                     : "the current of the current sources ") +
                     joined(sources) + " has no way back from " + (nodes.size() == 1 ? "node " : "nodes ") +
                     joined(nodes) + ": only current sources" +
                     (direct ? " and capacitors" : " and open branches") + " lead out of there");
    }
}

std::vector<RecoveredCurrent> recoverRemovedCurrents(CircuitModel& m, bool direct) {
    const Points points(m);
    std::unordered_set<const NVetv*> removed;
    for (int i = 0; i < m.removedBranches.count(); ++i)
        removed.insert(m.removedBranches.get(i));
    const Extended omega = m.context().omega;
    auto set = [direct](NVetv& b, Complex i) {
        if (direct)
            b.current = i.re;
        else
            b.complexCurrent = i;
    };

    std::vector<RecoveredCurrent> found;
    std::vector<NVetv*> shorts;
    // What leaves each point through the branches whose current is known.
    std::vector<Complex> leaving(size_t(points.count()));
    std::vector<std::vector<NVetv*>> shortsAt(size_t(points.count()));
    for (int i = 0; i < m.builtBranches.count(); ++i) {
        NVetv* b = m.builtBranches.get(i);
        if (removed.count(b)) {
            RecoveredCurrent r;
            r.branch = b;
            if (b->kind == BranchOpen) {
                set(*b, {});
            } else if (b->kind == BranchShort) {
                r.way = RecoveredCurrent::CurrentLaw;
                shorts.push_back(b);
                shortsAt[size_t(points.of(b->schemeStart))].push_back(b);
                shortsAt[size_t(points.of(b->schemeEnd))].push_back(b);
            } else {
                // Closed on one node: no voltage across it, so its sources drive it alone.
                r.way = RecoveredCurrent::OwnLoop;
                const Facts f = factsOf(*b, direct, omega);
                set(*b, f.source ? f.j : isZero(f.e) ? Complex{} : CDiv(f.e, f.z));
            }
            found.push_back(r);
            if (r.way == RecoveredCurrent::CurrentLaw) continue;
        }
        const Complex current = currentOf(*b, direct);
        const int s = points.of(b->schemeStart), e = points.of(b->schemeEnd);
        leaving[size_t(s)] = CAdd(leaving[size_t(s)], current);
        leaving[size_t(e)] = CSub(leaving[size_t(e)], current);
    }

    // The shorts form trees (a loop of them is refused before the solution): from the leaves
    // inwards, each takes what the other branches at its leaf leave there.
    std::unordered_map<const NVetv*, size_t> entry;
    for (size_t k = 0; k < found.size(); ++k)
        entry[found[k].branch] = k;
    std::unordered_set<const NVetv*> done;
    std::vector<int> open(size_t(points.count()));
    std::deque<int> leaves;
    for (int p = 0; p < points.count(); ++p) {
        open[size_t(p)] = int(shortsAt[size_t(p)].size());
        if (open[size_t(p)] == 1) leaves.push_back(p);
    }
    while (!leaves.empty()) {
        const int p = leaves.front();
        leaves.pop_front();
        NVetv* s = nullptr;
        for (NVetv* b : shortsAt[size_t(p)])
            if (!done.count(b)) s = b;
        if (!s || open[size_t(p)] != 1) continue;
        const bool leavesHere = points.of(s->schemeStart) == p;
        const Complex i = leavesHere ? CSub(Complex{}, leaving[size_t(p)]) : leaving[size_t(p)];
        set(*s, i);
        done.insert(s);
        RecoveredCurrent& r = found[entry[s]];
        for (int k = 0; k < m.builtBranches.count(); ++k) {
            const NVetv* b = m.builtBranches.get(k);
            if (b == s) continue;
            const int out = (points.of(b->schemeStart) == p ? 1 : 0) - (points.of(b->schemeEnd) == p ? 1 : 0);
            if (out != 0) r.terms.push_back({b, leavesHere ? -out : out});
        }
        const int other = leavesHere ? points.of(s->schemeEnd) : points.of(s->schemeStart);
        leaving[size_t(p)] = CAdd(leaving[size_t(p)], leavesHere ? i : CSub(Complex{}, i));
        leaving[size_t(other)] =
            leavesHere ? CSub(leaving[size_t(other)], i) : CAdd(leaving[size_t(other)], i);
        --open[size_t(p)];
        if (--open[size_t(other)] == 1) leaves.push_back(other);
    }
    for (NVetv* s : shorts)
        if (!done.count(s)) failSolution("the current of branch " + s->name + " is not determined");
    return found;
}

std::optional<std::string> currentsBreakKirchhoff(const CircuitModel& m, bool direct) {
    const Points points(m);
    const std::vector<Facts> facts = factsOfAll(m, direct);
    const int count = m.builtBranches.count();
    Extended currentScale = 0;
    for (int i = 0; i < count; ++i) {
        const NVetv* b = m.builtBranches.get(i);
        const Facts& f = facts[size_t(i)];
        const Complex current = currentOf(*b, direct);
        if (!std::isfinite(current.re) || !std::isfinite(current.im))
            return "the current of branch " + b->name + " is not a number";
        // What the sources could drive sets the scale, so that currents of 0 that come out
        // as rounding remainders are not taken for a broken law.
        currentScale = std::max({currentScale, magnitude(current), magnitude(f.j)});
        if (f.voltageDefined() && !isZero(f.z))
            currentScale = std::max(currentScale, magnitude(f.e) / magnitude(f.z));
    }
    auto small = [](Extended miss, Extended scale) { return miss <= kLawShare * scale; };

    for (int i = 0; i < count; ++i) {
        const NVetv* b = m.builtBranches.get(i);
        const Facts& f = facts[size_t(i)];
        const Complex current = currentOf(*b, direct);
        if (f.source && !small(magnitude(CSub(current, f.j)), currentScale))
            return "branch " + b->name + " does not carry the current of its source";
        if (f.open && !small(magnitude(current), currentScale))
            return "the open branch " + b->name + " carries a current";
    }

    std::vector<Complex> leaving(size_t(points.count()));
    for (int i = 0; i < count; ++i) {
        const NVetv* b = m.builtBranches.get(i);
        const Complex current = currentOf(*b, direct);
        const int s = points.of(b->schemeStart), e = points.of(b->schemeEnd);
        leaving[size_t(s)] = CAdd(leaving[size_t(s)], current);
        leaving[size_t(e)] = CSub(leaving[size_t(e)], current);
    }
    for (int p = 0; p < points.count(); ++p)
        if (!small(magnitude(leaving[size_t(p)]), currentScale))
            return "the currents found break Kirchhoff's current law at node " + points.name(p);

    // The voltage law: the potentials that the branches imply, walked out from one point of
    // each part, must agree along every branch. A potential is as exact as the voltages
    // added up on the way to it; a branch current as exact as the largest current.
    std::vector<std::vector<std::pair<int, int>>> at(size_t(points.count())); // (other point, branch)
    for (int i = 0; i < count; ++i) {
        if (!facts[size_t(i)].voltageDefined()) continue;
        const NVetv* b = m.builtBranches.get(i);
        const int s = points.of(b->schemeStart), e = points.of(b->schemeEnd);
        at[size_t(s)].push_back({e, i});
        at[size_t(e)].push_back({s, i});
    }
    // The potential falls from start to end by I Z - E.
    auto fall = [&](int i) {
        const Facts& f = facts[size_t(i)];
        return CSub(CMul(currentOf(*m.builtBranches.get(i), direct), f.z), f.e);
    };
    auto reach = [&](int i) {
        const Facts& f = facts[size_t(i)];
        return currentScale * magnitude(f.z) + magnitude(f.e);
    };
    std::vector<Complex> potential(size_t(points.count()));
    std::vector<Extended> scale(size_t(points.count()), 0);
    std::vector<bool> reached(size_t(points.count()), false);
    for (int root = 0; root < points.count(); ++root) {
        if (reached[size_t(root)]) continue;
        reached[size_t(root)] = true;
        std::deque<int> queue{root};
        while (!queue.empty()) {
            const int x = queue.front();
            queue.pop_front();
            for (const auto& [y, i] : at[size_t(x)]) {
                if (reached[size_t(y)]) continue;
                const bool fromStart = points.of(m.builtBranches.get(i)->schemeStart) == x;
                potential[size_t(y)] =
                    fromStart ? CSub(potential[size_t(x)], fall(i)) : CAdd(potential[size_t(x)], fall(i));
                scale[size_t(y)] = scale[size_t(x)] + reach(i);
                reached[size_t(y)] = true;
                queue.push_back(y);
            }
        }
    }
    for (int i = 0; i < count; ++i) {
        if (!facts[size_t(i)].voltageDefined()) continue;
        const NVetv* b = m.builtBranches.get(i);
        const int s = points.of(b->schemeStart), e = points.of(b->schemeEnd);
        const Complex miss = CSub(CSub(potential[size_t(s)], potential[size_t(e)]), fall(i));
        if (!small(magnitude(miss), scale[size_t(s)] + scale[size_t(e)] + reach(i)))
            return "the currents found break Kirchhoff's voltage law along branch " + b->name;
    }
    return std::nullopt;
}

int connectedParts(const NSUselAr& nodes, const NSVetvAr& branches,
                   const std::function<bool(const NVetv&)>& use, std::vector<int>* partOfNode) {
    std::unordered_map<const NUsel*, int> index;
    for (int i = 0; i < nodes.count(); ++i)
        index.emplace(nodes.get(i), i);
    UnionFind parts(nodes.count());
    for (int i = 0; i < branches.count(); ++i) {
        const NVetv* b = branches.get(i);
        if (!use(*b)) continue;
        auto s = index.find(b->startNode), e = index.find(b->endNode);
        if (s != index.end() && e != index.end()) parts.unite(s->second, e->second);
    }
    std::unordered_map<int, int> number;
    if (partOfNode) partOfNode->assign(size_t(nodes.count()), 0);
    for (int i = 0; i < nodes.count(); ++i) {
        const int root = parts.find(i);
        auto it = number.emplace(root, int(number.size())).first;
        if (partOfNode) (*partOfNode)[size_t(i)] = it->second;
    }
    return int(number.size());
}

namespace {

// Elimination modulo a large prime: exact for the small whole numbers of loop vectors, but
// for a coincidence of the order of one in 10^18.
constexpr uint64_t kPrime = (uint64_t(1) << 61) - 1;

uint64_t mulMod(uint64_t a, uint64_t b) {
    return uint64_t((unsigned __int128)a * b % kPrime);
}

uint64_t powMod(uint64_t a, uint64_t e) {
    uint64_t r = 1;
    for (; e; e >>= 1, a = mulMod(a, a))
        if (e & 1) r = mulMod(r, a);
    return r;
}

uint64_t subMod(uint64_t a, uint64_t b) {
    return a >= b ? a - b : a + kPrime - b;
}

} // namespace

int loopRank(const std::vector<NCont*>& loops, NCont** firstDependent, std::vector<bool>* adds) {
    if (firstDependent) *firstDependent = nullptr;
    if (adds) adds->clear();
    std::unordered_map<const NVetv*, size_t> column;
    for (const NCont* loop : loops)
        for (int k = 0; k < loop->branches.count(); ++k)
            column.emplace(loop->branches.get(k), column.size());
    std::vector<std::vector<uint64_t>> basis; // each with its pivot column holding 1
    std::vector<size_t> pivots;
    for (NCont* loop : loops) {
        std::vector<uint64_t> row(column.size(), 0);
        for (int k = 0; k < loop->branches.count(); ++k) {
            const NVetv* b = loop->branches.get(k);
            uint64_t& cell = row[column[b]];
            cell = loop->runsAlong(k) ? (cell + 1) % kPrime : subMod(cell, 1);
        }
        for (size_t q = 0; q < basis.size(); ++q) {
            const uint64_t factor = row[pivots[q]];
            if (factor == 0) continue;
            for (size_t c = 0; c < row.size(); ++c)
                row[c] = subMod(row[c], mulMod(factor, basis[q][c]));
        }
        size_t pivot = 0;
        while (pivot < row.size() && row[pivot] == 0)
            ++pivot;
        if (adds) adds->push_back(pivot < row.size());
        if (pivot == row.size()) {
            if (firstDependent && !*firstDependent) *firstDependent = loop;
            continue;
        }
        const uint64_t inverse = powMod(row[pivot], kPrime - 2);
        for (uint64_t& v : row)
            v = mulMod(v, inverse);
        basis.push_back(std::move(row));
        pivots.push_back(pivot);
    }
    return int(basis.size());
}

} // namespace qv
