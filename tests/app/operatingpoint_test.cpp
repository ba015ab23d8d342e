// The values of a solution beside the scheme: what they read against the numbers of the same
// solve, where they stand, the Results layer, pictures, greying after an edit, and that files
// and the history never see them.
#include "app/operatingpoint.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cmath>
#include <complex>

#include "app/circuitcommands.h"
#include "app/exercises.h"
#include "app/solvecommand.h"
#include "app/workbench.h"
#include "components/branch.h"
#include "platform/canvas.h"
#include "support/testfiles.h"

using namespace qv;
using qv::test::bytesOf;
using qv::test::fixture;

namespace {

/// A label's text read back as a number: "250 mA", "5∠-90.0° V", "3-j·4 V".
std::complex<double> readBack(const QString& text) {
    static const QRegularExpression polar(QString::fromUtf8("^(\\S+)∠(\\S+)° (\\S*)[VA]$"));
    static const QRegularExpression rect(QString::fromUtf8("^(\\S+?)([+-])j·(\\S+) (\\S*)[VA]$"));
    static const QRegularExpression real(QStringLiteral("^(\\S+) (\\S*)[VA]$"));
    auto scale = [](const QString& prefix) {
        static const std::map<QString, double> k = {{"", 1},
                                                    {"k", 1e3},
                                                    {"M", 1e6},
                                                    {"m", 1e-3},
                                                    {"n", 1e-9},
                                                    {"p", 1e-12},
                                                    {QString::fromUtf8("µ"), 1e-6}};
        auto it = k.find(prefix);
        EXPECT_NE(it, k.end()) << prefix.toStdString();
        return it == k.end() ? std::nan("") : it->second;
    };
    if (auto m = polar.match(text); m.hasMatch())
        return std::polar(m.captured(1).toDouble() * scale(m.captured(3)),
                          m.captured(2).toDouble() * M_PI / 180);
    if (auto m = rect.match(text); m.hasMatch()) {
        const double s = scale(m.captured(4)), sign = m.captured(2) == "-" ? -1 : 1;
        return {m.captured(1).toDouble() * s, sign * m.captured(3).toDouble() * s};
    }
    if (auto m = real.match(text); m.hasMatch()) return {m.captured(1).toDouble() * scale(m.captured(2)), 0};
    ADD_FAILURE() << "unreadable label " << text.toStdString();
    return {std::nan(""), 0};
}

std::complex<double> jsonValue(const QJsonValue& v) {
    if (v.isArray()) return {v.toArray().at(0).toDouble(), v.toArray().at(1).toDouble()};
    return {v.toDouble(), 0};
}

const ResultLabel* find(const OperatingPoint& op, ResultLabel::Kind kind, const QString& name) {
    for (const ResultLabel& l : op.labels())
        if (l.kind == kind && l.name == name) return &l;
    return nullptr;
}

struct Solved {
    Workbench wb;
    SolveResult result;
    explicit Solved(const QString& file, const std::string& method = "node") {
        QString error;
        EXPECT_TRUE(wb.openScheme(QFileInfo(file).isAbsolute() ? file : fixture(qPrintable(file)), &error))
            << error.toStdString();
        result = solveScheme(wb.scheme(), SolveRequest::fromScheme(wb.scheme(), method));
        EXPECT_EQ(result.status, SolveResult::Solved) << result.errors.join(' ').toStdString();
        wb.keepSolution(result);
        wb.operatingPoint().shown = true;
    }
    QByteArray svg() {
        QTemporaryDir dir;
        const QString path = dir.filePath("scheme.svg");
        QString error;
        EXPECT_TRUE(wb.exportSchemePicture(path, &error)) << error.toStdString();
        return bytesOf(path);
    }
};

/// Records the texts drawn and their colours.
struct TextRecorder : Canvas {
    std::vector<std::pair<QString, Colour>> texts;
    void text(Point, const QString& s, const FontRec& f, int) override { texts.push_back({s, f.color}); }
    Colour colourOf(const QString& s) const {
        for (const auto& [t, c] : texts)
            if (t == s) return c;
        return 0xFFFFFFFF;
    }
};

const char* const kFixtures[] = {"dc_parallel.tbe", "dc_current_source_ground.tbe", "ac_rlc.tbe"};

} // namespace

TEST(OperatingPoint, LabelsReadBackAsTheJsonOfTheSameSolve) {
    for (const char* file : kFixtures)
        for (const std::string method : {"node", "kirchhoff", "mesh"})
            for (AcResultFormat format : {AcResultFormat::Polar, AcResultFormat::Rectangular}) {
                SCOPED_TRACE(std::string(file) + " " + method +
                             (format == AcResultFormat::Polar ? " polar" : " re+j·im"));
                Solved s(file, method);
                OperatingPoint& op = s.wb.operatingPoint();
                op.setAcFormat(s.wb.scheme(), format);
                const QJsonObject json = solveResultJson(method, s.result);
                size_t expected = 0;
                for (auto [key, kind, field] : {std::tuple{"nodes", ResultLabel::Node, "potential"},
                                                std::tuple{"branches", ResultLabel::Branch, "current"}}) {
                    for (const QJsonValue& v : json.value(key).toArray()) {
                        const QJsonObject o = v.toObject();
                        const QString name = o.value("name").toString();
                        const ResultLabel* l = find(op, kind, name);
                        ASSERT_NE(l, nullptr) << key << " " << name.toStdString();
                        ++expected;
                        const std::complex<double> want = jsonValue(o.value(field));
                        const std::complex<double> got = readBack(l->text);
                        // Four significant digits, the angle to a tenth of a degree.
                        EXPECT_LE(std::abs(got - want), 2e-3 * std::abs(want) + 1e-9)
                            << l->text.toStdString() << " against " << want;
                        if (kind == ResultLabel::Node) {
                            EXPECT_TRUE(l->text.endsWith('V')) << l->text.toStdString();
                        } else {
                            EXPECT_TRUE(l->text.endsWith('A')) << l->text.toStdString();
                            EXPECT_NE(l->arrowTail, l->arrowHead);
                        }
                    }
                }
                EXPECT_GT(expected, 0u);
                EXPECT_EQ(op.labels().size(), expected);
                EXPECT_EQ(op.ac(), json.value("kind").toString() == "ac");
            }
}

TEST(OperatingPoint, ValuesAreWrittenWithPrefixesAndEitherAcForm) {
    const struct {
        Complex value;
        bool ac;
        AcResultFormat format;
        const char* unit;
        const char* text;
    } cases[] = {
        {{0.25L, 0}, false, AcResultFormat::Polar, "A", "250 mA"},
        {{-12, 0}, false, AcResultFormat::Polar, "V", "-12 V"},
        {{1e-20L, 0}, false, AcResultFormat::Polar, "V", "0 V"},   // rounding noise
        {{999.97L, 0}, false, AcResultFormat::Polar, "V", "1 kV"}, // rounds up into the next prefix
        {{0, -5}, true, AcResultFormat::Polar, "V", "5∠-90.0° V"},
        {{-2e-3L, 0}, true, AcResultFormat::Polar, "A", "2∠180.0° mA"},
        {{3, -4}, true, AcResultFormat::Rectangular, "V", "3-j·4 V"},
        {{1500, 1e-15L}, true, AcResultFormat::Rectangular, "V", "1.5+j·0 kV"},
        {{0, 0}, true, AcResultFormat::Polar, "A", "0 A"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(formatResultValue(c.value, c.ac, c.format, QString::fromUtf8(c.unit)).toStdString(),
                  c.text);
}

TEST(OperatingPoint, LabelsCoverNoNodeWireOrEachOther) {
    // The fixtures, and a two-rail ladder of 40 rungs as the netlist import draws it: a
    // crowded drawing across many cells of the placement's grid.
    QTemporaryDir dir;
    QString netlist = "* ladder\nV1 s 0 AC 10\nRS s t1 1\nRD t1 b2 15\n";
    auto bottom = [](int k) { return k == 1 ? QStringLiteral("0") : QStringLiteral("b%1").arg(k); };
    for (int k = 1; k < 40; ++k)
        netlist += QStringLiteral("RT%1 t%1 t%2 %3\nLB%1 %4 %5 1m\nCR%2 t%2 %5 2u\n")
                       .arg(k)
                       .arg(k + 1)
                       .arg(k % 7 + 1)
                       .arg(bottom(k), bottom(k + 1));
    netlist += ".ac lin 1 50 50\n.end\n";
    const QString ladder = dir.filePath("ladder.tbe");
    {
        QFile f(dir.filePath("ladder.cir"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(netlist.toUtf8());
        f.close();
        Workbench wb(dir.path());
        QStringList problems;
        QString error;
        ASSERT_TRUE(importNetlistCommand(wb, f.fileName(), problems)) << problems.join('\n').toStdString();
        ASSERT_TRUE(wb.saveScheme(ladder, &error)) << error.toStdString();
    }
    std::vector<QString> files(std::begin(kFixtures), std::end(kFixtures));
    files.push_back(ladder);
    for (const QString& file : files) {
        SCOPED_TRACE(file.toStdString());
        Solved s(file);
        const auto& labels = s.wb.operatingPoint().labels();
        ASSERT_FALSE(labels.empty());
        for (size_t i = 0; i < labels.size(); ++i) {
            const Rect& a = labels[i].box;
            for (size_t j = i + 1; j < labels.size(); ++j) {
                const Rect& b = labels[j].box;
                EXPECT_FALSE(a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom)
                    << labels[i].text.toStdString() << " over " << labels[j].text.toStdString();
            }
            for (NFizObj* o : s.wb.scheme().objects()) {
                if (auto* n = dynamic_cast<NFUsel*>(o))
                    EXPECT_FALSE(n->x >= a.left - 3 && n->x <= a.right + 3 && n->y >= a.top - 3 &&
                                 n->y <= a.bottom + 3)
                        << labels[i].text.toStdString() << " over node " << n->name;
                if (auto* b = dynamic_cast<NFVetv*>(o))
                    for (NGraphLine* seg : b->segments())
                        for (double t = 0; t <= 1.0; t += 1.0 / 64) {
                            const double x = seg->p1.x + (seg->p2.x - seg->p1.x) * t;
                            const double y = seg->p1.y + (seg->p2.y - seg->p1.y) * t;
                            ASSERT_FALSE(x > a.left && x < a.right && y > a.top && y < a.bottom)
                                << labels[i].text.toStdString() << " over branch " << b->name;
                        }
            }
        }
    }
}

TEST(OperatingPoint, ResultsLayerHidesThemOnThePageAndInPictures) {
    Solved s("ac_rlc.tbe");
    // The picture's writer draws text as outlines: the values are known by their own colour.
    const QByteArray sample = toQColor(OperatingPoint::font(false).color).name().toUtf8();
    EXPECT_TRUE(s.svg().contains(sample));

    std::vector<bool> ticks(kResultsLayerItem + 1, true);
    ticks[kResultsLayerItem] = false;
    s.wb.setLayerTicks(Page::Scheme, ticks);
    TextRecorder page;
    s.wb.scheme().paint(&page);
    EXPECT_EQ(page.colourOf(s.wb.operatingPoint().labels().front().text), 0xFFFFFFFFu);
    const QByteArray hidden = s.svg();
    EXPECT_FALSE(hidden.contains(sample));
    Rect withoutResults;
    ASSERT_TRUE(s.wb.scheme().getBounds(withoutResults));

    // Ticked again: the picture grows by what the values need, and shows them.
    ticks[kResultsLayerItem] = true;
    s.wb.setLayerTicks(Page::Scheme, ticks);
    Rect withResults;
    ASSERT_TRUE(s.wb.scheme().getBounds(withResults));
    EXPECT_LE(withResults.left, withoutResults.left);
    EXPECT_LE(withResults.top, withoutResults.top);
    EXPECT_TRUE(s.svg().contains(sample));

    // View → "Show results" off hides them as well.
    s.wb.operatingPoint().shown = false;
    EXPECT_FALSE(s.svg().contains(sample));
}

TEST(OperatingPoint, AnEditGreysThemAndNoFileOrStepHoldsThem) {
    QTemporaryDir dir;
    Workbench plain;
    QString error;
    ASSERT_TRUE(plain.openScheme(fixture("dc_parallel.tbe"), &error));
    ASSERT_TRUE(plain.saveScheme(dir.filePath("plain.tbe"), &error)) << error.toStdString();

    Solved s("dc_parallel.tbe");
    OperatingPoint& op = s.wb.operatingPoint();
    const int steps = s.wb.undoStack().count();
    const QString first = op.labels().front().text;
    TextRecorder fresh;
    s.wb.scheme().paint(&fresh);
    EXPECT_EQ(fresh.colourOf(first), OperatingPoint::font(false).color);
    EXPECT_FALSE(op.stale());

    // Saving writes the scheme alone, and showing the values was no step of the history.
    ASSERT_TRUE(s.wb.saveScheme(dir.filePath("solved.tbe"), &error)) << error.toStdString();
    EXPECT_EQ(bytesOf(dir.filePath("solved.tbe")), bytesOf(dir.filePath("plain.tbe")));
    EXPECT_FALSE(bytesOf(dir.filePath("solved.tbe")).contains(first.toUtf8()));
    EXPECT_EQ(s.wb.undoStack().count(), steps);

    // An edit after the solution greys them; undo back to the solved scheme does not.
    s.wb.setAllArrows(true);
    ASSERT_EQ(s.wb.undoStack().count(), steps + 1);
    EXPECT_TRUE(op.stale());
    TextRecorder greyed;
    s.wb.scheme().paint(&greyed);
    EXPECT_EQ(greyed.colourOf(first), OperatingPoint::font(true).color);
    ASSERT_TRUE(s.wb.saveScheme(dir.filePath("edited.tbe"), &error));
    EXPECT_FALSE(bytesOf(dir.filePath("edited.tbe")).contains(first.toUtf8()));
    s.wb.undo();
    EXPECT_FALSE(op.stale());
    s.wb.redo();
    EXPECT_TRUE(op.stale());

    // The next solve replaces them, fresh.
    SolveResult again = solveScheme(s.wb.scheme(), SolveRequest::fromScheme(s.wb.scheme(), "kirchhoff"));
    ASSERT_EQ(again.status, SolveResult::Solved);
    s.wb.keepSolution(again);
    EXPECT_FALSE(op.stale());
    EXPECT_EQ(find(op, ResultLabel::Node, "1"), nullptr); // the Kirchhoff-laws method finds no potentials
    EXPECT_NE(find(op, ResultLabel::Branch, "1"), nullptr);

    // Another scheme opened or imported: the values were not its own.
    ASSERT_TRUE(s.wb.openScheme(fixture("ac_rlc.tbe"), &error));
    EXPECT_FALSE(op.hasResults());
    s.wb.keepSolution(solveScheme(s.wb.scheme(), SolveRequest::fromScheme(s.wb.scheme(), "node")));
    ASSERT_TRUE(op.hasResults());
    QFile netlist(dir.filePath("divider.cir"));
    ASSERT_TRUE(netlist.open(QIODevice::WriteOnly));
    netlist.write("divider\nV1 1 0 10\nR1 1 2 1k\nR2 2 0 1k\n.end\n");
    netlist.close();
    QStringList problems;
    ASSERT_TRUE(importNetlistCommand(s.wb, netlist.fileName(), problems)) << problems.join(' ').toStdString();
    EXPECT_FALSE(op.hasResults());

    // A new exercise replaces the scheme too.
    s.wb.keepSolution(solveScheme(s.wb.scheme(), SolveRequest::fromScheme(s.wb.scheme(), "node")));
    ASSERT_TRUE(op.hasResults());
    ASSERT_TRUE(newExerciseCommand(s.wb, ExerciseOptions{}, error)) << error.toStdString();
    EXPECT_FALSE(op.hasResults());
}
