#include "diagrams/vectordiagram.h"

#include <algorithm>
#include <cmath>

#include "diagrams/vectordialogs.h"
#include "model/context.h"
#include "platform/binarystream.h"
#include "platform/cp1251.h"
#include "platform/numfmt.h"

namespace qv {

namespace {

/// Grids larger than this are not drawn, and a tick row stops at this many marks (a view or
/// step gone wild): a thousand labelled ticks on one half axis could not be read anyway, and
/// formatting more labels makes a hostile file freeze the window.
constexpr int64_t kMaxGridPoints = 2000000;
constexpr int64_t kMaxTicks = 1000;

int32_t clamp32(int64_t v) {
    return int32_t(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

/// A font of `size` points on the page (96 logical units per inch of type), as the label
/// sizes are given.
FontRec pageFont(const char* name, int32_t size) {
    FontRec f;
    f.name = name;
    f.size = f.size2 = size;
    f.height = -std::max(1, int(std::lround(size * 96.0 / 72.0)));
    f.color = 0;
    return f;
}

} // namespace

// ---- texts ----

std::string clampVectorText(const std::string& utf8) {
    std::string bytes = utf8ToCp1251(utf8);
    if (bytes.size() <= size_t(kVectorTextLength)) return utf8;
    bytes.resize(size_t(kVectorTextLength));
    return cp1251ToUtf8(bytes);
}

void writeVectorText(BinaryWriter& w, const std::string& utf8) {
    std::string bytes = utf8ToCp1251(utf8);
    // Readers take these texts through a buffer of 100 bytes.
    if (bytes.size() > size_t(kVectorTextLength)) bytes.resize(size_t(kVectorTextLength));
    w.writeInt32(int32_t(bytes.size()));
    w.writeRaw(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    w.writeByte(0);
}

void readVectorText(BinaryReader& r, std::string& utf8) {
    int32_t n = 0;
    r.readInt32(n);
    if (r.failed()) return;
    if (n < 0 || uint64_t(n) + 1 > r.remaining()) {
        r.fail("a vector text claims " + std::to_string(n) + " characters");
        return;
    }
    std::string bytes(size_t(n) + 1, '\0');
    if (!r.readRaw(reinterpret_cast<uint8_t*>(bytes.data()), bytes.size())) return;
    bytes.resize(std::min(bytes.find('\0'), size_t(kVectorTextLength)));
    utf8 = cp1251ToUtf8(bytes);
}

// ---- NVectDiaDisp ----

NVectDiaDisp::NVectDiaDisp(Context* context) : NLayerFDisp(context) {
    nameLayers();
}

void NVectDiaDisp::nameLayers() {
    NSimpLayer* root = rootLayer();
    for (int i = 0; i < root->sublayerCount(); ++i)
        root->sublayers.get(i)->layerName = "Layer" + std::to_string(i + 1);
}

void NVectDiaDisp::clear() {
    NLayerFDisp::clear();
    nameLayers();
}

bool NVectDiaDisp::add(NFizObj* obj) {
    if (!obj) return false;
    if (objectCount() >= kMaxObjects) {
        reportFull();
        return false;
    }
    int index = kDrawing;
    if (auto* v = dynamic_cast<NVector*>(obj))
        index = v->vectorKind == NVector::kCurrent ? kCurrents : kPotentialDifferences;
    else if (dynamic_cast<NVDPoint*>(obj))
        index = kPotentials;
    NSimpLayer* root = rootLayer();
    if (index < root->sublayerCount()) root->sublayers.get(index)->addObject(obj);
    return FizDisp::add(obj);
}

bool NVectDiaDisp::childLayerVisible(int index) const {
    NSimpLayer* root = rootLayer();
    if (index < 0 || index >= root->sublayerCount()) return false;
    return root->sublayers.get(index)->visible != 0;
}

Point NVectDiaDisp::pointOf(Extended x, Extended y, Extended scale) {
    // Rounding is symmetric (halves to even), so the sign can go inside.
    return {roundCoord(x * 100 / scale), roundCoord(-(y * 100 / scale))};
}

NVector* NVectDiaDisp::addVector(int32_t kind, const std::string& greek, Extended x1, Extended y1,
                                 Extended x2, Extended y2, const std::string& main,
                                 const std::string& index) {
    if (activeScale == 0 || !std::isfinite(activeScale)) return nullptr;
    // The vector and its label come together or not at all.
    if (objectCount() + 2 > kMaxObjects) {
        reportFull();
        return nullptr;
    }
    auto vector = std::make_unique<NVector>();
    vector->p1 = pointOf(x1, y1, activeScale);
    vector->p2 = pointOf(x2, y2, activeScale);
    vector->recalc();
    vector->greekText = clampVectorText(greek);
    vector->mainText = clampVectorText(main);
    vector->indexText = clampVectorText(index);
    vector->vectorKind = kind;
    vector->owner = this;
    NVector* raw = vector.release();
    if (!add(raw)) {
        delete raw;
        return nullptr;
    }
    raw->recalc();
    raw->autoName();
    return raw;
}

void NVectDiaDisp::showEditorOptions() {
    Context* ctx = context();
    auto& dlg = ctx->dialog<VectorEditorOptionsDialog>();
    dlg.document = this;
    dlg.ctx = ctx;
    ctx->presenter()->exec(dlg);
    dlg.document = nullptr;
}

void NVectDiaDisp::paintGrid(Canvas* canvas) {
    if (!snapVisible || snapHStep <= 0 || snapVStep <= 0) return;
    int64_t nx = (int64_t(viewRight) - viewLeft) / snapHStep;
    int64_t ny = (int64_t(viewBottom) - viewTop) / snapVStep;
    if (nx < 0 || ny < 0 || (nx + 1) * (ny + 1) > kMaxGridPoints) return;
    int64_t x0 = int64_t(snapHStep) * (viewLeft / snapHStep);
    int64_t y0 = int64_t(snapVStep) * (viewTop / snapVStep);
    std::vector<Point> points;
    points.reserve(size_t((nx + 1) * (ny + 1)));
    for (int64_t i = 0; i <= nx; ++i)
        for (int64_t j = 0; j <= ny; ++j)
            points.push_back({clamp32(x0 + i * snapHStep), clamp32(y0 + j * snapVStep)});
    canvas->pixels(points, snapColor);
}

void NVectDiaDisp::paintAxes(Canvas* canvas) {
    const FontRec font = canvas->font();
    const int64_t big = bigLinesStep, small = smallLinesStep;
    const Extended cI = currentsScale * big / 100, cU = voltageScale * big / 100;
    // Each half axis: where it ends, which way its coordinate runs (-1 or +1) and which sign
    // its values have; the real half axes are horizontal.
    struct HalfAxis {
        int32_t extent;
        bool horizontal;
        int coordSign;
        int valueSign;
    };
    const HalfAxis axes[] = {
        {viewLeft, true, -1, -1},
        {viewRight, true, +1, +1},
        {viewTop, false, -1, +1},
        {viewBottom, false, +1, -1},
    };
    auto at = [](bool horizontal, int64_t along, int64_t across) {
        return horizontal ? Point{clamp32(along), clamp32(across)} : Point{clamp32(across), clamp32(along)};
    };
    for (const HalfAxis& a : axes) {
        canvas->line({0, 0}, at(a.horizontal, a.extent, 0));
        const int64_t length = std::abs(int64_t(a.extent));
        if (big > 0) {
            const int64_t n = std::min(length / big, kMaxTicks);
            Extended vI = 0, vU = 0;
            for (int64_t k = 1; k <= n; ++k) {
                const int64_t c = a.coordSign * k * big;
                canvas->line(at(a.horizontal, c, 20), at(a.horizontal, c, -20));
                vI += a.valueSign * cI;
                vU += a.valueSign * cU;
                const QString textI = QString::fromStdString(numfmt::general(vI, 15));
                const QString textU = QString::fromStdString(numfmt::general(vU, 15));
                if (a.horizontal) {
                    canvas->text({clamp32(c - 20), -90}, textI, font, 0);
                    canvas->text({clamp32(c - 20), 40}, textU, font, 0);
                } else {
                    canvas->text({-90, clamp32(c - 20)}, textI, font, 0);
                    canvas->text({40, clamp32(c - 20)}, textU, font, 0);
                }
            }
        }
        if (small > 0) {
            const int64_t m = std::min(length / small, kMaxTicks);
            for (int64_t k = 1; k <= m; ++k) {
                const int64_t c = a.coordSign * k * small;
                canvas->line(at(a.horizontal, c, 10), at(a.horizontal, c, -10));
            }
        }
    }
}

void NVectDiaDisp::paint(Canvas* canvas) {
    const FontRec savedFont = canvas->font();
    FontRec arial;
    arial.name = "Arial";
    arial.height = 50;
    arial.color = labelsColor;
    canvas->setFont(arial);
    paintGrid(canvas);
    // A layer tree without the axis layer (a file may bring one) hides nothing.
    if (rootLayer()->sublayerCount() <= kAxis || childLayerVisible(kAxis)) {
        const Pen savedPen = canvas->pen();
        Pen axisPen;
        axisPen.color = axisColor;
        canvas->setPen(axisPen);
        paintAxes(canvas);
        canvas->setPen(savedPen);
    }
    canvas->setFont(savedFont);
    NLayerFDisp::paint(canvas);
}

bool NVectDiaDisp::getBounds(Rect& rect) {
    bool any = false;
    Rect acc;
    Rect objects;
    if (FizDisp::getBounds(objects)) unionBounds(acc, any, objects);
    // The origin with one labelled tick on every side.
    const int32_t around = std::clamp(bigLinesStep, 0, 100000) + 100;
    unionBounds(acc, any, {-around, -around, around, around});
    rect = acc;
    return true;
}

void NVectDiaDisp::paintPicture(Canvas* canvas) {
    const int32_t top = viewTop, left = viewLeft, bottom = viewBottom, right = viewRight;
    Rect r;
    getBounds(r);
    viewLeft = r.left;
    viewTop = r.top;
    viewRight = r.right;
    viewBottom = r.bottom;
    paint(canvas);
    viewTop = top;
    viewLeft = left;
    viewBottom = bottom;
    viewRight = right;
}

std::unique_ptr<FizDisp> NVectDiaDisp::createEmpty() const {
    return std::make_unique<NVectDiaDisp>(context());
}

void NVectDiaDisp::copySettingsTo(FizDisp& fresh) const {
    NLayerFDisp::copySettingsTo(fresh);
    auto* d = dynamic_cast<NVectDiaDisp*>(&fresh);
    if (!d) return;
    d->snapHStep = snapHStep;
    d->snapVStep = snapVStep;
    d->bigLinesStep = bigLinesStep;
    d->smallLinesStep = smallLinesStep;
    d->viewTop = viewTop;
    d->viewLeft = viewLeft;
    d->viewBottom = viewBottom;
    d->viewRight = viewRight;
    d->activeScale = activeScale;
    d->currentsScale = currentsScale;
    d->voltageScale = voltageScale;
    d->snapColor = snapColor;
    d->backgroundColor = backgroundColor;
    d->axisColor = axisColor;
    d->labelsColor = labelsColor;
    d->snapVisible = snapVisible;
    d->snapOff = snapOff;
    d->showCurrentsValues = showCurrentsValues;
    d->showVoltageValues = showVoltageValues;
}

// ---- NVector ----

NVector::NVector() {
    pen.width = 3;
}

NElmLabel* NVector::liveLabel() const {
    // A label deleted on its own (or never added) must not be reached through the reference.
    if (!vectorLabel || !owner || owner->indexOfObject(vectorLabel) < 0) return nullptr;
    return vectorLabel;
}

void NVector::updateLabel() {
    NElmLabel* label = liveLabel();
    if (!label) return;
    label->greekText = greekText;
    label->mainText = mainText;
    label->indexText = indexText;
    label->recalc();
}

void NVector::editProperties() {
    if (!owner) return;
    Context* ctx = owner->context();
    auto& dlg = ctx->dialog<VectorPropertiesDialog>();
    dlg.target = this;
    ctx->presenter()->exec(dlg);
    dlg.target = nullptr;
    updateLabel();
}

void NVector::detach() {
    NElmLabel* label = liveLabel();
    vectorLabel = nullptr;
    if (label) owner->deleteObject(label);
}

void NVector::placePoint(int& state, int32_t x, int32_t y) {
    const int before = state;
    NGrLine::placePoint(state, x, y);
    if (before != kPlacementDone && state == kPlacementDone && owner && owner->indexOfObject(this) >= 0)
        autoName();
}

void NVector::draw(Canvas* canvas) {
    canvas->line(p1, p2);
    if (len / 2 < 35) return;
    Point a{roundCoord(p2.x - 35 * cos), roundCoord(p2.y - 35 * sin)};
    canvas->line(p2, {roundCoord(a.x + 8 * sin), roundCoord(a.y - 8 * cos)});
    canvas->line(p2, {roundCoord(a.x - 8 * sin), roundCoord(a.y + 8 * cos)});
}

void NVector::saveToStream(BinaryWriter& w) {
    NGrLine::saveToStream(w);
    w.writeInt32(vectorKind);
    writeVectorText(w, mainText);
    writeVectorText(w, greekText);
    writeVectorText(w, indexText);
    writeRef(w, liveLabel());
}

void NVector::loadFromStream(BinaryReader& r) {
    NGrLine::loadFromStream(r);
    r.readInt32(vectorKind);
    readVectorText(r, mainText);
    readVectorText(r, greekText);
    readVectorText(r, indexText);
    vectorLabel = readRefAs<NElmLabel>(r, "a vector's label");
}

void NVector::autoName() {
    if (!owner) return;
    if (NElmLabel* old = liveLabel()) {
        vectorLabel = nullptr;
        owner->deleteObject(old);
    }
    auto label = std::make_unique<NElmLabel>();
    recalc();
    Point m;
    localToWorld(-60, roundCoord(len / 2), m);
    label->p1 = {clamp32(int64_t(m.x) - 30), clamp32(int64_t(m.y) - 30)};
    label->p2 = {m.x, clamp32(int64_t(m.y) - 30)};
    label->labelFontSize = 40;
    label->greekText = greekText;
    label->mainText = mainText;
    label->indexText = indexText;
    label->removable = 0;
    label->owner = owner;
    NElmLabel* raw = label.release();
    if (!owner->add(raw)) {
        delete raw;
        return;
    }
    vectorLabel = raw;
    raw->recalc();
}

// ---- NElmLabel ----

namespace {
int32_t saneFontSize(int32_t size) {
    return std::clamp(size, 1, 1000);
}
} // namespace

FontRec NElmLabel::greekFont() const {
    return pageFont("Symbol", saneFontSize(labelFontSize));
}

FontRec NElmLabel::mainFont() const {
    return pageFont("Times New Roman", saneFontSize(labelFontSize));
}

FontRec NElmLabel::indexFont() const {
    return pageFont("Times New Roman", std::max(1, saneFontSize(labelFontSize) / 2));
}

void NElmLabel::recalc() {
    TwoPointGraph::recalc();
    Canvas* canvas = ownerCanvas();
    int64_t w = 0;
    auto measure = [&](const std::string& text, const FontRec& font) {
        if (text.empty()) return;
        int32_t tw = 0, th = 0;
        canvas->textExtent(QString::fromStdString(text), font, tw, th);
        w += tw;
    };
    measure(greekText, greekFont());
    measure(mainText, mainFont());
    measure(indexText, indexFont());
    const int32_t size = saneFontSize(labelFontSize);
    textWidth = clamp32(w);
    textHeight = size + size / 5;
    if (w > 0) p2 = {roundCoord(p1.x + w * cos), roundCoord(p1.y + w * sin)};
}

void NElmLabel::draw(Canvas* canvas) {
    int64_t x = p1.x;
    auto write = [&](const std::string& text, const FontRec& font, int32_t y) {
        if (text.empty()) return;
        const QString s = QString::fromStdString(text);
        canvas->text({clamp32(x), y}, s, font, 0);
        int32_t tw = 0, th = 0;
        canvas->textExtent(s, font, tw, th);
        x += tw;
    };
    write(greekText, greekFont(), p1.y);
    write(mainText, mainFont(), p1.y);
    const int32_t size = saneFontSize(labelFontSize);
    write(indexText, indexFont(), clamp32(int64_t(p1.y) + size / 2 + size / 5));
}

void NElmLabel::saveToStream(BinaryWriter& w) {
    NUniLabel::saveToStream(w);
    w.writeInt32(labelFontSize);
    w.writeByte(spare);
    writeVectorText(w, greekText);
    writeVectorText(w, mainText);
    writeVectorText(w, indexText);
}

void NElmLabel::loadFromStream(BinaryReader& r) {
    NUniLabel::loadFromStream(r);
    r.readInt32(labelFontSize);
    r.readByte(spare);
    readVectorText(r, greekText);
    readVectorText(r, mainText);
    readVectorText(r, indexText);
}

// ---- NVDPoint ----

bool NVDPoint::hitTest(int32_t px, int32_t py) {
    // Far points must not wrap around into the point: only near ones are squared.
    const int64_t dx = int64_t(px) - x, dy = int64_t(py) - y;
    if (dx <= -3 || dx >= 3 || dy <= -3 || dy >= 3) return false;
    return dx * dx + dy * dy < 9;
}

void NVDPoint::placePoint(int& state, int32_t px, int32_t py) {
    x = px;
    y = py;
    if (owner && !owner->add(this)) return;
    state = kPlacementDone;
}

void NVDPoint::draw(Canvas* canvas) {
    canvas->ellipse(clamp32(int64_t(x) - 2), clamp32(int64_t(y) - 2), clamp32(int64_t(x) + 2),
                    clamp32(int64_t(y) + 2));
}

void NVDPoint::moveBy(int32_t dx, int32_t dy) {
    // Coordinates wrap as every object's do.
    x = int32_t(uint32_t(x) + uint32_t(dx));
    y = int32_t(uint32_t(y) + uint32_t(dy));
}

void NVDPoint::getBounds(Rect& rect) {
    rect = {clamp32(int64_t(x) - 2), clamp32(int64_t(y) - 2), clamp32(int64_t(x) + 2),
            clamp32(int64_t(y) + 2)};
}

} // namespace qv
