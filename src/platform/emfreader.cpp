#include "platform/emfreader.h"

#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QTransform>
#include <QtEndian>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>

#include "platform/emfformat.h"
#include "platform/fonts.h"

namespace qv {

namespace {

/// Checked reads inside one record: anything outside it reads as "no".
struct RecordView {
    const uint8_t* p;
    uint32_t size;
    bool u32(uint32_t off, uint32_t& v) const {
        if (off > size || size - off < 4) return false;
        v = qFromLittleEndian<uint32_t>(p + off);
        return true;
    }
    bool i32(uint32_t off, int32_t& v) const {
        uint32_t u;
        if (!u32(off, u)) return false;
        v = int32_t(u);
        return true;
    }
    bool i16(uint32_t off, int16_t& v) const {
        if (off > size || size - off < 2) return false;
        v = qFromLittleEndian<int16_t>(p + off);
        return true;
    }
    bool u16(uint32_t off, uint16_t& v) const {
        int16_t s;
        if (!i16(off, s)) return false;
        v = uint16_t(s);
        return true;
    }
    bool point(uint32_t off, QPointF& pt) const {
        int32_t x, y;
        if (!i32(off, x) || !i32(off + 4, y)) return false;
        pt = QPointF(x, y);
        return true;
    }
    bool rect(uint32_t off, QRectF& r) const {
        int32_t l, t, rr, b;
        if (!i32(off, l) || !i32(off + 4, t) || !i32(off + 8, rr) || !i32(off + 12, b)) return false;
        r = QRectF(QPointF(l, t), QPointF(rr, b));
        return true;
    }
    /// Whether `count` items of `item` bytes fit from `off` on.
    bool fits(uint32_t off, uint64_t count, uint32_t item) const {
        return off <= size && count * item <= uint64_t(size - off);
    }
};

QColor colourOf(uint32_t c) {
    return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
}

QPainter::CompositionMode compositionOf(uint32_t rop) {
    switch (rop) {
    case 6:
        return QPainter::RasterOp_NotDestination;
    case 4:
        return QPainter::RasterOp_NotSource;
    case 7:
        return QPainter::RasterOp_SourceXorDestination;
    case 10:
        return QPainter::RasterOp_NotSourceXorDestination;
    case 9:
        return QPainter::RasterOp_SourceAndDestination;
    case 15:
        return QPainter::RasterOp_SourceOrDestination;
    case 8:
        return QPainter::RasterOp_NotSourceOrNotDestination;
    case 2:
        return QPainter::RasterOp_NotSourceAndNotDestination;
    case 5:
        return QPainter::RasterOp_SourceAndNotDestination;
    case 3:
        return QPainter::RasterOp_NotSourceAndDestination;
    case 12:
        return QPainter::RasterOp_NotSourceOrDestination;
    case 14:
        return QPainter::RasterOp_SourceOrNotDestination;
    default:
        return QPainter::CompositionMode_SourceOver;
    }
}

/// Drawing far outside any sensible page (a damaged or hostile record) is left out: it would
/// show nothing and could take the painter a very long time.
constexpr double kFarAway = 1e6;

} // namespace

// ---- loading ----

bool EmfPicture::load(const QByteArray& data, QString* error) {
    auto failWith = [&](const QString& why) {
        if (error) *error = why;
        records_.clear();
        data_.clear();
        return false;
    };
    records_.clear();
    const auto* p = reinterpret_cast<const uint8_t*>(data.constData());
    const uint64_t n = uint64_t(data.size());
    RecordView whole{p, uint32_t(std::min<uint64_t>(n, UINT32_MAX))};
    uint32_t type = 0, size = 0, signature = 0;
    if (n < emf::kMinHeaderSize || !whole.u32(0, type) || type != emf::Header || !whole.u32(40, signature) ||
        signature != emf::kSignature)
        return failWith(QStringLiteral("This is not an enhanced metafile."));
    if (n > uint64_t(kMaxFileSize))
        return failWith(QStringLiteral("The metafile is larger than %1 MB.").arg(kMaxFileSize >> 20));
    whole.u32(4, size);
    if (size < emf::kMinHeaderSize || size % 4 || size > n)
        return failWith(QStringLiteral("The metafile is damaged: its header is %1 bytes long.").arg(size));

    std::vector<Record> recs;
    uint64_t off = 0;
    bool ended = false;
    while (off + 8 <= n) {
        whole.u32(uint32_t(off), type);
        whole.u32(uint32_t(off + 4), size);
        if (size < 8 || size % 4 || size > n - off)
            return failWith(QStringLiteral("The metafile is damaged: the record at byte %1 claims %2 bytes.")
                                .arg(off)
                                .arg(size));
        recs.push_back({type, uint32_t(off), size});
        off += size;
        if (type == emf::Eof) {
            ended = true;
            break;
        }
    }
    if (!ended) return failWith(QStringLiteral("The metafile is damaged: it ends before its end record."));

    data_ = data;
    records_ = std::move(recs);
    p = reinterpret_cast<const uint8_t*>(data_.constData());
    RecordView head{p, records_[0].size};
    QRectF b, f;
    head.rect(8, b);
    head.rect(24, f);
    bounds_ = {int32_t(b.left()), int32_t(b.top()), int32_t(b.right()), int32_t(b.bottom())};
    frame_ = {int32_t(f.left()), int32_t(f.top()), int32_t(f.right()), int32_t(f.bottom())};
    head.u16(56, handles_);
    head.i32(72, deviceW_);
    head.i32(76, deviceH_);
    head.i32(80, deviceMmW_);
    head.i32(84, deviceMmH_);
    description_.clear();
    uint32_t descChars = 0, descOff = 0;
    head.u32(60, descChars);
    head.u32(64, descOff);
    if (descChars > 0 && head.fits(descOff, descChars, 2)) {
        for (uint32_t i = 0; i < descChars && i < 256; ++i) {
            uint16_t ch = 0;
            head.u16(descOff + 2 * i, ch);
            description_ += ch ? QChar(ch) : QChar('\n');
        }
        description_ = description_.trimmed();
    }
    return true;
}

bool EmfPicture::loadFile(const QString& path, QString* error) {
    QFile file(path);
    const QString name = QFileInfo(path).fileName();
    if (!file.open(QIODevice::ReadOnly)) {
        if (error) *error = QStringLiteral("Cannot open \"%1\": %2").arg(name, file.errorString());
        records_.clear();
        return false;
    }
    if (file.size() > kMaxFileSize) {
        if (error)
            *error = QStringLiteral("\"%1\": the metafile is larger than %2 MB.")
                         .arg(name)
                         .arg(kMaxFileSize >> 20);
        records_.clear();
        return false;
    }
    QString why;
    if (load(file.readAll(), &why)) return true;
    if (error) *error = QStringLiteral("\"%1\": %2").arg(name, why);
    return false;
}

QSizeF EmfPicture::sizeMm() const {
    return QSizeF(std::fabs(double(frame_.right) - frame_.left) / 100.0,
                  std::fabs(double(frame_.bottom) - frame_.top) / 100.0);
}

QSize EmfPicture::pixelSize(double dpi) const {
    QSizeF mm = sizeMm();
    auto px = [&](double v) { return int(std::clamp(std::lround(v * dpi / 25.4), 1L, 20000L)); };
    return QSize(px(mm.width()), px(mm.height()));
}

QImage EmfPicture::toImage(double dpi, QColor background) const {
    QImage img(pixelSize(dpi), QImage::Format_RGB32);
    img.fill(background);
    if (isNull()) return img;
    QPainter painter(&img);
    painter.setRenderHint(QPainter::Antialiasing, false);
    play(painter, QRectF(QPointF(0, 0), QSizeF(img.size())));
    return img;
}

// ---- playing ----

class EmfPlayer {
  public:
    EmfPlayer(const EmfPicture& pic, QPainter& painter, const QRectF& target)
        : pic_(pic), painter_(painter), objects_(std::max<int>(pic.handles_, 1)) {
        // The frame in device units is what the target shows.
        double pxPerMmX =
            pic.deviceMmW_ > 0 && pic.deviceW_ > 0 ? double(pic.deviceW_) / pic.deviceMmW_ : 96 / 25.4;
        double pxPerMmY =
            pic.deviceMmH_ > 0 && pic.deviceH_ > 0 ? double(pic.deviceH_) / pic.deviceMmH_ : 96 / 25.4;
        QRectF frame(QPointF(pic.frame_.left / 100.0 * pxPerMmX, pic.frame_.top / 100.0 * pxPerMmY),
                     QPointF(pic.frame_.right / 100.0 * pxPerMmX, pic.frame_.bottom / 100.0 * pxPerMmY));
        frame = frame.normalized();
        if (frame.width() < 1 || frame.height() < 1) {
            // No usable frame: the bounds show the picture.
            frame = QRectF(QPointF(pic.bounds_.left, pic.bounds_.top),
                           QPointF(pic.bounds_.right, pic.bounds_.bottom))
                        .normalized();
        }
        if (frame.width() < 1) frame.setWidth(1);
        if (frame.height() < 1) frame.setHeight(1);
        deviceToTarget_ =
            QTransform::fromTranslate(-frame.left(), -frame.top()) *
            QTransform::fromScale(target.width() / frame.width(), target.height() / frame.height()) *
            QTransform::fromTranslate(target.left(), target.top()) * painter.transform();
        target_ = target;
    }

    void run() {
        painter_.save();
        painter_.setClipRect(target_, Qt::IntersectClip);
        applyPen();
        applyBrush();
        for (const EmfPicture::Record& r : pic_.records_) {
            RecordView v{reinterpret_cast<const uint8_t*>(pic_.data_.constData()) + r.offset, r.size};
            if (!play(r.type, v)) ++pic_.skipped_;
        }
        painter_.restore();
    }

  private:
    struct Object {
        enum Kind { None, Pen, Brush, Font } kind = None;
        QPen pen;
        QBrush brush;
        QFont font{QStringLiteral("Arial")};
        int escapement = 0;
    };
    struct State {
        uint32_t mapMode = emf::MmText;
        QPointF windowOrg, viewportOrg;
        QSizeF windowExt{1, 1}, viewportExt{1, 1};
        QPen pen{Qt::black, 0};
        bool nullPen = false;
        QBrush brush{Qt::white};
        QFont font{QStringLiteral("Arial")};
        int escapement = 0;
        QColor textColor = Qt::black;
        uint32_t bkMode = emf::Opaque;
        QColor bkColor = Qt::white;
        uint32_t textAlign = 0;
        uint32_t rop = emf::R2CopyPen;
        Qt::FillRule fillRule = Qt::OddEvenFill;
        bool clockwise = false;
        QPointF current;
    };

    /// Logical units to the painter's device.
    QTransform transform() const {
        double sx = 1, sy = 1;
        if (s_.mapMode == emf::MmAnisotropic || s_.mapMode == emf::MmIsotropic) {
            sx = s_.viewportExt.width() / s_.windowExt.width();
            sy = s_.viewportExt.height() / s_.windowExt.height();
            if (s_.mapMode == emf::MmIsotropic) {
                double m = std::min(std::fabs(sx), std::fabs(sy));
                sx = std::copysign(m, sx);
                sy = std::copysign(m, sy);
            }
        }
        QTransform logical = QTransform::fromTranslate(-s_.windowOrg.x(), -s_.windowOrg.y()) *
                             QTransform::fromScale(sx, sy) *
                             QTransform::fromTranslate(s_.viewportOrg.x(), s_.viewportOrg.y());
        return logical * deviceToTarget_;
    }

    /// Whether a logical rectangle lands somewhere a page could be.
    bool sane(const QRectF& logical) const {
        QRectF r = transform().mapRect(logical);
        auto ok = [](double v) { return std::isfinite(v) && std::fabs(v) < kFarAway; };
        return ok(r.left()) && ok(r.right()) && ok(r.top()) && ok(r.bottom());
    }

    bool begin(const QRectF& logical) {
        if (!sane(logical.normalized())) return false;
        painter_.setTransform(transform());
        return true;
    }

    void applyPen() {
        QPen p = s_.nullPen ? QPen(Qt::NoPen) : s_.pen;
        if (s_.rop == 1) p.setColor(Qt::black);
        if (s_.rop == 16) p.setColor(Qt::white);
        if (s_.rop == 11) p.setStyle(Qt::NoPen);
        painter_.setPen(p);
        painter_.setCompositionMode(compositionOf(s_.rop));
    }
    void applyBrush() {
        QBrush b = s_.brush;
        painter_.setBrush(b);
        painter_.setBackgroundMode(s_.bkMode == emf::Opaque ? Qt::OpaqueMode : Qt::TransparentMode);
        painter_.setBackground(s_.bkColor);
    }

    bool slot(const RecordView& v, uint32_t& index) const {
        return v.u32(8, index) && index > 0 && index < objects_.size();
    }

    bool createPen(const RecordView& v) {
        uint32_t index, style, colour;
        int32_t width;
        if (!slot(v, index) || !v.u32(12, style) || !v.i32(16, width) || !v.u32(24, colour)) return false;
        objects_[index] = {};
        objects_[index].kind = Object::Pen;
        objects_[index].pen = makePen(style, width, colour);
        return true;
    }
    bool extCreatePen(const RecordView& v) {
        uint32_t index, style, width, brushStyle, colour;
        // ihPen, offBmi, cbBmi, offBits, cbBits, then the extended pen: style, width, brush.
        if (!slot(v, index) || !v.u32(28, style) || !v.u32(32, width) || !v.u32(36, brushStyle) ||
            !v.u32(40, colour))
            return false;
        objects_[index] = {};
        objects_[index].kind = Object::Pen;
        objects_[index].pen = makePen(style, int32_t(std::min<uint32_t>(width, INT32_MAX)), colour);
        if (brushStyle == emf::BsNull) objects_[index].pen.setStyle(Qt::NoPen);
        return true;
    }
    static QPen makePen(uint32_t style, int32_t width, uint32_t colour) {
        QPen p(colourOf(colour));
        // Qt takes widths below 32768 only.
        p.setWidthF(width <= 1 ? 0 : std::min(double(width), 32767.0));
        switch (style & emf::kPenStyleMask) {
        case emf::PsDash:
            p.setStyle(Qt::DashLine);
            break;
        case emf::PsDot:
            p.setStyle(Qt::DotLine);
            break;
        case emf::PsDashDot:
            p.setStyle(Qt::DashDotLine);
            break;
        case emf::PsDashDotDot:
            p.setStyle(Qt::DashDotDotLine);
            break;
        case emf::PsNull:
            p.setStyle(Qt::NoPen);
            break;
        default:
            p.setStyle(Qt::SolidLine);
        }
        return p;
    }
    bool createBrush(const RecordView& v) {
        uint32_t index, style, colour, hatch;
        if (!slot(v, index) || !v.u32(12, style) || !v.u32(16, colour) || !v.u32(20, hatch)) return false;
        objects_[index] = {};
        objects_[index].kind = Object::Brush;
        QBrush b(colourOf(colour));
        if (style == emf::BsNull) b.setStyle(Qt::NoBrush);
        if (style == emf::BsHatched) {
            static constexpr Qt::BrushStyle hatches[6] = {Qt::HorPattern,   Qt::VerPattern,
                                                          Qt::FDiagPattern, Qt::BDiagPattern,
                                                          Qt::CrossPattern, Qt::DiagCrossPattern};
            b.setStyle(hatch < 6 ? hatches[hatch] : Qt::SolidPattern);
        }
        objects_[index].brush = b;
        return true;
    }
    bool createFont(const RecordView& v) {
        uint32_t index;
        int32_t height, escapement, weight;
        if (!slot(v, index) || !v.i32(12, height) || !v.i32(20, escapement) || !v.i32(28, weight) ||
            !v.fits(12, 1, emf::kLogFontSize))
            return false;
        QString face;
        for (uint32_t i = 0; i < 32; ++i) {
            uint16_t ch = 0;
            v.u16(40 + 2 * i, ch);
            if (!ch) break;
            face += QChar(ch);
        }
        // A face name with unprintable characters is damage, not a font.
        const bool printable = std::all_of(face.begin(), face.end(), [](QChar c) { return c.isPrint(); });
        QFont f(face.isEmpty() || !printable ? QStringLiteral("Arial") : face);
        // A negative height is the letters' size; a positive one the whole cell's.
        int64_t h = height < 0 ? -int64_t(height) : int64_t(height) * 8 / 10;
        f.setPixelSize(int(std::clamp<int64_t>(h, 1, 100000)));
        f.setWeight(weight >= 600 ? QFont::Bold : QFont::Normal);
        f.setItalic(v.p[32] != 0);
        f.setUnderline(v.p[33] != 0);
        f.setStrikeOut(v.p[34] != 0);
        objects_[index] = {};
        objects_[index].kind = Object::Font;
        objects_[index].font = f;
        objects_[index].escapement = escapement % 3600;
        return true;
    }

    bool selectObject(const RecordView& v) {
        uint32_t index;
        if (!v.u32(8, index)) return false;
        if (index & emf::kStockObject) {
            switch (index & ~emf::kStockObject) {
            case 0: // white, light grey, grey, dark grey, black brushes
            case 1:
            case 2:
            case 3:
            case 4: {
                static constexpr int grey[5] = {255, 192, 128, 64, 0};
                int g = grey[index & ~emf::kStockObject];
                s_.brush = QBrush(QColor(g, g, g));
                break;
            }
            case emf::NullBrush:
                s_.brush = QBrush(Qt::NoBrush);
                break;
            case emf::WhitePen:
                s_.pen = QPen(Qt::white, 0);
                s_.nullPen = false;
                break;
            case emf::BlackPen:
                s_.pen = QPen(Qt::black, 0);
                s_.nullPen = false;
                break;
            case emf::NullPen:
                s_.nullPen = true;
                break;
            case 10: // the stock fonts
            case 11:
            case 12:
            case 13:
            case 14:
            case 16:
            case 17:
                s_.font = QFont(QStringLiteral("Arial"));
                s_.escapement = 0;
                break;
            case 15: // the default palette: colours are drawn as they are
                break;
            default:
                return false;
            }
        } else {
            if (index >= objects_.size()) return false;
            const Object& o = objects_[index];
            switch (o.kind) {
            case Object::Pen:
                s_.pen = o.pen;
                s_.nullPen = false;
                break;
            case Object::Brush:
                s_.brush = o.brush;
                break;
            case Object::Font:
                s_.font = o.font;
                s_.escapement = o.escapement;
                break;
            case Object::None:
                return false;
            }
        }
        applyPen();
        applyBrush();
        return true;
    }

    /// Points of a poly record: bounds (16 bytes), count, then the points from `off`.
    bool readPoints(const RecordView& v, uint32_t countOff, uint32_t pointsOff, bool shortPoints,
                    QPolygonF& out) const {
        uint32_t count;
        if (!v.u32(countOff, count) || !v.fits(pointsOff, count, shortPoints ? 4 : 8)) return false;
        return readPointsAt(v, pointsOff, count, shortPoints, out);
    }
    static bool readPointsAt(const RecordView& v, uint32_t off, uint32_t count, bool shortPoints,
                             QPolygonF& out) {
        if (!v.fits(off, count, shortPoints ? 4 : 8)) return false;
        out.clear();
        out.reserve(int(count));
        for (uint32_t i = 0; i < count; ++i) {
            if (shortPoints) {
                int16_t x = 0, y = 0;
                v.i16(off + 4 * i, x);
                v.i16(off + 4 * i + 2, y);
                out << QPointF(x, y);
            } else {
                int32_t x = 0, y = 0;
                v.i32(off + 8 * i, x);
                v.i32(off + 8 * i + 4, y);
                out << QPointF(x, y);
            }
        }
        return true;
    }

    bool poly(const RecordView& v, uint32_t type) {
        const bool shortPoints = type >= emf::PolyBezier16;
        QPolygonF pts;
        if (!readPoints(v, 24, 28, shortPoints, pts) || pts.isEmpty()) return false;
        QPolygonF all = pts;
        const bool to = type == emf::PolylineTo || type == emf::PolylineTo16 || type == emf::PolyBezierTo ||
                        type == emf::PolyBezierTo16;
        if (to) all.prepend(s_.current);
        if (to) s_.current = all.last();
        const bool bezier = type == emf::PolyBezier || type == emf::PolyBezier16 ||
                            type == emf::PolyBezierTo || type == emf::PolyBezierTo16;
        if (inPath_) {
            // Figures of a path are drawn when the path is filled or stroked.
            if (to && path_.elementCount() == 0) path_.moveTo(all[0]);
            if (!to) path_.moveTo(all[0]);
            if (bezier) {
                for (int i = 1; i + 2 < all.size(); i += 3)
                    path_.cubicTo(all[i], all[i + 1], all[i + 2]);
            } else {
                for (int i = 1; i < all.size(); ++i)
                    path_.lineTo(all[i]);
            }
            if (type == emf::Polygon || type == emf::Polygon16) path_.closeSubpath();
            return true;
        }
        if (!begin(all.boundingRect())) return true;
        switch (type) {
        case emf::Polygon:
        case emf::Polygon16:
            painter_.drawPolygon(pts, s_.fillRule);
            break;
        case emf::Polyline:
        case emf::Polyline16:
        case emf::PolylineTo:
        case emf::PolylineTo16:
            painter_.drawPolyline(all);
            break;
        default: { // Bézier curves: a start point, then three points per curve
            QPainterPath path(all[0]);
            for (int i = 1; i + 2 < all.size(); i += 3)
                path.cubicTo(all[i], all[i + 1], all[i + 2]);
            painter_.strokePath(path, painter_.pen());
        }
        }
        return true;
    }

    /// Fills and/or strokes the path that was recorded, then forgets it.
    bool drawPath(bool fill, bool stroke) {
        QPainterPath path = path_;
        path_ = QPainterPath();
        path.setFillRule(s_.fillRule);
        if (path.isEmpty() || !begin(path.controlPointRect())) return true;
        if (fill) painter_.fillPath(path, painter_.brush());
        if (stroke) painter_.strokePath(path, painter_.pen());
        return true;
    }

    bool polyPoly(const RecordView& v, uint32_t type) {
        const bool shortPoints = type == emf::PolyPolygon16 || type == emf::PolyPolyline16;
        uint32_t polys, total;
        if (!v.u32(24, polys) || !v.u32(28, total) || !v.fits(32, polys, 4)) return false;
        const uint64_t pointsOff = 32 + uint64_t(polys) * 4;
        if (pointsOff > v.size || !v.fits(uint32_t(pointsOff), total, shortPoints ? 4 : 8)) return false;
        uint64_t sum = 0;
        for (uint32_t i = 0; i < polys; ++i) {
            uint32_t c = 0;
            v.u32(32 + 4 * i, c);
            sum += c;
        }
        if (sum > total) return false;
        QPolygonF all;
        readPointsAt(v, uint32_t(pointsOff), total, shortPoints, all);
        if (all.isEmpty() || !begin(all.boundingRect())) return true;
        QPainterPath path;
        path.setFillRule(s_.fillRule);
        int at = 0;
        for (uint32_t i = 0; i < polys; ++i) {
            uint32_t c = 0;
            v.u32(32 + 4 * i, c);
            QPolygonF part = all.mid(at, int(c));
            at += int(c);
            if (part.isEmpty()) continue;
            if (type == emf::PolyPolygon || type == emf::PolyPolygon16) {
                path.addPolygon(part);
                path.closeSubpath();
            } else {
                painter_.drawPolyline(part);
            }
        }
        if (type == emf::PolyPolygon || type == emf::PolyPolygon16) painter_.drawPath(path);
        return true;
    }

    /// Angle in degrees (counter-clockwise on screen) of the ray from the box's centre to `p`.
    static double angleOf(const QRectF& box, QPointF p) {
        QPointF c = box.center();
        if (p == c) return 0;
        return std::atan2(c.y() - p.y(), p.x() - c.x()) * 180.0 / M_PI;
    }

    bool arcLike(const RecordView& v, uint32_t type) {
        QRectF box;
        QPointF start, end;
        if (!v.rect(8, box) || !v.point(24, start) || !v.point(32, end)) return false;
        box = box.normalized();
        if (!begin(box)) return true;
        double a1 = angleOf(box, start), a2 = angleOf(box, end);
        double span = a2 - a1;
        while (span <= 0)
            span += 360;
        if (start == end) span = 360;
        if (s_.clockwise) span -= 360;
        QPainterPath path;
        path.arcMoveTo(box, a1);
        QPointF first = path.currentPosition();
        if (type == emf::ArcTo) {
            path = QPainterPath(s_.current);
            path.lineTo(first);
        }
        if (type == emf::Pie) {
            path = QPainterPath(box.center());
            path.lineTo(first);
        }
        path.arcTo(box, a1, span);
        if (type == emf::ArcTo) s_.current = path.currentPosition();
        if (type == emf::Chord || type == emf::Pie) {
            path.closeSubpath();
            painter_.drawPath(path);
        } else {
            painter_.strokePath(path, painter_.pen());
        }
        return true;
    }

    bool text(const RecordView& v) {
        QPointF ref;
        uint32_t chars, offString, options, offDx;
        if (!v.point(36, ref) || !v.u32(44, chars) || !v.u32(48, offString) || !v.u32(52, options) ||
            !v.u32(72, offDx) || !v.fits(offString, chars, 2))
            return false;
        QString s;
        s.reserve(int(std::min<uint32_t>(chars, 100000)));
        for (uint32_t i = 0; i < chars; ++i) {
            uint16_t ch = 0;
            v.u16(offString + 2 * i, ch);
            s += QChar(ch);
        }
        const bool haveDx = offDx != 0 && v.fits(offDx, chars, 4);
        QFontMetricsF fm(s_.font);
        std::vector<double> xs;
        double width = 0;
        xs.reserve(chars);
        for (uint32_t i = 0; i < chars; ++i) {
            xs.push_back(width);
            uint32_t d = 0;
            if (haveDx) v.u32(offDx + 4 * i, d);
            width += haveDx ? double(std::min<uint32_t>(d, 1000000)) : fm.horizontalAdvance(s[int(i)]);
        }
        if (s_.textAlign & emf::kTaUpdateCp) ref = s_.current;
        double x = 0, y = 0;
        if ((s_.textAlign & emf::kTaCenter) == emf::kTaCenter)
            x = -width / 2;
        else if (s_.textAlign & emf::kTaRight)
            x = -width;
        if ((s_.textAlign & emf::kTaBaseline) == emf::kTaBaseline)
            y = 0;
        else if (s_.textAlign & emf::kTaBottom)
            y = -fm.descent();
        else
            y = fm.ascent();
        if (s_.textAlign & emf::kTaUpdateCp) s_.current = ref + QPointF(width, 0);
        QRectF cell(ref.x() - width - fm.height(), ref.y() - 2 * fm.height(), 2 * width + 2 * fm.height(),
                    4 * fm.height());
        if (s.isEmpty() || !begin(cell)) return true;
        painter_.save();
        painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
        painter_.translate(ref);
        if (s_.escapement) painter_.rotate(-s_.escapement / 10.0);
        painter_.setFont(s_.font);
        if (s_.bkMode == emf::Opaque)
            painter_.fillRect(QRectF(x, y - fm.ascent(), width, fm.height()), s_.bkColor);
        painter_.setPen(s_.textColor);
        if (haveDx) {
            for (uint32_t i = 0; i < chars; ++i)
                painter_.drawText(QPointF(x + xs[i], y), QString(s[int(i)]));
        } else {
            painter_.drawText(QPointF(x, y), s);
        }
        painter_.restore();
        return true;
    }

    bool play(uint32_t type, const RecordView& v) {
        uint32_t u = 0;
        QPointF pt;
        QRectF box;
        int32_t cx = 0, cy = 0;
        switch (type) {
        case emf::Header:
        case emf::Eof:
            return true;
        case emf::SetMapMode:
            if (!v.u32(8, u)) return false;
            s_.mapMode = u;
            return true;
        case emf::SetWindowOrgEx:
            if (!v.point(8, pt)) return false;
            s_.windowOrg = pt;
            return true;
        case emf::SetViewportOrgEx:
            if (!v.point(8, pt)) return false;
            s_.viewportOrg = pt;
            return true;
        case emf::SetWindowExtEx:
        case emf::SetViewportExtEx:
            if (!v.i32(8, cx) || !v.i32(12, cy)) return false;
            if (cx == 0 || cy == 0) return true; // the format ignores an empty extent
            (type == emf::SetWindowExtEx ? s_.windowExt : s_.viewportExt) = QSizeF(cx, cy);
            return true;
        case emf::SetBkMode:
            if (!v.u32(8, u)) return false;
            s_.bkMode = u;
            applyBrush();
            return true;
        case emf::SetBkColor:
            if (!v.u32(8, u)) return false;
            s_.bkColor = colourOf(u);
            applyBrush();
            return true;
        case emf::SetTextColor:
            if (!v.u32(8, u)) return false;
            s_.textColor = colourOf(u);
            return true;
        case emf::SetTextAlign:
            if (!v.u32(8, u)) return false;
            s_.textAlign = u;
            return true;
        case emf::SetPolyFillMode:
            if (!v.u32(8, u)) return false;
            s_.fillRule = u == 2 ? Qt::WindingFill : Qt::OddEvenFill;
            return true;
        case emf::SetArcDirection:
            if (!v.u32(8, u)) return false;
            s_.clockwise = u == 2;
            return true;
        case emf::SetRop2:
            if (!v.u32(8, u)) return false;
            s_.rop = u;
            applyPen();
            return true;
        case emf::SaveDC:
            if (saved_.size() >= 1000) return false;
            saved_.push_back(s_);
            return true;
        case emf::RestoreDC: {
            int32_t rel = 0;
            if (!v.i32(8, rel) || rel >= 0) return false;
            int64_t keep = int64_t(saved_.size()) + rel;
            if (keep < 0) return false;
            s_ = saved_[size_t(keep)];
            saved_.resize(size_t(keep));
            applyPen();
            applyBrush();
            return true;
        }
        case emf::CreatePen:
            return createPen(v);
        case emf::ExtCreatePen:
            return extCreatePen(v);
        case emf::CreateBrushIndirect:
            return createBrush(v);
        case emf::ExtCreateFontIndirectW:
            return createFont(v);
        case emf::SelectObject:
            return selectObject(v);
        case emf::DeleteObject:
            if (!slot(v, u)) return false;
            objects_[u] = {};
            return true;
        case emf::MoveToEx:
            if (!v.point(8, pt)) return false;
            s_.current = pt;
            if (inPath_) path_.moveTo(pt);
            return true;
        case emf::LineTo:
            if (!v.point(8, pt)) return false;
            if (inPath_) {
                if (path_.elementCount() == 0) path_.moveTo(s_.current);
                path_.lineTo(pt);
            } else if (begin(QRectF(s_.current, pt))) {
                painter_.drawLine(s_.current, pt);
            }
            s_.current = pt;
            return true;
        case emf::BeginPath:
            inPath_ = true;
            path_ = QPainterPath();
            return true;
        case emf::EndPath:
            inPath_ = false;
            return true;
        case emf::AbortPath:
            inPath_ = false;
            path_ = QPainterPath();
            return true;
        case emf::CloseFigure:
            if (inPath_) path_.closeSubpath();
            return true;
        case emf::FillPath:
            return drawPath(true, false);
        case emf::StrokePath:
            return drawPath(false, true);
        case emf::StrokeAndFillPath:
            return drawPath(true, true);
        case emf::SetPixelV:
            if (!v.point(8, pt) || !v.u32(16, u)) return false;
            if (begin(QRectF(pt, QSizeF(1, 1)))) {
                painter_.save();
                painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
                painter_.fillRect(QRectF(pt, QSizeF(1, 1)), colourOf(u));
                painter_.restore();
            }
            return true;
        case emf::Ellipse:
        case emf::Rectangle:
        case emf::RoundRect:
            if (!v.rect(8, box)) return false;
            box = box.normalized();
            if (!begin(box)) return true;
            if (type == emf::Ellipse) {
                painter_.drawEllipse(box);
            } else if (type == emf::Rectangle) {
                painter_.drawRect(box);
            } else {
                if (!v.i32(24, cx) || !v.i32(28, cy)) return false;
                painter_.drawRoundedRect(box, std::min(std::fabs(cx / 2.0), box.width() / 2),
                                         std::min(std::fabs(cy / 2.0), box.height() / 2));
            }
            return true;
        case emf::Arc:
        case emf::ArcTo:
        case emf::Chord:
        case emf::Pie:
            return arcLike(v, type);
        case emf::Polygon:
        case emf::Polyline:
        case emf::PolyBezier:
        case emf::PolyBezierTo:
        case emf::PolylineTo:
        case emf::Polygon16:
        case emf::Polyline16:
        case emf::PolyBezier16:
        case emf::PolyBezierTo16:
        case emf::PolylineTo16:
            return poly(v, type);
        case emf::PolyPolyline:
        case emf::PolyPolygon:
        case emf::PolyPolyline16:
        case emf::PolyPolygon16:
            return polyPoly(v, type);
        case emf::ExtTextOutW:
            return text(v);
        default:
            return false;
        }
    }

    const EmfPicture& pic_;
    QPainter& painter_;
    std::vector<Object> objects_;
    std::vector<State> saved_;
    State s_;
    QTransform deviceToTarget_;
    QRectF target_;
    bool inPath_ = false;
    QPainterPath path_;
};

void EmfPicture::play(QPainter& painter, const QRectF& target) const {
    skipped_ = 0;
    if (isNull() || !painter.isActive()) return;
    EmfPlayer(*this, painter, target).run();
}

} // namespace qv
