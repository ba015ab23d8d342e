#pragma once
// A canvas that records what is drawn on it, for tests of what objects draw.
#include <string>
#include <vector>

#include "platform/canvas.h"

namespace qv::test {

struct DrawCall {
    std::string kind;          ///< "line", "ellipse", "arc", "polyline", "polygon", "text", "pixel"
    std::vector<Point> points; ///< line: 2; ellipse/arc: box corners (+ arc rays); poly: vertices
    Pen pen;
    Brush brush;
    QString text;
};

class RecordingCanvas : public Canvas {
  public:
    void line(Point a, Point b) override { record("line", {a, b}); }
    void ellipse(int32_t l, int32_t t, int32_t r, int32_t b) override { record("ellipse", {{l, t}, {r, b}}); }
    void arc(int32_t l, int32_t t, int32_t r, int32_t b, Point s, Point e) override {
        record("arc", {{l, t}, {r, b}, s, e});
    }
    void polyline(const std::vector<Point>& pts) override { record("polyline", pts); }
    void polygon(const std::vector<Point>& pts) override { record("polygon", pts); }
    void text(Point at, const QString& s, const FontRec&, int) override {
        record("text", {at});
        calls.back().text = s;
    }
    void pixel(Point at, Colour) override { record("pixel", {at}); }
    void pixels(const std::vector<Point>& pts, Colour) override {
        for (const Point& p : pts)
            record("pixel", {p});
    }

    void refresh() override { ++refreshes; }

    std::vector<DrawCall> of(const std::string& kind) const {
        std::vector<DrawCall> out;
        for (const auto& c : calls)
            if (c.kind == kind) out.push_back(c);
        return out;
    }

    std::vector<DrawCall> calls;
    int refreshes = 0; ///< whole repaints asked for

  private:
    void record(const char* kind, std::vector<Point> pts) {
        calls.push_back({kind, std::move(pts), pen(), brush(), {}});
    }
};

} // namespace qv::test
