#pragma once
// A canvas that records what is drawn on it as an enhanced metafile: the same drawing calls
// the pages use become metafile records (pens, brushes and fonts as objects, the pen's raster
// operation, lines, polylines, polygons, ellipses, arcs, pixels and text with its escapement).
// The mapping (map mode, window and viewport) is set before drawing; `finish` gives the file.
#include <QByteArray>
#include <QFontMetricsF>
#include <QString>
#include <cstdint>
#include <optional>
#include <string>

#include "platform/canvas.h"

namespace qv {

class EmfCanvas : public Canvas {
  public:
    /// The reference device of every metafile we write: 96 pixels per inch, so one device
    /// unit is 25.4 / 96 mm (the size of one screen pixel at 100 %).
    static constexpr int kDeviceWidthPx = 1920, kDeviceHeightPx = 1440;
    static constexpr int kDeviceWidthMm = 508, kDeviceHeightMm = 381;

    EmfCanvas();

    /// A short description stored in the header (application and picture name).
    void setDescription(const QString& application, const QString& picture);
    /// The picture's frame in hundredths of a millimetre on the reference device. Without
    /// one, the frame is the bounds of what was drawn.
    void setFrame(const Rect& hundredthsMm);

    // The mapping from logical units (what the drawing calls take) to device units. Set
    // before drawing: the bounds in the header use the last mapping.
    void setMapMode(uint32_t mode);
    void setWindowOrg(Point origin);
    void setWindowExt(int32_t cx, int32_t cy);
    void setViewportOrg(Point origin);
    void setViewportExt(int32_t cx, int32_t cy);

    void line(Point a, Point b) override;
    void ellipse(int32_t left, int32_t top, int32_t right, int32_t bottom) override;
    void arc(int32_t left, int32_t top, int32_t right, int32_t bottom, Point start, Point end) override;
    void polyline(const std::vector<Point>& points) override;
    void polygon(const std::vector<Point>& points) override;
    void text(Point at, const QString& text, const FontRec& font, int escapement) override;
    void pixel(Point at, Colour color) override;
    void pixels(const std::vector<Point>& points, Colour color) override;
    void fillRect(const Rect& r, Colour color) override;

    /// The finished metafile: header, the records drawn so far and the end record. The canvas
    /// can draw on afterwards; a later `finish` gives the longer file.
    QByteArray finish() const;
    /// Logical bounds of everything drawn (false when nothing was drawn).
    bool drawnBounds(Rect& r) const;
    /// Device point of a logical point under the current mapping.
    Point toDevice(Point logical) const;

  private:
    void record(uint32_t type, const std::string& body);
    void selectPen();
    void selectBrush();
    void selectBrushFor(Colour color); ///< a solid brush of that colour
    void selectNullPen();
    void selectFont(const FontRec& font, int escapement);
    void selectRop(uint32_t rop);
    void polyRecord(uint32_t type16, uint32_t type32, const std::vector<Point>& points);
    void grow(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t margin);

    std::string records_;
    uint32_t recordCount_ = 0;
    QString description_;
    bool haveFrame_ = false;
    Rect frame_;
    bool haveBounds_ = false;
    Rect bounds_;

    uint32_t mapMode_ = 1;
    Point windowOrg_, viewportOrg_;
    int32_t windowExtX_ = 1, windowExtY_ = 1, viewportExtX_ = 1, viewportExtY_ = 1;

    // What the records have selected so far, to write objects only when they change. Each kind
    // of object uses two handles in turn: the new one is selected before the old one goes.
    bool penKnown_ = false, nullPen_ = false;
    Pen pen_;
    bool brushKnown_ = false;
    Brush brush_;
    bool fontKnown_ = false;
    FontRec font_;
    /// The metrics of the face text was last written in, and its record: labels come in a few
    /// faces, one after another.
    std::optional<QFontMetricsF> metrics_;
    FontRec metricsFont_;
    int escapement_ = 0;
    uint32_t rop_ = 13;
    bool textColorKnown_ = false;
    Colour textColor_ = 0;
    uint32_t penSlot_ = 0, brushSlot_ = 0, fontSlot_ = 0;
};

} // namespace qv
