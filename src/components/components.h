#pragma once
// Circuit components: the elements that sit in a gap of a branch, each with its value(s),
// its orientation relative to the branch, a two-part name label and a symbol copied from
// its element template.
#include <memory>
#include <string>

#include "components/circuitelement.h"
#include "graphics/symbol.h"

namespace qv {

class FizDisp;

/// `text` as a component's name: cut to 20 characters, each one the file's code page holds
/// (others become '?'), so the name in memory is the name a saved scheme gives back.
std::string storableName(const std::string& text);

/// What a component is as a source.
enum class SourceKind { None, DirectVoltage, DirectCurrent, AlternatingVoltage, AlternatingCurrent };

/// Which sources a scheme holds.
enum class SchemeSources {
    Mixed = -1,          ///< direct and alternating sources together
    DirectOrNone = 0,    ///< direct sources only, or no source at all
    AlternatingOnly = 1, ///< alternating sources only
};

/// Base of the components: contributes the symbol.
class NUniSetObj : public NSetObj {
  public:
    NUniSetObj();
    ~NUniSetObj() override;
    const char* className() const override { return "NUniSetObj"; }

    /// Copies the template into the symbol; `length` becomes the template's length.
    void createFromTemplate(const FizDisp& tmpl);

    bool hitTest(int32_t x, int32_t y) override;
    void draw(Canvas* canvas) override;
    void saveToStream(BinaryWriter& w) override;
    void loadFromStream(BinaryReader& r) override;
    void getBounds(Rect& rect) override;
    void updateLabel(int a = 0, int b = 0) override;
    void defaultLabelPos(Point& p) override;
    void setEnds(Point p1, Point p2) override;

    virtual SourceKind sourceKind() const { return SourceKind::None; }
    bool isCurrentSource() const {
        return sourceKind() == SourceKind::DirectCurrent || sourceKind() == SourceKind::AlternatingCurrent;
    }
    /// The letter of the name label ("R", "E", ...); none for the bare base.
    virtual const char* letter() const { return nullptr; }
    /// What the editor shows when the mouse rests on the component ("R1=100 Ohm").
    virtual std::string hintText() const { return {}; }
    /// Turns the symbol end for end and toggles the orientation ("Change direction").
    void changeDirection();

    std::unique_ptr<NUniGraphObj> symbol;

  protected:
    std::string hint(const std::string& value, const char* suffix) const;
    /// The name typed into a dialog, made storable.
    void takeName(const QString& text);
};

class NUniRes : public NUniSetObj {
  public:
    const char* className() const override { return "NUniRes"; }
    const char* letter() const override { return "R"; }
    std::string hintText() const override;
    void editProperties() override;
    void saveToStream(BinaryWriter& w) override;
    void loadFromStream(BinaryReader& r) override;
    Extended resistance = 0; ///< ohm
};

class NUniEds : public NUniSetObj {
  public:
    const char* className() const override { return "NUniEds"; }
    SourceKind sourceKind() const override { return SourceKind::DirectVoltage; }
    const char* letter() const override { return "E"; }
    std::string hintText() const override;
    void editProperties() override;
    void saveToStream(BinaryWriter& w) override;
    void loadFromStream(BinaryReader& r) override;
    Extended emf = 0; ///< volt
};

class NUniIst : public NUniSetObj {
  public:
    const char* className() const override { return "NUniIst"; }
    SourceKind sourceKind() const override { return SourceKind::DirectCurrent; }
    const char* letter() const override { return "J"; }
    std::string hintText() const override;
    void editProperties() override;
    void saveToStream(BinaryWriter& w) override;
    void loadFromStream(BinaryReader& r) override;
    Extended current = 0; ///< ampere
};

class NUniInd : public NUniSetObj {
  public:
    const char* className() const override { return "NUniInd"; }
    const char* letter() const override { return "L"; }
    std::string hintText() const override;
    void editProperties() override;
    void saveToStream(BinaryWriter& w) override;
    void loadFromStream(BinaryReader& r) override;
    Extended inductance = 0; ///< henry
};

class NUniCon : public NUniSetObj {
  public:
    const char* className() const override { return "NUniCon"; }
    const char* letter() const override { return "C"; }
    std::string hintText() const override;
    void editProperties() override;
    void saveToStream(BinaryWriter& w) override;
    void loadFromStream(BinaryReader& r) override;
    Extended capacitance = 0; ///< microfarad, as typed
};

class NUniImpedance : public NUniSetObj {
  public:
    const char* className() const override { return "NUniImpedance"; }
    const char* letter() const override { return "Z"; }
    std::string hintText() const override;
    void editProperties() override;
    void saveToStream(BinaryWriter& w) override;
    void loadFromStream(BinaryReader& r) override;
    Extended resistance = 0; ///< ohm
    Extended reactance = 0;  ///< ohm
};

/// The two AC sources: a complex amplitude kept rectangular, and how it was last typed.
class NUniAcSource : public NUniSetObj {
  public:
    void editProperties() override;
    void saveToStream(BinaryWriter& w) override;
    void loadFromStream(BinaryReader& r) override;
    Extended module() const;
    /// Radians, in (-pi/2, 3pi/2); -pi/2 for a zero value.
    Extended angle() const;
    void setPolar(Extended module, Extended angle);

    Extended re = 0, im = 0;
    uint8_t polarInput = 0;     ///< 1: last typed as module and angle
    uint8_t angleInDegrees = 0; ///< 1: that angle was typed in degrees

  protected:
    std::string complexHint(const char* suffix) const;
};

class NUniCompEDS : public NUniAcSource {
  public:
    const char* className() const override { return "NUniCompEDS"; }
    SourceKind sourceKind() const override { return SourceKind::AlternatingVoltage; }
    const char* letter() const override { return "E"; }
    std::string hintText() const override { return complexHint("j V"); }
};

class NUniCompCurSource : public NUniAcSource {
  public:
    const char* className() const override { return "NUniCompCurSource"; }
    SourceKind sourceKind() const override { return SourceKind::AlternatingCurrent; }
    const char* letter() const override { return "J"; }
    std::string hintText() const override { return complexHint("j Amps"); }
};

/// The sources `doc` holds, by their kinds.
SchemeSources sourceKinds(const FizDisp& doc);

} // namespace qv
