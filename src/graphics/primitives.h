#pragma once
// Drawing primitives: pure geometry objects of a document (lines, circles, arcs,
// polylines, polygons) and the two-point figure that lines, labels and node shapes share.
#include <vector>

#include "model/sceneobject.h"

namespace qv {

/// Root of drawing objects: adds a brush and the drawing-object operations.
class NGraphObj : public NFizObj {
  public:
    void dragBy(int32_t dx, int32_t dy, Canvas* canvas) override;
    void editProperties() override;
    void saveToStream(BinaryWriter& w) override;
    void loadFromStream(BinaryReader& r) override;
    void paint(Canvas* canvas) override;

    virtual void moveBy(int32_t dx, int32_t dy) {}
    /// Places a figure given in local coordinates (x along, y across) into the frame with
    /// origin `origin` whose x axis points towards `dir`.
    void mapToFrame(Point origin, Point dir);
    /// The same with the frame's x axis given as a unit direction (cos, sin).
    virtual void mapToFrameBy(Point origin, Extended cos, Extended sin) {}
    /// Only compound symbols implement it.
    virtual void addCopyToScheme() {}

    Brush brush;

  protected:
    /// The owner's line pick distance; the scheme page's 4 for an object without a document.
    int pickTolerance() const;
};

/// A figure defined by two points, with cached line geometry.
class TwoPointGraph : public NGraphObj {
  public:
    bool hitTest(int32_t x, int32_t y) override;
    void placePoint(int& state, int32_t x, int32_t y) override;
    void trackTo(int state, int32_t x, int32_t y, Canvas* canvas) override;
    void saveToStream(BinaryWriter& w) override;
    void loadFromStream(BinaryReader& r) override;
    void getBounds(Rect& rect) override;
    void moveBy(int32_t dx, int32_t dy) override;

    virtual void reverse() {}
    virtual void recalc();
    /// The point `along` from P1 towards P2 and `across` to the right of that direction.
    virtual void localToWorld(Extended across, Extended along, Point& pt) const;

    Point cursor;
    Extended len = 0;
    Point p1, p2;
    Extended k = 0, b = 0, sin = 0, cos = 0;

  protected:
    /// The P1..Cos part of the record, without the NGraphObj part before it.
    void saveTwoPoint(BinaryWriter& w);
    void loadTwoPoint(BinaryReader& r);
};

/// A straight line with an optional arrowhead at its midpoint; branch segments are lines.
class NGraphLine : public TwoPointGraph {
  public:
    /// `segment`: made as a piece of a branch (ReservedFlag2 stays 0).
    explicit NGraphLine(bool segment = false);
    const char* className() const override { return "NGraphLine"; }
    void draw(Canvas* canvas) override;
    void copyTo(NFizObj* target) override;
    void saveToStream(BinaryWriter& w) override;
    void loadFromStream(BinaryReader& r) override;
    void mapToFrameBy(Point origin, Extended cos, Extended sin) override;
    void reverse() override;

    /// Two new segments with a gap of `gap` around the foot of `point` on this line.
    void splitAt(Point point, int32_t gap, std::unique_ptr<NGraphLine>& first,
                 std::unique_ptr<NGraphLine>& second) const;
    /// Sets both points and recalculates.
    void setPoints(Point a, Point b);

    uint8_t arrow = 0;
};

/// A line drawn by the user.
class NGrLine : public NGraphLine {
  public:
    const char* className() const override { return "NGrLine"; }
    void placePoint(int& state, int32_t x, int32_t y) override;
};

/// A circle given by centre and radius.
class NGrRound : public NGraphObj {
  public:
    const char* className() const override { return "NGrRound"; }
    void trackTo(int state, int32_t x, int32_t y, Canvas* canvas) override;
    bool hitTest(int32_t x, int32_t y) override;
    void placePoint(int& state, int32_t x, int32_t y) override;
    void draw(Canvas* canvas) override;
    void saveToStream(BinaryWriter& w) override;
    void loadFromStream(BinaryReader& r) override;
    void getBounds(Rect& rect) override;
    void moveBy(int32_t dx, int32_t dy) override;
    void mapToFrameBy(Point origin, Extended cos, Extended sin) override;

    Point cursor;
    Point centre;
    Extended radius = 0;

  protected:
    bool ringHit(int32_t x, int32_t y) const;
    /// Inverts the full circle of `centre` through `through` (the radius rubber band).
    void invertCircle(Canvas* canvas, Point through) const;
    /// The square around the circle, rounded as drawing and bounds need it.
    Rect box() const;
};

/// A circular arc, counter-clockwise on screen from the ray through `arcStart` to the ray
/// through `arcEnd`.
class NGrArc : public NGrRound {
  public:
    const char* className() const override { return "NGrArc"; }
    void trackTo(int state, int32_t x, int32_t y, Canvas* canvas) override;
    bool hitTest(int32_t x, int32_t y) override;
    void placePoint(int& state, int32_t x, int32_t y) override;
    void draw(Canvas* canvas) override;
    void copyTo(NFizObj* target) override;
    void saveToStream(BinaryWriter& w) override;
    void loadFromStream(BinaryReader& r) override;
    void moveBy(int32_t dx, int32_t dy) override;
    void mapToFrameBy(Point origin, Extended cos, Extended sin) override;

    /// Angle of `p` seen from `centre`, in [0, 2pi), growing clockwise on screen.
    static Extended angleOf(Point centre, Point p);

    uint8_t firstTrack = 0;
    Point arcStart, arcEnd;
};

/// A figure given by a list of points.
class NManypoints : public NGraphObj {
  public:
    void trackTo(int state, int32_t x, int32_t y, Canvas* canvas) override;
    bool hitTest(int32_t x, int32_t y) override;
    void placePoint(int& state, int32_t x, int32_t y) override;
    void saveToStream(BinaryWriter& w) override;
    void loadFromStream(BinaryReader& r) override;
    /// The box of the vertices, largest corner first as two-point figures report it.
    void getBounds(Rect& rect) override;
    void moveBy(int32_t dx, int32_t dy) override;

    std::vector<Point> pendingPoints; ///< only while being placed
    std::vector<Point> vertices;

  protected:
    virtual bool closed() const = 0;
};

class NGpolyLine : public NManypoints {
  public:
    const char* className() const override { return "NGpolyLine"; }
    void draw(Canvas* canvas) override;

  protected:
    bool closed() const override { return false; }
};

class NGpolyGon : public NManypoints {
  public:
    const char* className() const override { return "NGpolyGon"; }
    void draw(Canvas* canvas) override;

  protected:
    bool closed() const override { return true; }
};

/// Whether (x, y) lies within `tolerance` of the segment a-b (a zero-length segment counts
/// as vertical).
bool segmentHit(Point a, Point b, int32_t x, int32_t y, int tolerance);

/// Whether `p` lies in the closed bounding box of `a` and `b`.
bool footInBox(Point p, Point a, Point b);

/// Rounds to the nearest integer, halves to even, as every real-to-coordinate conversion does.
int32_t roundCoord(Extended v);

} // namespace qv
