#include "platform/segments.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace qv {

namespace {

int64_t cross(Point o, Point a, Point b) {
    return int64_t(a.x - o.x) * (b.y - o.y) - int64_t(a.y - o.y) * (b.x - o.x);
}

int sign(int64_t v) {
    return v > 0 ? 1 : v < 0 ? -1 : 0;
}

bool within(Point p, Point a, Point b) {
    return std::min(a.x, b.x) <= p.x && p.x <= std::max(a.x, b.x) && std::min(a.y, b.y) <= p.y &&
           p.y <= std::max(a.y, b.y);
}

} // namespace

Meeting meetSegments(Point a, Point b, Point c, Point d, Point& at) {
    const int o1 = sign(cross(a, b, c)), o2 = sign(cross(a, b, d));
    const int o3 = sign(cross(c, d, a)), o4 = sign(cross(c, d, b));
    if (o1 == 0 && o2 == 0) {
        // Collinear: compare along the longer axis.
        const bool alongX =
            std::abs(b.x - a.x) + std::abs(d.x - c.x) >= std::abs(b.y - a.y) + std::abs(d.y - c.y);
        auto key = [&](Point p) { return alongX ? p.x : p.y; };
        const int32_t lo = std::max(std::min(key(a), key(b)), std::min(key(c), key(d)));
        const int32_t hi = std::min(std::max(key(a), key(b)), std::max(key(c), key(d)));
        if (lo > hi) return Meeting::None;
        if (lo < hi) return Meeting::Overlap;
        at = key(a) == lo ? a : b;
        return Meeting::Touch;
    }
    if (o1 * o2 < 0 && o3 * o4 < 0) return Meeting::Cross;
    if (o1 == 0 && within(c, a, b)) return at = c, Meeting::Touch;
    if (o2 == 0 && within(d, a, b)) return at = d, Meeting::Touch;
    if (o3 == 0 && within(a, c, d)) return at = a, Meeting::Touch;
    if (o4 == 0 && within(b, c, d)) return at = b, Meeting::Touch;
    return Meeting::None;
}

double distanceToSegment(Point p, Point a, Point b) {
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double len2 = dx * dx + dy * dy;
    const double t = len2 > 0 ? std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / len2, 0.0, 1.0) : 0.0;
    return std::hypot(p.x - (a.x + t * dx), p.y - (a.y + t * dy));
}

} // namespace qv
