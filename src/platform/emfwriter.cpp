#include "platform/emfwriter.h"

#include <QFontMetricsF>
#include <QtEndian>
#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/emfformat.h"
#include "platform/fonts.h"

namespace qv {

namespace {

// Records are made in std::string: appending a few bytes to one is a bounds check and a copy.
using Bytes = std::string;

void put32(Bytes& b, uint32_t v) {
    char bytes[4];
    qToLittleEndian(v, bytes);
    b.append(bytes, 4);
}
void putI32(Bytes& b, int32_t v) {
    put32(b, uint32_t(v));
}
void put16(Bytes& b, uint16_t v) {
    char bytes[2];
    qToLittleEndian(v, bytes);
    b.append(bytes, 2);
}
void putRect(Bytes& b, const Rect& r) {
    putI32(b, r.left);
    putI32(b, r.top);
    putI32(b, r.right);
    putI32(b, r.bottom);
}
void putPoint(Bytes& b, Point p) {
    putI32(b, p.x);
    putI32(b, p.y);
}
void pad4(Bytes& b) {
    while (b.size() % 4)
        b.push_back('\0');
}
Bytes u32(uint32_t v) {
    Bytes b;
    put32(b, v);
    return b;
}

uint32_t ropOf(uint8_t mode) {
    // The pen modes are stored in the order of the binary raster operations, which start at 1.
    static constexpr uint32_t rops[16] = {1, 16, 11, 6, 13, 4, 14, 5, 12, 3, 15, 2, 9, 8, 7, 10};
    return mode < 16 ? rops[mode] : emf::R2CopyPen;
}

bool fitsInt16(const std::vector<Point>& pts) {
    return std::all_of(pts.begin(), pts.end(), [](Point p) {
        return p.x >= INT16_MIN && p.x <= INT16_MAX && p.y >= INT16_MIN && p.y <= INT16_MAX;
    });
}

Rect boxOf(const std::vector<Point>& pts) {
    Rect r{pts[0].x, pts[0].y, pts[0].x, pts[0].y};
    for (Point p : pts) {
        r.left = std::min(r.left, p.x);
        r.top = std::min(r.top, p.y);
        r.right = std::max(r.right, p.x);
        r.bottom = std::max(r.bottom, p.y);
    }
    return r;
}

/// The face a reader finds: the "Cyr" names are the same typeface under an old character-set
/// alias, and symbol-font text is written as the Greek letters it stands for.
QString faceFor(const FontRec& f) {
    QString name = QString::fromStdString(f.name);
    if (isSymbolFont(name)) return QStringLiteral("Times New Roman");
    if (name.endsWith(QStringLiteral(" Cyr"), Qt::CaseInsensitive)) name.chop(4);
    return name;
}

int32_t clampToInt32(double v) {
    return int32_t(std::clamp(std::lround(v), long(INT32_MIN), long(INT32_MAX)));
}

} // namespace

EmfCanvas::EmfCanvas() : Canvas(nullptr) {
    // Text and hatches leave what lies beneath them, as on the pages.
    record(emf::SetBkMode, u32(emf::Transparent));
}

void EmfCanvas::setDescription(const QString& application, const QString& picture) {
    // Two strings, each ending with a zero character, and one more zero at the end.
    description_ = application + QChar(0) + picture + QChar(0) + QChar(0);
}

void EmfCanvas::setFrame(const Rect& r) {
    frame_ = r;
    haveFrame_ = true;
}

void EmfCanvas::setMapMode(uint32_t mode) {
    mapMode_ = mode;
    record(emf::SetMapMode, u32(mode));
}

void EmfCanvas::setWindowOrg(Point origin) {
    windowOrg_ = origin;
    Bytes b;
    putPoint(b, origin);
    record(emf::SetWindowOrgEx, b);
}

void EmfCanvas::setWindowExt(int32_t cx, int32_t cy) {
    if (cx == 0 || cy == 0) return;
    windowExtX_ = cx;
    windowExtY_ = cy;
    Bytes b;
    putI32(b, cx);
    putI32(b, cy);
    record(emf::SetWindowExtEx, b);
}

void EmfCanvas::setViewportOrg(Point origin) {
    viewportOrg_ = origin;
    Bytes b;
    putPoint(b, origin);
    record(emf::SetViewportOrgEx, b);
}

void EmfCanvas::setViewportExt(int32_t cx, int32_t cy) {
    if (cx == 0 || cy == 0) return;
    viewportExtX_ = cx;
    viewportExtY_ = cy;
    Bytes b;
    putI32(b, cx);
    putI32(b, cy);
    record(emf::SetViewportExtEx, b);
}

Point EmfCanvas::toDevice(Point p) const {
    double sx = 1, sy = 1;
    if (mapMode_ == emf::MmAnisotropic || mapMode_ == emf::MmIsotropic) {
        sx = double(viewportExtX_) / windowExtX_;
        sy = double(viewportExtY_) / windowExtY_;
        if (mapMode_ == emf::MmIsotropic) {
            // Both axes take the smaller scale, each keeping its own sign.
            double s = std::min(std::fabs(sx), std::fabs(sy));
            sx = std::copysign(s, sx);
            sy = std::copysign(s, sy);
        }
    }
    return {clampToInt32(viewportOrg_.x + (double(p.x) - windowOrg_.x) * sx),
            clampToInt32(viewportOrg_.y + (double(p.y) - windowOrg_.y) * sy)};
}

void EmfCanvas::record(uint32_t type, const std::string& body) {
    put32(records_, type);
    put32(records_, uint32_t(8 + body.size()));
    records_.append(body);
    ++recordCount_;
}

void EmfCanvas::grow(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t margin) {
    Rect r{int32_t(std::min(x1, x2) - margin), int32_t(std::min(y1, y2) - margin),
           int32_t(std::max(x1, x2) + margin), int32_t(std::max(y1, y2) + margin)};
    unionBounds(bounds_, haveBounds_, r);
}

bool EmfCanvas::drawnBounds(Rect& r) const {
    if (haveBounds_) r = bounds_;
    return haveBounds_;
}

void EmfCanvas::selectRop(uint32_t rop) {
    if (rop == rop_) return;
    rop_ = rop;
    record(emf::SetRop2, u32(rop));
}

void EmfCanvas::selectPen() {
    selectRop(ropOf(pen().mode));
    if (penKnown_ && !nullPen_ && pen_ == pen()) return;
    Pen p = pen();
    penSlot_ = penSlot_ == 1 ? 2 : 1;
    Bytes b;
    put32(b, penSlot_);
    uint32_t style = p.style <= psInsideFrame ? uint32_t(p.style) : uint32_t(emf::PsSolid);
    if (p.mode == pmNop) style = emf::PsNull;
    put32(b, style);
    putI32(b, std::max<int32_t>(p.width, 0)); // width: x only
    putI32(b, 0);
    Colour c = p.color & 0xFFFFFF;
    if (p.mode == pmBlack) c = 0;
    if (p.mode == pmWhite) c = 0xFFFFFF;
    put32(b, c);
    record(emf::CreatePen, b);
    record(emf::SelectObject, u32(penSlot_));
    if (penKnown_ && !nullPen_) record(emf::DeleteObject, u32(penSlot_ == 1 ? 2 : 1));
    penKnown_ = true;
    nullPen_ = false;
    pen_ = p;
}

void EmfCanvas::selectNullPen() {
    if (penKnown_ && nullPen_) return;
    record(emf::SelectObject, u32(emf::kStockObject | emf::NullPen));
    if (penKnown_) record(emf::DeleteObject, u32(penSlot_));
    penKnown_ = true;
    nullPen_ = true;
}

void EmfCanvas::selectBrush() {
    if (brushKnown_ && brush_ == brush()) return;
    Brush br = brush();
    brushSlot_ = brushSlot_ == 3 ? 4 : 3;
    Bytes b;
    put32(b, brushSlot_);
    if (br.style == bsSolid) {
        put32(b, emf::BsSolid);
        put32(b, br.color & 0xFFFFFF);
        put32(b, 0);
    } else if (br.style == bsClear) {
        put32(b, emf::BsNull);
        put32(b, 0);
        put32(b, 0);
    } else {
        // The hatches are stored in the format's own order, from horizontal on.
        put32(b, emf::BsHatched);
        put32(b, br.color & 0xFFFFFF);
        put32(b, uint32_t(std::min<int>(br.style, bsDiagCross) - bsHorizontal));
    }
    record(emf::CreateBrushIndirect, b);
    record(emf::SelectObject, u32(brushSlot_));
    if (brushKnown_) record(emf::DeleteObject, u32(brushSlot_ == 3 ? 4 : 3));
    brushKnown_ = true;
    brush_ = br;
}

void EmfCanvas::selectBrushFor(Colour color) {
    Brush saved = brush();
    setBrush({color, bsSolid});
    selectBrush();
    setBrush(saved);
}

void EmfCanvas::selectFont(const FontRec& f, int escapement) {
    if (!textColorKnown_ || textColor_ != (f.color & 0xFFFFFF)) {
        textColor_ = f.color & 0xFFFFFF;
        textColorKnown_ = true;
        record(emf::SetTextColor, u32(textColor_));
    }
    if (fontKnown_ && font_ == f && escapement_ == escapement) return;
    fontSlot_ = fontSlot_ == 5 ? 6 : 5;
    Bytes b;
    put32(b, fontSlot_);
    // The canvas takes the height as the size of the letters (the em), which the format
    // writes as a negative height.
    int32_t h = f.height < 0 ? -f.height : f.height;
    if (h == 0) h = 13;
    putI32(b, -h);
    putI32(b, 0);          // width: the face's own
    putI32(b, escapement); // escapement and orientation, tenths of a degree
    putI32(b, escapement);
    putI32(b, (f.style & 1) ? 700 : 400);
    b.push_back(char((f.style & 2) ? 1 : 0));
    b.push_back(char((f.style & 4) ? 1 : 0));
    b.push_back(char((f.style & 8) ? 1 : 0));
    b.push_back(char(1)); // default character set: the text is Unicode
    b.push_back(char(0)); // output precision
    b.push_back(char(0)); // clip precision
    b.push_back(char(0)); // quality
    b.push_back(char(f.pitch <= 2 ? f.pitch : 0));
    QString face = faceFor(f).left(31);
    for (int i = 0; i < 32; ++i)
        put16(b, i < face.size() ? face[i].unicode() : 0);
    record(emf::ExtCreateFontIndirectW, b);
    record(emf::SelectObject, u32(fontSlot_));
    if (fontKnown_) record(emf::DeleteObject, u32(fontSlot_ == 5 ? 6 : 5));
    fontKnown_ = true;
    font_ = f;
    escapement_ = escapement;
}

void EmfCanvas::line(Point a, Point b) {
    selectPen();
    Bytes m;
    putPoint(m, a);
    record(emf::MoveToEx, m);
    Bytes l;
    putPoint(l, b);
    record(emf::LineTo, l);
    grow(a.x, a.y, b.x, b.y, pen().width / 2 + 1);
}

void EmfCanvas::ellipse(int32_t l, int32_t t, int32_t r, int32_t bt) {
    selectPen();
    selectBrush();
    Bytes b;
    putRect(b, {l, t, r, bt});
    record(emf::Ellipse, b);
    grow(l, t, r, bt, pen().width / 2 + 1);
}

void EmfCanvas::arc(int32_t l, int32_t t, int32_t r, int32_t bt, Point start, Point end) {
    selectPen();
    Bytes b;
    putRect(b, {l, t, r, bt});
    putPoint(b, start);
    putPoint(b, end);
    record(emf::Arc, b);
    grow(l, t, r, bt, pen().width / 2 + 1);
}

void EmfCanvas::polyRecord(uint32_t type16, uint32_t type32, const std::vector<Point>& pts) {
    Rect box = boxOf(pts);
    Bytes b;
    putRect(b, box);
    put32(b, uint32_t(pts.size()));
    // Small coordinates take the short records, as the system's own metafiles do.
    if (fitsInt16(pts)) {
        for (Point p : pts) {
            put16(b, uint16_t(int16_t(p.x)));
            put16(b, uint16_t(int16_t(p.y)));
        }
        pad4(b);
        record(type16, b);
    } else {
        for (Point p : pts)
            putPoint(b, p);
        record(type32, b);
    }
    grow(box.left, box.top, box.right, box.bottom, pen().width / 2 + 1);
}

void EmfCanvas::polyline(const std::vector<Point>& pts) {
    if (pts.empty()) return;
    selectPen();
    polyRecord(emf::Polyline16, emf::Polyline, pts);
}

void EmfCanvas::polygon(const std::vector<Point>& pts) {
    if (pts.empty()) return;
    selectPen();
    selectBrush();
    polyRecord(emf::Polygon16, emf::Polygon, pts);
}

void EmfCanvas::text(Point at, const QString& s, const FontRec& f, int escapement) {
    if (s.isEmpty()) return;
    // Text is drawn with the plain copy operation, whatever the pen's mode.
    selectRop(emf::R2CopyPen);
    selectFont(f, escapement);
    const QString shown = isSymbolFont(QString::fromStdString(f.name)) ? symbolToGreek(s) : s;
    // The advances of our own layout, so that a reader with other fonts keeps the text's width.
    if (!metrics_ || !(metricsFont_ == f)) {
        metrics_.emplace(toQFont(f));
        metricsFont_ = f;
    }
    const QFontMetricsF& fm = *metrics_;
    std::vector<uint32_t> dx;
    dx.reserve(size_t(shown.size()));
    double x = 0;
    long placed = 0;
    for (QChar ch : shown) {
        x += fm.horizontalAdvance(ch);
        long next = std::lround(x);
        dx.push_back(uint32_t(std::max(0L, next - placed)));
        placed = std::max(placed, next);
    }
    const uint32_t chars = uint32_t(shown.size());
    const uint32_t offString = 76;
    const uint32_t stringBytes = (chars * 2 + 3) & ~3u;
    const uint32_t offDx = offString + stringBytes;

    int32_t w = int32_t(placed), h = int32_t(std::ceil(fm.height()));
    Bytes b;
    // Bounds: the text's cell, turned with the escapement.
    double a = escapement / 10.0 * M_PI / 180.0;
    double c = std::cos(a), sn = std::sin(a);
    double xs[4] = {0, double(w), 0, double(w)}, ys[4] = {0, 0, double(h), double(h)};
    double minx = 0, maxx = 0, miny = 0, maxy = 0;
    for (int i = 0; i < 4; ++i) {
        double rx = xs[i] * c + ys[i] * sn, ry = -xs[i] * sn + ys[i] * c;
        minx = std::min(minx, rx);
        maxx = std::max(maxx, rx);
        miny = std::min(miny, ry);
        maxy = std::max(maxy, ry);
    }
    Rect box{clampToInt32(at.x + minx), clampToInt32(at.y + miny), clampToInt32(at.x + maxx),
             clampToInt32(at.y + maxy)};
    putRect(b, box);
    put32(b, 1); // compatible graphics mode
    const float scale = 0;
    uint32_t fbits;
    std::memcpy(&fbits, &scale, 4);
    put32(b, fbits);
    put32(b, fbits);
    putPoint(b, at);
    put32(b, chars);
    put32(b, offString);
    put32(b, 0); // options: no clipping, no opaque box
    putRect(b, {0, 0, -1, -1});
    put32(b, offDx);
    for (QChar ch : shown)
        put16(b, ch.unicode());
    pad4(b);
    for (uint32_t d : dx)
        put32(b, d);
    record(emf::ExtTextOutW, b);
    grow(box.left, box.top, box.right, box.bottom, 0);
}

void EmfCanvas::pixel(Point at, Colour color) {
    Bytes b;
    putPoint(b, at);
    put32(b, color & 0xFFFFFF);
    record(emf::SetPixelV, b);
    grow(at.x, at.y, at.x, at.y, 0);
}

void EmfCanvas::pixels(const std::vector<Point>& points, Colour color) {
    for (Point p : points)
        pixel(p, color);
}

void EmfCanvas::fillRect(const Rect& r, Colour color) {
    selectRop(emf::R2CopyPen);
    selectNullPen();
    selectBrushFor(color);
    // Without a pen the format fills one unit less to the right and down.
    Bytes b;
    putRect(b, {r.left, r.top, r.right + 1, r.bottom + 1});
    record(emf::Rectangle, b);
    grow(r.left, r.top, r.right, r.bottom, 0);
}

QByteArray EmfCanvas::finish() const {
    Bytes desc;
    for (QChar ch : description_)
        put16(desc, ch.unicode());
    pad4(desc);

    Rect dev{0, 0, -1, -1}; // the empty rectangle, for a picture with nothing drawn
    if (haveBounds_) {
        Point a = toDevice({bounds_.left, bounds_.top}), b = toDevice({bounds_.right, bounds_.bottom});
        dev = {std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
    }
    Rect frame = frame_;
    if (!haveFrame_) {
        // Device units to hundredths of a millimetre on the reference device.
        auto mmx = [](int32_t v) { return clampToInt32(v * 100.0 * kDeviceWidthMm / kDeviceWidthPx); };
        auto mmy = [](int32_t v) { return clampToInt32(v * 100.0 * kDeviceHeightMm / kDeviceHeightPx); };
        frame = haveBounds_ ? Rect{mmx(dev.left), mmy(dev.top), mmx(dev.right), mmy(dev.bottom)} : Rect{};
    }

    const uint32_t eofSize = 20;
    const uint32_t total = emf::kHeaderSize + uint32_t(desc.size()) + uint32_t(records_.size()) + eofSize;
    Bytes out;
    out.reserve(total);
    put32(out, emf::Header);
    put32(out, emf::kHeaderSize + uint32_t(desc.size()));
    putRect(out, dev);
    putRect(out, frame);
    put32(out, emf::kSignature);
    put32(out, emf::kVersion);
    put32(out, total);
    put32(out, recordCount_ + 2);
    put16(out, 7); // handles: the reserved 0 and two each for pens, brushes and fonts
    put16(out, 0);
    put32(out, uint32_t(description_.size()));
    put32(out, description_.isEmpty() ? 0 : emf::kHeaderSize);
    put32(out, 0); // palette entries
    putI32(out, kDeviceWidthPx);
    putI32(out, kDeviceHeightPx);
    putI32(out, kDeviceWidthMm);
    putI32(out, kDeviceHeightMm);
    put32(out, 0); // no pixel format
    put32(out, 0);
    put32(out, 0); // no OpenGL
    putI32(out, kDeviceWidthMm * 1000);
    putI32(out, kDeviceHeightMm * 1000);
    out.append(desc);
    out.append(records_);
    put32(out, emf::Eof);
    put32(out, eofSize);
    put32(out, 0);  // no palette entries
    put32(out, 16); // where they would be
    put32(out, eofSize);
    return QByteArray(out.data(), qsizetype(out.size()));
}

} // namespace qv
