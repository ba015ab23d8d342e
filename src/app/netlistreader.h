#pragma once
// SPICE netlists read into a circuit the scheme can hold: a pure function from the bytes of a
// netlist to either the circuit or the reasons it cannot be taken, one per offending line.
// It keeps no state between calls and touches nothing else, so it can be fed any bytes.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qv {

/// One element card: a resistor, inductor, capacitor, voltage or current source.
struct NetlistElement {
    int line = 0;     ///< the card's first line, from 1
    char kind = 'R';  ///< 'R', 'L', 'C', 'V' or 'I'
    std::string name; ///< as written, its letter included ("Rload")
    /// The nodes as written, indices into `Netlist::nodes`; for sources n+ and n-.
    int node1 = 0, node2 = 0;
    double value = 0; ///< ohm, henry, farad; the DC value of a source
    bool hasDc = false, hasAc = false;
    double acMagnitude = 0, acPhase = 0; ///< phase in degrees
    /// The name without its letter: what the scheme calls the component ("load" of "Rload").
    std::string identifier() const { return name.substr(1); }
};

struct NetlistNode {
    std::string name; ///< as first written; "0" for the ground (also written "gnd")
    int line = 0;     ///< where it first appears
    bool ground = false;
    int degree = 0; ///< element ends on it
};

/// A chain of elements joined by nodes that join exactly two elements: one branch of the
/// scheme, read from `node1` to `node2`.
struct NetlistBranch {
    int node1 = 0, node2 = 0;  ///< indices into `Netlist::nodes`, never equal
    std::vector<int> elements; ///< indices into `Netlist::elements`, from node1 to node2
    /// Per element: true when the element's first written node lies towards node1.
    std::vector<bool> along;
};

struct Netlist {
    std::string title;
    std::vector<NetlistNode> nodes;
    std::vector<NetlistElement> elements;
    /// True when any source has an AC part; the DC parts are then not used.
    bool ac = false;
    std::optional<double> frequency; ///< hertz, from .ac
    /// The nodes the scheme keeps (the others are inside branches), in order of appearance.
    std::vector<int> schemeNodes;
    std::vector<NetlistBranch> branches;
    int loops = 0; ///< independent loops: branches - nodes + parts
    int groundNode() const;
};

struct NetlistProblem {
    int line = 0; ///< 0: the netlist as a whole
    std::string text;
    /// "line N: text", or the text alone for the netlist as a whole.
    std::string message() const;
};

struct NetlistReading {
    Netlist netlist;
    std::vector<NetlistProblem> problems;
    bool ok() const { return problems.empty(); }
};

/// The limits of what a netlist may hold, from the tables of the scheme and the solvers.
struct NetlistLimits {
    static constexpr size_t kMaxBytes = 4 << 20;
    static constexpr int kMaxLineLength = 65536;
    static constexpr int kMaxElements = 500;  ///< a branch's chain holds 1001 entries
    static constexpr int kMaxDcNodes = 44;    ///< besides the reference: the DC node table
    static constexpr int kMaxAcNodes = 101;   ///< besides the reference: the AC node table
    static constexpr int kMaxDcBranches = 44; ///< without current sources: the DC Kirchhoff table
    static constexpr int kMaxLoops = 100;     ///< the loop list
    static constexpr int kMaxProblems = 100;  ///< reading stops after so many
};

/// Reads a netlist: the first line is the title; `*` comment lines, `;` and `$` comments to
/// the end of a line, `+` continuation lines, any letter case; R, L, C with a value, V and I
/// with a value, `DC x`, `AC magnitude [phase]`; `.op`, `.ac` at one frequency, `.title`,
/// `.end`. Everything else is a problem of its line.
NetlistReading readNetlist(std::string_view bytes);

/// A SPICE number: digits with an optional exponent, an optional scale (f p n u m mil k meg g
/// t, any case) and letters of a unit after it ("4.7kOhm", "10uF", "2meg"). None when the
/// text is not such a number.
std::optional<double> parseSpiceNumber(std::string_view text);

} // namespace qv
