#include "app/exercises.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFont>
#include <QPainter>
#include <QPdfWriter>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSaveFile>
#include <QTextBlockFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>
#include <cmath>
#include <map>
#include <numbers>

#include "app/circuitcommands.h"
#include "app/netlistimport.h"
#include "app/netlistreader.h"
#include "app/solvecommand.h"
#include "app/workbench.h"
#include "components/branch.h"
#include "components/circuitelement.h"
#include "graphics/labels.h"
#include "graphics/primitives.h"
#include "model/context.h"
#include "model/document.h"
#include "platform/canvas.h"
#include "platform/messages.h"
#include "platform/segments.h"

namespace qv {

namespace {

// The texts of the exercises and their answers, put into the interface's language where used.
const char* const kExerciseTitle = QT_TRANSLATE_NOOP("qv::Report", "Exercise %1");
const char* const kDataTitle = QT_TRANSLATE_NOOP("qv::Report", "Data:");
const char* const kGroundNote = QT_TRANSLATE_NOOP(
    "qv::Report", "The grounded nodes are one point, node 0; the potentials count from it.");
const char* const kFrequencyLine = QT_TRANSLATE_NOOP("qv::Report", "f = %1 Hz");
const char* const kTaskLine = QT_TRANSLATE_NOOP("qv::Report", "Find the currents of all branches %1.");
const char* const kByKirchhoff = QT_TRANSLATE_NOOP("qv::Report", "by Kirchhoff's laws");
const char* const kByMesh = QT_TRANSLATE_NOOP("qv::Report", "by the mesh-current method");
const char* const kByNode = QT_TRANSLATE_NOOP("qv::Report", "by the node-voltage method");
const char* const kExercisesTitle = QT_TRANSLATE_NOOP("qv::Report", "Exercises");
const char* const kAnswersTitle = QT_TRANSLATE_NOOP("qv::Report", "Answers");
QString exerciseText(const char* source) {
    return QCoreApplication::translate("qv::Report", source);
}
const QString kNewExercise = QStringLiteral(QT_TRANSLATE_NOOP("qv::Dialog", "New exercise"));
const QString kKindLabel = QStringLiteral(QT_TRANSLATE_NOOP("qv::Dialog", "Kind of current"));
const QStringList kKinds = {QStringLiteral(QT_TRANSLATE_NOOP("qv::Dialog", "Direct current")),
                            QStringLiteral(QT_TRANSLATE_NOOP("qv::Dialog", "Alternating current"))};
const QString kNodesFromLabel =
    QStringLiteral(QT_TRANSLATE_NOOP("qv::Dialog", "Nodes (the grounded one included), from"));
const QString kNodesToLabel = QStringLiteral(QT_TRANSLATE_NOOP("qv::Dialog", "to"));
const QString kBranchesFromLabel = QStringLiteral(QT_TRANSLATE_NOOP("qv::Dialog", "Branches, from"));
const QString kBranchesToLabel = QStringLiteral(QT_TRANSLATE_NOOP("qv::Dialog", "to"));
const QString kCurrentSourcesLabel =
    QStringLiteral(QT_TRANSLATE_NOOP("qv::Dialog", "Branches with a current source"));
const QString kSeedLabel =
    QStringLiteral(QT_TRANSLATE_NOOP("qv::Dialog", "Seed (the same seed gives the same circuit)"));

constexpr int kDraws = 2000; ///< circuits drawn for one exercise before giving up
/// The E12 series in tenths.
constexpr int kE12[] = {10, 12, 15, 18, 22, 27, 33, 39, 47, 56, 68, 82};

/// From lo to hi, both included; the same on every platform (the standard distributions are
/// not), so that a seed gives the same set everywhere.
int pick(std::mt19937& rng, int lo, int hi) {
    return lo + int(rng() % uint32_t(hi - lo + 1));
}

bool chance(std::mt19937& rng, int percent) {
    return pick(rng, 1, 100) <= percent;
}

/// Every node but the grounded one joins three branches at least (two would make it a point
/// inside one branch), the grounded one two.
int fewestBranches(int nodes) {
    return (3 * (nodes - 1) + 2 + 1) / 2;
}

/// Two branches at most between one pair of nodes (three between the only pair there is).
int mostBranches(int nodes) {
    return nodes == 2 ? 3 : nodes * (nodes - 1);
}

/// The node and branch counts the options allow together: the branches without a current
/// source must join all the nodes, so that no current source stands alone across a cut.
std::vector<std::pair<int, int>> shapes(const ExerciseOptions& o) {
    std::vector<std::pair<int, int>> out;
    for (int n = o.minNodes; n <= o.maxNodes; ++n)
        for (int m = std::max(o.minBranches, fewestBranches(n));
             m <= std::min(o.maxBranches, mostBranches(n)); ++m)
            if (m - o.currentSources >= n - 1) out.push_back({n, m});
    return out;
}

/// A value of the E12 series as text ("4.7", "47", "470").
QString e12Text(int tenths, int decade) {
    // tenths * 10^(decade - 1), kept exact as text.
    QString digits = QString::number(tenths);
    if (decade >= 1) return digits + QString(decade - 1, '0');
    return QStringLiteral("%1.%2").arg(tenths / 10).arg(tenths % 10);
}

double e12Value(int tenths, int decade) {
    return tenths * std::pow(10.0, decade - 1);
}

struct Card {
    char kind;        ///< R L C V I
    QString value;    ///< as the netlist writes it
    QString shown;    ///< as the data states it, after "NAME = "
    QString unitName; ///< the letter the scheme shows for the kind
};

/// The circuit drawn: its netlist and its data; none (an empty netlist) when the branches
/// drawn left a node short of them.
Exercise drawCircuit(const ExerciseOptions& o, std::mt19937& rng) {
    const std::vector<std::pair<int, int>> allowed = shapes(o);
    // First the node count (each equally likely), then a branch count it allows.
    std::vector<int> nodeCounts;
    for (const auto& [n, m] : allowed)
        if (nodeCounts.empty() || nodeCounts.back() != n) nodeCounts.push_back(n);
    const int n = nodeCounts[size_t(pick(rng, 0, int(nodeCounts.size()) - 1))];
    std::vector<int> branchCounts;
    for (const auto& [nn, m] : allowed)
        if (nn == n) branchCounts.push_back(m);
    const int m = branchCounts[size_t(pick(rng, 0, int(branchCounts.size()) - 1))];

    // A spanning tree first (its branches never get a current source), then branches where
    // nodes still lack them.
    std::vector<std::pair<int, int>> edges;
    std::vector<int> degree(static_cast<size_t>(n));
    auto pairs = [&](int a, int b) {
        return int(std::count_if(edges.begin(), edges.end(), [&](const auto& e) {
            return (e.first == a && e.second == b) || (e.first == b && e.second == a);
        }));
    };
    const int parallel = n == 2 ? 3 : 2;
    for (int i = 1; i < n; ++i) {
        const int j = pick(rng, 0, i - 1);
        edges.push_back({i, j});
        ++degree[size_t(i)];
        ++degree[size_t(j)];
    }
    auto lacking = [&](int v) { return degree[size_t(v)] < (v == 0 ? 2 : 3); };
    for (int guard = 0; int(edges.size()) < m && guard < 1000; ++guard) {
        std::vector<int> short_;
        for (int v = 0; v < n; ++v)
            if (lacking(v)) short_.push_back(v);
        const int a =
            short_.empty() ? pick(rng, 0, n - 1) : short_[size_t(pick(rng, 0, int(short_.size()) - 1))];
        const int b = pick(rng, 0, n - 1);
        if (a == b || pairs(a, b) >= parallel) continue;
        edges.push_back({a, b});
        ++degree[size_t(a)];
        ++degree[size_t(b)];
    }
    // A node short of branches would be a point inside one: no such circuit.
    for (int v = 0; v < n; ++v)
        if (lacking(v)) return {};
    // Kinds per branch: current sources on branches outside the tree.
    std::vector<bool> currentSource(edges.size());
    std::vector<int> outside;
    for (size_t k = size_t(n - 1); k < edges.size(); ++k)
        outside.push_back(int(k));
    for (int i = 0; i < o.currentSources && !outside.empty(); ++i) {
        const size_t at = size_t(pick(rng, 0, int(outside.size()) - 1));
        currentSource[size_t(outside[at])] = true;
        outside.erase(outside.begin() + std::ptrdiff_t(at));
    }
    // The order of the branches, and each one's direction, by chance.
    std::vector<size_t> order(edges.size());
    for (size_t k = 0; k < order.size(); ++k)
        order[k] = k;
    for (size_t k = order.size(); k > 1; --k)
        std::swap(order[k - 1], order[size_t(pick(rng, 0, int(k) - 1))]);

    const int frequencies[] = {50, 100, 400, 1000};
    const int frequency = o.ac ? frequencies[pick(rng, 0, 3)] : 0;
    const double omega = 2 * std::numbers::pi * frequency;
    auto resistor = [&]() {
        const int t = kE12[pick(rng, 0, 11)], d = pick(rng, 1, 2);
        return Card{'R', e12Text(t, d), e12Text(t, d) + QString::fromUtf8(" Ω"), "R"};
    };
    auto inductor = [&]() {
        // Millihenry, a reactance between 10 and 500 ohm.
        std::vector<std::pair<int, int>> fit;
        for (int d = 0; d <= 4; ++d)
            for (int t : kE12) {
                const double x = omega * e12Value(t, d) * 1e-3;
                if (x >= 10 && x <= 500) fit.push_back({t, d});
            }
        const auto [t, d] = fit[size_t(pick(rng, 0, int(fit.size()) - 1))];
        return Card{'L', e12Text(t, d) + "m", e12Text(t, d) + " mH", "L"};
    };
    auto capacitor = [&]() {
        // Microfarad, a reactance between 10 and 500 ohm.
        std::vector<std::pair<int, int>> fit;
        for (int d = 0; d <= 4; ++d)
            for (int t : kE12) {
                const double x = 1 / (omega * e12Value(t, d) * 1e-6);
                if (x >= 10 && x <= 500) fit.push_back({t, d});
            }
        const auto [t, d] = fit[size_t(pick(rng, 0, int(fit.size()) - 1))];
        return Card{'C', e12Text(t, d) + "u", e12Text(t, d) + QString::fromUtf8(" µF"), "C"};
    };
    auto source = [&](char kind) {
        const bool emf = kind == 'V';
        const int magnitude = emf ? 5 * pick(rng, 1, o.ac ? 44 : 12) : pick(rng, 1, 5);
        const QString unit = emf ? QStringLiteral(" V") : QStringLiteral(" A");
        const QString letter = emf ? QStringLiteral("E") : QStringLiteral("J");
        if (!o.ac) return Card{kind, QString::number(magnitude), QString::number(magnitude) + unit, letter};
        const int phase = 15 * pick(rng, -6, 6);
        return Card{kind, QStringLiteral("AC %1 %2").arg(magnitude).arg(phase),
                    QString::number(magnitude) + unit + QString::fromUtf8(" ∠ %1°").arg(phase), letter};
    };
    auto passive = [&]() {
        std::vector<Card> cards;
        if (!o.ac) return std::vector<Card>{resistor()};
        switch (pick(rng, 0, 10)) {
        case 0:
        case 1:
        case 2:
            return std::vector<Card>{resistor()};
        case 3:
        case 4:
        case 5:
            return std::vector<Card>{resistor(), inductor()};
        case 6:
        case 7:
        case 8:
            return std::vector<Card>{resistor(), capacitor()};
        case 9:
            return std::vector<Card>{inductor()};
        default:
            return std::vector<Card>{capacitor()};
        }
    };
    std::vector<std::vector<Card>> branchCards(edges.size());
    bool anySource = false;
    for (size_t k : order) {
        std::vector<Card>& cards = branchCards[k];
        if (currentSource[k]) {
            cards.push_back(source('I'));
            if (chance(rng, 50))
                for (Card& c : passive())
                    cards.push_back(c);
            anySource = true;
        } else {
            cards = passive();
            if (chance(rng, 40)) {
                cards.insert(cards.begin() + pick(rng, 0, int(cards.size())), source('V'));
                anySource = true;
            }
        }
    }
    if (!anySource) {
        // No circuit without a source: one more EMF in a branch without a current source.
        const size_t k = order[size_t(pick(rng, 0, int(order.size()) - 1))];
        branchCards[k].insert(branchCards[k].begin(), source('V'));
    }

    Exercise out;
    std::string text = "exercise\n";
    std::map<char, int> numbers;
    int inner = 0;
    for (size_t k : order) {
        auto [a, b] = edges[k];
        if (chance(rng, 50)) std::swap(a, b);
        const std::vector<Card>& cards = branchCards[k];
        std::string at = std::to_string(a);
        for (size_t i = 0; i < cards.size(); ++i) {
            const Card& c = cards[i];
            const std::string there =
                i + 1 == cards.size() ? std::to_string(b) : "x" + std::to_string(++inner);
            const int number = ++numbers[c.kind];
            const bool reversed = (c.kind == 'V' || c.kind == 'I') && chance(rng, 50);
            text += std::string(1, c.kind) + std::to_string(number) + " " +
                    (reversed ? there + " " + at : at + " " + there) + " " + c.value.toStdString() + "\n";
            out.data << QStringLiteral("%1%2 = %3").arg(c.unitName).arg(number).arg(c.shown);
            at = there;
        }
    }
    // The data by kind (sources first), each kind in its numbers' order.
    const QString kinds = QStringLiteral("EJRLC");
    std::stable_sort(out.data.begin(), out.data.end(), [&](const QString& a, const QString& b) {
        const auto key = [&](const QString& line) {
            return std::make_pair(kinds.indexOf(line.front()), line.section(' ', 0, 0).mid(1).toInt());
        };
        return key(a) < key(b);
    });
    if (o.ac) {
        text += ".ac lin 1 " + std::to_string(frequency) + " " + std::to_string(frequency) + "\n";
        out.data << exerciseText(kFrequencyLine).arg(frequency);
    } else {
        text += ".op\n";
    }
    text += ".end\n";
    out.netlist = text;
    return out;
}

/// Builds the netlist into the workbench's scheme with a set of loops found; false when the
/// netlist or the loops cannot be had.
bool build(Workbench& wb, const std::string& netlist) {
    NetlistReading reading = readNetlist(netlist);
    if (!reading.ok()) return false;
    reading.netlist.title.clear(); // the page names the exercise, not the drawing
    buildSchemeFromNetlist(reading.netlist, wb.scheme());
    QStringList notes;
    QString error;
    return putFoundLoops(wb, notes, error) && notes.isEmpty();
}

/// True when no name lies over another or over a line of a branch: the layout places names
/// by estimated sizes, and an exercise must be read without doubt.
bool namesReadable(NTBEFizDisp& doc) {
    std::vector<Rect> names;
    std::vector<std::pair<Point, Point>> lines;
    for (NFizObj* o : doc.objects()) {
        if (auto* e = dynamic_cast<NFizSemEl*>(o); e && e->nameLabel) {
            Rect r;
            e->nameLabel->getBounds(r);
            names.push_back(r);
        }
        if (auto* b = dynamic_cast<NFVetv*>(o))
            for (NGraphLine* l : b->segments())
                lines.push_back({l->p1, l->p2});
    }
    auto inside = [](const Rect& r, Point p) {
        return p.x > r.left && p.x < r.right && p.y > r.top && p.y < r.bottom;
    };
    for (size_t i = 0; i < names.size(); ++i) {
        const Rect& r = names[i];
        for (size_t j = i + 1; j < names.size(); ++j)
            if (r.left < names[j].right && names[j].left < r.right && r.top < names[j].bottom &&
                names[j].top < r.bottom)
                return false;
        const Point corners[4] = {{r.left, r.top}, {r.right, r.top}, {r.right, r.bottom}, {r.left, r.bottom}};
        for (const auto& [a, b] : lines) {
            if (inside(r, a) || inside(r, b)) return false;
            for (int c = 0; c < 4; ++c) {
                Point at;
                if (meetSegments(a, b, corners[c], corners[(c + 1) % 4], at) == Meeting::Cross) return false;
            }
        }
    }
    return true;
}

/// True when every piece of every branch runs across or down the page.
bool rightAngled(NTBEFizDisp& doc) {
    for (NFizObj* o : doc.objects())
        if (auto* b = dynamic_cast<NFVetv*>(o))
            for (NGraphLine* l : b->segments())
                if (std::abs(l->p1.x - l->p2.x) > 2 && std::abs(l->p1.y - l->p2.y) > 2) return false;
    return true;
}

/// True when every method takes the scheme and finds its solution.
bool solvesByEveryMethod(NTBEFizDisp& doc) {
    for (const std::string& method : exerciseMethods()) {
        SolveRequest request = SolveRequest::fromScheme(doc, method);
        request.picture = false;
        if (solveScheme(doc, request).status != SolveResult::Solved) return false;
    }
    return true;
}

QString methodPhrase(const std::string& method) {
    if (method == "kirchhoff") return exerciseText(kByKirchhoff);
    if (method == "mesh") return exerciseText(kByMesh);
    return exerciseText(kByNode);
}

/// The PDF writer's creation time and document identity made fixed, so that the same set
/// gives the same bytes; every replacement keeps its length, so the offsets of the file's
/// cross-reference table stay right.
QByteArray steadyPdf(QByteArray bytes) {
    // Dates: their digits become those of 1 January 2000, midnight; identities: zeros.
    auto blank = [&](const QRegularExpression& pattern, bool date) {
        static const char kSteady[] = "20000101000000000000000000000000";
        QRegularExpressionMatchIterator it = pattern.globalMatch(QString::fromLatin1(bytes));
        while (it.hasNext()) {
            const QRegularExpressionMatch match = it.next();
            for (qsizetype i = match.capturedStart(1), k = 0; i < match.capturedEnd(1); ++i, ++k)
                if (date ? QChar::fromLatin1(bytes[i]).isDigit()
                         : QChar::fromLatin1(bytes[i]).isLetterOrNumber())
                    bytes[i] = date && k < 32 ? kSteady[k] : '0';
        }
    };
    blank(QRegularExpression(QStringLiteral("/CreationDate \\(D:([^)]*)\\)")), true);
    blank(QRegularExpression(QStringLiteral("<xmp:CreateDate>([^<]*)<")), true);
    blank(QRegularExpression(QStringLiteral("<xmp:ModifyDate>([^<]*)<")), true);
    blank(QRegularExpression(QStringLiteral("<xmp:MetadataDate>([^<]*)<")), true);
    blank(QRegularExpression(QStringLiteral("uuid:([0-9a-fA-F-]+)")), false);
    blank(QRegularExpression(QStringLiteral("/ID \\[([^\\]]*)\\]")), false);
    return bytes;
}

void setUpPdf(QPdfWriter& pdf, const QString& title) {
    pdf.setCreator(QStringLiteral("Quorvel"));
    pdf.setTitle(title);
    pdf.setResolution(96);
    pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(15, 15, 15, 15),
                                  QPageLayout::Millimeter));
}

/// One page of the exercises: the title, the picture fitted to the page's width, the data.
void paintExercisePage(QPainter& painter, QPdfWriter& pdf, NTBEFizDisp& doc, int number,
                       const Exercise& exercise, const std::string& method) {
    const QRect page = pdf.pageLayout().paintRectPixels(pdf.resolution());
    const QRect area(0, 0, page.width(), page.height());
    QFont heading(QStringLiteral("Arial"));
    heading.setPixelSize(22);
    heading.setBold(true);
    QFont body(QStringLiteral("Arial"));
    body.setPixelSize(15);
    painter.setFont(heading);
    painter.drawText(QRect(0, 0, area.width(), 30), Qt::AlignLeft | Qt::AlignVCenter,
                     exerciseText(kExerciseTitle).arg(number, 2, 10, QChar('0')));
    int y = 44;
    Rect r;
    if (doc.getBounds(r)) {
        constexpr int kMargin = 15;
        const double w = r.right - r.left + 2 * kMargin, h = r.bottom - r.top + 2 * kMargin;
        const int lines = int(exercise.data.size()) + 4;
        const double room = area.height() - y - lines * 20 - 20;
        const double scale = std::min({1.0, area.width() / w, room / h});
        painter.save();
        painter.translate((area.width() - w * scale) / 2, y);
        painter.scale(scale, scale);
        painter.translate(-double(r.left - kMargin), -double(r.top - kMargin));
        Canvas canvas(&painter);
        doc.paintPicture(&canvas);
        painter.restore();
        y += int(std::ceil(h * scale)) + 20;
    }
    painter.setFont(body);
    painter.drawText(QPoint(0, y), exerciseText(kDataTitle));
    y += 22;
    // The data in two columns when it is long.
    const int rows =
        exercise.data.size() > 14 ? int((exercise.data.size() + 1) / 2) : int(exercise.data.size());
    for (int i = 0; i < exercise.data.size(); ++i)
        painter.drawText(QPoint(20 + (i / rows) * area.width() / 2, y + (i % rows) * 20), exercise.data[i]);
    y += rows * 20 + 10;
    painter.drawText(QPoint(0, y), exerciseText(kGroundNote));
    y += 22;
    painter.drawText(QPoint(0, y), exerciseText(kTaskLine).arg(methodPhrase(method)));
}

bool writeFile(const QString& path, const QByteArray& bytes, QString& error) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        error = QStringLiteral("Cannot write %1: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}

} // namespace

const std::vector<std::string>& exerciseMethods() {
    static const std::vector<std::string> methods = {"kirchhoff", "mesh", "node"};
    return methods;
}

std::optional<std::pair<int, int>> parseExerciseRange(const QString& text) {
    static const QRegularExpression range(QStringLiteral("^\\s*(\\d{1,4})\\s*(?:-\\s*(\\d{1,4})\\s*)?$"));
    const QRegularExpressionMatch m = range.match(text);
    if (!m.hasMatch()) return std::nullopt;
    const int a = m.captured(1).toInt();
    const int b = m.captured(2).isEmpty() ? a : m.captured(2).toInt();
    return std::make_pair(a, b);
}

QString exerciseOptionsError(const ExerciseOptions& o) {
    if (o.count < 1 || o.count > ExerciseOptions::kMaxCount)
        return QStringLiteral("--count must be from 1 to %1").arg(ExerciseOptions::kMaxCount);
    if (o.minNodes < 2 || o.maxNodes > ExerciseOptions::kMaxNodes || o.minNodes > o.maxNodes)
        return QStringLiteral(
                   "--nodes must be a range within 2-%1 (the grounded node counts), smaller number "
                   "first")
            .arg(ExerciseOptions::kMaxNodes);
    if (o.minBranches < 1 || o.maxBranches > ExerciseOptions::kMaxBranches || o.minBranches > o.maxBranches)
        return QStringLiteral("--branches must be a range within 1-%1, smaller number first")
            .arg(ExerciseOptions::kMaxBranches);
    if (o.currentSources < 0 || o.currentSources > o.maxBranches)
        return QStringLiteral("--current-sources must be from 0 to the number of branches");
    if (std::find(exerciseMethods().begin(), exerciseMethods().end(), o.method) == exerciseMethods().end())
        return QStringLiteral("--method must be kirchhoff, mesh or node");
    if (shapes(o).empty())
        return QStringLiteral(
                   "no circuit has %1-%2 nodes and %3-%4 branches with %5 current source(s): every "
                   "node but the grounded one joins three branches at least (%1 nodes need %6 "
                   "branches), two nodes at most two branches (%1 nodes hold %7), and the branches "
                   "without a current source must join all the nodes")
            .arg(o.minNodes)
            .arg(o.maxNodes)
            .arg(o.minBranches)
            .arg(o.maxBranches)
            .arg(o.currentSources)
            .arg(fewestBranches(o.minNodes))
            .arg(mostBranches(o.minNodes));
    return {};
}

bool drawExercise(Workbench& wb, const ExerciseOptions& options, std::mt19937& rng, Exercise& exercise,
                  QString& error) {
    error = exerciseOptionsError(options);
    if (!error.isEmpty()) return false;
    // Tried on a scheme of its own, so that the names the workbench's numbering gives do not
    // depend on how many circuits were drawn before.
    Workbench trial;
    for (int draw = 0; draw < kDraws; ++draw) {
        Exercise candidate = drawCircuit(options, rng);
        // Drawings of straight and right-angled lines first; a slanting line only when those
        // are hard to come by (many branches at few nodes).
        if (candidate.netlist.empty() || !build(trial, candidate.netlist) || !namesReadable(trial.scheme()) ||
            (draw < kDraws / 2 && !rightAngled(trial.scheme())) || !solvesByEveryMethod(trial.scheme()))
            continue;
        if (!build(wb, candidate.netlist)) continue;
        exercise = std::move(candidate);
        return true;
    }
    error = QStringLiteral("no circuit with a unique solution came out of %1 draws; try other ranges")
                .arg(kDraws);
    return false;
}

bool writeExerciseSet(const ExerciseOptions& options, const QString& folder, QString& error) {
    error = exerciseOptionsError(options);
    if (!error.isEmpty()) return false;
    std::mt19937 rng(options.seed);
    std::vector<Exercise> set;
    for (int i = 0; i < options.count; ++i) {
        Workbench scratch;
        Exercise e;
        if (!drawExercise(scratch, options, rng, e, error)) return false;
        set.push_back(std::move(e));
    }
    if (!QDir().mkpath(folder)) {
        error = QStringLiteral("Cannot make the folder %1").arg(folder);
        return false;
    }
    const QDir dir(folder);

    QBuffer exercisesBytes;
    exercisesBytes.open(QIODevice::WriteOnly);
    QPdfWriter exercisesPdf(&exercisesBytes);
    setUpPdf(exercisesPdf, exerciseText(kExercisesTitle));
    QPainter painter;
    if (!painter.begin(&exercisesPdf)) {
        error = QStringLiteral("The PDF writer did not start");
        return false;
    }
    QTextDocument answers;
    QTextCursor caret(&answers);
    for (size_t i = 0; i < set.size(); ++i) {
        const int number = int(i) + 1;
        Workbench wb;
        build(wb, set[i].netlist);
        const QString name = QStringLiteral("exercise-%1.tbe").arg(number, 2, 10, QChar('0'));
        if (!wb.saveScheme(dir.filePath(name), &error)) return false;
        if (i > 0) exercisesPdf.newPage();
        paintExercisePage(painter, exercisesPdf, wb.scheme(), number, set[i], options.method);

        // Each answer on a page of its own under the exercise's title.
        QTextBlockFormat title;
        if (i > 0) {
            title.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
            caret.insertBlock(title);
        } else {
            caret.setBlockFormat(title);
        }
        QTextCharFormat bold;
        bold.setFontWeight(QFont::Bold);
        bold.setFontPointSize(14);
        caret.insertText(exerciseText(kExerciseTitle).arg(number, 2, 10, QChar('0')), bold);
        caret.insertBlock(QTextBlockFormat(), QTextCharFormat());
        SolveRequest request = SolveRequest::fromScheme(wb.scheme(), options.method);
        request.picture = false;
        const SolveResult result = solveIntoDocument(wb.scheme(), request, caret);
        if (result.status != SolveResult::Solved) {
            error = result.errors.join(QStringLiteral(": "));
            return false;
        }
    }
    painter.end();
    if (!writeFile(dir.filePath(QStringLiteral("exercises.pdf")), steadyPdf(exercisesBytes.data()), error))
        return false;

    QBuffer answersBytes;
    answersBytes.open(QIODevice::WriteOnly);
    {
        QPdfWriter answersPdf(&answersBytes);
        setUpPdf(answersPdf, exerciseText(kAnswersTitle));
        answers.print(&answersPdf);
    }
    return writeFile(dir.filePath(QStringLiteral("answers.pdf")), steadyPdf(answersBytes.data()), error);
}

NewExerciseDialog::NewExerciseDialog() {
    addField({.id = "kind", .kind = DialogField::Radio, .label = kKindLabel, .items = kKinds});
    auto spin = [&](const char* id, const QString& label, int value, int lo, int hi) {
        addField({.id = id,
                  .kind = DialogField::Spin,
                  .label = label,
                  .choice = value,
                  .minimum = lo,
                  .maximum = hi});
    };
    spin("nodesFrom", kNodesFromLabel, 3, 2, ExerciseOptions::kMaxNodes);
    spin("nodesTo", kNodesToLabel, 4, 2, ExerciseOptions::kMaxNodes);
    spin("branchesFrom", kBranchesFromLabel, 5, 1, ExerciseOptions::kMaxBranches);
    spin("branchesTo", kBranchesToLabel, 6, 1, ExerciseOptions::kMaxBranches);
    spin("currentSources", kCurrentSourcesLabel, 0, 0, ExerciseOptions::kMaxBranches);
    addField({.id = "seed", .kind = DialogField::Edit, .label = kSeedLabel, .text = "1", .maxLength = 10});
    addField({.id = "why", .kind = DialogField::Label, .color = rgb(192, 0, 0)});
}

QString NewExerciseDialog::caption() const {
    return kNewExercise;
}

void NewExerciseDialog::show() {
    // A new circuit each time unless the user types a seed.
    field("seed").text = QString::number(QRandomGenerator::global()->generate());
    changed(QString());
}

void NewExerciseDialog::changed(const QString&) {
    bool seedOk = false;
    field("seed").text.trimmed().toUInt(&seedOk);
    field("why").text = seedOk ? exerciseOptionsError(options())
                               : QStringLiteral("the seed must be a whole number from 0 to 4294967295");
}

bool NewExerciseDialog::okEnabled() const {
    return field("why").text.isEmpty();
}

ExerciseOptions NewExerciseDialog::options() const {
    ExerciseOptions o;
    o.count = 1;
    o.ac = field("kind").choice == 1;
    o.minNodes = field("nodesFrom").choice;
    o.maxNodes = field("nodesTo").choice;
    o.minBranches = field("branchesFrom").choice;
    o.maxBranches = field("branchesTo").choice;
    o.currentSources = field("currentSources").choice;
    o.seed = field("seed").text.trimmed().toUInt();
    return o;
}

bool runNewExerciseCommand(Workbench& wb) {
    Context& ctx = wb.context();
    auto& dialog = ctx.dialog<NewExerciseDialog>();
    if (!ctx.presenter()->exec(dialog)) return false;
    QString error;
    if (newExerciseCommand(wb, dialog.options(), error)) return true;
    ctx.messages()->show(error, kNewExercise, MsgButtons::Ok, MsgIcon::Error);
    return false;
}

bool newExerciseCommand(Workbench& wb, const ExerciseOptions& options, QString& error) {
    wb.cancelEditing();
    std::mt19937 rng(options.seed);
    Exercise exercise;
    if (!drawExercise(wb, options, rng, exercise, error)) return false;
    wb.commit(kNewExercise);
    wb.operatingPoint().clear(); // the values belonged to the scheme the exercise replaced
    return true;
}

} // namespace qv
