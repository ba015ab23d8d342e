#pragma once
#include <algorithm>
// Value types shared by the whole core: points, colours and the pen, brush and font
// records as the scheme files store them.
#include <cstdint>
#include <string>

namespace qv {

/// A point in logical units (x to the right, y downwards).
struct Point {
    int32_t x = 0;
    int32_t y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

/// Bounding rectangle; corners as stored, not normalised.
struct Rect {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
    friend bool operator==(const Rect&, const Rect&) = default;
};

/// Platform colour value: low byte red, then green, then blue (0x00BBGGRR).
using Colour = uint32_t;

constexpr Colour rgb(int r, int g, int b) {
    return Colour(r & 0xFF) | (Colour(g & 0xFF) << 8) | (Colour(b & 0xFF) << 16);
}

/// Pen mode ordinals as the file format stores them.
enum PenMode : uint8_t {
    pmBlack,
    pmWhite,
    pmNop,
    pmNot,
    pmCopy,
    pmNotCopy,
    pmMergePenNot,
    pmMaskPenNot,
    pmMergeNotPen,
    pmMaskNotPen,
    pmMerge,
    pmNotMerge,
    pmMask,
    pmNotMask,
    pmXor,
    pmNotXor
};
/// Pen style ordinals as the file format stores them.
enum PenStyle : uint8_t { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
/// Brush style ordinals as the file format stores them.
enum BrushStyle : uint8_t {
    bsSolid,
    bsClear,
    bsHorizontal,
    bsVertical,
    bsFDiagonal,
    bsBDiagonal,
    bsCross,
    bsDiagCross
};

/// The pen record: 10 bytes in files.
struct Pen {
    Colour color = 0;
    uint8_t mode = pmCopy;
    uint8_t style = psSolid;
    int32_t width = 1;
    friend bool operator==(const Pen&, const Pen&) = default;
};

/// The brush record: 5 bytes in files.
struct Brush {
    Colour color = 0xFFFFFF;
    uint8_t style = bsSolid;
    friend bool operator==(const Brush&, const Brush&) = default;
};

/// The font record: 124 bytes in files. `name` is UTF-8 in memory.
struct FontRec {
    Colour color = 0;
    int32_t height = -13;
    int32_t size = 10;
    int32_t size2 = 10;
    int32_t pixelsPerInch = 96;
    std::string name = "Arial";
    uint8_t pitch = 0;   ///< 0 default, 1 variable, 2 fixed
    uint8_t style = 0;   ///< bits: bold 1, italic 2, underline 4, strike-out 8
    uint8_t charset = 1; ///< 1 = default character set
    friend bool operator==(const FontRec&, const FontRec&) = default;
};

/// Grows `acc` to cover `r` (whatever corner order `r` has); `any` tells whether `acc` holds
/// anything yet.
inline void unionBounds(Rect& acc, bool& any, const Rect& r) {
    int32_t l = std::min(r.left, r.right), rr = std::max(r.left, r.right);
    int32_t t = std::min(r.top, r.bottom), b = std::max(r.top, r.bottom);
    if (!any) {
        acc = {l, t, rr, b};
        any = true;
        return;
    }
    acc.left = std::min(acc.left, l);
    acc.top = std::min(acc.top, t);
    acc.right = std::max(acc.right, rr);
    acc.bottom = std::max(acc.bottom, b);
}

} // namespace qv
