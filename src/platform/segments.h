#pragma once
// How straight pieces of a drawing meet: exact for integer points.
#include "platform/types.h"

namespace qv {

enum class Meeting {
    None,    ///< apart
    Cross,   ///< through each other at a point inside both
    Touch,   ///< at one point that ends at least one of them
    Overlap, ///< along a stretch of both
};

/// How segment a-b meets segment c-d; `at` is the point they touch at.
Meeting meetSegments(Point a, Point b, Point c, Point d, Point& at);

/// Distance from `p` to the segment a-b.
double distanceToSegment(Point p, Point a, Point b);

} // namespace qv
