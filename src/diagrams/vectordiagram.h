#pragma once
// The vector (phasor) diagram: its document with the page options, the vectors with their
// labels and the points. The real axis runs to the right and the imaginary axis upwards;
// 100 logical units are one centimetre.
#include <memory>
#include <string>

#include "graphics/labels.h"
#include "graphics/primitives.h"
#include "model/document.h"

namespace qv {

class NElmLabel;
class NVector;

/// The vector diagram document. Its options (steps, scales, colours, switches) belong to
/// the run of the program, not to files.
class NVectDiaDisp : public NLayerFDisp {
  public:
    /// The child layers of the layer tree, as the layer box names them.
    enum ChildLayer {
        kCurrents = 0,
        kPotentials = 1,
        kPotentialDifferences = 2,
        kLabels = 3,
        kDrawing = 4,
        kAxis = 5,
        kDrawingToo = 6,
    };

    explicit NVectDiaDisp(Context* context = nullptr);

    /// Files `obj` by its class: current vectors, points, other vectors, everything else.
    bool add(NFizObj* obj) override;
    /// Grid dots, axes with their tick values, then the objects of the visible layers.
    void paint(Canvas* canvas) override;
    /// The page's painting with the view set to the drawing and the origin.
    void paintPicture(Canvas* canvas) override;
    /// The objects' bounds together with the origin, so that a picture shows the axes.
    bool getBounds(Rect& rect) override;
    void clear() override;
    std::unique_ptr<FizDisp> createEmpty() const override;
    void copySettingsTo(FizDisp& fresh) const override;

    /// Makes a vector from x1 + j*y1 to x2 + j*y2 at `activeScale`, files it and gives it a
    /// label. Null (nothing added) when the scale is 0 or not a number, or the document is full.
    NVector* addVector(int32_t kind, const std::string& greek, Extended x1, Extended y1, Extended x2,
                       Extended y2, const std::string& main, const std::string& index);
    /// Shows "Vectory editor options" on this document.
    void showEditorOptions();

    /// The logical point of the complex value x + j*y at `scale` value units per centimetre.
    static Point pointOf(Extended x, Extended y, Extended scale);
    /// Whether child layer `index` exists and is visible.
    bool childLayerVisible(int index) const;

    int32_t snapHStep = 20, snapVStep = 20;
    int32_t bigLinesStep = 200;
    int32_t smallLinesStep = 50;
    int32_t viewTop = 0, viewLeft = 0, viewBottom = 0, viewRight = 0;
    Extended activeScale = 0; ///< 0 until a build sets it
    Extended currentsScale = 1.0L;
    Extended voltageScale = 10.0L;
    Colour snapColor = 0;
    Colour backgroundColor = 0xFFFFFF;
    Colour axisColor = 0xFF0000;
    Colour labelsColor = 255;
    uint8_t snapVisible = 0;
    uint8_t snapOff = 0;
    uint8_t showCurrentsValues = 0, showVoltageValues = 0;

  private:
    void nameLayers();
    void paintGrid(Canvas* canvas);
    void paintAxes(Canvas* canvas);
};

/// Texts of vectors and their labels hold at most this many characters (in files too).
inline constexpr int kVectorTextLength = 99;

/// A vector: a line with an arrowhead at P2 and a label of its own.
class NVector : public NGrLine {
  public:
    enum Kind { kHandDrawn = 0, kCurrent = 1, kVoltageDifference = 2, kOther = 3 };
    NVector();
    const char* className() const override { return "NVector"; }

    /// "Vector propertes"; afterwards the label takes the vector's texts.
    void editProperties() override;
    /// Deletes the label with the vector.
    void detach() override;
    void placePoint(int& state, int32_t x, int32_t y) override;
    void draw(Canvas* canvas) override;
    void saveToStream(BinaryWriter& w) override;
    void loadFromStream(BinaryReader& r) override;
    /// Creates, places and adds the label.
    void autoName() override;

    /// The label when it is still an object of the owner, else null.
    NElmLabel* liveLabel() const;
    /// Copies the texts into the label and measures it again.
    void updateLabel();

    NElmLabel* vectorLabel = nullptr; ///< an object of the same document; not owned
    int32_t vectorKind = kHandDrawn;
    std::string mainText, greekText, indexText; ///< UTF-8, at most 99 characters each
};

/// The label of a vector: greek letters, a main letter and a subscript, written horizontally.
class NElmLabel : public NUniLabel {
  public:
    const char* className() const override { return "NElmLabel"; }
    void draw(Canvas* canvas) override;
    void saveToStream(BinaryWriter& w) override;
    void loadFromStream(BinaryReader& r) override;
    /// Measures the texts in the page's logical units and sets the width, height and P2.
    void recalc() override;

    /// The fonts the three texts are written in (size clamped to a sane range).
    FontRec greekFont() const;
    FontRec mainFont() const;
    FontRec indexFont() const;

    std::string greekText, mainText, indexText; ///< UTF-8, at most 99 characters each
    uint8_t spare = 0;
    int32_t labelFontSize = 0;
};

/// A point of the diagram. Its file record holds no position: a loaded point lies at the
/// origin.
class NVDPoint : public NGraphObj {
  public:
    const char* className() const override { return "NVDPoint"; }
    bool hitTest(int32_t x, int32_t y) override;
    void placePoint(int& state, int32_t x, int32_t y) override;
    void draw(Canvas* canvas) override;
    void moveBy(int32_t dx, int32_t dy) override;
    void getBounds(Rect& rect) override;

    int32_t x = 0, y = 0;
};

/// Text fields of the vector records: a 32-bit length, the CP1251 characters and a zero byte.
/// Writing cuts the text to 99 characters; reading takes the characters up to the first zero
/// byte and keeps the first 99.
void writeVectorText(BinaryWriter& w, const std::string& utf8);
void readVectorText(BinaryReader& r, std::string& utf8);
/// `text` cut to the characters a vector text can hold.
std::string clampVectorText(const std::string& utf8);

} // namespace qv
