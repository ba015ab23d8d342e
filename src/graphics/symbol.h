#pragma once
// A compound symbol: copies of an element template's primitives, drawn, hit-tested,
// bounded, turned, moved and stored as one object. Components and grounds own one.
#include <memory>
#include <vector>

#include "graphics/primitives.h"

namespace qv {

class FizDisp;

class NUniGraphObj : public TwoPointGraph {
  public:
    /// At most this many primitives in a stored symbol.
    static constexpr int kMaxPrimitives = 10001;

    NUniGraphObj() = default; ///< the empty symbol
    ~NUniGraphObj() override;
    const char* className() const override { return "NUniGraphObj"; }

    /// A symbol holding a copy of every drawing object of `tmpl`, in template coordinates.
    /// The copies belong to no document until the symbol is placed.
    static std::unique_ptr<NUniGraphObj> createFromTemplate(const FizDisp& tmpl);

    void editProperties() override;
    bool hitTest(int32_t x, int32_t y) override;
    void placePoint(int& state, int32_t x, int32_t y) override;
    void draw(Canvas* canvas) override;
    void saveToStream(BinaryWriter& w) override;
    void loadFromStream(BinaryReader& r) override;
    void paint(Canvas* canvas) override;
    /// Union of the primitives' boxes as (left, top, right, bottom); untouched when empty.
    void getBounds(Rect& rect) override;
    void moveBy(int32_t dx, int32_t dy) override;
    void addCopyToScheme() override;
    void reverse() override;

    /// Lays the primitives, in template coordinates, from p1 towards p2. Two coincident
    /// points give no direction: the primitives are then left where they are.
    void place(Point p1, Point p2);
    /// Moves a placed symbol onto new end points.
    void replace(Point p1, Point p2);

    /// Drawing objects only, never a symbol: a symbol inside a symbol (or inside a component
    /// inside a symbol) would let a file nest without end.
    std::vector<std::unique_ptr<NGraphObj>> primitives;
    int32_t elementLength = 0;

  private:
    /// Maps placed primitives back to template coordinates.
    void mapBack();
    void adoptOwner();
};

} // namespace qv
