#include "app/schemelayout.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <optional>

#include "platform/segments.h"

namespace qv {

namespace {

constexpr int32_t kGrid = 10;
constexpr int32_t kSlot = 80;      ///< room along a branch for one component with its label
constexpr int32_t kMinGap = 160;   ///< between neighbours in the row
constexpr int32_t kTrack = 40;     ///< between the tracks of arches
constexpr int32_t kSide = 40;      ///< a column beside a node, for a branch leaving sideways
constexpr int32_t kClearance = 10; ///< how close a branch may pass a node not its own

int32_t snap(double v) {
    return int32_t(std::lround(v / kGrid)) * kGrid;
}

/// How two segments meet (the names the layout's rules use).
using Meet = Meeting;

Meet meet(Point a, Point b, Point c, Point d, Point& at) {
    return meetSegments(a, b, c, d, at);
}

double distance(Point p, Point a, Point b) {
    return distanceToSegment(p, a, b);
}

struct Segment {
    Point a, b;
    int branch;
};

/// The drawing so far, and the test a new branch must pass to join it.
class Drawing {
  public:
    Drawing(const std::vector<Point>& nodes, const std::vector<std::pair<int, int>>& ends)
        : nodes_(nodes), ends_(ends) {}

    /// Why `route` of branch `k` cannot be drawn beside what is there, or empty.
    std::string fault(int k, const std::vector<Point>& route, bool rightAngles = true) const {
        if (route.size() < 2) return "branch " + std::to_string(k) + " has no line";
        const auto [n1, n2] = ends_[size_t(k)];
        if (!(route.front() == nodes_[size_t(n1)]) || !(route.back() == nodes_[size_t(n2)]))
            return "branch " + std::to_string(k) + " does not end on its nodes";
        for (size_t i = 0; i + 1 < route.size(); ++i) {
            const Point a = route[i], b = route[i + 1];
            if (a == b) return "branch " + std::to_string(k) + " has a piece of no length";
            if (rightAngles && route.size() > 2 && a.x != b.x && a.y != b.y)
                return "branch " + std::to_string(k) + " has a bent piece that is not horizontal or vertical";
            for (size_t n = 0; n < nodes_.size(); ++n) {
                const Point p = nodes_[n];
                // Only the branch's own ends may lie on it, and only where it ends.
                if ((i == 0 && p == a) || (i + 2 == route.size() && p == b)) continue;
                if (distance(p, a, b) < kClearance)
                    return "branch " + std::to_string(k) + " runs over node " + std::to_string(n);
            }
            // Its own pieces: neighbours share their corner, others nothing.
            for (size_t j = i + 1; j + 1 < route.size(); ++j) {
                Point at;
                const Meet m = meet(a, b, route[j], route[j + 1], at);
                if (m == Meet::None) continue;
                if (j == i + 1 && m == Meet::Touch && at == b) continue;
                return "branch " + std::to_string(k) + " runs over itself";
            }
            const int32_t left = std::min(a.x, b.x), right = std::max(a.x, b.x);
            const int32_t top = std::min(a.y, b.y), bottom = std::max(a.y, b.y);
            for (const Segment& s : segments_) {
                if (std::max(s.a.x, s.b.x) < left || std::min(s.a.x, s.b.x) > right ||
                    std::max(s.a.y, s.b.y) < top || std::min(s.a.y, s.b.y) > bottom)
                    continue;
                Point at;
                switch (meet(a, b, s.a, s.b, at)) {
                case Meet::None:
                case Meet::Cross:
                    break;
                case Meet::Overlap:
                    return "branches " + std::to_string(s.branch) + " and " + std::to_string(k) +
                           " run over each other";
                case Meet::Touch:
                    if (!sharedEnd(k, s, at, a, b))
                        return "branches " + std::to_string(s.branch) + " and " + std::to_string(k) +
                               " touch away from a node";
                }
            }
        }
        return {};
    }

    void add(int k, const std::vector<Point>& route) {
        for (size_t i = 0; i + 1 < route.size(); ++i)
            segments_.push_back({route[i], route[i + 1], k});
    }

  private:
    const std::vector<Point>& nodes_;
    const std::vector<std::pair<int, int>>& ends_;
    std::vector<Segment> segments_;

    /// Two branches may meet only at a node both end on, where both pieces end.
    bool sharedEnd(int k, const Segment& s, Point at, Point a, Point b) const {
        if (!(at == a || at == b) || !(at == s.a || at == s.b)) return false;
        const auto [k1, k2] = ends_[size_t(k)];
        const auto [s1, s2] = ends_[size_t(s.branch)];
        for (int n : {k1, k2})
            if ((n == s1 || n == s2) && nodes_[size_t(n)] == at) return true;
        return false;
    }
};

/// Where along segment a-b (as a distance from a) another segment crosses it.
std::optional<double> crossingAt(Point a, Point b, Point c, Point d) {
    Point at;
    if (meet(a, b, c, d, at) != Meet::Cross) return std::nullopt;
    auto side = [&](Point p) { return double(d.x - c.x) * (p.y - c.y) - double(d.y - c.y) * (p.x - c.x); };
    const double d1 = side(a), d2 = side(b);
    const double t = d1 / (d1 - d2);
    return t * std::hypot(b.x - a.x, b.y - a.y);
}

/// The components of every branch, each centred in a free stretch of one of its pieces (away
/// from its corners and from where other branches cross it), and a place for every branch's
/// name clear of the lines.
void placeComponents(SchemeLayout& out, const LayoutInput& in) {
    const Point hub = in.hub >= 0 ? out.nodes[size_t(in.hub)] : Point{INT32_MIN, INT32_MIN};
    constexpr double kEnd = 35, kAround = 25, kOne = 50;
    out.components.assign(out.routes.size(), {});
    struct Piece {
        Point a, b;
        size_t branch;
    };
    std::vector<Piece> pieces;
    for (size_t k = 0; k < out.routes.size(); ++k)
        for (size_t i = 0; i + 1 < out.routes[k].size(); ++i)
            pieces.push_back({out.routes[k][i], out.routes[k][i + 1], k});
    auto pointAt = [](Point a, Point b, double along, double across) {
        const double len = std::hypot(b.x - a.x, b.y - a.y);
        const double ux = (b.x - a.x) / len, uy = (b.y - a.y) / len;
        return Point{int32_t(std::lround(a.x + ux * along - uy * across)),
                     int32_t(std::lround(a.y + uy * along + ux * across))};
    };
    for (size_t k = 0; k < out.routes.size(); ++k) {
        const std::vector<Point>& route = out.routes[k];
        const int m = in.branches[k].components;
        // The free stretches of each piece.
        struct Choice {
            size_t piece = 0;
            std::vector<std::pair<double, double>> free;
            double longest = -1, length = 0;
        } best;
        for (size_t i = 0; i + 1 < route.size(); ++i) {
            const Point a = route[i], b = route[i + 1];
            const double len = std::hypot(b.x - a.x, b.y - a.y);
            std::vector<double> crossings;
            for (const Piece& p : pieces)
                if (p.branch != k)
                    if (std::optional<double> d = crossingAt(a, b, p.a, p.b)) crossings.push_back(*d);
            std::sort(crossings.begin(), crossings.end());
            Choice c;
            c.piece = i;
            c.length = len;
            // Where the branches to the hub crowd together, no component: a straight line to
            // the hub keeps them on the half away from it, like the rungs of a ladder.
            double from = kEnd, to = len - kEnd;
            if (route.size() == 2 && a == hub) from = std::max(from, len / 2);
            if (route.size() == 2 && b == hub) to = std::min(to, len / 2);
            for (double d : crossings) {
                if (d - kAround > from && d - kAround <= to) c.free.push_back({from, d - kAround});
                from = std::max(from, d + kAround);
            }
            if (to > from) c.free.push_back({from, to});
            for (const auto& [x0, x1] : c.free)
                c.longest = std::max(c.longest, x1 - x0);
            if (std::make_pair(c.longest >= m * kOne, std::make_pair(c.longest, len)) >
                std::make_pair(best.longest >= m * kOne, std::make_pair(best.longest, best.length)))
                best = c;
        }
        const Point a = route[best.piece], b = route[best.piece + 1];
        std::vector<double> at;
        // All in the longest free stretch when it holds them, else stretch by stretch.
        auto widest = std::max_element(best.free.begin(), best.free.end(), [](const auto& x, const auto& y) {
            return x.second - x.first < y.second - y.first;
        });
        if (widest != best.free.end() && widest->second - widest->first >= m * kOne) {
            for (int j = 0; j < m; ++j)
                at.push_back(widest->first + (j + 0.5) * (widest->second - widest->first) / m);
        } else {
            for (const auto& [x0, x1] : best.free) {
                const int room = int((x1 - x0) / kOne);
                for (int j = 0; j < room && int(at.size()) < m; ++j)
                    at.push_back(x0 + (j + 0.5) * (x1 - x0) / room);
            }
            if (int(at.size()) < m) {
                // Crowded: all in the widest free stretch there is, or spread over the piece.
                at.clear();
                const double x0 = widest != best.free.end() ? widest->first : 0;
                const double x1 = widest != best.free.end() ? widest->second : best.length;
                for (int j = 0; j < m; ++j)
                    at.push_back(x0 + (j + 0.5) * (x1 - x0) / m);
            }
        }
        for (double d : at)
            out.components[k].push_back(pointAt(a, b, d, 0));
    }
}

/// A text's box: top left and size.
struct Box {
    int32_t x, y, w, h;
    bool overlaps(const Box& o) const { return x < o.x + o.w && o.x < x + w && y < o.y + o.h && o.y < y + h; }
    bool contains(Point p) const { return p.x >= x && p.x <= x + w && p.y >= y && p.y <= y + h; }
};

bool hits(const Box& box, Point a, Point b) {
    if (box.contains(a) || box.contains(b)) return true;
    const Point c[4] = {
        {box.x, box.y}, {box.x + box.w, box.y}, {box.x + box.w, box.y + box.h}, {box.x, box.y + box.h}};
    for (int i = 0; i < 4; ++i) {
        Point at;
        if (meet(a, b, c[i], c[(i + 1) % 4], at) != Meet::None) return true;
    }
    return false;
}

/// The size a label's text takes: a letter with its index below it, or a line of text.
Box sizeOf(const std::string& text, bool twoPart) {
    int chars = 0;
    for (char c : text)
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++chars;
    return twoPart ? Box{0, 0, 10 + 8 * std::max(chars - 1, 1), 26} : Box{0, 0, 4 + 8 * chars, 16};
}

/// The names of nodes, components and branches where they can be read: each beside what it
/// names, on the first side where it covers no line, no node, no component and no other name.
void placeLabels(SchemeLayout& out, const LayoutInput& in) {
    std::vector<Box> taken;
    std::vector<std::pair<Point, Point>> lines;
    for (const auto& r : out.routes)
        for (size_t i = 0; i + 1 < r.size(); ++i)
            lines.push_back({r[i], r[i + 1]});
    for (const Point& n : out.nodes)
        taken.push_back({n.x - 5, n.y - 5, 10, 10});
    for (const auto& list : out.components)
        for (const Point& c : list)
            taken.push_back({c.x - 17, c.y - 17, 34, 34});
    if (in.hub >= 0) {
        const Point h = out.nodes[size_t(in.hub)];
        lines.push_back({h, out.groundEnd});
    }
    auto clear = [&](const Box& b) {
        const Box grown{b.x - 2, b.y - 2, b.w + 4, b.h + 4};
        for (const Box& t : taken)
            if (grown.overlaps(t)) return false;
        for (const auto& [a, c] : lines)
            if (hits(grown, a, c)) return false;
        return true;
    };
    // The first clear place among `centres`, or the first of them.
    auto place = [&](Box size, const std::vector<Point>& centres) {
        Box chosen{centres.front().x - size.w / 2, centres.front().y - size.h / 2, size.w, size.h};
        for (const Point& c : centres) {
            const Box b{c.x - size.w / 2, c.y - size.h / 2, size.w, size.h};
            if (clear(b)) {
                chosen = b;
                break;
            }
        }
        taken.push_back(chosen);
        return Point{chosen.x, chosen.y};
    };
    auto around = [](Point a, Point b, double along, Box size) {
        // Both sides of the line at `along` from a, far enough for the whole text.
        const double len = std::max(1.0, std::hypot(b.x - a.x, b.y - a.y));
        const double ux = (b.x - a.x) / len, uy = (b.y - a.y) / len;
        const double reach = 6 + std::abs(-uy) * size.w / 2 + std::abs(ux) * size.h / 2;
        std::vector<Point> c;
        for (int side : {-1, 1})
            c.push_back({int32_t(std::lround(a.x + ux * along - side * uy * reach)),
                         int32_t(std::lround(a.y + uy * along + side * ux * reach))});
        return c;
    };

    out.labels.assign(out.nodes.size(), {});
    for (size_t n = 0; n < out.nodes.size(); ++n) {
        const Box size = sizeOf(n < in.nodeLabels.size() ? in.nodeLabels[n] : std::string("00"), false);
        const Point p = out.nodes[n];
        const int32_t dx = size.w / 2 + 6, dy = size.h / 2 + 6;
        std::vector<Point> centres;
        for (int32_t far : {0, 14, 28})
            for (Point d : {Point{dx, -dy}, Point{dx, dy}, Point{-dx, -dy}, Point{-dx, dy}})
                centres.push_back({p.x + d.x + (d.x > 0 ? far : -far), p.y + d.y + (d.y > 0 ? far : -far)});
        out.labels[n] = place(size, centres);
    }
    out.componentLabels.assign(out.routes.size(), {});
    for (size_t k = 0; k < out.routes.size(); ++k) {
        const auto& route = out.routes[k];
        const LayoutInput::Branch& b = in.branches[k];
        for (size_t i = 0; i < out.components[k].size(); ++i) {
            const Point c = out.components[k][i];
            // The piece it sits on.
            size_t piece = 0;
            for (size_t j = 0; j + 1 < route.size(); ++j)
                if (distance(c, route[j], route[j + 1]) < 1) piece = j;
            const Box size =
                sizeOf(i < b.componentLabels.size() ? b.componentLabels[i] : std::string("R1"), true);
            const Point a = route[piece], e = route[piece + 1];
            const double at = std::hypot(c.x - a.x, c.y - a.y);
            std::vector<Point> centres = around(a, e, at, size);
            for (double shift : {20.0, -20.0, 40.0, -40.0})
                for (const Point& q : around(a, e, at + shift, size))
                    centres.push_back(q);
            out.componentLabels[k].push_back(place(size, centres));
        }
    }
    out.branchLabels.assign(out.routes.size(), {});
    for (size_t k = 0; k < out.routes.size(); ++k) {
        const auto& route = out.routes[k];
        const Box size =
            sizeOf(in.branches[k].label.empty() ? std::string("I1") : in.branches[k].label, true);
        std::vector<Point> centres;
        for (size_t i = 0; i + 1 < route.size(); ++i) {
            const double len = std::hypot(route[i + 1].x - route[i].x, route[i + 1].y - route[i].y);
            for (double along = std::min(40.0, len / 2); along < len - 10; along += 15)
                for (const Point& q : around(route[i], route[i + 1], along, size))
                    centres.push_back(q);
        }
        if (centres.empty()) centres.push_back(route.front());
        out.branchLabels[k] = place(size, centres);
    }
}

std::vector<std::pair<int, int>> endsOf(const LayoutInput& in) {
    std::vector<std::pair<int, int>> ends;
    for (const LayoutInput::Branch& b : in.branches)
        ends.push_back({b.node1, b.node2});
    return ends;
}

/// A row order that keeps chains together: depth first from a node of fewest neighbours.
std::vector<int> rowOrder(const LayoutInput& in, bool breadthFirst) {
    std::vector<std::vector<int>> next(size_t(in.nodes));
    for (const LayoutInput::Branch& b : in.branches) {
        if (b.node1 == in.hub || b.node2 == in.hub) continue;
        next[size_t(b.node1)].push_back(b.node2);
        next[size_t(b.node2)].push_back(b.node1);
    }
    for (auto& n : next) {
        std::sort(n.begin(), n.end());
        n.erase(std::unique(n.begin(), n.end()), n.end());
    }
    auto fewer = [&](int a, int b) {
        return std::make_pair(next[size_t(a)].size(), a) < std::make_pair(next[size_t(b)].size(), b);
    };
    std::vector<bool> seen(size_t(in.nodes));
    std::vector<int> order;
    for (int first = 0; first < in.nodes; ++first) {
        if (first == in.hub || seen[size_t(first)]) continue;
        // The part of `first`, and its node of fewest neighbours to start from.
        std::vector<int> part{first};
        std::vector<bool> inPart(size_t(in.nodes));
        inPart[size_t(first)] = true;
        for (size_t i = 0; i < part.size(); ++i)
            for (int m : next[size_t(part[i])])
                if (!inPart[size_t(m)]) {
                    inPart[size_t(m)] = true;
                    part.push_back(m);
                }
        const int start = *std::min_element(part.begin(), part.end(), fewer);
        if (breadthFirst) {
            std::vector<int> queue{start};
            seen[size_t(start)] = true;
            for (size_t i = 0; i < queue.size(); ++i) {
                order.push_back(queue[i]);
                std::vector<int> n = next[size_t(queue[i])];
                std::sort(n.begin(), n.end(), fewer);
                for (int m : n)
                    if (!seen[size_t(m)]) {
                        seen[size_t(m)] = true;
                        queue.push_back(m);
                    }
            }
        } else {
            std::vector<int> stack{start};
            while (!stack.empty()) {
                const int u = stack.back();
                stack.pop_back();
                if (seen[size_t(u)]) continue;
                seen[size_t(u)] = true;
                order.push_back(u);
                std::vector<int> n = next[size_t(u)];
                std::sort(n.begin(), n.end(), fewer);
                for (auto it = n.rbegin(); it != n.rend(); ++it)
                    if (!seen[size_t(*it)]) stack.push_back(*it);
            }
        }
    }
    return order;
}

int32_t need(int components) {
    return components * kSlot + 40;
}

/// `route` without repeated points and without corners on a straight run.
std::vector<Point> tidied(const std::vector<Point>& route) {
    std::vector<Point> out;
    for (Point p : route) {
        if (!out.empty() && out.back() == p) continue;
        if (out.size() >= 2) {
            const Point a = out[out.size() - 2], b = out.back();
            if (int64_t(b.x - a.x) * (p.y - a.y) == int64_t(b.y - a.y) * (p.x - a.x) &&
                (int64_t(b.x - a.x) * (p.x - b.x) + int64_t(b.y - a.y) * (p.y - b.y)) > 0)
                out.pop_back();
        }
        out.push_back(p);
    }
    return out;
}

/// Right-angled ways from u to v that leave u and reach v in any of the four directions, a
/// stub of `a` from each, joined by one corner, then by a way round through a column or a
/// row further out: the last resort before giving up.
std::vector<std::vector<Point>> detours(Point u, Point v) {
    std::vector<std::vector<Point>> out;
    const Point dirs[4] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
    const int32_t stubs[] = {40, 80, 120, 160, 240, 320, 480};
    for (int32_t a : stubs)
        for (Point du : dirs)
            for (Point dv : dirs) {
                const Point p{u.x + du.x * a, u.y + du.y * a}, q{v.x + dv.x * a, v.y + dv.y * a};
                for (Point corner : {Point{q.x, p.y}, Point{p.x, q.y}})
                    out.push_back(tidied({u, p, corner, q, v}));
            }
    for (int32_t a : {40, 120, 320})
        for (Point du : dirs)
            for (Point dv : dirs)
                for (int32_t e : {80, -80, 240, -240}) {
                    const Point p{u.x + du.x * a, u.y + du.y * a}, q{v.x + dv.x * a, v.y + dv.y * a};
                    out.push_back(tidied({u, p, {p.x + e, p.y}, {p.x + e, q.y}, q, v}));
                    out.push_back(tidied({u, p, {p.x, p.y + e}, {q.x, p.y + e}, q, v}));
                }
    return out;
}

/// The free end of the hub's ground symbol: below it, or to a side where no branch runs.
Point groundEndOf(const SchemeLayout& out, Point hub) {
    const Point ends[] = {{0, 60}, {40, 50}, {-40, 50}, {60, 0}, {-60, 0}, {0, -60}};
    for (Point d : ends) {
        const Point e{hub.x + d.x, hub.y + d.y};
        bool clear = true;
        for (const auto& r : out.routes)
            for (size_t i = 0; i + 1 < r.size() && clear; ++i) {
                Point at;
                const Meet m = meet(hub, e, r[i], r[i + 1], at);
                clear =
                    m == Meet::None || (m == Meet::Touch && at == hub && (r[i] == hub || r[i + 1] == hub));
            }
        for (const Point& n : out.nodes)
            clear = clear && (n == hub || distance(n, hub, e) >= kClearance);
        if (clear) return e;
    }
    return {hub.x, hub.y + 60};
}

/// The row layout for one order; none when some branch finds no way.
std::optional<SchemeLayout> rowLayout(const LayoutInput& in, const std::vector<int>& order) {
    const size_t nb = in.branches.size();
    std::vector<int> position(size_t(in.nodes), -1);
    for (size_t i = 0; i < order.size(); ++i)
        position[size_t(order[i])] = int(i);

    // Which branch runs straight between neighbours: the first of each pair.
    std::vector<bool> straight(nb);
    std::vector<bool> pairTaken(order.size());
    for (size_t k = 0; k < nb; ++k) {
        const LayoutInput::Branch& b = in.branches[k];
        if (b.node1 == in.hub || b.node2 == in.hub) continue;
        const int p = position[size_t(b.node1)], q = position[size_t(b.node2)];
        if (std::abs(p - q) == 1 && !pairTaken[size_t(std::min(p, q))]) {
            pairTaken[size_t(std::min(p, q))] = true;
            straight[k] = true;
        }
    }
    // The gaps of the row: room for a straight branch's components, and for an arch's over
    // its whole span (the narrower arches first).
    std::vector<int32_t> gap(order.empty() ? 0 : order.size() - 1, kMinGap);
    std::vector<size_t> arches;
    for (size_t k = 0; k < nb; ++k) {
        const LayoutInput::Branch& b = in.branches[k];
        if (b.node1 == in.hub || b.node2 == in.hub) continue;
        const int p = position[size_t(b.node1)], q = position[size_t(b.node2)];
        if (straight[k])
            gap[size_t(std::min(p, q))] = std::max(gap[size_t(std::min(p, q))], snap(need(b.components) + 5));
        else
            arches.push_back(k);
    }
    auto span = [&](size_t k) {
        return std::abs(position[size_t(in.branches[k].node1)] - position[size_t(in.branches[k].node2)]);
    };
    std::stable_sort(arches.begin(), arches.end(), [&](size_t a, size_t b) { return span(a) < span(b); });
    for (size_t k : arches) {
        const int p =
            std::min(position[size_t(in.branches[k].node1)], position[size_t(in.branches[k].node2)]);
        const int q =
            std::max(position[size_t(in.branches[k].node1)], position[size_t(in.branches[k].node2)]);
        int32_t width = 0;
        for (int i = p; i < q; ++i)
            width += gap[size_t(i)];
        if (width < need(in.branches[k].components))
            gap[size_t(q - 1)] += snap(need(in.branches[k].components) - width + 5);
    }

    SchemeLayout out;
    out.nodes.assign(size_t(in.nodes), Point{});
    int32_t x = 0;
    for (size_t i = 0; i < order.size(); ++i) {
        out.nodes[size_t(order[i])] = {x, 0};
        if (i < gap.size()) x += gap[i];
    }
    const int32_t width = x;
    int hubComponents = 0, below = 0;
    for (const LayoutInput::Branch& b : in.branches)
        if (b.node1 == in.hub || b.node2 == in.hub) hubComponents = std::max(hubComponents, b.components);
    below = int(arches.size());
    int32_t depth = 0;
    if (in.hub >= 0) {
        const int32_t hubX = order.empty() ? 0 : out.nodes[size_t(order[(order.size() - 1) / 2])].x;
        const int32_t half = std::max(hubX, width - hubX);
        depth = snap(std::max(
            {240.0, 0.8 * half, double(need(hubComponents) + 60), double((below + 2) * kTrack + 120)}));
        out.nodes[size_t(in.hub)] = {hubX, depth};
    }

    const std::vector<std::pair<int, int>> ends = endsOf(in);
    Drawing drawing(out.nodes, ends);
    out.routes.assign(nb, {});
    std::vector<size_t> main(nb, 0);
    auto take = [&](size_t k, const std::vector<std::vector<Point>>& candidates,
                    const std::vector<size_t>& mains) {
        for (size_t c = 0; c < candidates.size(); ++c)
            if (drawing.fault(int(k), candidates[c]).empty()) {
                drawing.add(int(k), candidates[c]);
                out.routes[k] = candidates[c];
                main[k] = mains[c];
                return true;
            }
        const LayoutInput::Branch& b = in.branches[k];
        for (const std::vector<Point>& r : detours(out.nodes[size_t(b.node1)], out.nodes[size_t(b.node2)]))
            if (drawing.fault(int(k), r).empty()) {
                drawing.add(int(k), r);
                out.routes[k] = r;
                return true;
            }
        return false;
    };
    const int levels = int(nb) + 2;
    // Straight branches first, then those to the hub, then the arches.
    for (size_t k = 0; k < nb; ++k)
        if (straight[k]) {
            const LayoutInput::Branch& b = in.branches[k];
            if (!take(k, {{out.nodes[size_t(b.node1)], out.nodes[size_t(b.node2)]}}, {0}))
                return std::nullopt;
        }
    for (size_t k = 0; k < nb; ++k) {
        const LayoutInput::Branch& b = in.branches[k];
        if (b.node1 != in.hub && b.node2 != in.hub) continue;
        const bool fromHub = b.node1 == in.hub;
        const Point u = out.nodes[size_t(fromHub ? b.node2 : b.node1)], h = out.nodes[size_t(in.hub)];
        std::vector<std::vector<Point>> c;
        std::vector<size_t> m;
        c.push_back({u, h}); // straight down, or a straight line across
        m.push_back(0);
        c.push_back({u, {u.x, h.y}, h});
        m.push_back(0);
        for (int32_t side : {kSide, -kSide}) {
            c.push_back({u, {u.x + side, u.y}, {u.x + side, h.y}, h});
            m.push_back(1);
        }
        for (int level = 1; level <= levels; ++level) {
            const int32_t t = level * kTrack;
            if (t >= h.y - kTrack) break;
            if (u.x == h.x) continue;
            c.push_back({u, {u.x, t}, {h.x, t}, h});
            m.push_back(1);
        }
        if (fromHub) {
            for (auto& r : c)
                std::reverse(r.begin(), r.end());
            for (size_t i = 0; i < m.size(); ++i)
                m[i] = c[i].size() - 2 - m[i];
        }
        if (!take(k, c, m)) return std::nullopt;
    }
    for (size_t k : arches) {
        const LayoutInput::Branch& b = in.branches[k];
        const bool leftFirst = out.nodes[size_t(b.node1)].x < out.nodes[size_t(b.node2)].x;
        const Point u = out.nodes[size_t(leftFirst ? b.node1 : b.node2)];
        const Point v = out.nodes[size_t(leftFirst ? b.node2 : b.node1)];
        std::vector<std::vector<Point>> c;
        std::vector<size_t> m;
        for (int level = 1; level <= levels; ++level) {
            for (int dir : {-1, 1}) {
                const int32_t t = dir * (level + 1) * kTrack;
                if (dir > 0 && in.hub >= 0 && t >= depth - 2 * kTrack) continue;
                c.push_back({u, {u.x, t}, {v.x, t}, v});
                m.push_back(1);
                c.push_back({u, {u.x + kSide, 0}, {u.x + kSide, t}, {v.x - kSide, t}, {v.x - kSide, 0}, v});
                m.push_back(2);
                c.push_back({u, {u.x, t}, {v.x - kSide, t}, {v.x - kSide, 0}, v});
                m.push_back(1);
                c.push_back({u, {u.x + kSide, 0}, {u.x + kSide, t}, {v.x, t}, v});
                m.push_back(2);
            }
        }
        if (!leftFirst) {
            for (auto& r : c)
                std::reverse(r.begin(), r.end());
            for (size_t i = 0; i < m.size(); ++i)
                m[i] = c[i].size() - 2 - m[i];
        }
        if (!take(k, c, m)) return std::nullopt;
    }
    (void)main;
    if (in.hub >= 0) out.groundEnd = groundEndOf(out, out.nodes[size_t(in.hub)]);
    placeComponents(out, in);
    placeLabels(out, in);
    return out;
}

/// The last resort: the nodes on a circle, the branches as chords, parallel ones bent.
SchemeLayout circleLayout(const LayoutInput& in) {
    SchemeLayout out;
    const int n = std::max(in.nodes, 1);
    int maxComponents = 1;
    for (const LayoutInput::Branch& b : in.branches)
        maxComponents = std::max(maxComponents, b.components);
    const double radius = std::max({300.0, n * 120.0 / M_PI, double(need(maxComponents))});
    for (int i = 0; i < in.nodes; ++i) {
        // Turned a little, so that no two nodes share a row or a column.
        const double angle = 0.3 + 2 * M_PI * i / n;
        out.nodes.push_back({snap(radius * std::cos(angle)), snap(radius * std::sin(angle))});
    }
    const std::vector<std::pair<int, int>> ends = endsOf(in);
    Drawing drawing(out.nodes, ends);
    for (size_t k = 0; k < in.branches.size(); ++k) {
        const Point u = out.nodes[size_t(in.branches[k].node1)], v = out.nodes[size_t(in.branches[k].node2)];
        std::vector<Point> chosen;
        for (const auto& r : std::vector<std::vector<Point>>{{u, v}, {u, {v.x, u.y}, v}, {u, {u.x, v.y}, v}})
            if (drawing.fault(int(k), r).empty()) {
                chosen = r;
                break;
            }
        if (chosen.empty())
            for (const auto& r : detours(u, v))
                if (drawing.fault(int(k), r).empty()) {
                    chosen = r;
                    break;
                }
        if (chosen.empty()) {
            // More branches meet at a node than four right-angled lines and the straight ones
            // can bring there: bent once on the way, still clear of the others.
            out.tidy = false;
            const double dx = v.x - u.x, dy = v.y - u.y, len = std::max(1.0, std::hypot(dx, dy));
            for (int32_t d = kTrack; d <= 40 * kTrack && chosen.empty(); d += kTrack / 2)
                for (int32_t side : {d, -d}) {
                    const Point m{snap((u.x + v.x) / 2.0 - dy / len * side),
                                  snap((u.y + v.y) / 2.0 + dx / len * side)};
                    if (drawing.fault(int(k), {u, m, v}, false).empty()) {
                        chosen = {u, m, v};
                        break;
                    }
                }
            if (chosen.empty()) chosen = {u, v};
        }
        drawing.add(int(k), chosen);
        out.routes.push_back(chosen);
    }
    if (in.hub >= 0) out.groundEnd = groundEndOf(out, out.nodes[size_t(in.hub)]);
    placeComponents(out, in);
    placeLabels(out, in);
    return out;
}

} // namespace

SchemeLayout layOutScheme(const LayoutInput& in) {
    SchemeLayout layout;
    bool found = false;
    for (bool breadth : {false, true}) {
        if (std::optional<SchemeLayout> row = rowLayout(in, rowOrder(in, breadth))) {
            layout = std::move(*row);
            found = true;
            break;
        }
    }
    if (!found) layout = circleLayout(in);
    // The title goes above everything; then the whole drawing moves to the page's top left.
    int32_t left = 0, top = 0;
    for (const auto& r : layout.routes)
        for (Point p : r) {
            left = std::min(left, p.x);
            top = std::min(top, p.y);
        }
    for (const Point& p : layout.labels) {
        left = std::min(left, p.x);
        top = std::min(top, p.y);
    }
    layout.titleAt = {left, top - 50};
    // Whole grid steps, so that the nodes stay on the grid.
    auto steps = [](int32_t v) { return int32_t(std::ceil(v / double(kGrid))) * kGrid; };
    const int32_t dx = steps(60 - left), dy = steps(60 - layout.titleAt.y);
    auto shift = [&](Point& p) { p = {p.x + dx, p.y + dy}; };
    for (Point& p : layout.nodes)
        shift(p);
    for (auto& r : layout.routes)
        for (Point& p : r)
            shift(p);
    for (auto& c : layout.components)
        for (Point& p : c)
            shift(p);
    for (Point& p : layout.branchLabels)
        shift(p);
    for (auto& c : layout.componentLabels)
        for (Point& p : c)
            shift(p);
    for (Point& p : layout.labels)
        shift(p);
    shift(layout.groundEnd);
    shift(layout.titleAt);
    return layout;
}

std::string layoutFault(const std::vector<Point>& nodes, const std::vector<std::vector<Point>>& routes,
                        const std::vector<std::pair<int, int>>& ends, bool rightAngles) {
    Drawing drawing(nodes, ends);
    for (size_t k = 0; k < routes.size(); ++k) {
        std::string why = drawing.fault(int(k), routes[k], rightAngles);
        if (!why.empty()) return why;
        drawing.add(int(k), routes[k]);
    }
    for (size_t i = 0; i < nodes.size(); ++i)
        for (size_t j = i + 1; j < nodes.size(); ++j)
            if (nodes[i] == nodes[j])
                return "nodes " + std::to_string(i) + " and " + std::to_string(j) + " coincide";
    return {};
}

} // namespace qv
