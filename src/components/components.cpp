#include "components/components.h"

#include <cmath>
#include <numbers>

#include "components/branch.h"
#include "graphics/labels.h"
#include "model/document.h"
#include "platform/binarystream.h"
#include "platform/cp1251.h"
#include "platform/numfmt.h"

namespace qv {

std::string storableName(const std::string& text) {
    // Going through the code page makes every character one byte, so the cut counts
    // characters, and a character the page lacks is turned into the '?' a file would hold.
    std::string bytes = utf8ToCp1251(text);
    if (bytes.size() > size_t(kNameLength)) bytes.resize(size_t(kNameLength));
    return cp1251ToUtf8(bytes);
}

// ---- NUniSetObj ----

NUniSetObj::NUniSetObj() : symbol(std::make_unique<NUniGraphObj>()) {}
NUniSetObj::~NUniSetObj() = default;

void NUniSetObj::createFromTemplate(const FizDisp& tmpl) {
    symbol = NUniGraphObj::createFromTemplate(tmpl);
    symbol->owner = owner;
    length = roundCoord(symbol->len);
}

bool NUniSetObj::hitTest(int32_t x, int32_t y) {
    symbol->owner = owner;
    return symbol->hitTest(x, y);
}

void NUniSetObj::draw(Canvas* canvas) {
    symbol->draw(canvas);
}

void NUniSetObj::getBounds(Rect& rect) {
    symbol->getBounds(rect);
}

void NUniSetObj::setEnds(Point p1, Point p2) {
    symbol->owner = owner;
    symbol->place(p1, p2);
}

void NUniSetObj::changeDirection() {
    symbol->owner = owner;
    symbol->reverse();
    orientation = orientation ? 0 : 1;
}

void NUniSetObj::saveToStream(BinaryWriter& w) {
    NSetObj::saveToStream(w);
    symbol->saveToStream(w);
}

void NUniSetObj::loadFromStream(BinaryReader& r) {
    NSetObj::loadFromStream(r);
    symbol->owner = owner;
    symbol->loadFromStream(r);
}

void NUniSetObj::defaultLabelPos(Point& p) {
    Extended along = Extended(roundCoord(Extended(length) / 2));
    symbol->localToWorld(-30, along, p);
    // Text hangs down from its anchor: above the symbol it needs more room.
    if (p.y < symbol->p1.y && p.y < symbol->p2.y) symbol->localToWorld(-50, along, p);
}

void NUniSetObj::updateLabel(int a, int b) {
    const char* l = letter();
    if (!l || !owner) {
        NFizSemEl::updateLabel(a, b);
        return;
    }
    if (!ensureLabel(nameLabel ? nullptr : NTwoBin::withMainText(l), LabelKind::Component)) return;
    if (auto* two = dynamic_cast<NTwoBin*>(nameLabel)) two->indexText = storableName(name);
    placeLabel();
}

std::string NUniSetObj::hint(const std::string& value, const char* suffix) const {
    return std::string(letter() ? letter() : "") + name + "=" + value + suffix;
}

void NUniSetObj::takeName(const QString& text) {
    name = storableName(text.toStdString());
}

// ---- values ----

std::string NUniRes::hintText() const {
    return hint(numfmt::standard(resistance), " Ohm");
}
std::string NUniEds::hintText() const {
    return hint(numfmt::standard(emf), " V");
}
std::string NUniIst::hintText() const {
    return hint(numfmt::standard(current), "Amps");
}
std::string NUniInd::hintText() const {
    return hint(numfmt::standard(inductance), "Gn");
}
std::string NUniCon::hintText() const {
    return hint(numfmt::standard(capacitance), "mkF");
}
std::string NUniImpedance::hintText() const {
    return hint(numfmt::standard(resistance) + "+" + numfmt::standard(reactance), "j Ohm");
}
std::string NUniAcSource::complexHint(const char* suffix) const {
    // A part that is only the rounding noise of a polar entry (10 at 90° has a real part of
    // -2.5E-19) shows as the 0 the user meant; the stored value stays as it is.
    const Extended noise = polarInput ? std::hypot(re, im) * 1e-15L : 0;
    auto part = [noise](Extended v) { return numfmt::standard(std::fabs(v) <= noise ? 0 : v); };
    return hint(part(re) + "+" + part(im), suffix);
}

#define QV_VALUE_RECORD(Class, field)                                                                        \
    void Class::saveToStream(BinaryWriter& w) {                                                              \
        NUniSetObj::saveToStream(w);                                                                         \
        w.writeExtended(field);                                                                              \
    }                                                                                                        \
    void Class::loadFromStream(BinaryReader& r) {                                                            \
        NUniSetObj::loadFromStream(r);                                                                       \
        r.readExtended(field);                                                                               \
    }

QV_VALUE_RECORD(NUniRes, resistance)
QV_VALUE_RECORD(NUniEds, emf)
QV_VALUE_RECORD(NUniIst, current)
QV_VALUE_RECORD(NUniInd, inductance)
QV_VALUE_RECORD(NUniCon, capacitance)
#undef QV_VALUE_RECORD

void NUniImpedance::saveToStream(BinaryWriter& w) {
    NUniSetObj::saveToStream(w);
    w.writeExtended(resistance);
    w.writeExtended(reactance);
}

void NUniImpedance::loadFromStream(BinaryReader& r) {
    NUniSetObj::loadFromStream(r);
    r.readExtended(resistance);
    r.readExtended(reactance);
}

void NUniAcSource::saveToStream(BinaryWriter& w) {
    NUniSetObj::saveToStream(w);
    w.writeExtended(re);
    w.writeExtended(im);
    w.writeByte(polarInput);
    w.writeByte(angleInDegrees);
}

void NUniAcSource::loadFromStream(BinaryReader& r) {
    NUniSetObj::loadFromStream(r);
    r.readExtended(re);
    r.readExtended(im);
    r.readByte(polarInput);
    r.readByte(angleInDegrees);
}

// hypot: squaring a part above about 1E2466 would overflow although the module is finite.
Extended NUniAcSource::module() const {
    return std::hypot(re, im);
}

Extended NUniAcSource::angle() const {
    constexpr Extended pi = std::numbers::pi_v<Extended>;
    if (re != 0) return std::atan(im / re) + (re < 0 ? pi : 0);
    return im > 0 ? pi / 2 : -pi / 2;
}

void NUniAcSource::setPolar(Extended m, Extended a) {
    re = std::cos(a) * m;
    im = std::sin(a) * m;
}

SchemeSources sourceKinds(const FizDisp& doc) {
    bool direct = false, alternating = false;
    for (NFizObj* o : doc.objects())
        if (auto* c = dynamic_cast<NUniSetObj*>(o)) switch (c->sourceKind()) {
            case SourceKind::DirectVoltage:
            case SourceKind::DirectCurrent:
                direct = true;
                break;
            case SourceKind::AlternatingVoltage:
            case SourceKind::AlternatingCurrent:
                alternating = true;
                break;
            case SourceKind::None:
                break;
            }
    if (direct && alternating) return SchemeSources::Mixed;
    return alternating ? SchemeSources::AlternatingOnly : SchemeSources::DirectOrNone;
}

} // namespace qv
