#pragma once
// The elements of an electric power network on a scheme: network nodes with loads,
// generation and shunts, transformer substations, overhead lines, circuit breakers and
// two-winding transformers, with the breaker and transformer figures. Values are in the
// units of power engineering (kV, MW, Mvar, MVA, Ohm, uS, A, km). The solver does not take
// part in them: they are drawn, edited and stored.
#include <memory>
#include <string>

#include "components/branch.h"
#include "components/nodes.h"
#include "graphics/primitives.h"
#include "power/catalogue.h"

namespace qv {

/// A network node.
class NPowerNode : public NFUniNode {
  public:
    const char* className() const override { return "NPowerNode"; }
    void editProperties() override;
    void saveToStream(BinaryWriter& w) override;
    void loadFromStream(BinaryReader& r) override;
    void autoName() override;

    /// The shape's pen takes the colour of the voltage class of `unom`.
    void applyClassColour();

    Extended unom = 0;               ///< kV
    Extended loadQ = 0, loadP = 0;   ///< Mvar, MW
    Extended genP = 0, genQ = 0;     ///< MW, Mvar
    Extended shuntG = 0, shuntB = 0; ///< uS

  protected:
    void saveNodeValues(BinaryWriter& w) const;
    void loadNodeValues(BinaryReader& r);
    friend class NTransStat;
};

/// A transformer substation: the node is the high-voltage side; `lowNode` (in no document) the
/// low-voltage side.
class NTransStat : public NPowerNode {
  public:
    NTransStat();
    ~NTransStat() override;
    const char* className() const override { return "NTransStat"; }
    void editProperties() override;
    void saveToStream(BinaryWriter& w) override;
    void loadFromStream(BinaryReader& r) override;

    std::unique_ptr<NTransSpr> transformer;
    int32_t transCount = 1; ///< identical transformers in parallel, 1 to 6
    std::string transKind;  ///< catalogue name of the type, at most 100 characters
    std::unique_ptr<NPowerNode> lowNode;
    int32_t tapNumber = 1;
};

/// An overhead line between two nodes.
class NPowerLine : public NFVetv {
  public:
    const char* className() const override { return "NPowerLine"; }
    void editProperties() override;
    void saveToStream(BinaryWriter& w) override;
    void loadFromStream(BinaryReader& r) override;
    void autoName() override;
    void updateLabel(int a = 0, int b = 0) override;

    /// Takes the nominal voltage from the start node and warns when the end node's differs
    /// by more than a tenth. Answers whether it warned.
    bool voltageCheck();

    Extended maxCurrent = 0;       ///< A
    Extended unom = 0;             ///< kV
    Extended lineR = 0, lineX = 0; ///< Ohm
    Extended lineB = 0, lineG = 0; ///< uS
    Extended lengthKm = 0;         ///< km
    std::string wireKind;          ///< at most 100 characters
    std::string dispatchName;      ///< at most 100 characters
    int32_t circuits = 1;
};

/// A two-terminal network element drawn by a figure whose ends lie at its nodes.
class NFTwoDir : public NFTwoPole {
  public:
    explicit NFTwoDir(std::unique_ptr<TwoPointGraph> figure);
    ~NFTwoDir() override;
    void trackTo(int state, int32_t x, int32_t y, Canvas* canvas) override;
    bool hitTest(int32_t x, int32_t y) override;
    void placePoint(int& state, int32_t x, int32_t y) override;
    void draw(Canvas* canvas) override;
    void saveToStream(BinaryWriter& w) override;
    void loadFromStream(BinaryReader& r) override;
    void getBounds(Rect& rect) override;
    void updateLabel(int a = 0, int b = 0) override;
    void defaultLabelPos(Point& p) override;
    void nodeMoved(NFUsel* node) override;

    std::unique_ptr<TwoPointGraph> figure;

  protected:
    /// What happens once the second end is fixed and the element is in its document.
    virtual void placed();
};

/// A circuit breaker.
class NFBreaker : public NFTwoDir {
  public:
    NFBreaker();
    const char* className() const override { return "NFBreaker"; }
    void editProperties() override;
    void saveToStream(BinaryWriter& w) override;
    void loadFromStream(BinaryReader& r) override;
    void autoName() override { editProperties(); }

    uint8_t on = 0;    ///< boolean: the breaker is closed
    Extended unom = 0; ///< kV, from the first node; not stored
};

/// A two-winding transformer: `node1` is the high-voltage side, `node2` the low-voltage side.
class NFTransForm : public NFTwoDir {
  public:
    NFTransForm();
    ~NFTransForm() override;
    const char* className() const override { return "NFTransForm"; }
    void editProperties() override;
    void saveToStream(BinaryWriter& w) override;
    void loadFromStream(BinaryReader& r) override;

    /// Swaps the ends when the first node has the lower voltage, so that `node1` is the
    /// high-voltage side. Ends that are not network nodes have no voltage: nothing changes.
    void orient();

    std::unique_ptr<NTransSpr> transformer;
    int32_t tapNumber = 0;
    std::string transKind; ///< at most 100 characters

  protected:
    void placed() override;
};

/// The breaker symbol: a gap of 2 x `halfGap` in the middle, bridged by a blade that ends
/// `bladeOffset` beside the fixed contact.
class NGBreaker : public TwoPointGraph {
  public:
    const char* className() const override { return "NGBreaker"; }
    void draw(Canvas* canvas) override;
    void saveToStream(BinaryWriter& w) override;
    void loadFromStream(BinaryReader& r) override;
    void recalc() override;

    Point bladeStart, bladeEnd, contactPoint;
    int32_t bladeOffset = 6;
    int32_t halfGap = 15;
};

/// The transformer symbol: two overlapping circles of `radius` with leads to the ends.
class NGTransform : public TwoPointGraph {
  public:
    const char* className() const override { return "NGTransform"; }
    bool hitTest(int32_t x, int32_t y) override;
    void draw(Canvas* canvas) override;
    void saveToStream(BinaryWriter& w) override;
    void loadFromStream(BinaryReader& r) override;
    void recalc() override;

    Point leadEnd1, leadEnd2, centre2, centre1;
    int32_t radius = 15;
};

/// The nominal voltage of a node when it is a network node.
std::optional<Extended> nodeVoltage(const NFUsel* node);

} // namespace qv
