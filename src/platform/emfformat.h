#pragma once
// Enhanced metafile records: the type numbers and constants that the writer and the reader
// share. A file is a sequence of records, each starting with its type and its size in bytes
// (a multiple of 4); the first is the header, the last the end-of-file record. All values are
// little-endian.
#include <cstdint>

namespace qv::emf {

enum RecordType : uint32_t {
    Header = 1,
    PolyBezier = 2,
    Polygon = 3,
    Polyline = 4,
    PolyBezierTo = 5,
    PolylineTo = 6,
    PolyPolyline = 7,
    PolyPolygon = 8,
    SetWindowExtEx = 9,
    SetWindowOrgEx = 10,
    SetViewportExtEx = 11,
    SetViewportOrgEx = 12,
    Eof = 14,
    SetPixelV = 15,
    SetMapMode = 17,
    SetBkMode = 18,
    SetPolyFillMode = 19,
    SetRop2 = 20,
    SetTextAlign = 22,
    SetTextColor = 24,
    SetBkColor = 25,
    MoveToEx = 27,
    SaveDC = 33,
    RestoreDC = 34,
    SelectObject = 37,
    CreatePen = 38,
    CreateBrushIndirect = 39,
    DeleteObject = 40,
    Ellipse = 42,
    Rectangle = 43,
    RoundRect = 44,
    Arc = 45,
    Chord = 46,
    Pie = 47,
    LineTo = 54,
    ArcTo = 55,
    SetArcDirection = 57,
    BeginPath = 59,
    EndPath = 60,
    CloseFigure = 61,
    FillPath = 62,
    StrokeAndFillPath = 63,
    StrokePath = 64,
    AbortPath = 68,
    ExtCreateFontIndirectW = 82,
    ExtTextOutW = 84,
    PolyBezier16 = 85,
    Polygon16 = 86,
    Polyline16 = 87,
    PolyBezierTo16 = 88,
    PolylineTo16 = 89,
    PolyPolyline16 = 90,
    PolyPolygon16 = 91,
    ExtCreatePen = 95,
};

constexpr uint32_t kSignature = 0x464D4520; ///< " EMF"
constexpr uint32_t kVersion = 0x00010000;
/// The header record up to and including the micrometre size of the reference device.
constexpr uint32_t kHeaderSize = 108;
/// The smallest header a reader accepts (without the two extensions).
constexpr uint32_t kMinHeaderSize = 88;

enum MapMode : uint32_t { MmText = 1, MmIsotropic = 7, MmAnisotropic = 8 };

/// Stock objects are selected by this bit plus their number.
constexpr uint32_t kStockObject = 0x80000000;
enum StockObject : uint32_t {
    WhiteBrush = 0,
    BlackBrush = 4,
    NullBrush = 5,
    WhitePen = 6,
    BlackPen = 7,
    NullPen = 8,
};

enum PenStyle : uint32_t { PsSolid, PsDash, PsDot, PsDashDot, PsDashDotDot, PsNull, PsInsideFrame };
constexpr uint32_t kPenStyleMask = 0x0F;
enum BrushStyle : uint32_t { BsSolid = 0, BsNull = 1, BsHatched = 2 };
/// Binary raster operations of the pen: R2_BLACK (1) ... R2_WHITE (16).
enum Rop2 : uint32_t {
    R2Black = 1,
    R2NotCopyPen = 4,
    R2Not = 6,
    R2XorPen = 7,
    R2NotXorPen = 10,
    R2CopyPen = 13
};
enum BkMode : uint32_t { Transparent = 1, Opaque = 2 };
/// Text alignment bits.
constexpr uint32_t kTaUpdateCp = 1, kTaRight = 2, kTaCenter = 6, kTaBottom = 8, kTaBaseline = 24;
/// The size of a logical font record (without the optional extensions).
constexpr uint32_t kLogFontSize = 92;

} // namespace qv::emf
