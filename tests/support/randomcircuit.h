#pragma once
// Random connected circuits drawn on a workbench's scheme, the same circuit as a SPICE
// netlist, and ngspice's answer for it: the reference the solution methods are compared with.
// Besides the plain ones, circuits with shorts (wires, lone inductors in DC, resistors of 0)
// and open branches (capacitors in DC), and loops drawn for each method.
//
// Layout: node i sits at (1000 i, 0); branch k leaves its start node downwards to
// y = 200 (k + 1), runs across and comes back up to its end node, so its middle segment is its
// own and the components clicked onto it at 200, 400, 600 from its start cannot hit another
// branch. Every circuit has a spanning tree of resistive branches, so no node hangs on current
// sources alone; further branches may carry current sources, EMFs either way, and run in
// parallel with others.
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QString>
#include <QTemporaryDir>
#include <QTextStream>
#include <cctype>
#include <cmath>
#include <deque>
#include <map>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "components/components.h"
#include "diagrams/loop.h"
#include "model/looplistinterface.h"
#include "support/componentbench.h"

namespace qv::test {

struct RandomCircuit {
    struct Element {
        char kind;    ///< 'R', 'L', 'C' (microfarad), 'Z' (re, im), 'E', 'J'
        double a = 0; ///< value or real part
        double b = 0; ///< imaginary part of AC sources and impedances
        bool along = true;
    };
    struct Branch {
        int from = 0, to = 0;
        std::vector<Element> elements;
        NTbeLine* line = nullptr;
    };
    bool ac = false;
    double frequency = 50;
    int nodeCount = 0;
    std::vector<int> grounded;
    std::vector<Branch> branches;
    std::vector<NTbeNode*> nodes;

    /// A random circuit of `nodeCount` nodes and `extra` branches beyond a spanning tree.
    static RandomCircuit generate(std::mt19937& rng, bool ac, int nodeCount, int extra, int grounds) {
        RandomCircuit c;
        c.ac = ac;
        c.nodeCount = nodeCount;
        c.frequency = ac ? 10 + double(rng() % 1000) : 50;
        auto real = [&](double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng); };
        auto chance = [&](double p) { return real(0, 1) < p; };
        auto passive = [&](Branch& b) {
            b.elements.push_back({'R', std::round(real(1, 100) * 10) / 10});
            if (ac) {
                if (chance(0.5))
                    b.elements.push_back({'L', std::round(real(0.01, 0.5) * 100) / 100});
                else if (chance(0.5))
                    b.elements.push_back({'C', std::round(real(5, 200))});
                else
                    b.elements.push_back({'Z', std::round(real(1, 20)), std::round(real(-20, 20))});
            }
        };
        auto emf = [&](Branch& b) {
            Element e{'E', std::round(real(-50, 50)), ac ? std::round(real(-30, 30)) : 0, chance(0.5)};
            b.elements.insert(b.elements.begin() + 1, e);
        };
        for (int i = 1; i < nodeCount; ++i) {
            Branch b;
            b.from = int(rng() % unsigned(i));
            b.to = i;
            if (chance(0.5)) std::swap(b.from, b.to);
            passive(b);
            if (chance(0.4)) emf(b);
            c.branches.push_back(b);
        }
        for (int k = 0; k < extra; ++k) {
            Branch b;
            b.from = int(rng() % unsigned(nodeCount));
            do
                b.to = int(rng() % unsigned(nodeCount));
            while (b.to == b.from);
            if (chance(0.3)) {
                b.elements.push_back(
                    {'J', std::round(real(-5, 5) * 10) / 10, ac ? std::round(real(-3, 3)) : 0, chance(0.5)});
            } else {
                passive(b);
                if (chance(0.5)) emf(b);
            }
            c.branches.push_back(b);
        }
        for (int g = 0; g < grounds; ++g)
            c.grounded.push_back(int(rng() % unsigned(nodeCount)));
        return c;
    }

    /// A circuit with one set of branch currents that the simplification has work on: some
    /// branches are shorts (a wire, a lone inductor in DC, a resistor of 0), and in DC some
    /// carry a capacitor in series (open), which may cut the circuit into parts. No loop is
    /// made of shorts alone (all grounds being one point), and a current source only joins
    /// nodes that branches carrying current join anyway, so its current has a way back.
    /// With `guarded` clear, shorts and current sources go anywhere, and a current source may
    /// share its branch with a capacitor: the circuit may have no one set of currents.
    static RandomCircuit generateWithShortsAndOpens(std::mt19937& rng, bool ac, int nodeCount, int extra,
                                                    int grounds, bool guarded = true) {
        RandomCircuit c;
        c.ac = ac;
        c.nodeCount = nodeCount;
        c.frequency = ac ? 10 + double(rng() % 1000) : 50;
        auto real = [&](double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng); };
        auto chance = [&](double p) { return real(0, 1) < p; };
        // Nodes joined by shorts, and by branches that carry current; grounds are one point.
        std::vector<int> shorts(static_cast<size_t>(nodeCount)), carried(static_cast<size_t>(nodeCount));
        std::iota(shorts.begin(), shorts.end(), 0);
        std::iota(carried.begin(), carried.end(), 0);
        auto find = [](std::vector<int>& uf, int x) {
            while (uf[size_t(x)] != x)
                x = uf[size_t(x)] = uf[size_t(uf[size_t(x)])];
            return x;
        };
        auto unite = [&](std::vector<int>& uf, int a, int b) { uf[size_t(find(uf, a))] = find(uf, b); };
        for (int g = 0; g < grounds; ++g) {
            const int at = int(rng() % unsigned(nodeCount));
            bool already = false;
            for (int x : c.grounded)
                already = already || x == at;
            if (already) continue;
            if (!c.grounded.empty()) {
                unite(shorts, at, c.grounded.front());
                unite(carried, at, c.grounded.front());
            }
            c.grounded.push_back(at);
        }
        auto resistive = [&](Branch& b) {
            b.elements.push_back({'R', std::round(real(1, 100) * 10) / 10});
            if (ac) b.elements.push_back({'L', std::round(real(0.01, 0.5) * 100) / 100});
            if (chance(0.4))
                b.elements.insert(
                    b.elements.begin() + (chance(0.5) ? 0 : 1),
                    {'E', std::round(real(-50, 50)), ac ? std::round(real(-30, 30)) : 0, chance(0.5)});
            unite(carried, b.from, b.to);
        };
        // A short where it closes no loop of shorts; a resistive branch elsewhere.
        auto shortOr = [&](Branch& b) {
            if (guarded && find(shorts, b.from) == find(shorts, b.to)) return resistive(b);
            const int kind = int(rng() % 3);
            if (kind == 1)
                b.elements.push_back({ac ? 'R' : 'L', ac ? 0 : std::round(real(0.01, 0.5) * 100) / 100});
            if (kind == 2) b.elements.push_back({'R', 0});
            unite(shorts, b.from, b.to);
            unite(carried, b.from, b.to);
        };
        // A capacitor in series, with a resistor and an EMF at times.
        auto open = [&](Branch& b) {
            if (chance(0.5)) b.elements.push_back({'R', std::round(real(1, 100) * 10) / 10});
            b.elements.push_back({'C', std::round(real(5, 200))});
            if (chance(0.4)) b.elements.push_back({'E', std::round(real(-50, 50)), 0, chance(0.5)});
        };
        for (int i = 1; i < nodeCount; ++i) {
            Branch b;
            b.from = int(rng() % unsigned(i));
            b.to = i;
            if (chance(0.5)) std::swap(b.from, b.to);
            const double roll = real(0, 1);
            if (roll < 0.3)
                shortOr(b);
            else if (!ac && roll < 0.45)
                open(b);
            else
                resistive(b);
            c.branches.push_back(b);
        }
        for (int k = 0; k < extra; ++k) {
            Branch b;
            b.from = int(rng() % unsigned(nodeCount));
            do
                b.to = int(rng() % unsigned(nodeCount));
            while (b.to == b.from);
            const double roll = real(0, 1);
            if (roll < 0.3 && (!guarded || find(carried, b.from) == find(carried, b.to))) {
                b.elements.push_back(
                    {'J', std::round(real(-5, 5) * 10) / 10, ac ? std::round(real(-3, 3)) : 0, chance(0.5)});
                if (chance(0.3)) b.elements.push_back({'R', std::round(real(1, 100) * 10) / 10});
                if (!guarded && !ac && chance(0.1)) b.elements.push_back({'C', std::round(real(5, 200))});
            } else if (roll < 0.45) {
                shortOr(b);
            } else if (!ac && roll < 0.6) {
                open(b);
            } else {
                resistive(b);
            }
            c.branches.push_back(b);
        }
        return c;
    }

    /// Whether the branch passes no current in this circuit (a capacitor in DC).
    bool isOpen(const Branch& b) const {
        if (ac) return false;
        for (const Element& e : b.elements)
            if (e.kind == 'C') return true;
        return false;
    }
    static bool hasSource(const Branch& b) {
        for (const Element& e : b.elements)
            if (e.kind == 'J') return true;
        return false;
    }

    /// Loops for the Kirchhoff-laws method (`withCurrentSources` clear) or the mesh-current
    /// method: one for each branch outside a spanning forest of the branches that carry
    /// current, all grounds being one point, so that they are as many as the circuit has
    /// independent loops. Current-source branches stay out of the forest, each in its own
    /// loop only; the Kirchhoff-laws method gets none through them. A loop that closes through
    /// the ground starts on the grounded node where it leaves the ground.
    void drawBasisLoops(ComponentBench& bench, bool withCurrentSources) {
        std::vector<int> point(static_cast<size_t>(nodeCount));
        std::iota(point.begin(), point.end(), 0);
        for (int g : grounded)
            point[size_t(g)] = grounded.front();
        std::vector<int> uf(static_cast<size_t>(nodeCount));
        std::iota(uf.begin(), uf.end(), 0);
        auto find = [&](int x) {
            while (uf[size_t(x)] != x)
                x = uf[size_t(x)] = uf[size_t(uf[size_t(x)])];
            return x;
        };
        // The forest, as the branches at each point.
        std::vector<std::vector<size_t>> forest(static_cast<size_t>(nodeCount));
        std::vector<size_t> outside;
        for (size_t k = 0; k < branches.size(); ++k) {
            const Branch& b = branches[k];
            if (isOpen(b) || (hasSource(b) && !withCurrentSources)) continue;
            const int a = find(point[size_t(b.from)]), z = find(point[size_t(b.to)]);
            if (a == z || hasSource(b)) {
                outside.push_back(k);
                continue;
            }
            uf[size_t(a)] = z;
            forest[size_t(point[size_t(b.from)])].push_back(k);
            forest[size_t(point[size_t(b.to)])].push_back(k);
        }
        int number = 0;
        for (size_t k : outside) {
            // The branch from its start point, then the forest's way back.
            const int start = point[size_t(branches[k].from)], end = point[size_t(branches[k].to)];
            std::vector<long> via(static_cast<size_t>(nodeCount), -2);
            via[size_t(end)] = -1;
            std::deque<int> queue{end};
            while (!queue.empty()) {
                const int x = queue.front();
                queue.pop_front();
                for (size_t e : forest[size_t(x)]) {
                    const int y = point[size_t(branches[e].from)] == x ? point[size_t(branches[e].to)]
                                                                       : point[size_t(branches[e].from)];
                    if (via[size_t(y)] != -2) continue;
                    via[size_t(y)] = long(e);
                    queue.push_back(y);
                }
            }
            if (via[size_t(start)] == -2) continue; // a current source with no way back
            std::vector<size_t> cycle{k};
            for (int x = start; x != end;) {
                const size_t e = size_t(via[size_t(x)]);
                cycle.insert(cycle.begin() + 1, e);
                x = point[size_t(branches[e].from)] == x ? point[size_t(branches[e].to)]
                                                         : point[size_t(branches[e].from)];
            }
            // Walk it: the node each branch is entered from.
            std::vector<int> enter;
            int at = branches[k].from;
            for (size_t e : cycle) {
                const Branch& b = branches[e];
                const bool forward = point[size_t(b.from)] == point[size_t(at)];
                enter.push_back(forward ? b.from : b.to);
                at = forward ? b.to : b.from;
            }
            // Where the walk changes from one grounded node to another, it passes the ground.
            size_t first = 0;
            for (size_t i = 0; i < cycle.size(); ++i) {
                const Branch& prev = branches[cycle[(i + cycle.size() - 1) % cycle.size()]];
                const int left =
                    enter[(i + cycle.size() - 1) % cycle.size()] == prev.from ? prev.to : prev.from;
                if (left != enter[i]) first = i;
            }
            auto loop = newLoop(bench.doc);
            loop->addNode(nodes[size_t(enter[first])]);
            bool closed = false;
            for (size_t i = 0; i < cycle.size(); ++i)
                closed = loop->addBranch(branches[cycle[(first + i) % cycle.size()]].line);
            EXPECT_TRUE(closed) << "the loop through branch " << k << " did not close";
            loop->name = "L" + std::to_string(++number);
            bench.doc.loops().add(loop.release());
        }
    }

    /// Draws the circuit on the bench's scheme.
    void draw(ComponentBench& bench) {
        bench.doc.frequency = frequency;
        for (int i = 0; i < nodeCount; ++i)
            nodes.push_back(bench.node(1000 * i, 0));
        for (size_t k = 0; k < branches.size(); ++k) {
            Branch& b = branches[k];
            const int y = 200 * int(k + 1);
            const int xa = 1000 * b.from, xb = 1000 * b.to;
            b.line = bench.branch(nodes[size_t(b.from)], nodes[size_t(b.to)], {{xa, y}, {xb, y}});
            const int step = xb > xa ? 200 : -200;
            int x = xa + step;
            for (const Element& e : b.elements) {
                auto v = [](double d) { return QString::number(d, 'g', 17); };
                NUniSetObj* placed = nullptr;
                switch (e.kind) {
                case 'R':
                    placed = bench.place<NUniRes>(x, y, value(v(e.a)));
                    break;
                case 'L':
                    placed = bench.place<NUniInd>(x, y, value(v(e.a)));
                    break;
                case 'C':
                    placed = bench.place<NUniCon>(x, y, value(v(e.a)));
                    break;
                case 'Z':
                    placed = bench.place<NUniImpedance>(
                        x, y, fields({{"resistance", v(e.a)}, {"reactance", v(e.b)}}));
                    break;
                case 'E':
                    placed = ac ? static_cast<NUniSetObj*>(bench.place<NUniCompEDS>(
                                      x, y, fields({{"first", v(e.a)}, {"second", v(e.b)}})))
                                : bench.place<NUniEds>(x, y, value(v(e.a)));
                    break;
                case 'J':
                    placed = ac ? static_cast<NUniSetObj*>(bench.place<NUniCompCurSource>(
                                      x, y, fields({{"first", v(e.a)}, {"second", v(e.b)}})))
                                : bench.place<NUniIst>(x, y, value(v(e.a)));
                    break;
                }
                if (placed && !e.along) placed->orientation = 0;
                x += step;
            }
        }
        for (int g : grounded)
            bench.ground(nodes[size_t(g)], {1000 * g + 50, -150});
    }

    /// One loop per branch beyond the spanning tree: that branch, then the tree's path back to
    /// its start node. With `currentSources` clear, the branches with a current source get
    /// none (the Kirchhoff-laws method writes no voltage law through them).
    void drawLoops(ComponentBench& bench, bool currentSources) {
        // Tree branch i - 1 joins node i to an earlier node: the parent of i.
        std::vector<int> parent(size_t(nodeCount), -1);
        for (int i = 1; i < nodeCount; ++i) {
            const Branch& t = branches[size_t(i - 1)];
            parent[size_t(i)] = t.from == i ? t.to : t.from;
        }
        auto up = [&](int n) {
            std::vector<int> path{n};
            while (parent[size_t(path.back())] >= 0)
                path.push_back(parent[size_t(path.back())]);
            return path;
        };
        for (size_t k = size_t(nodeCount - 1); k < branches.size(); ++k) {
            const Branch& b = branches[k];
            const bool source = !b.elements.empty() && b.elements.front().kind == 'J';
            if (source && !currentSources) continue;
            // Nodes from b.to up to the common ancestor, then down to b.from.
            std::vector<int> fromTo = up(b.to), fromFrom = up(b.from);
            while (fromTo.size() > 1 && fromFrom.size() > 1 &&
                   fromTo[fromTo.size() - 2] == fromFrom[fromFrom.size() - 2]) {
                fromTo.pop_back();
                fromFrom.pop_back();
            }
            std::vector<int> walk = fromTo;
            for (size_t i = fromFrom.size() - 1; i-- > 0;)
                walk.push_back(fromFrom[i]);
            auto loop = newLoop(bench.doc);
            loop->addNode(nodes[size_t(b.from)]);
            loop->addBranch(b.line);
            for (size_t i = 0; i + 1 < walk.size(); ++i) {
                const int child = parent[size_t(walk[i])] == walk[i + 1] ? walk[i] : walk[i + 1];
                loop->addBranch(branches[size_t(child - 1)].line);
            }
            loop->name = "L" + std::to_string(k);
            bench.doc.loops().add(loop.release());
        }
    }

    /// The netlist; node "0" is the ground, or `reference` when nothing is grounded. An open
    /// branch has no "i(vmK)".
    std::string netlist(int reference) const {
        auto node = [&](int i) {
            bool g = false;
            for (int x : grounded)
                g = g || x == i;
            if (grounded.empty()) g = i == reference;
            return g ? std::string("0") : "n" + std::to_string(i);
        };
        auto num = [](double d) { return QString::number(d, 'g', 17).toStdString(); };
        const double w = 2 * M_PI * frequency;
        std::string s = "random circuit\n";
        // An open branch passes no current: it is left out, since the simulator cannot settle
        // the nodes between capacitors. A part of the circuit that only open branches and
        // current sources join to the rest is tied to the ground by a resistor that carries
        // nothing.
        std::vector<int> part(static_cast<size_t>(nodeCount));
        std::iota(part.begin(), part.end(), 0);
        auto find = [&](int x) {
            while (part[size_t(x)] != x)
                x = part[size_t(x)] = part[size_t(part[size_t(x)])];
            return x;
        };
        const int anchor = grounded.empty() ? reference : grounded.front();
        for (int i = 0; i < nodeCount; ++i)
            if (node(i) == "0") part[size_t(find(i))] = find(anchor);
        for (const Branch& b : branches)
            if (!isOpen(b) && !hasSource(b)) part[size_t(find(b.from))] = find(b.to);
        for (int i = 0; i < nodeCount; ++i)
            if (find(i) == i && find(i) != find(anchor))
                s += "Rtie" + std::to_string(i) + " " + node(i) + " 0 1000\n";
        for (size_t k = 0; k < branches.size(); ++k) {
            const Branch& b = branches[k];
            if (isOpen(b)) continue;
            const std::string id = std::to_string(k);
            std::string at = "m" + id;
            s += "Vm" + id + " " + node(b.from) + " " + at + " 0\n"; // measures the branch current
            int part = 0;
            for (const Element& e : b.elements) {
                const std::string next = "p" + id + "_" + std::to_string(part++);
                const std::string tag = id + "_" + std::to_string(part);
                switch (e.kind) {
                case 'R':
                    // A resistor of 0 is a short; the simulator would take a milliohm.
                    if (e.a == 0)
                        s += "VR" + tag + " " + at + " " + next + " 0\n";
                    else
                        s += "R" + tag + " " + at + " " + next + " " + num(e.a) + "\n";
                    break;
                case 'L':
                    s += "L" + tag + " " + at + " " + next + " " + num(e.a) + "\n";
                    break;
                case 'C':
                    s += "C" + tag + " " + at + " " + next + " " + num(e.a * 1e-6) + "\n";
                    break;
                case 'Z': {
                    // Resistance, then a reactance at this frequency as an inductor or a capacitor.
                    const std::string mid = next + "z";
                    s += "R" + tag + " " + at + " " + mid + " " + num(e.a) + "\n";
                    if (e.b > 0)
                        s += "L" + tag + " " + mid + " " + next + " " + num(e.b / w) + "\n";
                    else if (e.b < 0)
                        s += "C" + tag + " " + mid + " " + next + " " + num(-1 / (e.b * w)) + "\n";
                    else
                        s += "V" + tag + "z " + mid + " " + next + " 0\n";
                    break;
                }
                case 'E': {
                    const std::string plus = e.along ? next : at, minus = e.along ? at : next;
                    if (ac)
                        s += "V" + tag + " " + plus + " " + minus + " 0 AC " + num(std::hypot(e.a, e.b)) +
                             " " + num(std::atan2(e.b, e.a) * 180 / M_PI) + "\n";
                    else
                        s += "V" + tag + " " + plus + " " + minus + " " + num(e.a) + "\n";
                    break;
                }
                case 'J': {
                    const std::string from = e.along ? at : next, to = e.along ? next : at;
                    if (ac)
                        s += "I" + tag + " " + from + " " + to + " 0 AC " + num(std::hypot(e.a, e.b)) + " " +
                             num(std::atan2(e.b, e.a) * 180 / M_PI) + "\n";
                    else
                        s += "I" + tag + " " + from + " " + to + " " + num(e.a) + "\n";
                    break;
                }
                }
                at = next;
            }
            s += "Vt" + id + " " + at + " " + node(b.to) + " 0\n";
        }
        s += ".control\nset numdgt=15\n";
        s += ac ? "ac lin 1 " + num(frequency) + " " + num(frequency) + "\n" : "op\n";
        for (size_t k = 0; k < branches.size(); ++k)
            if (!isOpen(branches[k]))
                s += ac ? "print real(i(vm" + std::to_string(k) + ")) imag(i(vm" + std::to_string(k) + "))\n"
                        : "print i(vm" + std::to_string(k) + ")\n";
        for (int i = 0; i < nodeCount; ++i)
            if (node(i) != "0")
                s += ac ? "print real(v(n" + std::to_string(i) + ")) imag(v(n" + std::to_string(i) + "))\n"
                        : "print v(n" + std::to_string(i) + ")\n";
        s += ".endc\n.end\n";
        return s;
    }

    /// The circuit as people write a netlist, for the importer: a title, comments, any letter
    /// case, scale suffixes and units, continuation lines, no .control block. Node i is "n<i>"
    /// ("0" or "gnd" where grounded), the nodes inside branch k "b<k>_<j>", element j of
    /// branch k "<letter><k>_<j>".
    std::string plainNetlist(std::mt19937& rng) const {
        auto pick = [&](int n) { return int(rng() % unsigned(n)); };
        auto cased = [&](std::string s) {
            for (char& c : s)
                if (pick(3) == 0)
                    c = char(std::isupper(static_cast<unsigned char>(c)) ? std::tolower(c) : std::toupper(c));
            return s;
        };
        auto node = [&](int i) -> std::string {
            for (int g : grounded)
                if (g == i) return pick(4) == 0 ? cased("gnd") : "0";
            return cased("n" + std::to_string(i));
        };
        // A value with a scale suffix where one reads well, sometimes with its unit (not a
        // farad right after the digits: SPICE reads that F as femto).
        auto value = [&](double v, const char* unit) {
            const double a = std::fabs(v);
            std::string text;
            bool scaled = true;
            if (a != 0 && a < 1e-3 && pick(2) == 0)
                text = QString::number(v * 1e6, 'g', 17).toStdString() + (pick(2) ? "u" : "U");
            else if (a != 0 && a < 1 && pick(2) == 0)
                text = QString::number(v * 1e3, 'g', 17).toStdString() + "m";
            else if (a >= 1000 && pick(2) == 0)
                text = QString::number(v / 1e3, 'g', 17).toStdString() + (pick(2) ? "k" : "K");
            else {
                text = QString::number(v, 'g', 17).toStdString();
                scaled = false;
            }
            if (pick(3) == 0 && (scaled || std::string(unit) != "F")) text += unit;
            return text;
        };
        const double w = 2 * M_PI * frequency;
        std::string s =
            "Random circuit, written by hand\n* " + std::to_string(branches.size()) + " branches\n";
        for (size_t k = 0; k < branches.size(); ++k) {
            const Branch& b = branches[k];
            if (pick(3) == 0) s += "* branch " + std::to_string(k) + "\n";
            std::string at = node(b.from);
            int part = 0;
            const size_t pieces = [&] {
                size_t n = 0;
                for (const Element& e : b.elements)
                    n += e.kind == 'Z' && e.b != 0 ? 2 : 1;
                return n;
            }();
            size_t written = 0;
            auto card = [&](char letter, const std::string& rest, bool nodesSwapped,
                            const std::string& tail) {
                ++written;
                const std::string next =
                    written == pieces ? node(b.to)
                                      : cased("b" + std::to_string(k) + "_" + std::to_string(part + 1));
                const std::string name =
                    std::string(1, letter) + std::to_string(k) + "_" + std::to_string(++part);
                const std::string first = nodesSwapped ? next : at, second = nodesSwapped ? at : next;
                std::string line = cased(name) + " " + first + " " + second;
                line += pick(4) == 0 ? "\n+ " + rest : " " + rest;
                s += line + (pick(4) == 0 ? " ; " + tail : pick(5) == 0 ? " $ " + tail : "") + "\n";
                at = next;
            };
            for (const Element& e : b.elements) {
                switch (e.kind) {
                case 'R':
                    card('R', value(e.a, "Ohm"), false, "a resistor");
                    break;
                case 'L':
                    card('L', value(e.a, "H"), false, "an inductor");
                    break;
                case 'C':
                    card('C', value(e.a * 1e-6, "F"), false, "a capacitor");
                    break;
                case 'Z':
                    card('R', value(e.a, "Ohm"), false, "the real part");
                    if (e.b > 0) card('L', value(e.b / w, "H"), false, "the reactance");
                    if (e.b < 0) card('C', value(-1 / (e.b * w), "F"), false, "the reactance");
                    break;
                case 'E': {
                    // The EMF raises the potential along the branch when `along`: n+ ahead.
                    const std::string v =
                        ac ? cased("dc") + " 0 " + cased("ac") + " " +
                                 QString::number(std::hypot(e.a, e.b), 'g', 17).toStdString() + " " +
                                 QString::number(std::atan2(e.b, e.a) * 180 / M_PI, 'g', 17).toStdString()
                           : (pick(2) ? cased("DC") + " " : "") + value(e.a, "V");
                    card('V', v, e.along, "an EMF");
                    break;
                }
                case 'J': {
                    const std::string v =
                        ac ? cased("ac") + " " +
                                 QString::number(std::hypot(e.a, e.b), 'g', 17).toStdString() + " " +
                                 QString::number(std::atan2(e.b, e.a) * 180 / M_PI, 'g', 17).toStdString()
                           : (pick(2) ? "DC " : "") + value(e.a, "A");
                    card('I', v, !e.along, "a current source");
                    break;
                }
                }
            }
        }
        s += ac ? cased(".ac") + " lin 1 " + QString::number(frequency, 'g', 17).toStdString() + " " +
                      QString::number(frequency, 'g', 17).toStdString() + "\n"
                : cased(".op") + "\n";
        return s + cased(".end") + "\n";
    }

    static QString ngspice() { return QStandardPaths::findExecutable(QStringLiteral("ngspice")); }

    /// ngspice run on a netlist as it stands (`ngspice -b -r OUT.raw IN.cir`): the vectors of
    /// its raw file by name ("v(n1)", "i(v1)"), real and imaginary parts. Empty when ngspice
    /// fails; `log` gets its output.
    static std::map<std::string, std::pair<double, double>> runAsItStands(const std::string& netlist,
                                                                          QString& log) {
        std::map<std::string, std::pair<double, double>> values;
        QTemporaryDir dir;
        const QString in = dir.filePath(QStringLiteral("c.cir")), raw = dir.filePath(QStringLiteral("c.raw"));
        {
            QFile f(in);
            if (!f.open(QIODevice::WriteOnly)) return values;
            f.write(netlist.c_str());
        }
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("SPICE_ASCIIRAWFILE"), QStringLiteral("1"));
        p.setProcessEnvironment(env);
        p.start(ngspice(), {QStringLiteral("-b"), QStringLiteral("-r"), raw, in});
        p.waitForFinished(20000);
        log = QString::fromUtf8(p.readAllStandardOutput()) + QString::fromUtf8(p.readAllStandardError());
        QFile f(raw);
        if (!f.open(QIODevice::ReadOnly)) return values;
        // "Variables:" lines "\tI\tNAME\tTYPE", then "Values:" with one number per variable.
        const QStringList lines = QString::fromUtf8(f.readAll()).split('\n');
        std::vector<std::string> names;
        int i = 0;
        while (i < lines.size() && !lines[i].startsWith(QLatin1String("Variables:")))
            ++i;
        for (++i; i < lines.size() && !lines[i].startsWith(QLatin1String("Values:")); ++i) {
            const QStringList parts = lines[i].split('\t', Qt::SkipEmptyParts);
            if (parts.size() >= 2) names.push_back(parts[1].toLower().toStdString());
        }
        size_t v = 0;
        for (++i; i < lines.size() && v < names.size(); ++i) {
            QString text = lines[i].trimmed();
            if (text.isEmpty()) continue;
            if (v == 0)
                text = text.section(QRegularExpression(QStringLiteral("\\s+")), 1); // the point's number
            const QStringList parts = text.split(',');
            values[names[v++]] = {parts.value(0).toDouble(), parts.value(1).toDouble()};
        }
        return values;
    }

    /// ngspice's answer: "i(vmK)" and "v(nI)" (real and imaginary parts for AC). Empty when
    /// ngspice fails; `log` gets its output.
    static std::map<std::string, std::pair<double, double>> simulate(const std::string& netlist,
                                                                     QString& log) {
        std::map<std::string, std::pair<double, double>> values;
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("c.cir"));
        {
            QFile f(path);
            if (!f.open(QIODevice::WriteOnly)) return values;
            f.write(netlist.c_str());
        }
        QProcess p;
        p.start(ngspice(), {QStringLiteral("-b"), path});
        p.waitForFinished(20000);
        log = QString::fromUtf8(p.readAllStandardOutput()) + QString::fromUtf8(p.readAllStandardError());
        // Lines "real(i(vm0)) = 1.234e+00" or "i(vm0) = 1.234e+00".
        for (const QString& line : log.split('\n')) {
            const int eq = line.indexOf(QStringLiteral(" = "));
            if (eq < 0) continue;
            QString name = line.left(eq).trimmed().toLower();
            bool okv = false;
            const double v = line.mid(eq + 3).trimmed().section(QLatin1Char(','), 0, 0).toDouble(&okv);
            if (!okv) continue;
            bool imag = false;
            if (name.startsWith(QLatin1String("real(")) || name.startsWith(QLatin1String("imag("))) {
                imag = name.startsWith(QLatin1String("imag("));
                name = name.mid(5, name.size() - 6);
            }
            auto& slot = values[name.toStdString()];
            (imag ? slot.second : slot.first) = v;
        }
        return values;
    }

  private:
    static ScriptedPresenter::Script fields(std::vector<std::pair<const char*, QString>> texts) {
        return [texts](DialogModel& m) {
            for (const auto& [id, text] : texts)
                m.field(id).text = text;
            return m.ok();
        };
    }
    static ScriptedPresenter::Script value(const QString& v) { return fields({{"value", v}}); }
};

} // namespace qv::test
