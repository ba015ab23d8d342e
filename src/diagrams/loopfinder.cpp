#include "diagrams/loopfinder.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <map>
#include <numeric>
#include <optional>

#include "components/branch.h"
#include "components/components.h"
#include "diagrams/loop.h"
#include "graphics/primitives.h"
#include "model/document.h"
#include "platform/segments.h"

namespace qv {

namespace {

/// A loop as the branches it runs through, each with the direction it is passed in.
struct Cycle {
    std::vector<int> branches;
    std::vector<bool> forward; ///< passed from the branch's node1 to its node2
};

/// The working branches and nodes of a scheme as a graph with its drawing.
struct Graph {
    std::vector<NFUsel*> nodes;
    std::vector<NFVetv*> branches;
    std::vector<int> from, to;            ///< node indices of each branch
    std::vector<bool> source;             ///< the branch carries a current source
    std::vector<std::vector<Point>> line; ///< each branch's drawing from node1 to node2
    int nodeOf(const NFUsel* n) const {
        auto it = std::find(nodes.begin(), nodes.end(), n);
        return it == nodes.end() ? -1 : int(it - nodes.begin());
    }
};

/// A scheme without impedances or AC sources is solved as DC, where a capacitor opens its
/// branch: a loop through it would be left out of the solution, so none is found there.
bool solvedAsDirectCurrent(NTBEFizDisp& doc) {
    for (NFizObj* o : doc.objects())
        if (auto* u = dynamic_cast<NUniSetObj*>(o);
            u && (dynamic_cast<NUniImpedance*>(u) || u->sourceKind() == SourceKind::AlternatingVoltage ||
                  u->sourceKind() == SourceKind::AlternatingCurrent))
            return false;
    return true;
}

bool holdsCapacitor(NFVetv* b) {
    const auto& parts = b->components();
    return std::any_of(parts.begin(), parts.end(), [](NSetObj* c) { return dynamic_cast<NUniCon*>(c); });
}

Graph graphOf(NTBEFizDisp& doc) {
    Graph g;
    const bool direct = solvedAsDirectCurrent(doc);
    for (NFizObj* o : doc.objects())
        if (auto* b = dynamic_cast<NTbeLine*>(o); b && dynamic_cast<NTbeNode*>(b->node1) &&
                                                  dynamic_cast<NTbeNode*>(b->node2) && b->node1 != b->node2 &&
                                                  !(direct && holdsCapacitor(b)))
            g.branches.push_back(b);
    for (NFizObj* o : doc.objects())
        if (auto* n = dynamic_cast<NTbeNode*>(o))
            if (std::any_of(g.branches.begin(), g.branches.end(),
                            [&](NFVetv* b) { return b->node1 == n || b->node2 == n; }))
                g.nodes.push_back(n);
    for (NFVetv* b : g.branches) {
        g.from.push_back(g.nodeOf(b->node1));
        g.to.push_back(g.nodeOf(b->node2));
        bool source = false;
        for (NSetObj* c : b->components())
            if (auto* u = dynamic_cast<NUniSetObj*>(c); u && u->isCurrentSource()) source = true;
        g.source.push_back(source);
        std::vector<Point> pts{{b->node1->x, b->node1->y}};
        for (NGraphLine* s : b->segments())
            for (Point p : {s->p1, s->p2})
                if (!(p == pts.back())) pts.push_back(p);
        const Point end{b->node2->x, b->node2->y};
        if (!(end == pts.back())) pts.push_back(end);
        g.line.push_back(std::move(pts));
    }
    return g;
}

/// Parts of the graph made of the branches `use` lets in: a part number per node.
std::vector<int> partsOf(const Graph& g, const std::vector<bool>& use, int& count) {
    std::vector<int> parent(g.nodes.size());
    std::iota(parent.begin(), parent.end(), 0);
    auto root = [&](int x) {
        while (parent[size_t(x)] != x)
            x = parent[size_t(x)] = parent[size_t(parent[size_t(x)])];
        return x;
    };
    for (size_t k = 0; k < g.branches.size(); ++k)
        if (use[k]) parent[size_t(root(g.from[k]))] = root(g.to[k]);
    std::map<int, int> number;
    std::vector<int> part(g.nodes.size());
    for (size_t n = 0; n < g.nodes.size(); ++n)
        part[n] = number.emplace(root(int(n)), int(number.size())).first->second;
    count = int(number.size());
    return part;
}

/// Whether the drawing of the branches `use` lets in is a plane drawing: no two of them meet
/// but at a node both end on, and none runs over another node.
bool planar(const Graph& g, const std::vector<bool>& use) {
    struct Piece {
        Point a, b;
        size_t branch;
    };
    std::vector<Piece> pieces;
    for (size_t k = 0; k < g.branches.size(); ++k)
        if (use[k])
            for (size_t i = 0; i + 1 < g.line[k].size(); ++i)
                pieces.push_back({g.line[k][i], g.line[k][i + 1], k});
    auto endsOn = [&](size_t k, Point p) {
        return Point{g.nodes[size_t(g.from[k])]->x, g.nodes[size_t(g.from[k])]->y} == p ||
               Point{g.nodes[size_t(g.to[k])]->x, g.nodes[size_t(g.to[k])]->y} == p;
    };
    for (const Piece& p : pieces)
        for (NFUsel* n : g.nodes) {
            const Point c{n->x, n->y};
            if (!endsOn(p.branch, c) && distanceToSegment(c, p.a, p.b) < 1) return false;
        }
    for (size_t i = 0; i < pieces.size(); ++i)
        for (size_t j = i + 1; j < pieces.size(); ++j) {
            const Piece &p = pieces[i], &q = pieces[j];
            Point at;
            const Meeting m = meetSegments(p.a, p.b, q.a, q.b, at);
            if (m == Meeting::None) continue;
            if (m == Meeting::Touch && (at == p.a || at == p.b) && (at == q.a || at == q.b)) {
                // Pieces of one branch meet at their corner; of two, only at a shared node.
                if (p.branch == q.branch || (endsOn(p.branch, at) && endsOn(q.branch, at))) continue;
            }
            return false;
        }
    return true;
}

/// The points of a cycle's drawing in the order it is run.
std::vector<Point> outline(const Graph& g, const Cycle& c) {
    std::vector<Point> pts;
    for (size_t i = 0; i < c.branches.size(); ++i) {
        std::vector<Point> l = g.line[size_t(c.branches[i])];
        if (!c.forward[i]) std::reverse(l.begin(), l.end());
        pts.insert(pts.end(), l.begin(), l.end() - 1);
    }
    return pts;
}

/// Twice the signed area: positive when the cycle runs clockwise on the page (y downwards).
double area(const std::vector<Point>& pts) {
    double a = 0;
    for (size_t i = 0; i < pts.size(); ++i) {
        const Point p = pts[i], q = pts[(i + 1) % pts.size()];
        a += double(p.x) * q.y - double(q.x) * p.y;
    }
    return a;
}

Cycle reversed(Cycle c) {
    std::reverse(c.branches.begin(), c.branches.end());
    std::reverse(c.forward.begin(), c.forward.end());
    for (size_t i = 0; i < c.forward.size(); ++i)
        c.forward[i] = !c.forward[i];
    return c;
}

/// Splits a set of branches in which every node has an even number of them into simple
/// cycles: walk on unused branches; when the walk comes back to a node on it, the stretch
/// since then is a cycle.
std::vector<Cycle> simpleCycles(const Graph& g, const std::vector<int>& edges) {
    std::vector<Cycle> out;
    std::vector<bool> used(edges.size());
    auto unusedAt = [&](int node) {
        for (size_t i = 0; i < edges.size(); ++i)
            if (!used[i] && (g.from[size_t(edges[i])] == node || g.to[size_t(edges[i])] == node))
                return int(i);
        return -1;
    };
    for (size_t first = 0; first < edges.size(); ++first) {
        if (used[first]) continue;
        std::vector<int> nodes{g.from[size_t(edges[first])]};
        std::vector<int> walk; // branches, nodes[i] -> nodes[i + 1]
        int e = int(first);
        while (e >= 0) {
            used[size_t(e)] = true;
            const int k = edges[size_t(e)];
            const int here = nodes.back();
            const int there = g.from[size_t(k)] == here ? g.to[size_t(k)] : g.from[size_t(k)];
            walk.push_back(k);
            auto seen = std::find(nodes.begin(), nodes.end(), there);
            if (seen == nodes.end()) {
                nodes.push_back(there);
            } else {
                const size_t at = size_t(seen - nodes.begin());
                Cycle c;
                for (size_t i = at; i < walk.size(); ++i) {
                    c.branches.push_back(walk[i]);
                    c.forward.push_back(g.from[size_t(walk[i])] == nodes[i]);
                }
                out.push_back(c);
                nodes.resize(at + 1);
                walk.resize(at);
            }
            e = unusedAt(nodes.back());
            if (walk.empty() && e < 0) break;
        }
    }
    return out;
}

/// The bounded faces of a plane drawing, as simple cycles run clockwise, in reading order.
std::vector<Cycle> meshes(const Graph& g, const std::vector<bool>& use) {
    // Half-edge h: branch h / 2, leaving its node1 when h is even, its node2 when odd.
    const size_t halves = g.branches.size() * 2;
    std::vector<std::vector<int>> around(g.nodes.size());
    std::vector<double> angle(halves);
    for (size_t k = 0; k < g.branches.size(); ++k) {
        if (!use[k]) continue;
        const std::vector<Point>& l = g.line[k];
        for (int side = 0; side < 2; ++side) {
            const Point p = side == 0 ? l[0] : l.back();
            const Point q = side == 0 ? l[1] : l[l.size() - 2];
            angle[2 * k + size_t(side)] = std::atan2(double(q.y - p.y), double(q.x - p.x));
            around[size_t(side == 0 ? g.from[k] : g.to[k])].push_back(int(2 * k) + side);
        }
    }
    for (auto& list : around)
        std::sort(list.begin(), list.end(),
                  [&](int a, int b) { return angle[size_t(a)] < angle[size_t(b)]; });
    auto head = [&](int h) { return h % 2 == 0 ? g.to[size_t(h / 2)] : g.from[size_t(h / 2)]; };

    struct Face {
        Cycle walk;
        double area;
        double cx, cy;
    };
    std::vector<Face> faces;
    std::vector<bool> done(halves);
    for (size_t start = 0; start < halves; ++start) {
        if (!use[start / 2] || done[start]) continue;
        Face f;
        int h = int(start);
        while (!done[size_t(h)]) {
            done[size_t(h)] = true;
            f.walk.branches.push_back(h / 2);
            f.walk.forward.push_back(h % 2 == 0);
            // At the far end, the next half-edge round the node from the way back: the faces
            // inside then run anticlockwise on the page and the outside one clockwise.
            const std::vector<int>& list = around[size_t(head(h))];
            const size_t back = size_t(std::find(list.begin(), list.end(), h ^ 1) - list.begin());
            h = list[(back + 1) % list.size()];
        }
        const std::vector<Point> pts = outline(g, f.walk);
        f.area = area(pts);
        f.cx = f.cy = 0;
        for (Point p : pts) {
            f.cx += p.x;
            f.cy += p.y;
        }
        f.cx /= double(pts.size());
        f.cy /= double(pts.size());
        if (f.area < -0.5) faces.push_back(f);
    }
    std::sort(faces.begin(), faces.end(), [](const Face& a, const Face& b) {
        return std::make_pair(std::lround(a.cy / 20), a.cx) < std::make_pair(std::lround(b.cy / 20), b.cx);
    });
    std::vector<Cycle> out;
    for (const Face& f : faces) {
        // A branch run both ways hangs into the face and is no part of its boundary.
        std::map<int, int> times;
        for (int b : f.walk.branches)
            times[b]++;
        std::vector<int> edges;
        for (int b : f.walk.branches)
            if (times[b] == 1) edges.push_back(b);
        for (Cycle c : simpleCycles(g, edges))
            out.push_back(area(outline(g, c)) < 0 ? reversed(c) : c);
    }
    return out;
}

/// The fundamental loops of a breadth-first spanning forest: one per branch outside it.
std::vector<Cycle> fundamentalLoops(const Graph& g, const std::vector<bool>& use) {
    const size_t n = g.nodes.size();
    std::vector<int> parentBranch(n, -1), depth(n, -1);
    std::vector<bool> inTree(g.branches.size());
    for (size_t rootNode = 0; rootNode < n; ++rootNode) {
        if (depth[rootNode] >= 0) continue;
        depth[rootNode] = 0;
        std::vector<int> queue{int(rootNode)};
        for (size_t i = 0; i < queue.size(); ++i) {
            const int u = queue[i];
            for (size_t k = 0; k < g.branches.size(); ++k) {
                if (!use[k] || (g.from[k] != u && g.to[k] != u)) continue;
                const int v = g.from[k] == u ? g.to[k] : g.from[k];
                if (depth[size_t(v)] >= 0) continue;
                depth[size_t(v)] = depth[size_t(u)] + 1;
                parentBranch[size_t(v)] = int(k);
                inTree[k] = true;
                queue.push_back(v);
            }
        }
    }
    auto up = [&](int v) {
        const int k = parentBranch[size_t(v)];
        return g.from[size_t(k)] == v ? g.to[size_t(k)] : g.from[size_t(k)];
    };
    std::vector<Cycle> out;
    for (size_t k = 0; k < g.branches.size(); ++k) {
        if (!use[k] || inTree[k]) continue;
        // The branch from its node1 to node2, then the tree back from node2 to node1.
        Cycle c;
        c.branches.push_back(int(k));
        c.forward.push_back(true);
        int a = g.to[k], b = g.from[k];
        std::vector<std::pair<int, bool>> fromA, fromB; // branches met climbing from each end
        while (a != b) {
            if (depth[size_t(a)] >= depth[size_t(b)]) {
                const int pb = parentBranch[size_t(a)];
                fromA.push_back({pb, g.from[size_t(pb)] == a});
                a = up(a);
            } else {
                const int pb = parentBranch[size_t(b)];
                fromB.push_back({pb, g.from[size_t(pb)] != b});
                b = up(b);
            }
        }
        for (auto [branch, forward] : fromA) {
            c.branches.push_back(branch);
            c.forward.push_back(forward);
        }
        for (auto it = fromB.rbegin(); it != fromB.rend(); ++it) {
            c.branches.push_back(it->first);
            c.forward.push_back(it->second);
        }
        out.push_back(area(outline(g, c)) < 0 ? reversed(c) : c);
    }
    return out;
}

/// Vectors over GF(2), kept reduced, to tell whether a cycle is independent of those taken.
class Independence {
  public:
    explicit Independence(size_t bits) : words_((bits + 63) / 64) {}
    bool take(const Cycle& c) {
        std::vector<uint64_t> v(words_);
        for (int b : c.branches)
            v[size_t(b) / 64] ^= uint64_t(1) << (size_t(b) % 64);
        for (const auto& [pivot, row] : rows_)
            if (v[pivot / 64] >> (pivot % 64) & 1)
                for (size_t w = 0; w < words_; ++w)
                    v[w] ^= row[w];
        for (size_t bit = 0; bit < words_ * 64; ++bit)
            if (v[bit / 64] >> (bit % 64) & 1) {
                // Keep the rows reduced at their pivots.
                for (auto& [pivot, row] : rows_)
                    if (row[bit / 64] >> (bit % 64) & 1)
                        for (size_t w = 0; w < words_; ++w)
                            row[w] ^= v[w];
                rows_.push_back({bit, v});
                return true;
            }
        return false;
    }

  private:
    size_t words_;
    std::vector<std::pair<size_t, std::vector<uint64_t>>> rows_;
};

/// The shortest way from node `a` to node `b` over the branches `use` lets in.
std::optional<Cycle> path(const Graph& g, const std::vector<bool>& use, int a, int b) {
    std::vector<int> via(g.nodes.size(), -2);
    via[size_t(a)] = -1;
    std::vector<int> queue{a};
    for (size_t i = 0; i < queue.size() && via[size_t(b)] == -2; ++i) {
        const int u = queue[i];
        for (size_t k = 0; k < g.branches.size(); ++k) {
            if (!use[k] || (g.from[k] != u && g.to[k] != u)) continue;
            const int v = g.from[k] == u ? g.to[k] : g.from[k];
            if (via[size_t(v)] != -2) continue;
            via[size_t(v)] = int(k);
            queue.push_back(v);
        }
    }
    if (via[size_t(b)] == -2) return std::nullopt;
    Cycle c;
    for (int v = b; v != a;) {
        const int k = via[size_t(v)];
        const int u = g.from[size_t(k)] == v ? g.to[size_t(k)] : g.from[size_t(k)];
        c.branches.insert(c.branches.begin(), k);
        c.forward.insert(c.forward.begin(), g.from[size_t(k)] == u);
        v = u;
    }
    return c;
}

std::unique_ptr<NFCont> loopOf(NTBEFizDisp& doc, const Graph& g, const Cycle& c) {
    auto loop = std::make_unique<NFCont>();
    loop->owner = &doc;
    for (size_t i = 0; i < c.branches.size(); ++i) {
        const int k = c.branches[i];
        NFUsel* start = g.nodes[size_t(c.forward[i] ? g.from[size_t(k)] : g.to[size_t(k)])];
        loop->branches.push_back(g.branches[size_t(k)]);
        loop->nodes.push_back(start);
        if (start->isGrounded()) loop->throughGround = 1;
    }
    loop->nodes.push_back(loop->nodes.front());
    doc.nextNumberFor(loop->className(), loop->name);
    loop->name = cutToCharacters(loop->name, kNameLength);
    return loop;
}

} // namespace

FoundLoops findLoops(NTBEFizDisp& doc) {
    FoundLoops found;
    const Graph g = graphOf(doc);
    const size_t nb = g.branches.size();
    int parts = 0;
    partsOf(g, std::vector<bool>(nb, true), parts);
    found.needed = int(nb) - int(g.nodes.size()) + parts;
    if (found.needed > NContDispV::kMaxLoops) {
        found.error = "The scheme has " + std::to_string(found.needed) +
                      " independent loops; the loop list holds at most " +
                      std::to_string(NContDispV::kMaxLoops) + ".";
        return found;
    }

    // Without the current sources, then with those that join parts nothing else joins: such
    // a source lies in more than one loop or none, whatever the set.
    std::vector<bool> use(nb);
    for (size_t k = 0; k < nb; ++k)
        use[k] = !g.source[k];
    int withoutParts = 0;
    std::vector<int> part = partsOf(g, use, withoutParts);
    std::vector<size_t> ownLoop; // current-source branches that get a loop of their own
    {
        std::vector<int> joined(static_cast<size_t>(withoutParts));
        std::iota(joined.begin(), joined.end(), 0);
        auto root = [&](int x) {
            while (joined[size_t(x)] != x)
                x = joined[size_t(x)];
            return x;
        };
        for (size_t k = 0; k < nb; ++k) {
            if (!g.source[k]) continue;
            const int a = root(part[size_t(g.from[k])]), b = root(part[size_t(g.to[k])]);
            if (a != b) {
                joined[size_t(a)] = b;
                use[k] = true;
                found.notes.push_back("branch " + g.branches[k]->name +
                                      ": its current source joins parts that no other branch joins, so it "
                                      "cannot lie in exactly one loop");
            } else {
                ownLoop.push_back(k);
            }
        }
    }

    Independence independence(nb);
    found.meshes = planar(g, use);
    std::vector<Cycle> chosen;
    int wanted = found.needed - int(ownLoop.size());
    if (found.meshes)
        for (const Cycle& c : meshes(g, use))
            if (int(chosen.size()) < wanted && independence.take(c)) chosen.push_back(c);
    if (int(chosen.size()) < wanted) {
        found.meshes = false;
        for (const Cycle& c : fundamentalLoops(g, use))
            if (int(chosen.size()) < wanted && independence.take(c)) chosen.push_back(c);
    }
    // Each remaining current source: its branch, then the shortest way back without sources.
    for (size_t k : ownLoop) {
        std::optional<Cycle> back = path(g, use, g.to[k], g.from[k]);
        if (!back) continue;
        Cycle c;
        c.branches.push_back(int(k));
        c.forward.push_back(true);
        c.branches.insert(c.branches.end(), back->branches.begin(), back->branches.end());
        c.forward.insert(c.forward.end(), back->forward.begin(), back->forward.end());
        // The way the source drives its current.
        uint8_t orientation = 1;
        for (NSetObj* s : g.branches[k]->components())
            if (auto* u = dynamic_cast<NUniSetObj*>(s); u && u->isCurrentSource()) {
                orientation = u->orientation;
                break;
            }
        if (!orientation) c = reversed(c);
        independence.take(c);
        chosen.push_back(c);
    }
    for (size_t k = 0; k < nb; ++k) {
        if (!g.source[k]) continue;
        int in = 0;
        for (const Cycle& c : chosen)
            in += int(std::count(c.branches.begin(), c.branches.end(), int(k)));
        if (in == 0)
            found.notes.push_back("branch " + g.branches[k]->name + ": its current source lies in no loop");
    }
    for (const Cycle& c : chosen)
        found.loops.push_back(loopOf(doc, g, c));
    return found;
}

void replaceLoops(NTBEFizDisp& doc, FoundLoops& found) {
    NContDispV& list = doc.loops();
    list.clear();
    for (auto& loop : found.loops)
        if (list.add(loop.get())) loop.release();
    found.loops.clear();
}

} // namespace qv
