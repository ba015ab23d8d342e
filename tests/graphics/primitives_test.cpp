#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <numbers>

#include "graphics/primitives.h"
#include "model/context.h"
#include "model/document.h"
#include "platform/binarystream.h"
#include "support/recordingcanvas.h"
#include "support/records.h"

using namespace qv;
using qv::test::RecordingCanvas;

using qv::test::recordOf;

namespace {

constexpr Extended kPi = std::numbers::pi_v<Extended>;

/// A line laid from a to b.
struct Line : NGraphLine {
    Line(Point a, Point b) { setPoints(a, b); }
};

void clickAll(NFizObj& obj, std::initializer_list<Point> clicks, int& state) {
    for (Point p : clicks)
        obj.placePoint(state, p.x, p.y);
}

} // namespace

TEST(RoundCoord, RoundsHalvesToEvenAndClampsWhatDoesNotFit) {
    struct Case {
        Extended v;
        int32_t expected;
    };
    const Case cases[] = {
        {0.5L, 0},
        {1.5L, 2},
        {2.5L, 2},
        {-0.5L, 0},
        {-1.5L, -2},
        {-2.5L, -2},
        {2.49L, 2},
        {2.51L, 3},
        {-2.51L, -3},
        {1e12L, INT32_MAX},
        {-1e12L, INT32_MIN},
        {NAN, 0},
        // Whole numbers, up to the ends of the range.
        {7, 7},
        {-7, -7},
        {0, 0},
        {2147483647.0L, INT32_MAX},
        {-2147483648.0L, INT32_MIN},
        {2147483646.5L, 2147483646},
        {-2147483646.5L, -2147483646},
    };
    for (const Case& c : cases)
        EXPECT_EQ(roundCoord(c.v), c.expected) << double(c.v);
}

TEST(TwoPointGraph, RecalcKeepsSlopeOfTheLastNonVerticalLineAndTreatsAPointAsVertical) {
    Line l({0, 10}, {10, 30});
    EXPECT_DOUBLE_EQ(double(l.k), 2.0);
    EXPECT_DOUBLE_EQ(double(l.b), 10.0);

    l.setPoints({5, 0}, {5, 40}); // vertical: K and B are not touched
    EXPECT_EQ(l.cos, 0);
    EXPECT_EQ(l.sin, 1);
    EXPECT_DOUBLE_EQ(double(l.k), 2.0);
    EXPECT_DOUBLE_EQ(double(l.b), 10.0);
    EXPECT_EQ(l.len, 40);

    l.setPoints({7, 7}, {7, 7});
    EXPECT_EQ(l.len, 0);
    EXPECT_EQ(l.cos, 0);
    EXPECT_EQ(l.sin, 1);
}

TEST(TwoPointGraph, LineHitTestUsesThePickToleranceAndStopsAtTheEnds) {
    NTBEFizDisp doc;
    struct Case {
        Point a, b, probe;
        int tolerance;
        bool hit;
    };
    const Case cases[] = {
        {{0, 100}, {200, 100}, {100, 104}, 4, true}, // 4 px from the middle
        {{0, 100}, {200, 100}, {100, 96}, 4, true},
        {{0, 100}, {200, 100}, {100, 105}, 4, false}, // 5 px
        {{0, 100}, {200, 100}, {203, 100}, 4, false}, // beyond the end, within 4 of it
        {{0, 100}, {200, 100}, {200, 103}, 4, true},
        {{0, 100}, {200, 100}, {100, 120}, 20, true}, // the vector page's tolerance
        {{0, 100}, {200, 100}, {100, 121}, 20, false},
        {{50, 0}, {50, 80}, {53, 40}, 4, true}, // vertical, drawn downwards
        {{50, 80}, {50, 0}, {47, 40}, 4, true}, // vertical, drawn upwards
        {{50, 80}, {50, 0}, {50, 83}, 4, false},
        {{0, 0}, {100, 100}, {50, 53}, 4, true},  // 2.1 px off a diagonal
        {{0, 0}, {100, 100}, {50, 57}, 4, false}, // 4.9 px
        {{30, 30}, {30, 30}, {34, 30}, 4, true},  // a point line: its own row only
        {{30, 30}, {30, 30}, {35, 30}, 4, false},
        {{30, 30}, {30, 30}, {30, 31}, 4, false},
    };
    for (const Case& c : cases) {
        doc.context()->pickTolerance = c.tolerance;
        Line l(c.a, c.b);
        l.owner = &doc;
        EXPECT_EQ(l.hitTest(c.probe.x, c.probe.y), c.hit)
            << "(" << c.a.x << "," << c.a.y << ")-(" << c.b.x << "," << c.b.y << ") at (" << c.probe.x << ","
            << c.probe.y << ")";
    }
}

TEST(TwoPointGraph, BoundsListTheLargerCoordinatesFirst) {
    Line l({10, 40}, {90, 20});
    Rect r;
    l.getBounds(r);
    EXPECT_EQ(r, (Rect{90, 40, 10, 20}));
}

TEST(TwoPointGraph, LocalToWorldMeasuresAcrossToTheRightOfTheDirection) {
    Point p;
    Line({0, 0}, {100, 0}).localToWorld(20, 50, p);
    EXPECT_EQ(p, (Point{50, 20})); // right of a rightward line is below it on screen
    Line({0, 0}, {0, 100}).localToWorld(20, 50, p);
    EXPECT_EQ(p, (Point{-20, 50}));
    Line({0, 0}, {0, 100}).localToWorld(-20, 50, p);
    EXPECT_EQ(p, (Point{20, 50}));
}

TEST(TwoPointGraph, RubberBandErasesAndRedrawsInInvertingModeThenCopies) {
    NGrLine l;
    RecordingCanvas canvas;
    int state = 0;
    l.placePoint(state, 10, 10);
    l.trackTo(state, 50, 60, &canvas);
    ASSERT_EQ(canvas.calls.size(), 2u);
    EXPECT_EQ(canvas.calls[0].points, (std::vector<Point>{{10, 10}, {10, 10}})); // old cursor
    EXPECT_EQ(canvas.calls[1].points, (std::vector<Point>{{10, 10}, {50, 60}}));
    for (const auto& c : canvas.calls)
        EXPECT_EQ(c.pen.mode, kInvertMode);
    EXPECT_EQ(canvas.pen().mode, pmCopy);

    canvas.calls.clear();
    l.trackTo(0, 1, 1, &canvas); // nothing fixed yet: no band
    EXPECT_TRUE(canvas.calls.empty());
}

TEST(NGraphLine, SplitAtLeavesAGapAroundTheFootOfThePoint) {
    struct Case {
        Point a, b, point;
        int gap;
        Point firstEnd, secondStart;
    };
    const Case cases[] = {
        {{0, 0}, {100, 0}, {50, 3}, 10, {45, 0}, {55, 0}},
        {{100, 0}, {0, 0}, {50, -3}, 10, {55, 0}, {45, 0}},
        {{10, 0}, {10, 100}, {13, 50}, 10, {10, 45}, {10, 55}},
        {{10, 100}, {10, 0}, {7, 50}, 10, {10, 55}, {10, 45}},
        {{0, 0}, {30, 40}, {15, 20}, 10, {12, 16}, {18, 24}},
    };
    for (const Case& c : cases) {
        Line l(c.a, c.b);
        l.arrow = 1;
        l.pen.color = rgb(255, 0, 0);
        std::unique_ptr<NGraphLine> first, second;
        l.splitAt(c.point, c.gap, first, second);
        ASSERT_TRUE(first && second);
        EXPECT_EQ(first->p1, c.a);
        EXPECT_EQ(first->p2, c.firstEnd);
        EXPECT_EQ(second->p1, c.secondStart);
        EXPECT_EQ(second->p2, c.b);
        for (NGraphLine* s : {first.get(), second.get()}) {
            EXPECT_EQ(s->arrow, 0);
            EXPECT_EQ(s->pen, Pen{});
            EXPECT_EQ(s->reservedFlag2, 0); // a segment, not a user line
            EXPECT_NEAR(double(s->len), std::hypot(s->p2.x - s->p1.x, s->p2.y - s->p1.y), 1e-9);
        }
    }
}

TEST(NGraphLine, ArrowheadBarbsAreRoundedTwiceFromTheTruncatedMidpoint) {
    struct Case {
        Point a, b;
        Point mid, barb1, barb2;
    };
    const Case cases[] = {
        {{0, 0}, {100, 0}, {50, 0}, {40, -4}, {40, 4}},
        // Cos 0.96, Sin 0.28: rounding 12 - 9.6 first gives 2, and 2 + 1.12 rounds to 3,
        // where a single rounding of 3.52 would give 4.
        {{0, 0}, {24, 7}, {12, 3}, {3, -4}, {1, 4}},
        // The midpoint of -3 and 0 is -1: halves are truncated towards zero.
        {{-3, 0}, {0, 0}, {-1, 0}, {-11, -4}, {-11, 4}},
    };
    for (const Case& c : cases) {
        Line l(c.a, c.b);
        l.arrow = 1;
        RecordingCanvas canvas;
        l.draw(&canvas);
        auto lines = canvas.of("line");
        ASSERT_EQ(lines.size(), 3u);
        EXPECT_EQ(lines[0].points, (std::vector<Point>{c.a, c.b}));
        EXPECT_EQ(lines[1].points, (std::vector<Point>{c.mid, c.barb1}));
        EXPECT_EQ(lines[2].points, (std::vector<Point>{c.mid, c.barb2}));
    }
    RecordingCanvas plain;
    Line({0, 0}, {100, 0}).draw(&plain);
    EXPECT_EQ(plain.calls.size(), 1u);
}

TEST(NGraphLine, MapToFrameAppliesTheTransformEachTimeItIsCalled) {
    Line l({0, 0}, {10, 0});
    // A frame turned by 90 degrees: (u, v) -> (100 - v, 100 + u).
    l.mapToFrame({100, 100}, {100, 200});
    EXPECT_EQ(l.p1, (Point{100, 100}));
    EXPECT_EQ(l.p2, (Point{100, 110}));
    EXPECT_EQ(l.sin, 1);
    l.mapToFrame({100, 100}, {100, 200});
    EXPECT_EQ(l.p1, (Point{0, 200}));
    EXPECT_EQ(l.p2, (Point{-10, 200}));
    EXPECT_EQ(l.cos, -1);

    // A frame at 45 degrees rounds each mapped coordinate.
    Line d({10, 0}, {20, 0});
    d.mapToFrame({0, 0}, {5, 5});
    EXPECT_EQ(d.p1, (Point{7, 7}));
    EXPECT_EQ(d.p2, (Point{14, 14}));

    // A frame without direction (both points the same) only shifts; nothing divides by zero.
    Line s({1, 2}, {3, 4});
    s.mapToFrame({10, 10}, {10, 10});
    EXPECT_EQ(s.p1, (Point{11, 12}));
    EXPECT_EQ(s.p2, (Point{13, 14}));
}

TEST(NGraphLine, ReverseSwapsTheEndsAndTheDirection) {
    Line l({0, 0}, {30, 40});
    l.reverse();
    EXPECT_EQ(l.p1, (Point{30, 40}));
    EXPECT_EQ(l.p2, (Point{0, 0}));
    EXPECT_DOUBLE_EQ(double(l.cos), -0.6);
    EXPECT_DOUBLE_EQ(double(l.sin), -0.8);
}

TEST(NGraphLine, RecordStartsWithTheArrowAndRoundTrips) {
    NGrLine l;
    l.setPoints({1, 2}, {301, 402});
    l.arrow = 1;
    l.pen = {rgb(1, 2, 3), pmCopy, psDash, 3};
    l.brush = {rgb(9, 8, 7), bsCross};
    Bytes rec = recordOf(l);
    // Arrow, the 14-byte object part, the 5-byte brush, two points, four 10-byte reals.
    ASSERT_EQ(rec.size(), 1u + 14 + 5 + 16 + 40);
    EXPECT_EQ(rec[0], 1);

    NGrLine back;
    BinaryReader r(rec);
    back.loadFromStream(r);
    EXPECT_FALSE(r.failed());
    EXPECT_EQ(back.arrow, 1);
    EXPECT_EQ(back.pen, l.pen);
    EXPECT_EQ(back.brush, l.brush);
    EXPECT_EQ(back.p1, l.p1);
    EXPECT_EQ(back.p2, l.p2);
    EXPECT_EQ(back.k, l.k);
    EXPECT_EQ(back.b, l.b);
    EXPECT_EQ(back.sin, l.sin);
    EXPECT_EQ(back.cos, l.cos);
    EXPECT_EQ(recordOf(back), rec);
}

TEST(NGraphLine, LoadingKeepsTheStoredCacheEvenWhenItDisagreesWithThePoints) {
    Line src({0, 0}, {10, 0});
    src.k = 5;
    src.b = -7;
    NGraphLine back(true);
    Bytes rec = recordOf(src);
    BinaryReader r(rec);
    back.loadFromStream(r);
    EXPECT_EQ(back.k, 5);
    EXPECT_EQ(back.b, -7);
}

TEST(NGraphLine, CopyToCopiesTheGeometryThatIsNotStored) {
    NGraphLine l;
    int state = 0;
    clickAll(l, {{0, 0}, {30, 40}}, state);
    l.arrow = 1;
    NGraphLine copy(true);
    l.copyTo(&copy);
    EXPECT_EQ(copy.arrow, 1);
    EXPECT_EQ(copy.len, 50);
    EXPECT_EQ(copy.cursor, (Point{30, 40}));
    EXPECT_EQ(copy.p2, (Point{30, 40}));
    EXPECT_EQ(copy.reservedFlag2, l.reservedFlag2);
}

TEST(NGrLine, PlacementTakesTheDrawingColourAndAddsItselfOnTheSecondClick) {
    NTBEFizDisp doc;
    doc.drawColor = rgb(0, 128, 255);
    auto* l = new NGrLine();
    l->owner = &doc;
    int state = 0;
    l->placePoint(state, 10, 20);
    EXPECT_EQ(state, 1);
    EXPECT_EQ(doc.objectCount(), 0);
    EXPECT_EQ(l->pen.color, 0u);
    l->placePoint(state, 10, 20); // the same point twice
    EXPECT_EQ(state, -1);
    ASSERT_EQ(doc.objectCount(), 1);
    EXPECT_EQ(doc.objectAt(0), l);
    EXPECT_EQ(l->pen.color, doc.drawColor);
    EXPECT_EQ(l->reservedFlag2, 1);
    EXPECT_EQ(l->cos, 0);
    EXPECT_EQ(l->sin, 1);
}

TEST(NGraphObj, PaintUsesTheObjectsPenAndBrushAndRestoresTheCanvas) {
    NGrRound c;
    c.radius = 5;
    c.pen = {rgb(255, 0, 0), pmCopy, psDot, 2};
    c.brush = {rgb(0, 255, 0), bsDiagCross};
    RecordingCanvas canvas;
    Pen before = canvas.pen();
    Brush beforeBrush = canvas.brush();
    c.paint(&canvas);
    ASSERT_EQ(canvas.calls.size(), 1u);
    EXPECT_EQ(canvas.calls[0].pen, c.pen);
    EXPECT_EQ(canvas.calls[0].brush, c.brush);
    EXPECT_EQ(canvas.pen(), before);
    EXPECT_EQ(canvas.brush(), beforeBrush);
}

TEST(NGraphObj, DragByDrawsTwiceInvertedAroundTheMoveAndRestoresThePen) {
    Line l({0, 0}, {10, 0});
    l.pen.width = 3;
    RecordingCanvas canvas;
    canvas.setPen({rgb(1, 1, 1), pmCopy, psDash, 7});
    l.dragBy(5, -2, &canvas); // previous minus current: the line moves by (-5, +2)
    ASSERT_EQ(canvas.calls.size(), 2u);
    EXPECT_EQ(canvas.calls[0].points, (std::vector<Point>{{0, 0}, {10, 0}}));
    EXPECT_EQ(canvas.calls[1].points, (std::vector<Point>{{-5, 2}, {5, 2}}));
    for (const auto& c : canvas.calls) {
        EXPECT_EQ(c.pen.mode, kInvertMode);
        EXPECT_EQ(c.pen.width, 3);
    }
    EXPECT_EQ(canvas.pen(), (Pen{rgb(1, 1, 1), pmCopy, psDash, 7}));
}

TEST(NGraphObj, DrawHighlightedTwiceLeavesThePenAsItWas) {
    Line l({0, 0}, {10, 0});
    l.pen.width = 2;
    RecordingCanvas canvas;
    Pen before = canvas.pen();
    l.drawHighlighted(&canvas);
    l.drawHighlighted(&canvas);
    ASSERT_EQ(canvas.calls.size(), 2u);
    EXPECT_EQ(canvas.calls[0].pen.width, 4);
    EXPECT_EQ(canvas.calls[0].pen.mode, kInvertMode);
    EXPECT_EQ(canvas.pen(), before);
}

TEST(NGrRound, RingHitIsThreePixelsEitherSideOfTheRadius) {
    NGrRound c;
    c.centre = {100, 100};
    c.radius = 20;
    struct Case {
        Point p;
        bool hit;
    };
    const Case cases[] = {{{118, 100}, true}, {{122, 100}, true}, {{117, 100}, false}, {{123, 100}, false},
                          {{100, 78}, true},  {{100, 77}, false}, {{100, 100}, false}};
    for (const Case& c2 : cases)
        EXPECT_EQ(c.hitTest(c2.p.x, c2.p.y), c2.hit) << c2.p.x << "," << c2.p.y;
}

TEST(NGrRound, FarPointsDoNotWrapIntoTheRing) {
    // 65536 squared is 2^32: in 32 bits it would wrap to 0 and land on a small circle.
    NGrRound c;
    c.radius = 1;
    EXPECT_FALSE(c.hitTest(65536, 0));
    EXPECT_FALSE(c.hitTest(-65536, 65536));
}

TEST(NGrRound, DrawsAndBoundsTheRoundedSquareAroundTheCircle) {
    NGrRound c;
    c.centre = {100, 100};
    c.radius = 20.5L; // 79.5 and 120.5 round to the even 80 and 120
    RecordingCanvas canvas;
    c.draw(&canvas);
    ASSERT_EQ(canvas.calls.size(), 1u);
    EXPECT_EQ(canvas.calls[0].kind, "ellipse");
    EXPECT_EQ(canvas.calls[0].points, (std::vector<Point>{{80, 80}, {120, 120}}));
    Rect r;
    c.getBounds(r);
    EXPECT_EQ(r, (Rect{80, 80, 120, 120}));
}

TEST(NGrRound, RadiusZeroDrawsAPointAndIsHitOnlyNearItsCentre) {
    NGrRound c;
    c.centre = {5, 5};
    RecordingCanvas canvas;
    c.draw(&canvas);
    EXPECT_EQ(canvas.calls[0].points, (std::vector<Point>{{5, 5}, {5, 5}}));
    EXPECT_TRUE(c.hitTest(5, 5));
    EXPECT_TRUE(c.hitTest(7, 5));
    EXPECT_FALSE(c.hitTest(8, 5));
}

TEST(NGrRound, PlacementFollowsTheCursorWithAnInvertedOutlineAndAddsTheCircle) {
    NTBEFizDisp doc;
    doc.drawColor = rgb(10, 20, 30);
    auto* c = new NGrRound();
    c->owner = &doc;
    RecordingCanvas canvas;
    int state = 0;
    c->placePoint(state, 50, 50);
    EXPECT_EQ(state, 1);
    c->trackTo(state, 53, 54, &canvas);
    EXPECT_EQ(c->radius, 5);
    auto arcs = canvas.of("arc");
    ASSERT_EQ(arcs.size(), 2u);
    EXPECT_EQ(arcs[1].points[0], (Point{45, 45})); // outline through the new cursor
    EXPECT_EQ(arcs[1].points[1], (Point{55, 55}));
    EXPECT_EQ(arcs[1].points[2], arcs[1].points[3]); // a full circle
    EXPECT_EQ(arcs[1].pen.mode, kInvertMode);
    EXPECT_TRUE(canvas.of("ellipse").empty()); // not filled while tracking
    c->placePoint(state, 50, 60);
    EXPECT_EQ(state, -1);
    EXPECT_EQ(c->radius, 10);
    EXPECT_EQ(c->pen.color, doc.drawColor);
    EXPECT_EQ(doc.objectCount(), 1);
}

TEST(NGrRound, MoveAndMapTouchOnlyTheCentre) {
    NGrRound c;
    c.centre = {10, 0};
    c.radius = 7;
    c.moveBy(5, 5);
    EXPECT_EQ(c.centre, (Point{15, 5}));
    c.mapToFrame({0, 0}, {0, 1}); // (u, v) -> (-v, u)
    EXPECT_EQ(c.centre, (Point{-5, 15}));
    EXPECT_EQ(c.radius, 7);
}

TEST(NGrArc, AngleOfGrowsClockwiseOnScreen) {
    struct Case {
        Point p;
        Extended angle;
    };
    const Case cases[] = {
        {{10, 0}, 0}, {{0, 10}, kPi / 2}, {{-10, 0}, kPi}, {{0, -10}, 3 * kPi / 2}, {{10, -10}, 7 * kPi / 4},
        {{0, 0}, 0}};
    for (const Case& c : cases)
        EXPECT_NEAR(double(NGrArc::angleOf({0, 0}, c.p)), double(c.angle), 1e-12) << c.p.x << "," << c.p.y;
}

TEST(NGrArc, HitTestKeepsToTheCounterClockwiseSweep) {
    struct Case {
        Point start, end, probe;
        bool hit;
    };
    const Case cases[] = {
        // From the ray at 0 to the ray at pi/2 (a1 < a2): through the upper half of the screen.
        {{20, 0}, {0, 20}, {-20, 0}, true},
        {{20, 0}, {0, 20}, {0, -20}, true},
        {{20, 0}, {0, 20}, {14, 14}, false},
        // From pi/2 to 0: the lower right quarter only.
        {{0, 20}, {20, 0}, {14, 14}, true},
        {{0, 20}, {20, 0}, {-20, 0}, false},
        {{0, 20}, {20, 0}, {0, 20}, true},
        // Equal rays: the ring decides.
        {{20, 0}, {20, 0}, {-20, 0}, true},
        // Off the ring.
        {{20, 0}, {0, 20}, {-10, 0}, false},
    };
    for (const Case& c : cases) {
        NGrArc a;
        a.radius = 20;
        a.arcStart = c.start;
        a.arcEnd = c.end;
        EXPECT_EQ(a.hitTest(c.probe.x, c.probe.y), c.hit) << c.probe.x << "," << c.probe.y;
    }
}

TEST(NGrArc, FourClicksFixCentreRadiusAndRaysThenTheArcIsAddedAndDrawn) {
    NTBEFizDisp doc;
    RecordingCanvas canvas;
    doc.setCanvas(&canvas);
    doc.drawColor = rgb(200, 0, 0);
    auto* a = new NGrArc();
    a->owner = &doc;
    int state = 0;
    clickAll(*a, {{100, 100}, {130, 140}}, state);
    EXPECT_EQ(state, 2);
    EXPECT_EQ(a->radius, 50);
    a->placePoint(state, 150, 100);
    EXPECT_EQ(state, 3);
    EXPECT_EQ(a->firstTrack, 1);
    EXPECT_EQ(doc.objectCount(), 0);
    a->placePoint(state, 100, 50);
    EXPECT_EQ(state, -1);
    EXPECT_EQ(a->arcStart, (Point{150, 100}));
    EXPECT_EQ(a->arcEnd, (Point{100, 50}));
    EXPECT_EQ(a->pen.color, doc.drawColor);
    EXPECT_EQ(doc.objectCount(), 1);
    auto arcs = canvas.of("arc");
    ASSERT_EQ(arcs.size(), 1u);
    EXPECT_EQ(arcs[0].points, (std::vector<Point>{{50, 50}, {150, 150}, {150, 100}, {100, 50}}));
    doc.setCanvas(nullptr);
}

TEST(NGrArc, SweepRubberBandFirstErasesTheRadiusCircle) {
    NGrArc a;
    a.centre = {0, 0};
    a.cursor = {0, 30}; // where the radius rubber band left its circle
    a.radius = 10;
    a.arcStart = {30, 0};
    a.firstTrack = 1;
    RecordingCanvas canvas;
    a.trackTo(3, -30, 0, &canvas);
    EXPECT_EQ(a.radius, 30);
    EXPECT_EQ(a.firstTrack, 0);
    auto arcs = canvas.of("arc");
    ASSERT_EQ(arcs.size(), 2u);
    EXPECT_EQ(arcs[0].points[2], arcs[0].points[3]); // the full circle
    EXPECT_EQ(arcs[1].points, (std::vector<Point>{{-30, -30}, {30, 30}, {30, 0}, {-30, 0}}));
    canvas.calls.clear();
    a.trackTo(3, 0, -30, &canvas); // later moves erase the previous sweep
    arcs = canvas.of("arc");
    ASSERT_EQ(arcs.size(), 2u);
    EXPECT_EQ(arcs[0].points[3], (Point{-30, 0}));
    EXPECT_EQ(arcs[1].points[3], (Point{0, -30}));
    EXPECT_EQ(canvas.pen().mode, pmCopy);
}

TEST(NGrArc, MoveAndMapCarryTheRaysWithTheCentre) {
    NGrArc a;
    a.centre = {0, 0};
    a.arcStart = {10, 0};
    a.arcEnd = {0, 10};
    a.moveBy(1, 2);
    EXPECT_EQ(a.centre, (Point{1, 2}));
    EXPECT_EQ(a.arcStart, (Point{11, 2}));
    EXPECT_EQ(a.arcEnd, (Point{1, 12}));
    a.mapToFrame({100, 0}, {100, 5}); // (u, v) -> (100 - v, u)
    EXPECT_EQ(a.centre, (Point{98, 1}));
    EXPECT_EQ(a.arcStart, (Point{98, 11}));
    EXPECT_EQ(a.arcEnd, (Point{88, 1}));
}

TEST(NManypoints, ClicksCollectPointsUntilTheFinishFlagCompletesTheFigure) {
    NTBEFizDisp doc;
    auto* g = new NGpolyGon();
    g->owner = &doc;
    int state = 0;
    clickAll(*g, {{0, 0}, {40, 0}, {40, 30}}, state);
    EXPECT_EQ(state, 3);
    EXPECT_EQ(doc.movePrev, (Point{40, 30}));
    EXPECT_TRUE(g->vertices.empty());
    EXPECT_EQ(doc.objectCount(), 0);
    doc.finishFlag = 1;
    g->placePoint(state, 0, 0);
    doc.finishFlag = 0;
    EXPECT_EQ(state, -1);
    EXPECT_EQ(g->vertices, (std::vector<Point>{{0, 0}, {40, 0}, {40, 30}}));
    EXPECT_TRUE(g->pendingPoints.empty());
    EXPECT_EQ(doc.objectCount(), 1);
    EXPECT_EQ(g->pen, Pen{}); // polygons keep black
}

TEST(NManypoints, SegmentsAreHitWhicheverWayTheyWereDrawnAndOnlyPolygonsClose) {
    NTBEFizDisp doc;
    std::vector<Point> pts{{0, 0}, {0, 100}, {100, 100}};
    NGpolyLine line;
    NGpolyGon gon;
    for (NManypoints* m : {static_cast<NManypoints*>(&line), static_cast<NManypoints*>(&gon)}) {
        m->owner = &doc;
        m->vertices = pts;
    }
    EXPECT_TRUE(line.hitTest(3, 50)); // the segment drawn downwards
    EXPECT_TRUE(line.hitTest(50, 97));
    EXPECT_FALSE(line.hitTest(50, 50)); // on the closing diagonal
    EXPECT_TRUE(gon.hitTest(50, 50));
    EXPECT_FALSE(gon.hitTest(20, 60));

    line.vertices = {{0, 100}, {0, 0}}; // drawn upwards
    EXPECT_TRUE(line.hitTest(-3, 50));
    EXPECT_FALSE(line.hitTest(-5, 50));
}

TEST(NManypoints, OnePointAndEmptyFiguresNeitherCrashNorInventBounds) {
    NGpolyGon one;
    one.vertices = {{7, 9}};
    EXPECT_TRUE(one.hitTest(7, 9)); // its closing segment has length zero
    EXPECT_FALSE(one.hitTest(7, 12));
    RecordingCanvas canvas;
    one.draw(&canvas);
    ASSERT_EQ(canvas.of("polygon").size(), 1u);
    Rect r{1, 2, 3, 4};
    one.getBounds(r);
    EXPECT_EQ(r, (Rect{7, 9, 7, 9}));

    NGpolyLine empty;
    EXPECT_FALSE(empty.hitTest(0, 0));
    r = {1, 2, 3, 4};
    empty.getBounds(r);
    EXPECT_EQ(r, (Rect{1, 2, 3, 4}));
}

TEST(NManypoints, BoundsAreTheBoxOfTheVerticesLargestFirst) {
    NGpolyLine l;
    l.vertices = {{10, 50}, {-5, 20}, {30, 35}};
    Rect r;
    l.getBounds(r);
    EXPECT_EQ(r, (Rect{30, 50, -5, 20}));
}

TEST(NManypoints, DrawsThePolylineOpenAndThePolygonClosedAndFilled) {
    std::vector<Point> pts{{0, 0}, {10, 0}, {10, 10}};
    NGpolyLine line;
    line.vertices = pts;
    NGpolyGon gon;
    gon.vertices = pts;
    gon.brush = {rgb(0, 0, 255), bsSolid};
    RecordingCanvas canvas;
    line.draw(&canvas);
    gon.paint(&canvas);
    ASSERT_EQ(canvas.calls.size(), 2u);
    EXPECT_EQ(canvas.calls[0].kind, "polyline");
    EXPECT_EQ(canvas.calls[0].points, pts);
    EXPECT_EQ(canvas.calls[1].kind, "polygon");
    EXPECT_EQ(canvas.calls[1].points, pts);
    EXPECT_EQ(canvas.calls[1].brush, gon.brush);
}

TEST(NManypoints, RubberBandRedrawsTheFixedSegmentsAndInvertsTheLooseOnes) {
    NTBEFizDisp doc;
    NGpolyGon gon;
    gon.owner = &doc;
    RecordingCanvas canvas;
    int state = 0;

    gon.placePoint(state, 0, 0);
    gon.trackTo(state, 5, 5, &canvas);
    // One point: only the segment to the pointer (a closing one would cancel it out).
    ASSERT_EQ(canvas.calls.size(), 2u);
    EXPECT_EQ(canvas.calls[0].points, (std::vector<Point>{{0, 0}, {0, 0}}));
    EXPECT_EQ(canvas.calls[1].points, (std::vector<Point>{{0, 0}, {5, 5}}));

    gon.placePoint(state, 10, 0);
    canvas.calls.clear();
    gon.trackTo(state, 10, 10, &canvas);
    std::vector<std::vector<Point>> expected{
        {{0, 0}, {10, 0}},   // fixed segment, current mode
        {{10, 0}, {10, 0}},  // erase: last point to the tracking point...
        {{10, 0}, {0, 0}},   // ...and on to the first
        {{10, 0}, {10, 10}}, // draw: last point to the pointer...
        {{10, 10}, {0, 0}},  // ...and on to the first
    };
    ASSERT_EQ(canvas.calls.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(canvas.calls[i].points, expected[i]) << i;
    EXPECT_EQ(canvas.calls[0].pen.mode, pmCopy);
    for (size_t i = 1; i < expected.size(); ++i)
        EXPECT_EQ(canvas.calls[i].pen.mode, kInvertMode);
    EXPECT_EQ(doc.movePrev, (Point{10, 10}));
    EXPECT_EQ(canvas.pen().mode, pmCopy);
}

TEST(NManypoints, MoveByShiftsEveryVertex) {
    NGpolyGon g;
    g.vertices = {{0, 0}, {5, 5}};
    g.moveBy(-1, 2);
    EXPECT_EQ(g.vertices, (std::vector<Point>{{-1, 2}, {4, 7}}));
}

// ---- records ----

namespace {
struct RecordCase {
    const char* name;
    std::function<std::unique_ptr<NFizObj>()> make;
    size_t size;
};

std::vector<RecordCase> recordCases() {
    return {
        {"NGrLine",
         [] {
             auto l = std::make_unique<NGrLine>();
             l->setPoints({-5, 7}, {80, -90});
             return l;
         },
         76},
        {"NGrRound",
         [] {
             auto c = std::make_unique<NGrRound>();
             c->centre = {3, 4};
             c->radius = 12.25L;
             c->brush = {rgb(1, 2, 3), bsBDiagonal};
             return c;
         },
         14 + 5 + 8 + 10},
        {"NGrArc",
         [] {
             auto a = std::make_unique<NGrArc>();
             a->centre = {3, 4};
             a->radius = 9;
             a->arcStart = {12, 4};
             a->arcEnd = {3, -5};
             return a;
         },
         14 + 5 + 8 + 10 + 16},
        {"NGpolyGon",
         [] {
             auto g = std::make_unique<NGpolyGon>();
             g->vertices = {{1, 2}, {3, 4}, {-5, 6}};
             return g;
         },
         14 + 5 + 4 + 24},
        {"NGpolyLine", [] { return std::make_unique<NGpolyLine>(); }, 14 + 5 + 4},
    };
}
} // namespace

TEST(PrimitiveRecords, RoundTripByteForByte) {
    for (const RecordCase& c : recordCases()) {
        auto obj = c.make();
        Bytes rec = recordOf(*obj);
        EXPECT_EQ(rec.size(), c.size) << c.name;
        auto back = c.make();
        // Start from different values so that the read, not the constructor, fills them.
        back->pen.width = 9;
        BinaryReader r(rec);
        back->loadFromStream(r);
        EXPECT_FALSE(r.failed()) << c.name;
        EXPECT_EQ(r.remaining(), 0u) << c.name;
        EXPECT_EQ(recordOf(*back), rec) << c.name;
    }
}

TEST(PrimitiveRecords, PolygonPointsComeBackAndAnEmptyPolylineStoresCountZero) {
    NGpolyGon g;
    g.vertices = {{1, 2}, {3, 4}, {-5, 6}};
    Bytes rec = recordOf(g);
    NGpolyGon back;
    BinaryReader r(rec);
    back.loadFromStream(r);
    EXPECT_EQ(back.vertices, g.vertices);

    NGpolyLine empty;
    Bytes e = recordOf(empty);
    ASSERT_EQ(e.size(), 23u);
    EXPECT_EQ(std::vector<uint8_t>(e.end() - 4, e.end()), (std::vector<uint8_t>{0, 0, 0, 0}));
}

TEST(PrimitiveRecords, ARecordCutShortFailsTheReader) {
    for (const RecordCase& c : recordCases()) {
        auto obj = c.make();
        Bytes rec = recordOf(*obj);
        rec.pop_back();
        auto back = c.make();
        BinaryReader r(rec);
        back->loadFromStream(r);
        EXPECT_TRUE(r.failed()) << c.name;
    }
}

TEST(PrimitiveRecords, AnImpossiblePointCountIsRefusedBeforeAnythingIsAllocated) {
    for (int32_t count : {-1, 4, INT32_MAX}) {
        BinaryWriter w;
        NGpolyGon().NGraphObj::saveToStream(w);
        w.writeInt32(count);
        w.writePoint({1, 1}); // room for one point only
        NGpolyGon g;
        g.vertices = {{9, 9}};
        BinaryReader r(w.bytes());
        g.loadFromStream(r);
        EXPECT_TRUE(r.failed()) << count;
        EXPECT_EQ(g.vertices, (std::vector<Point>{{9, 9}})) << count;
    }
}
