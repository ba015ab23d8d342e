#include "app/operatingpoint.h"

#include <QTextCursor>
#include <algorithm>
#include <cmath>
#include <deque>
#include <limits>
#include <map>
#include <unordered_map>

#include "app/solvecommand.h"
#include "app/workbench.h"
#include "components/branch.h"
#include "components/nodes.h"
#include "graphics/labels.h"
#include "platform/canvas.h"
#include "platform/segments.h"

namespace qv {

namespace {

/// A rectangle no object gives: the object has no bounds.
constexpr Rect kNoBounds{INT32_MIN, INT32_MIN, INT32_MIN, INT32_MIN};

constexpr Colour kFreshColour = rgb(0, 90, 200);
constexpr Colour kStaleColour = rgb(165, 165, 165);
/// Space between a value and what it is written beside.
constexpr int32_t kGap = 4;
/// Space between a branch's arrow and its text.
constexpr int32_t kArrowGap = 3;

/// Four significant digits, without a trailing exponent where a prefix does.
QString significant(double v) {
    return QString::number(v, 'g', 4);
}

/// The decimal prefix that brings `magnitude` to 1 <= m < 1000, with its power of ten.
std::pair<QString, int> prefixFor(double magnitude) {
    static const std::pair<const char*, int> kPrefixes[] = {{"p", -12}, {"n", -9}, {"µ", -6}, {"m", -3},
                                                            {"", 0},    {"k", 3},  {"M", 6},  {"G", 9}};
    if (!(magnitude > 0) || !std::isfinite(magnitude)) return {QString(), 0};
    int e = int(std::floor(std::log10(magnitude) / 3.0)) * 3;
    e = std::clamp(e, -12, 9);
    // A value that rounds up to 1000 at four digits takes the next prefix.
    if (e < 9 && std::abs(magnitude / std::pow(10.0, e)) >= 999.95) e += 3;
    for (auto [p, pe] : kPrefixes)
        if (pe == e) return {QString::fromUtf8(p), e};
    return {QString(), 0};
}

/// Values this small beside the largest part are rounding noise and shown as 0.
double cleaned(double v, double scale) {
    return std::abs(v) <= 1e-12 * std::max(1.0, scale) ? 0.0 : v;
}

Rect inflated(const Rect& r, int32_t by) {
    return {r.left - by, r.top - by, r.right + by, r.bottom + by};
}

Rect normalised(const Rect& r) {
    return {std::min(r.left, r.right), std::min(r.top, r.bottom), std::max(r.left, r.right),
            std::max(r.top, r.bottom)};
}

int64_t overlapArea(const Rect& a, const Rect& b) {
    const int64_t w = int64_t(std::min(a.right, b.right)) - std::max(a.left, b.left);
    const int64_t h = int64_t(std::min(a.bottom, b.bottom)) - std::max(a.top, b.top);
    return w > 0 && h > 0 ? w * h : 0;
}

bool inside(Point p, const Rect& r) {
    return p.x >= r.left && p.x <= r.right && p.y >= r.top && p.y <= r.bottom;
}

bool segmentMeetsRect(Point a, Point b, const Rect& r) {
    if (inside(a, r) || inside(b, r)) return true;
    const Point c[4] = {{r.left, r.top}, {r.right, r.top}, {r.right, r.bottom}, {r.left, r.bottom}};
    Point at;
    for (int i = 0; i < 4; ++i)
        if (meetSegments(a, b, c[i], c[(i + 1) % 4], at) != Meeting::None) return true;
    return false;
}

/// Things on the drawing kept by the cells of a square grid they cover, so that a value's
/// candidate place is checked against what is near it only: a large scheme has hundreds of
/// values, each with dozens of candidates, and thousands of wires and boxes.
class Grid {
  public:
    /// Adds item `index` covering `r` (normalised).
    void add(int index, const Rect& r) {
        const int64_t x0 = cell(r.left), x1 = cell(r.right), y0 = cell(r.top), y1 = cell(r.bottom);
        if ((x1 - x0 + 1) * (y1 - y0 + 1) > kMaxCells) {
            everywhere_.push_back(index); // a wire across the whole drawing
            return;
        }
        for (int64_t x = x0; x <= x1; ++x)
            for (int64_t y = y0; y <= y1; ++y)
                cells_[key(x, y)].push_back(index);
    }

    /// Calls `each` once for every item whose cover may meet `r` (normalised), inclusive.
    template <class Each>
    void near(const Rect& r, std::vector<uint32_t>& seen, uint32_t& stamp, Each each) const {
        ++stamp;
        auto visit = [&](int index) {
            if (seen[size_t(index)] == stamp) return;
            seen[size_t(index)] = stamp;
            each(index);
        };
        for (int index : everywhere_)
            visit(index);
        const int64_t x0 = cell(r.left), x1 = cell(r.right), y0 = cell(r.top), y1 = cell(r.bottom);
        if ((x1 - x0 + 1) * (y1 - y0 + 1) > kMaxCells) {
            for (const auto& [k, items] : cells_)
                for (int index : items)
                    visit(index);
            return;
        }
        for (int64_t x = x0; x <= x1; ++x)
            for (int64_t y = y0; y <= y1; ++y)
                if (const auto it = cells_.find(key(x, y)); it != cells_.end())
                    for (int index : it->second)
                        visit(index);
    }

  private:
    static constexpr int64_t kCell = 128;
    static constexpr int64_t kMaxCells = 4096;
    static int64_t cell(int32_t v) { return v >= 0 ? v / kCell : -((-int64_t(v) + kCell - 1) / kCell); }
    static uint64_t key(int64_t x, int64_t y) { return (uint64_t(x) << 32) ^ uint64_t(uint32_t(y)); }

    std::unordered_map<uint64_t, std::vector<int>> cells_;
    std::vector<int> everywhere_;
};

/// What a value must not be drawn over: the scheme's nodes, wires, components, labels and
/// drawings, and the values placed before it.
class Obstacles {
  public:
    explicit Obstacles(FizDisp& doc) {
        for (NFizObj* o : doc.objects()) {
            if (auto* branch = dynamic_cast<NFVetv*>(o)) {
                for (NGraphLine* s : branch->segments()) {
                    wireGrid_.add(int(wires_.size()), normalised({s->p1.x, s->p1.y, s->p2.x, s->p2.y}));
                    wires_.push_back({s->p1, s->p2});
                }
                continue;
            }
            if (auto* label = dynamic_cast<NTextLabel*>(o); label && label->text.empty()) continue;
            Rect r = kNoBounds;
            o->getBounds(r);
            if (r == kNoBounds) continue;
            boxGrid_.add(int(boxes_.size()), normalised(r));
            boxes_.push_back(normalised(r));
        }
        wireSeen_.resize(wires_.size());
        boxSeen_.resize(boxes_.size());
    }

    /// A value placed at `r`: later ones keep off it.
    void addValue(const Rect& r) {
        valueGrid_.add(int(values_.size()), normalised(r));
        values_.push_back(r);
        valueSeen_.push_back(0);
    }

    /// How badly a value at `r` would cover something: 0 when it covers nothing.
    int64_t cost(const Rect& r) {
        int64_t c = 0;
        const Rect near = inflated(r, 1);
        // Only what the grid finds near can meet or overlap `near`.
        wireGrid_.near(normalised(near), wireSeen_, stamp_, [&](int i) {
            const auto& [a, b] = wires_[size_t(i)];
            if (segmentMeetsRect(a, b, near)) c += 100000;
        });
        boxGrid_.near(normalised(near), boxSeen_, stamp_,
                      [&](int i) { c += 10 * overlapArea(near, boxes_[size_t(i)]); });
        valueGrid_.near(normalised(near), valueSeen_, stamp_, [&](int i) {
            const int64_t area = overlapArea(near, values_[size_t(i)]);
            c += 40 * area + (area > 0 ? 100000 : 0);
        });
        return c;
    }

    /// The first candidate that covers nothing, else the one that covers least.
    Rect best(const std::vector<Rect>& candidates) {
        Rect chosen = candidates.front();
        int64_t least = std::numeric_limits<int64_t>::max();
        for (const Rect& r : candidates) {
            const int64_t c = cost(r);
            if (c == 0) return r;
            if (c < least) {
                least = c;
                chosen = r;
            }
        }
        return chosen;
    }

  private:
    std::vector<Rect> boxes_;
    std::vector<std::pair<Point, Point>> wires_;
    std::vector<Rect> values_;
    Grid wireGrid_, boxGrid_, valueGrid_;
    std::vector<uint32_t> wireSeen_, boxSeen_, valueSeen_;
    uint32_t stamp_ = 0;
};

Rect boxAt(int32_t left, int32_t top, int32_t w, int32_t h) {
    return {left, top, left + w, top + h};
}

/// Places around a node: above it to the right first (the node's own name sits below right),
/// then the other corners and sides, then the same rings further out.
std::vector<Rect> nodeCandidates(const NFUsel& node, int32_t w, int32_t h) {
    std::vector<Rect> out;
    const int32_t x = node.x, y = node.y;
    for (int ring = 0; ring < 4; ++ring) {
        const int32_t d = std::max(node.radius, 3) + kGap + ring * 8;
        out.push_back(boxAt(x + d, y - d - h, w, h));
        out.push_back(boxAt(x - d - w, y - d - h, w, h));
        out.push_back(boxAt(x - d - w, y + d, w, h));
        out.push_back(boxAt(x + d, y + d, w, h));
        out.push_back(boxAt(x + d, y - h / 2, w, h));
        out.push_back(boxAt(x - d - w, y - h / 2, w, h));
        out.push_back(boxAt(x - w / 2, y - d - h, w, h));
        out.push_back(boxAt(x - w / 2, y + d, w, h));
    }
    return out;
}

/// Places beside a branch: both sides of its longer segments, at the middle first and then
/// towards the ends, a little further out each round.
std::vector<Rect> branchCandidates(const NFVetv& branch, int32_t w, int32_t h) {
    std::vector<NGraphLine*> segs = branch.segments();
    std::stable_sort(segs.begin(), segs.end(), [](NGraphLine* a, NGraphLine* b) {
        return std::hypot(double(a->p2.x - a->p1.x), double(a->p2.y - a->p1.y)) >
               std::hypot(double(b->p2.x - b->p1.x), double(b->p2.y - b->p1.y));
    });
    if (segs.size() > 4) segs.resize(4);
    std::vector<Rect> out;
    const double along[] = {0.5, 0.3, 0.7, 0.15, 0.85};
    for (int ring = 0; ring < 3; ++ring)
        for (NGraphLine* s : segs) {
            const double dx = s->p2.x - s->p1.x, dy = s->p2.y - s->p1.y;
            const double len = std::hypot(dx, dy);
            if (len <= 0) continue;
            const double ux = dx / len, uy = dy / len;
            const double nx = -uy, ny = ux;
            // How far the box reaches across the wire from its centre.
            const double half = (std::abs(nx) * w + std::abs(ny) * h) / 2.0;
            for (double t : along)
                for (int side : {-1, 1}) {
                    const double off = side * (half + kGap + ring * 8);
                    const double cx = s->p1.x + dx * t + nx * off, cy = s->p1.y + dy * t + ny * off;
                    out.push_back(
                        boxAt(int32_t(std::lround(cx - w / 2.0)), int32_t(std::lround(cy - h / 2.0)), w, h));
                }
        }
    if (out.empty()) {
        Point p;
        const_cast<NFVetv&>(branch).defaultLabelPos(p);
        out.push_back(boxAt(p.x, p.y, w, h));
    }
    return out;
}

/// The direction the current is counted in along the branch's longest segment.
void arrowDirection(const NFVetv& branch, bool reversed, double& ux, double& uy) {
    ux = 1;
    uy = 0;
    double longest = -1;
    for (NGraphLine* s : branch.segments()) {
        const double dx = s->p2.x - s->p1.x, dy = s->p2.y - s->p1.y;
        const double len = std::hypot(dx, dy);
        if (len > longest && len > 0) {
            longest = len;
            ux = dx / len;
            uy = dy / len;
        }
    }
    if (reversed) {
        ux = -ux;
        uy = -uy;
    }
}

/// The drawing's objects of one kind by name, in drawing order; each is taken once.
template <class T> class ByName {
  public:
    explicit ByName(FizDisp& doc) {
        for (NFizObj* o : doc.objects())
            if (auto* t = dynamic_cast<T*>(o)) named_[QString::fromStdString(t->name)].push_back(t);
    }
    /// The first one by that name not taken yet; null when there is none.
    T* take(const QString& name) {
        const auto it = named_.find(name);
        if (it == named_.end() || it->second.empty()) return nullptr;
        T* t = it->second.front();
        it->second.pop_front();
        return t;
    }

  private:
    std::unordered_map<QString, std::deque<T*>> named_;
};

} // namespace

QString formatResultValue(Complex value, bool ac, AcResultFormat format, const QString& unit) {
    const double re = double(value.re), im = double(value.im);
    const QString space = QStringLiteral(" ");
    if (!ac) {
        const double v = cleaned(re, 0);
        auto [prefix, e] = prefixFor(std::abs(v));
        return significant(v / std::pow(10.0, e)) + space + prefix + unit;
    }
    const double magnitude = std::hypot(re, im);
    if (format == AcResultFormat::Polar) {
        if (cleaned(magnitude, 0) == 0) return QStringLiteral("0 ") + unit;
        auto [prefix, e] = prefixFor(magnitude);
        double degrees = std::atan2(im, re) * 180.0 / M_PI;
        if (std::abs(degrees) < 0.05) degrees = 0; // no "-0.0°"
        return significant(magnitude / std::pow(10.0, e)) + QString::fromUtf8("∠") +
               QString::number(degrees, 'f', 1) + QString::fromUtf8("° ") + prefix + unit;
    }
    auto [prefix, e] = prefixFor(magnitude);
    const double scale = std::pow(10.0, e);
    const double r = cleaned(re, magnitude) / scale, i = cleaned(im, magnitude) / scale;
    const QString sign = i < 0 ? QStringLiteral("-") : QStringLiteral("+");
    return significant(r) + sign + QString::fromUtf8("j·") + significant(std::abs(i)) + space + prefix + unit;
}

FontRec OperatingPoint::font(bool stale) {
    FontRec f;
    f.name = "Arial";
    f.height = -12;
    f.size = f.size2 = 9;
    f.color = stale ? kStaleColour : kFreshColour;
    return f;
}

void OperatingPoint::setResults(NTBEFizDisp& doc, const SolveResult& result, uint64_t version) {
    values_.clear();
    ac_ = result.ac;
    version_ = version;
    for (const NamedValue& n : result.nodes)
        values_.push_back({ResultLabel::Node, n.name, {}, {}, n.value});
    for (const NamedValue& b : result.branches)
        values_.push_back({ResultLabel::Branch, b.name, b.from, b.to, b.value});
    place(doc);
}

void OperatingPoint::clear() {
    values_.clear();
    labels_.clear();
}

void OperatingPoint::setAcFormat(NTBEFizDisp& doc, AcResultFormat format) {
    if (format == format_) return;
    format_ = format;
    // Stale values keep their places: the scheme they were placed on may be gone.
    if (!stale()) {
        place(doc);
        return;
    }
    for (ResultLabel& l : labels_)
        l.text = formatResultValue(l.value, ac_, format_,
                                   l.kind == ResultLabel::Node ? QStringLiteral("V") : QStringLiteral("A"));
}

void OperatingPoint::place(NTBEFizDisp& doc) {
    labels_.clear();
    Obstacles obstacles(doc);
    Canvas measure;
    const FontRec f = font(false);
    ByName<NTbeNode> nodes(doc);
    ByName<NTbeLine> branches(doc);
    // Nodes first: they have less room than the branches' long wires.
    for (int pass = 0; pass < 2; ++pass)
        for (const Value& v : values_) {
            if ((v.kind == ResultLabel::Node) != (pass == 0)) continue;
            ResultLabel l;
            l.kind = v.kind;
            l.name = v.name;
            l.value = v.value;
            l.text =
                formatResultValue(v.value, ac_, format_,
                                  v.kind == ResultLabel::Node ? QStringLiteral("V") : QStringLiteral("A"));
            int32_t w = 0, h = 0;
            measure.textExtent(l.text, f, w, h);
            if (v.kind == ResultLabel::Node) {
                auto* node = nodes.take(v.name);
                if (!node) continue; // a node the drawing does not show by that name
                l.box = obstacles.best(nodeCandidates(*node, w, h));
                l.textAt = {l.box.left, l.box.top};
            } else {
                auto* branch = branches.take(v.name);
                if (!branch) continue;
                const int32_t a = h; // the arrow's square
                l.box = obstacles.best(branchCandidates(*branch, a + kArrowGap + w, h));
                l.textAt = {l.box.left + a + kArrowGap, l.box.top};
                const bool reversed = branch->node1 && branch->node2 && v.from != v.to &&
                                      QString::fromStdString(branch->node2->name) == v.from &&
                                      QString::fromStdString(branch->node1->name) == v.to;
                double ux, uy;
                arrowDirection(*branch, reversed, ux, uy);
                const double cx = l.box.left + a / 2.0, cy = l.box.top + a / 2.0, r = a / 2.0 - 1;
                l.arrowTail = {int32_t(std::lround(cx - ux * r)), int32_t(std::lround(cy - uy * r))};
                l.arrowHead = {int32_t(std::lround(cx + ux * r)), int32_t(std::lround(cy + uy * r))};
            }
            obstacles.addValue(l.box);
            labels_.push_back(l);
        }
}

void OperatingPoint::paint(Canvas* canvas) {
    if (!canvas || !visible()) return;
    const bool old = stale();
    const FontRec f = font(old);
    const Pen saved = canvas->pen();
    Pen pen;
    pen.color = f.color;
    canvas->setPen(pen);
    for (const ResultLabel& l : labels_) {
        canvas->text(l.textAt, l.text, f, 0);
        if (l.kind != ResultLabel::Branch || l.arrowTail == l.arrowHead) continue;
        canvas->line(l.arrowTail, l.arrowHead);
        const double dx = l.arrowHead.x - l.arrowTail.x, dy = l.arrowHead.y - l.arrowTail.y;
        const double len = std::hypot(dx, dy), ux = dx / len, uy = dy / len;
        for (double turn : {0.5, -0.5}) { // the head's two strokes, about 30 degrees off
            const double bx = -(ux * std::cos(turn) - uy * std::sin(turn)) * 5;
            const double by = -(uy * std::cos(turn) + ux * std::sin(turn)) * 5;
            canvas->line(l.arrowHead, {int32_t(std::lround(l.arrowHead.x + bx)),
                                       int32_t(std::lround(l.arrowHead.y + by))});
        }
    }
    canvas->setPen(saved);
}

void OperatingPoint::extendBounds(Rect& rect, bool& any) {
    if (!visible()) return;
    Rect acc = rect;
    for (const ResultLabel& l : labels_)
        unionBounds(acc, any, l.box);
    if (any) rect = acc;
}

// ---- the workbench's side ----

void Workbench::keepSolution(const SolveResult& result) {
    if (result.status != SolveResult::Solved) return;
    operatingPoint_.setResults(*scheme_, result, schemeVersion_);
}

bool Workbench::solveIntoPage(const std::string& method, QTextCursor& caret) {
    // The report's picture is the scheme as drawn, without the values of an earlier solution.
    scheme_->overlay = nullptr;
    SolveResult result;
    const bool solved = runSolveCommand(*scheme_, method, caret, &result);
    scheme_->overlay = &operatingPoint_;
    if (solved) keepSolution(result);
    return solved;
}

} // namespace qv
