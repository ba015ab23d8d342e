#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "components/components.h"
#include "graphics/primitives.h"
#include "graphics/symbol.h"
#include "model/context.h"
#include "model/document.h"
#include "platform/binarystream.h"
#include "support/recordingcanvas.h"

using namespace qv;
using qv::test::RecordingCanvas;

namespace qv {
static void PrintTo(const Point& p, std::ostream* os) {
    *os << "(" << p.x << "," << p.y << ")";
}
} // namespace qv

namespace {

using Points = std::vector<Point>;

const Pen kLinePen{rgb(200, 0, 0), pmCopy, psDash, 2};
const Pen kRoundPen{rgb(0, 200, 0), pmCopy, psDot, 3};
const Pen kArcPen{rgb(0, 0, 200), pmCopy, psSolid, 4};

/// A template 40 long, in local coordinates (u along the axis, v across it):
///   line (0,0)-(10,0), line (10,-5)-(30,-5), circle at (20,0) r 5,
///   arc about (35,0) r 5 from the ray through (40,0) to the ray through (30,0).
struct Template {
    FizDisp doc;
    Template() {
        doc.elementLength = 40;
        line({0, 0}, {10, 0});
        line({10, -5}, {30, -5});
        auto* c = new NGrRound();
        c->centre = {20, 0};
        c->radius = 5;
        c->pen = kRoundPen;
        c->brush = {rgb(1, 2, 3), bsCross};
        doc.add(c);
        auto* a = new NGrArc();
        a->centre = {35, 0};
        a->radius = 5;
        a->arcStart = {40, 0};
        a->arcEnd = {30, 0};
        a->pen = kArcPen;
        doc.add(a);
        for (NFizObj* o : doc.objects())
            o->owner = &doc;
    }
    void line(Point a, Point b) {
        auto* l = new NGrLine();
        l->setPoints(a, b);
        l->pen = kLinePen;
        doc.add(l);
    }
    std::unique_ptr<NUniGraphObj> symbol() const { return NUniGraphObj::createFromTemplate(doc); }
};

/// Every point the mapping moves, in template order: line ends, circle centre, arc centre and rays.
Points pointsOf(const NUniGraphObj& s) {
    Points out;
    for (const auto& p : s.primitives) {
        if (auto* arc = dynamic_cast<const NGrArc*>(p.get()))
            out.insert(out.end(), {arc->centre, arc->arcStart, arc->arcEnd});
        else if (auto* round = dynamic_cast<const NGrRound*>(p.get()))
            out.push_back(round->centre);
        else if (auto* line = dynamic_cast<const TwoPointGraph*>(p.get()))
            out.insert(out.end(), {line->p1, line->p2});
    }
    return out;
}

const Points kLocal = {{0, 0}, {10, 0}, {10, -5}, {30, -5}, {20, 0}, {35, 0}, {40, 0}, {30, 0}};
// Laid from (100,100) towards (140,100): (u, v) -> (100 + u, 100 + v).
const Points kRightwards = {{100, 100}, {110, 100}, {110, 95},  {130, 95},
                            {120, 100}, {135, 100}, {140, 100}, {130, 100}};
// Laid from (100,100) towards (100,140): (u, v) -> (100 - v, 100 + u); +v lies right of travel.
const Points kDownwards = {{100, 100}, {100, 110}, {105, 110}, {105, 130},
                           {100, 120}, {100, 135}, {100, 140}, {100, 130}};
// The rightwards symbol reversed: laid from (140,100) back towards (100,100).
const Points kReversed = {{140, 100}, {130, 100}, {130, 105}, {110, 105},
                          {120, 100}, {105, 100}, {100, 100}, {110, 100}};

Bytes recordOf(NFizObj& obj) {
    BinaryWriter w;
    obj.saveToStream(w);
    return w.take();
}

} // namespace

TEST(NUniGraphObj, CreatedFromATemplateItHoldsIndependentCopiesInTemplateCoordinates) {
    auto tmpl = std::make_unique<Template>();
    auto s = tmpl->symbol();
    ASSERT_EQ(s->primitives.size(), 4u);
    EXPECT_STREQ(s->primitives[0]->className(), "NGrLine");
    EXPECT_STREQ(s->primitives[2]->className(), "NGrRound");
    EXPECT_STREQ(s->primitives[3]->className(), "NGrArc");
    EXPECT_EQ(pointsOf(*s), kLocal);
    EXPECT_EQ(s->elementLength, 40);
    EXPECT_EQ(s->len, 40); // what a component takes its gap from before the symbol is placed
    EXPECT_EQ(s->p1, (Point{0, 0}));
    EXPECT_EQ(s->p2, (Point{0, 0}));
    EXPECT_EQ(s->primitives[0]->pen, kLinePen);
    EXPECT_EQ(s->primitives[2]->brush, (Brush{rgb(1, 2, 3), bsCross}));

    // The template goes away as soon as a component is made; nothing may still point at it.
    for (const auto& p : s->primitives)
        EXPECT_EQ(p->owner, nullptr);
    static_cast<NGrLine*>(tmpl->doc.objectAt(0))->setPoints({7, 7}, {8, 8});
    tmpl.reset();
    EXPECT_EQ(pointsOf(*s), kLocal);
}

TEST(NUniGraphObj, PlaceTurnsAndShiftsTheTemplateWithoutScalingIt) {
    struct Case {
        Point p1, p2;
        Points expected;
    };
    const Case cases[] = {
        {{100, 100}, {140, 100}, kRightwards},
        {{100, 100}, {100, 140}, kDownwards},
        {{140, 100}, {100, 100}, kReversed},
        {{100, 100}, {300, 100}, kRightwards}, // a longer axis does not stretch the symbol
    };
    for (const Case& c : cases) {
        Template t;
        auto s = t.symbol();
        s->place(c.p1, c.p2);
        EXPECT_EQ(pointsOf(*s), c.expected) << c.p2.x << "," << c.p2.y;
        EXPECT_EQ(s->p1, c.p1);
        EXPECT_EQ(s->p2, c.p2);
        EXPECT_EQ(s->len, std::sqrt(Extended((c.p2.x - c.p1.x) * (c.p2.x - c.p1.x) +
                                             (c.p2.y - c.p1.y) * (c.p2.y - c.p1.y))));
    }
}

TEST(NUniGraphObj, ReverseTurnsTheSymbolEndForEndAndASecondReverseRestoresEveryPoint) {
    // Laid from (100,140) back towards (100,100): (u, v) -> (100 + v, 140 - u).
    const Points upwards = {{100, 140}, {100, 130}, {95, 130},  {95, 110},
                            {100, 120}, {100, 105}, {100, 100}, {100, 110}};
    struct Case {
        Point p1, p2;
        Points placed, reversed;
    };
    const Case cases[] = {{{100, 100}, {140, 100}, kRightwards, kReversed},
                          {{100, 100}, {100, 140}, kDownwards, upwards}};
    for (const Case& c : cases) {
        Template t;
        auto s = t.symbol();
        s->place(c.p1, c.p2);
        s->reverse();
        EXPECT_EQ(s->p1, c.p2);
        EXPECT_EQ(s->p2, c.p1);
        EXPECT_EQ(pointsOf(*s), c.reversed);
        s->reverse();
        EXPECT_EQ(s->p1, c.p1);
        EXPECT_EQ(s->p2, c.p2);
        EXPECT_EQ(pointsOf(*s), c.placed);
    }
}

TEST(NUniGraphObj, ReplaceMovesAPlacedSymbolOntoNewEnds) {
    Template t;
    auto s = t.symbol();
    s->place({0, 0}, {0, -50});
    s->replace({100, 100}, {100, 140});
    EXPECT_EQ(pointsOf(*s), kDownwards);
    EXPECT_EQ(s->p1, (Point{100, 100}));
    EXPECT_EQ(s->p2, (Point{100, 140}));
}

TEST(NUniGraphObj, OnAnObliqueAxisEachMappingMayMoveAPointByOnePixel) {
    FizDisp tmpl;
    tmpl.elementLength = 40;
    auto* l = new NGrLine();
    l->setPoints({10, -5}, {30, -5});
    tmpl.add(l);
    auto s = NUniGraphObj::createFromTemplate(tmpl);
    s->place({123, 77}, {151, 105});
    auto* placed = static_cast<NGrLine*>(s->primitives[0].get());
    EXPECT_EQ(placed->p1, (Point{134, 81}));
    // Mapped back and laid along the plain x axis from the origin, the local coordinates show.
    s->replace({0, 0}, {40, 0});
    EXPECT_EQ(placed->p1, (Point{11, -4}));
}

TEST(NUniGraphObj, CoincidentEndsLeaveThePrimitivesUnmappedUntilADirectionIsGiven) {
    Template t;
    auto s = t.symbol();
    s->place({50, 50}, {50, 50});
    EXPECT_EQ(pointsOf(*s), kLocal);
    s->reverse();
    s->replace({70, 70}, {70, 70});
    EXPECT_EQ(pointsOf(*s), kLocal);
    s->replace({100, 100}, {140, 100});
    EXPECT_EQ(pointsOf(*s), kRightwards);
    // And back onto one point from a placed state: the primitives return to the template.
    s->replace({9, 9}, {9, 9});
    EXPECT_EQ(pointsOf(*s), kLocal);
}

TEST(NUniGraphObj, FreePlacementKeepsTheTemplateLengthAndAddsTheSymbolOnce) {
    NTBEFizDisp doc;
    Template t;
    auto s = t.symbol();
    s->owner = &doc;
    int state = 0;
    s->placePoint(state, 100, 100);
    EXPECT_EQ(state, 1);
    EXPECT_EQ(pointsOf(*s), kLocal);
    s->placePoint(state, 300, 100);
    ASSERT_EQ(state, -1);
    EXPECT_EQ(pointsOf(*s), kRightwards); // 40 long from (100,100); the click only gave the direction
    EXPECT_EQ(s->p2, (Point{300, 100}));
    ASSERT_EQ(doc.objectCount(), 1);
    EXPECT_EQ(doc.objectAt(0), s.get());
    for (const auto& p : s->primitives)
        EXPECT_EQ(p->owner, &doc);

    // A stray click after completion must neither map the symbol again nor add it twice.
    s->placePoint(state, 500, 500);
    EXPECT_EQ(pointsOf(*s), kRightwards);
    EXPECT_EQ(doc.objectCount(), 1);
    s.release(); // the document owns it
}

TEST(NUniGraphObj, FreePlacementInAFullDocumentIsRefusedBeforeTheSecondClickLaysIt) {
    FizDisp doc;
    for (int i = 0; i < FizDisp::kMaxObjects; ++i)
        doc.add(new NGrLine());
    Template t;
    auto s = t.symbol();
    s->owner = &doc;
    int state = 0;
    s->placePoint(state, 100, 100);
    s->placePoint(state, 140, 100);
    EXPECT_EQ(state, 1);
    EXPECT_EQ(pointsOf(*s), kLocal);
    EXPECT_EQ(doc.objectCount(), FizDisp::kMaxObjects);
    auto* messages = static_cast<RecordingMessages*>(doc.context()->messages());
    EXPECT_EQ(messages->shown.size(), 1);
}

TEST(NUniGraphObj, MovingMovesThePrimitivesButNotTheAxisEnds) {
    Template t;
    auto s = t.symbol();
    s->place({100, 100}, {140, 100});
    s->moveBy(5, -7);
    Points moved;
    for (Point p : kRightwards)
        moved.push_back({p.x + 5, p.y - 7});
    EXPECT_EQ(pointsOf(*s), moved);
    EXPECT_EQ(s->p1, (Point{100, 100}));
    EXPECT_EQ(s->p2, (Point{140, 100}));

    // Dragging by the mouse's step (previous minus current position) moves the other way.
    RecordingCanvas canvas;
    s->dragBy(5, -7, &canvas);
    EXPECT_EQ(pointsOf(*s), kRightwards);
    EXPECT_EQ(s->p1, (Point{100, 100}));
    EXPECT_EQ(canvas.pen(), Pen{}); // the inverting pen is not left behind
}

TEST(NUniGraphObj, BoundsHoldEveryPrimitiveWhateverOrderItWritesItsCornersIn) {
    FizDisp tmpl;
    tmpl.elementLength = 10;
    auto* l = new NGrLine();
    l->setPoints({10, 40}, {90, 20}); // a line reports (90, 40, 10, 20): largest first
    tmpl.add(l);
    auto* c = new NGrRound(); // a circle reports (-5, -5, 5, 5): smallest first
    c->radius = 5;
    tmpl.add(c);
    tmpl.add(new NGpolyLine()); // no vertices: reports nothing and must not count as (0,0,0,0)
    auto* far = new NGrRound();
    far->centre = {50, 100};
    far->radius = 2;
    tmpl.add(far);
    auto s = NUniGraphObj::createFromTemplate(tmpl);
    Rect r{1, 2, 3, 4};
    s->getBounds(r);
    EXPECT_EQ(r, (Rect{-5, -5, 90, 102}));

    NUniGraphObj empty;
    Rect untouched{1, 2, 3, 4};
    empty.getBounds(untouched);
    EXPECT_EQ(untouched, (Rect{1, 2, 3, 4}));
}

TEST(NUniGraphObj, HitWhenAnyPrimitiveIsHit) {
    NTBEFizDisp doc;
    Template t;
    auto s = t.symbol();
    s->owner = &doc;
    s->place({100, 100}, {140, 100});
    EXPECT_TRUE(s->hitTest(105, 103));  // the first line
    EXPECT_TRUE(s->hitTest(120, 95));   // the second line and the circle's ring
    EXPECT_TRUE(s->hitTest(135, 95));   // the arc's upper half
    EXPECT_FALSE(s->hitTest(135, 106)); // below the arc, where it is not drawn
    EXPECT_FALSE(s->hitTest(120, 120));
}

TEST(NUniGraphObj, DrawUsesTheCanvasPenButPaintGivesEachPrimitiveItsOwn) {
    Template t;
    auto s = t.symbol();
    s->place({100, 100}, {140, 100});
    const Pen componentPen{rgb(9, 9, 9), pmCopy, psSolid, 1};

    RecordingCanvas drawn;
    drawn.setPen(componentPen);
    s->draw(&drawn);
    ASSERT_EQ(drawn.calls.size(), 4u);
    for (const auto& call : drawn.calls)
        EXPECT_EQ(call.pen, componentPen);

    RecordingCanvas painted;
    painted.setPen(componentPen);
    s->paint(&painted);
    ASSERT_EQ(painted.calls.size(), 4u);
    EXPECT_EQ(painted.calls[0].pen, kLinePen);
    EXPECT_EQ(painted.calls[2].pen, kRoundPen);
    EXPECT_EQ(painted.calls[2].brush, (Brush{rgb(1, 2, 3), bsCross}));
    EXPECT_EQ(painted.calls[3].pen, kArcPen);
    EXPECT_EQ(painted.pen(), componentPen);
}

TEST(NUniGraphObj, PropertiesGiveEveryPrimitiveTheSymbolsPenEvenWhenCancelled) {
    const Pen edited{rgb(5, 6, 7), pmCopy, psDashDot, 6};
    const Pen own{rgb(1, 1, 1), pmNotXor, psDot, 9};
    for (bool pressOk : {true, false}) {
        NTBEFizDisp doc;
        ScriptedPresenter presenter;
        doc.context()->setPresenter(&presenter);
        presenter.scripts.push_back([&](DialogModel& m) {
            m.field("penColor").color = edited.color;
            m.field("penStyle").choice = edited.style;
            m.field("penWidth").choice = edited.width;
            m.field("brushColor").color = rgb(8, 8, 8);
            if (pressOk) return m.ok();
            m.cancel();
            return false;
        });
        Template t;
        auto s = t.symbol();
        s->owner = &doc;
        s->pen = own;
        s->editProperties();
        EXPECT_EQ(presenter.shown, QStringList{"Graphics propertes"});
        const Pen expected = pressOk ? Pen{edited.color, own.mode, edited.style, edited.width} : own;
        EXPECT_EQ(s->pen, expected) << pressOk;
        for (const auto& p : s->primitives)
            EXPECT_EQ(p->pen, expected) << pressOk;
        // The brush stays the primitive's own.
        EXPECT_EQ(s->primitives[2]->brush, (Brush{rgb(1, 2, 3), bsCross}));
        doc.context()->setPresenter(nullptr);
    }
}

TEST(NUniGraphObj, SavedAndLoadedItKeepsItsPlacedPrimitivesLengthAndClasses) {
    Template t;
    auto s = t.symbol();
    s->place({123, 77}, {151, 105});
    Bytes rec = recordOf(*s);

    // After the two-point part (75 bytes): count, length, then a 21-byte class name per primitive.
    BinaryReader head(rec);
    head.seek(75);
    EXPECT_EQ(head.int32(), 4);
    EXPECT_EQ(head.int32(), 40);
    std::string first;
    head.readShortStringRaw(first, 20);
    EXPECT_EQ(first, "NGrLine");
    EXPECT_EQ(head.position(), 75u + 8 + 21);

    NUniGraphObj back;
    BinaryReader r(rec);
    back.loadFromStream(r);
    ASSERT_FALSE(r.failed()) << r.error();
    EXPECT_EQ(r.remaining(), 0u);
    EXPECT_EQ(back.elementLength, 40);
    EXPECT_EQ(back.p1, (Point{123, 77}));
    EXPECT_EQ(back.p2, (Point{151, 105}));
    EXPECT_EQ(pointsOf(back), pointsOf(*s));
    ASSERT_EQ(back.primitives.size(), 4u);
    for (size_t i = 0; i < 4; ++i)
        EXPECT_STREQ(back.primitives[i]->className(), s->primitives[i]->className());
    EXPECT_EQ(back.primitives[3]->pen, kArcPen);
    EXPECT_EQ(recordOf(back), rec);
}

TEST(NUniGraphObj, ARecordWhosePrimitivesAreNotDrawingPrimitivesIsRefused) {
    // The two-point part of an empty symbol, without its count and length.
    NUniGraphObj empty;
    Bytes base = recordOf(empty);
    base.resize(base.size() - 8);
    auto withPrimitive = [&](int32_t count, const std::string& cls, NFizObj* body) {
        BinaryWriter w;
        w.writeRaw(base.data(), base.size());
        w.writeInt32(count);
        w.writeInt32(30);
        w.writeShortStringRaw(cls, 20);
        if (body) body->saveToStream(w);
        return w.take();
    };
    NUniGraphObj inner;
    NUniRes component; // owns a symbol of its own: would nest symbols through a component
    NGrLine line;
    struct Case {
        const char* what;
        Bytes rec;
        const char* message;
    };
    const Case cases[] = {
        {"unknown class", withPrimitive(1, "NGrSpline", &line), "Invalid class name \"NGrSpline\""},
        {"symbol", withPrimitive(1, "NUniGraphObj", &inner), "not a drawing primitive"},
        {"component", withPrimitive(1, "NUniRes", &component), "not a drawing primitive"},
        {"negative count", withPrimitive(-1, "NGrLine", &line), "declares -1 primitives"},
        {"count beyond the bytes", withPrimitive(1000, "NGrLine", &line), "declares 1000 primitives"},
    };
    for (const Case& c : cases) {
        NUniGraphObj s;
        BinaryReader r(c.rec);
        s.loadFromStream(r);
        EXPECT_TRUE(r.failed()) << c.what;
        EXPECT_NE(r.error().find(c.message), std::string::npos) << c.what << ": " << r.error();
    }
    // The same record with a plain line reads.
    NUniGraphObj ok;
    Bytes rec = withPrimitive(1, "NGrLine", &line);
    BinaryReader r(rec);
    ok.loadFromStream(r);
    EXPECT_FALSE(r.failed()) << r.error();
}

TEST(NUniGraphObj, ACopyAddedToTheSchemeIsIndependentOfTheOriginal) {
    NTBEFizDisp doc;
    Template t;
    auto s = t.symbol();
    s->owner = &doc;
    s->place({100, 100}, {140, 100});
    s->addCopyToScheme();
    ASSERT_EQ(doc.objectCount(), 1);
    auto* copy = dynamic_cast<NUniGraphObj*>(doc.objectAt(0));
    ASSERT_NE(copy, nullptr);
    EXPECT_NE(copy, s.get());
    EXPECT_EQ(copy->owner, &doc);
    EXPECT_EQ(copy->elementLength, 40);
    EXPECT_EQ(copy->p1, s->p1);
    EXPECT_EQ(copy->p2, s->p2);
    EXPECT_EQ(pointsOf(*copy), kRightwards);
    copy->moveBy(1, 1);
    EXPECT_EQ(pointsOf(*s), kRightwards);
}
