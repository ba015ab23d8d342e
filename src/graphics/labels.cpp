#include "graphics/labels.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "graphics/graphicsdialogs.h"
#include "model/context.h"
#include "model/document.h"
#include "platform/binarystream.h"
#include "platform/cp1251.h"

namespace qv {

namespace {

std::vector<Point> asPolygon(const std::array<Point, 4>& c) {
    return {c.begin(), c.end()};
}

void putInt32(std::array<uint8_t, NTextLabel::kLogFontSize>& buf, size_t at, int32_t v) {
    for (int i = 0; i < 4; ++i)
        buf[at + size_t(i)] = uint8_t(uint32_t(v) >> (8 * i));
}

} // namespace

// ---- NUniLabel ----

std::array<Point, 4> NUniLabel::cell() const {
    Extended w = textWidth, h = textHeight;
    // Along the text u = (Cos, Sin); downwards across it n = (-Sin, Cos).
    return {p1, Point{roundCoord(p1.x + w * cos), roundCoord(p1.y + w * sin)},
            Point{roundCoord(p1.x + w * cos - h * sin), roundCoord(p1.y + w * sin + h * cos)},
            Point{roundCoord(p1.x - h * sin), roundCoord(p1.y + h * cos)}};
}

bool NUniLabel::hitTest(int32_t x, int32_t y) {
    Extended d = cos != 0 ? (Extended(y) - (k * x + b)) * cos : (Extended(p1.x) - x) * sin;
    if (std::isnan(d) || d < 0 || d > textHeight) return false;
    return footInBox({roundCoord(x + d * sin), roundCoord(y - d * cos)}, p1, p2);
}

void NUniLabel::dragBy(int32_t dx, int32_t dy, Canvas* canvas) {
    Brush savedBrush = canvas->brush();
    {
        PenStateGuard guard(canvas);
        canvas->setBrush({savedBrush.color, bsClear});
        canvas->setPenWidth(pen.width);
        canvas->setPenMode(kInvertMode);
        canvas->polygon(asPolygon(cell()));
        moveBy(-dx, -dy);
        canvas->polygon(asPolygon(cell()));
    }
    canvas->setBrush(savedBrush);
}

void NUniLabel::drawHighlighted(Canvas* canvas) {
    PenStateGuard guard(canvas);
    canvas->setPenWidth(pen.width + 2);
    canvas->setPenMode(kInvertMode);
    canvas->polygon(asPolygon(cell()));
}

void NUniLabel::saveToStream(BinaryWriter& w) {
    TwoPointGraph::saveToStream(w);
    w.writeInt32(textWidth);
    w.writeInt32(textHeight);
}

void NUniLabel::loadFromStream(BinaryReader& r) {
    TwoPointGraph::loadFromStream(r);
    r.readInt32(textWidth);
    r.readInt32(textHeight);
}

void NUniLabel::getBounds(Rect& rect) {
    recalc();
    auto c = cell();
    rect = {c[0].x, c[0].y, c[0].x, c[0].y};
    for (Point p : c) {
        rect.left = std::min(rect.left, p.x);
        rect.top = std::min(rect.top, p.y);
        rect.right = std::max(rect.right, p.x);
        rect.bottom = std::max(rect.bottom, p.y);
    }
}

// ---- NTextLabel ----

NTextLabel::NTextLabel() {
    textFont.name = "Times New Roman Cyr";
    // Positive: the height of the character cell in pixels, as other writers of the format
    // store it.
    textFont.height = 15;
    textFont.size = textFont.size2 = 11; // 15 px at 96 pixels per inch
}

FontRec NTextLabel::drawFont() const {
    // Text is always drawn at normal weight; the bold flag stays in the font record.
    FontRec f = textFont;
    f.style &= uint8_t(~1u);
    return f;
}

int NTextLabel::escapement() const {
    Extended a = std::acos(std::clamp(cos, -1.0L, 1.0L)) * 180 / std::numbers::pi_v<Extended> * 10;
    int32_t tenths = roundCoord(a);
    return sin >= 0 ? -tenths : tenths;
}

void NTextLabel::fillLogFont(int esc) {
    std::array<uint8_t, kLogFontSize> lf{};
    putInt32(lf, 0, textFont.height);
    putInt32(lf, 4, 0);
    putInt32(lf, 8, esc);
    putInt32(lf, 12, esc);
    putInt32(lf, 16, 400);
    lf[20] = (textFont.style & 2) ? 1 : 0;
    lf[21] = (textFont.style & 4) ? 1 : 0;
    lf[22] = (textFont.style & 8) ? 1 : 0;
    lf[23] = textFont.charset;
    lf[24] = 0;  // output precision
    lf[25] = 0;  // clip precision
    lf[26] = 2;  // proof quality
    lf[27] = 18; // variable pitch, roman family
    std::string face = utf8ToCp1251(textFont.name);
    // 32 bytes with a terminating zero.
    std::copy_n(face.begin(), std::min<size_t>(face.size(), 31), lf.begin() + 28);
    logFont = lf;
}

void NTextLabel::recalc() {
    TwoPointGraph::recalc();
    if (!loadedFont_ || *loadedFont_ != textFont) {
        loadedFont_.reset();
        fillLogFont(escapement());
    }
    int32_t w = 0, h = 0;
    ownerCanvas()->textExtent(QString::fromStdString(text), drawFont(), w, h);
    extentX = w;
    extentY = h;
    textWidth = w;
    textHeight = h;
    if (textWidth > 0) p2 = {roundCoord(p1.x + textWidth * cos), roundCoord(p1.y + textWidth * sin)};
}

bool NTextLabel::hitTest(int32_t x, int32_t y) {
    return !text.empty() && NUniLabel::hitTest(x, y);
}

void NTextLabel::draw(Canvas* canvas) {
    // The cell is filled with the canvas brush first, so a label hides what lies beneath it.
    if (canvas->brush().style != bsClear && textWidth > 0) {
        PenStateGuard guard(canvas);
        canvas->setPenStyle(psClear);
        canvas->polygon(asPolygon(cell()));
    }
    canvas->text(p1, QString::fromStdString(text), drawFont(), escapement());
}

void NTextLabel::saveToStream(BinaryWriter& w) {
    NUniLabel::saveToStream(w);
    w.writeFont(textFont);
    w.writeShortString(text, 100);
    w.writeRaw(logFont.data(), logFont.size());
}

void NTextLabel::loadFromStream(BinaryReader& r) {
    NUniLabel::loadFromStream(r);
    r.readFont(textFont);
    r.readShortString(text, 100);
    r.readRaw(logFont.data(), logFont.size());
    if (!r.failed()) loadedFont_ = textFont;
}

// ---- NUserTextLabel ----

void NUserTextLabel::editProperties() {
    if (!owner) return;
    Context* ctx = owner->context();
    auto& dlg = ctx->dialog<TextInputDialog>();
    dlg.dialogFont = textFont;
    dlg.field("text").text = QString::fromStdString(text);
    dlg.fontPresenter = ctx->presenter();
    ctx->presenter()->exec(dlg);
    dlg.fontPresenter = nullptr;
    // The text is taken whichever button closed the dialog.
    text = dlg.field("text").text.left(TextInputDialog::kMaxTextLength).toStdString();
    textFont = dlg.dialogFont;
    recalc();
}

void NUserTextLabel::placePoint(int& state, int32_t x, int32_t y) {
    if (state == 1 && owner && owner->objectCount() >= FizDisp::kMaxObjects) {
        owner->reportFull();
        return;
    }
    TwoPointGraph::placePoint(state, x, y);
    if (state != kPlacementDone || !owner) return;
    editProperties();
    recalc();
    owner->labelKind = LabelKind::UserText;
    owner->add(this);
}

// ---- NTwoBin ----

NTwoBin::NTwoBin() = default;
NTwoBin::~NTwoBin() = default;

std::unique_ptr<NTwoBin> NTwoBin::withMainText(const std::string& text) {
    auto label = std::make_unique<NTwoBin>();
    label->mainText = text;
    return label;
}

FizDisp* NTwoBin::textOwner() const {
    return owner && owner->labelDocument ? owner->labelDocument : owner;
}

void NTwoBin::ensureTexts() {
    if (!mainLabel) mainLabel = std::make_unique<NTextLabel>();
    if (!indexLabel) indexLabel = std::make_unique<NTextLabel>();
    mainLabel->owner = textOwner();
    indexLabel->owner = textOwner();
}

void NTwoBin::placePoint(int& state, int32_t x, int32_t y) {
    bool completing = state == 1;
    TwoPointGraph::placePoint(state, x, y);
    if (!completing || state != kPlacementDone) return;
    // The texts are made afresh on every placement; the direction is the one clicked.
    mainLabel.reset();
    indexLabel.reset();
    ensureTexts();
    mainLabel->text = mainText;
    indexLabel->text = indexText;
    int s = 0;
    mainLabel->placePoint(s, p1.x, p1.y);
    mainLabel->placePoint(s, x, y);
    // The index starts where the main text ends, one text height lower: a subscript.
    Extended w = mainLabel->textWidth, h = mainLabel->textHeight;
    Extended ox = w * cos - h * sin, oy = w * sin + h * cos;
    s = 0;
    indexLabel->placePoint(s, roundCoord(p1.x + ox), roundCoord(p1.y + oy));
    indexLabel->placePoint(s, roundCoord(x + ox), roundCoord(y + oy));
    recalc();
}

void NTwoBin::recalc() {
    TwoPointGraph::recalc();
    if (mainLabel && indexLabel) {
        // Sizes read from a damaged file can be anything: add without overflowing.
        auto sum = [](int32_t a, int32_t b) {
            return int32_t(std::clamp<int64_t>(int64_t(a) + b, INT32_MIN, INT32_MAX));
        };
        textWidth = sum(mainLabel->textWidth, indexLabel->textWidth);
        textHeight = sum(mainLabel->textHeight, indexLabel->textHeight);
    } else {
        textWidth = textHeight = 0;
    }
    if (textWidth > 0) p2 = {roundCoord(p1.x + textWidth * cos), roundCoord(p1.y + textWidth * sin)};
}

void NTwoBin::draw(Canvas* canvas) {
    if (mainLabel) mainLabel->draw(canvas);
    if (indexLabel) indexLabel->draw(canvas);
}

void NTwoBin::moveBy(int32_t dx, int32_t dy) {
    TwoPointGraph::moveBy(dx, dy);
    if (mainLabel) mainLabel->moveBy(dx, dy);
    if (indexLabel) indexLabel->moveBy(dx, dy);
}

void NTwoBin::saveToStream(BinaryWriter& w) {
    NUniLabel::saveToStream(w);
    // A label not yet placed has no texts; default records keep the layout readable.
    NTextLabel blank;
    (mainLabel ? *mainLabel : blank).saveToStream(w);
    (indexLabel ? *indexLabel : blank).saveToStream(w);
    w.writeShortString(mainText, 20);
    w.writeShortString(indexText, 20);
}

void NTwoBin::loadFromStream(BinaryReader& r) {
    NUniLabel::loadFromStream(r);
    ensureTexts();
    mainLabel->loadFromStream(r);
    indexLabel->loadFromStream(r);
    r.readShortString(mainText, 20);
    r.readShortString(indexText, 20);
}

} // namespace qv
