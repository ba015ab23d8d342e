#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "diagrams/loop.h"
#include "diagrams/looplist.h"
#include "diagrams/potentialdiagram.h"
#include "support/recordingcanvas.h"

using namespace qv;
using qv::test::RecordingCanvas;

namespace {

constexpr int W = PotentialDiagram::kWidth;  // 477
constexpr int H = PotentialDiagram::kHeight; // 285

struct Profile {
    std::vector<Extended> potentials, abscissas;
};

PotentialDiagram diagramOf(const Profile& p) {
    PotentialDiagram d;
    d.setProfile(p.potentials.data(), p.abscissas.data(), int(p.potentials.size()));
    return d;
}

/// The lines painted after the grid's thirteen.
std::vector<std::pair<Point, Point>> profileLines(const PotentialDiagram& d, int w = W, int h = H) {
    RecordingCanvas canvas;
    d.paint(canvas, w, h);
    const auto lines = canvas.of("line");
    EXPECT_GE(lines.size(), 13u);
    std::vector<std::pair<Point, Point>> out;
    for (size_t i = 13; i < lines.size(); ++i)
        out.emplace_back(lines[i].points[0], lines[i].points[1]);
    return out;
}

QStringList labelsOf(std::initializer_list<const char*> texts) {
    QStringList out;
    for (const char* t : texts)
        out << QString::fromLatin1(t);
    return out;
}

} // namespace

TEST(PotentialDiagram, GridHasEightRowsFromTheTopAndFiveColumnsWithNoBottomLine) {
    for (auto [w, h] : {std::pair{W, H}, std::pair{960, 600}}) {
        SCOPED_TRACE(w);
        RecordingCanvas canvas;
        diagramOf({{0, 10}, {0, 10}}).paint(canvas, w, h);
        const auto lines = canvas.of("line");
        ASSERT_EQ(lines.size(), 14u);
        for (int k = 0; k < 8; ++k) {
            EXPECT_EQ(lines[size_t(k)].points[0], (Point{0, k * (h / 8)}));
            EXPECT_EQ(lines[size_t(k)].points[1], (Point{w, k * (h / 8)}));
        }
        for (int k = 0; k <= 4; ++k) {
            EXPECT_EQ(lines[size_t(8 + k)].points[0], (Point{k * (w / 4), 0}));
            EXPECT_EQ(lines[size_t(8 + k)].points[1], (Point{k * (w / 4), h}));
        }
        for (const auto& l : lines)
            EXPECT_EQ(l.pen, Pen{}) << "the default pen: black, solid, one pixel";
    }
}

// A loop of two branches: an EMF of 10 V and a resistor of 5 ohms, then a resistor of 5 ohms.
TEST(PotentialDiagram, EmfStepIsAVerticalLineOnTheLeftEdge) {
    const PotentialDiagram d = diagramOf({{0, 10, 5, 0}, {0, 0, 5, 10}});
    EXPECT_EQ(d.count(), 4);
    EXPECT_EQ(d.max(), 10);
    EXPECT_EQ(d.min(), 0);
    EXPECT_EQ(d.length(), 10);
    // sx = 47.7, sy = 28.5: the middle point lies at (238.5, 142.5), both halves rounded to even.
    const auto lines = profileLines(d);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].first, (Point{0, H}));
    EXPECT_EQ(lines[0].second, (Point{0, 0}));
    EXPECT_EQ(lines[1].second, (Point{238, 142}));
    EXPECT_EQ(lines[2].second, (Point{W, H}));
    EXPECT_EQ(d.abscissaLabels(), labelsOf({"2.5", "5", "7.5", "10"}));
    EXPECT_EQ(d.potentialLabels(), labelsOf({"0", "1.25", "2.5", "3.75", "5", "6.25", "7.5", "8.75", "10"}));
}

TEST(PotentialDiagram, LabelsRunFromMinToMaxAndTheAxisNeedNotHoldZero) {
    struct Case {
        const char* what;
        Profile profile;
        QStringList potentials, abscissas;
    };
    const Case cases[] = {
        {"-2 to 6 V",
         {{1, 6, -2, 1}, {0, 2, 3, 4}},
         labelsOf({"-2", "-1", "0", "1", "2", "3", "4", "5", "6"}),
         labelsOf({"1", "2", "3", "4"})},
        {"3 to 7 V",
         {{3, 7, 3}, {0, 0, 100}},
         labelsOf({"3", "3.5", "4", "4.5", "5", "5.5", "6", "6.5", "7"}),
         labelsOf({"25", "50", "75", "100"})},
        // Tenths that binary fractions cannot hold still read as tenths.
        {"0 to 0.8 V",
         {{0.8L, 0}, {0, 0.3L}},
         labelsOf({"0", "0.1", "0.2", "0.3", "0.4", "0.5", "0.6", "0.7", "0.8"}),
         labelsOf({"0.075", "0.15", "0.225", "0.3"})},
        {"large and small",
         {{-1.5e20L, 0}, {0, 1e-7L}},
         labelsOf({"-1.5E20", "-1.3125E20", "-1.125E20", "-9.375E19", "-7.5E19", "-5.625E19", "-3.75E19",
                   "-1.875E19", "0"}),
         labelsOf({"2.5E-8", "5E-8", "7.5E-8", "1E-7"})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const PotentialDiagram d = diagramOf(c.profile);
        EXPECT_EQ(d.potentialLabels(), c.potentials);
        EXPECT_EQ(d.abscissaLabels(), c.abscissas);
    }
    // 3 to 7 V spans the whole height: 7 V on the top edge, 3 V on the bottom one.
    const auto lines = profileLines(diagramOf(cases[1].profile));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].first, (Point{0, H}));
    EXPECT_EQ(lines[0].second, (Point{0, 0}));
    EXPECT_EQ(lines[1].second, (Point{W, H}));
}

TEST(PotentialDiagram, ScaleFollowsTheDrawingAreaSize) {
    const PotentialDiagram d = diagramOf({{0, 10, 5, 0}, {0, 0, 5, 10}});
    const auto lines = profileLines(d, 954, 570);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[1].second, (Point{477, 285}));
    EXPECT_EQ(lines[2].second, (Point{954, 570}));
}

// Profiles whose two potential ends or two abscissa ends coincide are centred on their value.
TEST(PotentialDiagram, DegenerateProfilesAreDrawnWithoutDividingByZero) {
    const Extended nan = std::numeric_limits<Extended>::quiet_NaN();
    const Extended inf = std::numeric_limits<Extended>::infinity();
    struct Case {
        const char* what;
        Profile profile;
        QStringList potentials, abscissas;
        std::vector<std::pair<Point, Point>> lines;
    };
    const Case cases[] = {
        {"all potentials equal: a flat line across the middle",
         {{5, 5, 5}, {0, 2, 4}},
         labelsOf({"4", "4.25", "4.5", "4.75", "5", "5.25", "5.5", "5.75", "6"}),
         labelsOf({"1", "2", "3", "4"}),
         {{{0, 142}, {238, 142}}, {{238, 142}, {W, 142}}}},
        {"no resistor: one vertical step in the middle, at 0 ohms",
         {{0, 12, 0}, {0, 0, 0}},
         labelsOf({"0", "1.5", "3", "4.5", "6", "7.5", "9", "10.5", "12"}),
         labelsOf({"-0.5", "0", "0.5", "1"}),
         {{{238, H}, {238, 0}}, {{238, 0}, {238, H}}}},
        {"one point",
         {{-3}, {0}},
         labelsOf({"-4", "-3.75", "-3.5", "-3.25", "-3", "-2.75", "-2.5", "-2.25", "-2"}),
         labelsOf({"-0.5", "0", "0.5", "1"}),
         {}},
        {"no point",
         {{}, {}},
         labelsOf({"-1", "-0.75", "-0.5", "-0.25", "0", "0.25", "0.5", "0.75", "1"}),
         labelsOf({"-0.5", "0", "0.5", "1"}),
         {}},
        {"a potential that is not a number is left out",
         {{0, nan, 10}, {0, 1, 2}},
         labelsOf({"0", "1.25", "2.5", "3.75", "5", "6.25", "7.5", "8.75", "10"}),
         labelsOf({"0.5", "1", "1.5", "2"}),
         {{{0, H}, {W, 0}}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const PotentialDiagram d = diagramOf(c.profile);
        EXPECT_EQ(d.potentialLabels(), c.potentials);
        EXPECT_EQ(d.abscissaLabels(), c.abscissas);
        EXPECT_EQ(profileLines(d), c.lines);
        EXPECT_FALSE(d.image().isNull());
    }
    // Infinite and huge values: drawn clipped, never a crash.
    for (const Profile& p : {Profile{{0, inf, -inf, 1}, {0, 1, 2, 3}},
                             Profile{{1e4000L, -1e4000L}, {0, 1e-4000L}}, Profile{{1, 2}, {0, inf}}}) {
        const PotentialDiagram d = diagramOf(p);
        for (const auto& [a, b] : profileLines(d))
            for (Point q : {a, b}) {
                EXPECT_LE(std::abs(q.x), 1 << 21);
                EXPECT_LE(std::abs(q.y), 1 << 21);
            }
        EXPECT_FALSE(d.image().isNull());
    }
}

TEST(PotentialDiagram, ImageIsTheDrawingAreaOnWhite) {
    const PotentialDiagram d = diagramOf({{3, 7, 3}, {0, 0, 100}});
    const QImage image = d.image(W, H);
    ASSERT_EQ(image.size(), QSize(W, H));
    EXPECT_EQ(image.pixel(10, 10), qRgb(255, 255, 255));
    // The falling line from (0, 0) to (477, 285) passes through the middle of a grid cell.
    const int x = 200, y = int(std::lround(200.0 * H / W));
    bool black = false;
    for (int dy = -1; dy <= 1; ++dy)
        black = black || image.pixel(x, y + dy) == qRgb(0, 0, 0);
    EXPECT_TRUE(black);
    EXPECT_EQ(image.pixel(x, y - 20), qRgb(255, 255, 255));
    EXPECT_EQ(image.pixel(0, 100), qRgb(0, 0, 0)) << "the left grid line and the step";
}

TEST(PotentialLoopDialog, ListsLoopNamesAndKeepsTheChoiceUntilTheNextOk) {
    NContDisp list(nullptr);
    for (const char* name : {"1", "outer", "3"}) {
        auto* loop = new NFCont;
        loop->name = name;
        list.add(loop);
    }
    PotentialLoopDialog dialog;
    dialog.list = &list;
    EXPECT_EQ(dialog.caption(), "Select Loop for voltage diagramm.");
    EXPECT_FALSE(dialog.hasCancel());
    EXPECT_EQ(dialog.chosen, 0) << "the first loop before any choice";

    dialog.show();
    EXPECT_EQ(dialog.field("loops").items, labelsOf({"1", "outer", "3"}));
    EXPECT_EQ(dialog.field("loops").choice, -1);
    dialog.field("loops").choice = 1;
    EXPECT_TRUE(dialog.ok());
    EXPECT_EQ(dialog.chosen, 1);

    dialog.show(); // closed without OK: the choice stays
    EXPECT_EQ(dialog.field("loops").choice, -1);
    dialog.cancel();
    EXPECT_EQ(dialog.chosen, 1);

    dialog.show(); // OK with no line selected
    EXPECT_TRUE(dialog.ok());
    EXPECT_EQ(dialog.chosen, -1);

    list.remove(list.get(2));
    dialog.show();
    EXPECT_EQ(dialog.field("loops").items, labelsOf({"1", "outer"}));
}
