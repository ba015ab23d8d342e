#pragma once
// Comparing two renderings of one drawing by their ink (pixels that are not near-white):
// the share of one picture's ink that has ink of the other nearby.
#include <QImage>
#include <QRect>

namespace qv::test {

inline bool isInk(QRgb p) {
    return qGray(p) < 160;
}

/// The smallest rectangle holding all ink (empty when there is none).
inline QRect inkBox(const QImage& img) {
    QRect box;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (isInk(img.pixel(x, y))) box |= QRect(x, y, 1, 1);
    return box;
}

/// Share (0..1) of the ink of `a` that has ink of `b` within `radius` pixels; 1 when `a` has
/// no ink. Both images must be of one size.
inline double inkCovered(const QImage& a, const QImage& b, int radius) {
    long ink = 0, covered = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            if (!isInk(a.pixel(x, y))) continue;
            ++ink;
            bool found = false;
            for (int dy = -radius; dy <= radius && !found; ++dy)
                for (int dx = -radius; dx <= radius && !found; ++dx) {
                    int xx = x + dx, yy = y + dy;
                    found = xx >= 0 && yy >= 0 && xx < b.width() && yy < b.height() && isInk(b.pixel(xx, yy));
                }
            if (found) ++covered;
        }
    return ink ? double(covered) / double(ink) : 1.0;
}

/// Both images cut to their ink and `b` scaled to the size of `a`'s ink.
inline std::pair<QImage, QImage> alignedInk(const QImage& a, const QImage& b) {
    QImage ca = a.copy(inkBox(a)).convertToFormat(QImage::Format_RGB32);
    QImage cb = b.copy(inkBox(b)).convertToFormat(QImage::Format_RGB32);
    if (!ca.isNull() && !cb.isNull())
        cb = cb.scaled(ca.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return {ca, cb};
}

} // namespace qv::test
