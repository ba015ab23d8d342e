#pragma once
// Nodes whose look is a separate shape with a connection point per attached branch, their
// three shapes, and the ground: a lead from a node to a ground symbol.
#include <memory>
#include <vector>

#include "components/branch.h"
#include "graphics/primitives.h"
#include "graphics/symbol.h"

namespace qv {

/// A small circle of radius 5 around `centre`.
class NGRoundNode : public TwoPointGraph {
  public:
    const char* className() const override { return "NGRoundNode"; }
    bool hitTest(int32_t x, int32_t y) override;
    void placePoint(int& state, int32_t x, int32_t y) override;
    void draw(Canvas* canvas) override;
    void saveToStream(BinaryWriter& w) override;
    void loadFromStream(BinaryReader& r) override;
    void getBounds(Rect& rect) override;
    void moveBy(int32_t dx, int32_t dy) override;
    Point centre;
};

/// Two concentric circles, radius 10 and 15.
class NGTPNode : public NGRoundNode {
  public:
    const char* className() const override { return "NGTPNode"; }
    void draw(Canvas* canvas) override;
    void getBounds(Rect& rect) override;
};

/// A bus bar: a 5-pixel band to the right of P1 -> P2.
class NGShine : public TwoPointGraph {
  public:
    const char* className() const override { return "NGShine"; }
    void draw(Canvas* canvas) override;
};

/// A node drawn by its shape, with the point where each attached element meets it.
class NFUniNode : public NFUsel {
  public:
    NFUniNode();
    ~NFUniNode() override;
    const char* className() const override { return "NFUniNode"; }
    void dragBy(int32_t dx, int32_t dy, Canvas* canvas) override;
    void trackTo(int state, int32_t x, int32_t y, Canvas* canvas) override;
    bool hitTest(int32_t x, int32_t y) override;
    void placePoint(int& state, int32_t x, int32_t y) override;
    void draw(Canvas* canvas) override;
    void saveToStream(BinaryWriter& w) override;
    void loadFromStream(BinaryReader& r) override;
    void attachBranch(NFizSemEl* element, int32_t& x, int32_t& y) override;
    void detachBranch(NFizSemEl* element) override;
    void connectionPoint(NFizSemEl* element, Point& p) override;

    std::unique_ptr<NGraphObj> shape;
    std::vector<Point> connectionPoints; ///< entry i belongs to attached[i]
};

/// The ground: a lead from its node to a symbol that ends at the free end.
class NFGroundObj : public NNodeObj {
  public:
    NFGroundObj();
    ~NFGroundObj() override;
    const char* className() const override { return "NFGroundObj"; }
    void dragBy(int32_t dx, int32_t dy, Canvas* canvas) override;
    bool hitTest(int32_t x, int32_t y) override;
    bool endDrag() override;
    void draw(Canvas* canvas) override;
    void saveToStream(BinaryWriter& w) override;
    void loadFromStream(BinaryReader& r) override;
    void autoName() override;
    void getBounds(Rect& rect) override;
    void updateLabel(int = 0, int = 0) override {} // a ground has no label

    /// Fills the symbol from the ground's element template.
    void createFromTemplate(const FizDisp& tmpl);

    std::unique_ptr<NUniGraphObj> symbol;
    Point leadStart;
    Point symbolStart;

  private:
    /// Lays the symbol on the last `elementLength` pixels of the line from the node to `freeEnd`.
    void layOut();
};

} // namespace qv
