#pragma once
// Text on the scheme: the common label base, single text labels (node names), free user
// text, and two-part labels (a letter with its number as a subscript).
#include <array>
#include <memory>
#include <optional>
#include <string>

#include "graphics/primitives.h"

namespace qv {

/// Common base of labels: a two-point figure whose P1 is the top-left corner of the text
/// cell and whose direction P1 -> P2 is the direction the text runs.
class NUniLabel : public TwoPointGraph {
  public:
    LayerRole layerRole() const override { return LayerRole::Label; }
    void dragBy(int32_t dx, int32_t dy, Canvas* canvas) override;
    bool hitTest(int32_t x, int32_t y) override;
    void drawHighlighted(Canvas* canvas) override;
    void saveToStream(BinaryWriter& w) override;
    void loadFromStream(BinaryReader& r) override;
    void getBounds(Rect& rect) override;

    /// The four corners of the text cell.
    std::array<Point, 4> cell() const;

    int32_t extentX = 0, extentY = 0; ///< measured text size; not stored
    int32_t textWidth = 0, textHeight = 0;
};

/// A single line of text.
class NTextLabel : public NUniLabel {
  public:
    static constexpr int kLogFontSize = 60;
    NTextLabel();
    const char* className() const override { return "NTextLabel"; }
    bool hitTest(int32_t x, int32_t y) override;
    void draw(Canvas* canvas) override;
    void saveToStream(BinaryWriter& w) override;
    void loadFromStream(BinaryReader& r) override;
    void recalc() override;

    /// Escapement in tenths of a degree for the current direction.
    int escapement() const;

    /// The font text is measured and drawn with: `textFont` at normal weight.
    FontRec drawFont() const;

    FontRec textFont;
    std::string text; ///< at most 100 characters
    /// The rotated font as a 60-byte logical-font record (height, width, escapement,
    /// orientation, weight as int32; italic, underline, strike-out, character set, output
    /// precision, clip precision, quality, pitch and family as bytes; 32-byte CP1251 face
    /// name). Kept only for files; drawing derives its font from `textFont` and the angle.
    std::array<uint8_t, kLogFontSize> logFont{};

  private:
    void fillLogFont(int escapement);
    /// `textFont` as it was when `logFont` was read: while the font stays so, the bytes read
    /// are written back unchanged.
    std::optional<FontRec> loadedFont_;
};

/// Free text placed by the user; edited in the "Text input" dialog.
class NUserTextLabel : public NTextLabel {
  public:
    const char* className() const override { return "NUserTextLabel"; }
    void editProperties() override;
    void placePoint(int& state, int32_t x, int32_t y) override;
};

/// Two texts: the main text and an index written as its subscript.
class NTwoBin : public NUniLabel {
  public:
    NTwoBin();
    ~NTwoBin() override;
    /// A new label with this main text (the letter of an element's name label).
    static std::unique_ptr<NTwoBin> withMainText(const std::string& text);
    const char* className() const override { return "NTwoBin"; }
    void editProperties() override {}
    void placePoint(int& state, int32_t x, int32_t y) override;
    void draw(Canvas* canvas) override;
    void saveToStream(BinaryWriter& w) override;
    void loadFromStream(BinaryReader& r) override;
    void moveBy(int32_t dx, int32_t dy) override;
    void recalc() override;

    std::unique_ptr<NTextLabel> mainLabel;
    std::unique_ptr<NTextLabel> indexLabel;
    std::string mainText;  ///< at most 20 characters
    std::string indexText; ///< at most 20 characters

  private:
    /// The document the inner texts belong to: the owner's label document, else the owner.
    FizDisp* textOwner() const;
    void ensureTexts();
};

} // namespace qv
