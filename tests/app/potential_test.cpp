// The "Potential diagram" command: the loop dialog, the profile of the chosen loop from the
// node-voltage solution, and the diagram's picture files.
#include "app/potentialcommand.h"

#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "app/solvecommand.h"
#include "diagrams/loop.h"
#include "support/componentbench.h"

using namespace qv;
using qv::test::ComponentBench;
using qv::test::value;

namespace {

ScriptedPresenter::Script chooseLine(int line) {
    return [line](DialogModel& m) {
        EXPECT_EQ(m.caption(), "Select Loop for voltage diagramm.");
        m.field("loops").choice = line;
        return m.ok();
    };
}

/*  n1 --[E 10 V][R 5]--> n2      b1
     \                    /
      ------[R 5]<-------         b2, from n2 back to n1
    Loop "forward" runs n1 -> b1 -> n2 -> b2 -> n1; loop "back" the other way round. */
struct TwoBranchLoop : ComponentBench, ::testing::Test {
    NTbeNode* n1 = node(0, 0);
    NTbeNode* n2 = node(600, 0);
    NTbeLine* b1 = branch(n1, n2);
    NTbeLine* b2 = branch(n2, n1, {{600, 300}, {0, 300}});
    TwoBranchLoop() {
        place<NUniEds>(150, 0, value("10"));
        place<NUniRes>(400, 0, value("5"));
        place<NUniRes>(300, 300, value("5"));
        addLoop("forward", n1, {b1, b2});
        addLoop("back", n2, {b1, b2});
    }
    void addLoop(const char* name, NTbeNode* start, std::vector<NTbeLine*> path) {
        auto loop = newLoop(doc);
        loop->addNode(start);
        for (NTbeLine* b : path)
            loop->addBranch(b);
        loop->name = name;
        doc.loops().add(loop.release());
    }
    void solve() {
        const SolveResult r = solveScheme(doc, SolveRequest::fromScheme(doc, "node"));
        ASSERT_EQ(r.status, SolveResult::Solved) << r.errors.join(' ').toStdString();
    }
    static std::vector<double> asDoubles(const std::vector<Extended>& v) { return {v.begin(), v.end()}; }
};

} // namespace

TEST_F(TwoBranchLoop, ProfileOfTheChosenLoopFromTheNodeVoltageSolution) {
    solve();
    PotentialDiagram d;
    dialogs.scripts.push_back(chooseLine(0));
    ASSERT_TRUE(choosePotentialDiagram(doc, d));
    // 1 A flows round; the second node is the reference: n1 at -5 V.
    ASSERT_EQ(d.count(), 4);
    EXPECT_EQ(asDoubles(d.abscissas()), (std::vector<double>{0, 0, 5, 10}));
    const double expected[] = {-5, 5, 0, -5};
    for (int i = 0; i < 4; ++i)
        EXPECT_NEAR(double(d.potentials()[size_t(i)]), expected[i], 1e-12) << i;
    const std::vector<Point> p = d.points(PotentialDiagram::kWidth, PotentialDiagram::kHeight);
    ASSERT_EQ(p.size(), 4u);
    EXPECT_EQ(p[0].x, 0);
    EXPECT_EQ(p[1].x, 0) << "the EMF's step stands on the left edge";
    EXPECT_EQ(p[1].y, 0);
    EXPECT_EQ(p[0].y, PotentialDiagram::kHeight);
    EXPECT_EQ(p[3], (Point{PotentialDiagram::kWidth, PotentialDiagram::kHeight}));

    // The other loop starts at n2 and walks b1 from its second node: the resistor first, then
    // the EMF down to n1.
    dialogs.scripts.push_back(chooseLine(1));
    ASSERT_TRUE(choosePotentialDiagram(doc, d));
    EXPECT_EQ(asDoubles(d.abscissas()), (std::vector<double>{0, 5, 5, 10}));
    const double back[] = {0, 5, -5, 0};
    for (int i = 0; i < 4; ++i)
        EXPECT_NEAR(double(d.potentials()[size_t(i)]), back[i], 1e-12) << i;
}

TEST_F(TwoBranchLoop, ChosenLoopSurvivesBetweenCommandsAndNoChoiceShowsNothing) {
    solve();
    const qsizetype shownBefore = dialogs.shown.size();
    PotentialDiagram d;
    // Closed without OK before any choice: the first loop.
    dialogs.scripts.push_back(test::pressCancel);
    ASSERT_TRUE(choosePotentialDiagram(doc, d));
    EXPECT_EQ(asDoubles(d.abscissas()), (std::vector<double>{0, 0, 5, 10}));

    dialogs.scripts.push_back(chooseLine(1));
    ASSERT_TRUE(choosePotentialDiagram(doc, d));
    dialogs.scripts.push_back(test::pressCancel);
    PotentialDiagram again;
    ASSERT_TRUE(choosePotentialDiagram(doc, again));
    EXPECT_EQ(again.abscissas(), d.abscissas()) << "the loop chosen the time before";
    EXPECT_EQ(again.potentials(), d.potentials());

    dialogs.scripts.push_back(chooseLine(-1));
    PotentialDiagram none;
    EXPECT_FALSE(choosePotentialDiagram(doc, none));
    EXPECT_EQ(none.count(), 0);
    EXPECT_EQ(dialogs.shown.size() - shownBefore, 4);
}

TEST_F(TwoBranchLoop, LoopThroughAnElementWithoutDcRecordShowsNothing) {
    place<NUniCon>(100, 300, value("1"));
    PotentialDiagram d;
    dialogs.scripts.push_back(chooseLine(0));
    EXPECT_FALSE(choosePotentialDiagram(doc, d));
    EXPECT_FALSE(loopPotentialDiagram(doc, 2, d));
    EXPECT_FALSE(loopPotentialDiagram(doc, -1, d));
}

TEST_F(TwoBranchLoop, CommandLinePathSolvesFirstAndNamesTheLoops) {
    PotentialDiagram d;
    QString error;
    ASSERT_TRUE(solvedPotentialDiagram(doc, "back", d, error)) << error.toStdString();
    EXPECT_NEAR(double(d.max() - d.min()), 10, 1e-12);
    EXPECT_EQ(d.length(), 10);

    EXPECT_FALSE(solvedPotentialDiagram(doc, "Back", d, error));
    EXPECT_EQ(error, "The scheme has no loop \"Back\"; its loops are: forward, back.");

    place<NUniCon>(100, 300, value("1"));
    bool refused = true;
    EXPECT_FALSE(solvedPotentialDiagram(doc, "forward", d, error, &refused));
    EXPECT_FALSE(refused);
    EXPECT_FALSE(error.isEmpty());
}

TEST(PotentialPicture, BitmapUnlessTheNameAsksForPngOrSvg) {
    PotentialDiagram d;
    const Extended phi[] = {3, 7, 3}, x[] = {0, 0, 100};
    d.setProfile(phi, x, 3);
    QTemporaryDir dir;
    struct Case {
        const char* name;
        const char* format;
        QByteArray magic;
    };
    const Case cases[] = {
        {"a.bmp", "BMP", "BM"}, {"b.BMP", "BMP", "BM"},      {"c.pic", "BMP", "BM"},
        {"d", "BMP", "BM"},     {"e.png", "PNG", "\x89PNG"}, {"f.Png", "PNG", "\x89PNG"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = dir.filePath(c.name);
        QString error;
        ASSERT_TRUE(writePotentialPicture(d, path, QSize(600, 400), &error)) << error.toStdString();
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_TRUE(f.readAll().startsWith(c.magic));
        const QImage back(path, c.format);
        ASSERT_EQ(back.size(), QSize(600, 400));
        EXPECT_EQ(back.convertToFormat(QImage::Format_RGB32), d.image(600, 400));
    }

    const QString svg = dir.filePath("g.svg");
    QString error;
    ASSERT_TRUE(writePotentialPicture(d, svg, QSize(477, 285), &error)) << error.toStdString();
    QFile f(svg);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray text = f.readAll();
    EXPECT_TRUE(text.contains("<svg")) << text.left(200).toStdString();
    EXPECT_TRUE(text.contains("viewBox=\"0 0 477 285\""));

    EXPECT_FALSE(writePotentialPicture(d, dir.filePath("no/such/folder/h.bmp"), QSize(10, 10), &error));
    EXPECT_TRUE(error.contains("h.bmp")) << error.toStdString();
}
