#pragma once
// The solver's own picture of a scheme: nodes, branches and loops of the circuit graph, and
// the element records that copy the values out of the components on the branches. The model
// (CircuitModel) owns all of them; the scheme's objects are only referred to.
#include <cstdint>
#include <string>
#include <vector>

#include "model/pointerarray.h"
#include "solver/complex.h"

namespace qv {

class NTbeLine;
class NTbeNode;

struct NRes;
struct NCompRes;
struct NCapacitor;
struct NInductance;
struct NEds;
struct NCompEds;
struct NIst;
struct NCompIst;
class NVetv;
class NUsel;
class NCont;

// Typed lists of the model; they refer to what they hold and never free it. `get` answers
// null outside 0 .. count-1.
using NSResAr = NTypedAr<NRes>;
using NSCompResAr = NTypedAr<NCompRes>;
using NSCapacAr = NTypedAr<NCapacitor>;
using NSInductAr = NTypedAr<NInductance>;
using NSEdsAr = NTypedAr<NEds>;
using NSCompEdsAr = NTypedAr<NCompEds>;
using NSIstAr = NTypedAr<NIst>;
using NSCompIstAr = NTypedAr<NCompIst>;
using NSVetvAr = NTypedAr<NVetv>;
using NSUselAr = NTypedAr<NUsel>;
using NSContAr = NTypedAr<NCont>;

/// Longest name of a node, branch or loop of the model, in characters.
inline constexpr int kSolverNameLength = 20;
/// Longest name of an element record, in characters.
inline constexpr int kElementNameLength = 25;

/// Base of the element records.
struct NElement {};

/// Resistor: ohm.
struct NRes : NElement {
    Extended value = 0;
    std::string name;
};

/// Impedance component: resistance and reactance in ohm, as the component holds them.
struct NCompRes : NElement {
    Extended re = 0;
    Extended im = 0;
    std::string name;
};

/// Capacitor: microfarad.
struct NCapacitor : NElement {
    Extended value = 0;
    std::string name;
};

/// Inductor: henry.
struct NInductance : NElement {
    Extended value = 0;
    std::string name;
};

// Sources: `orientation` is 1 when the source acts along its branch (from its start node to
// its end node); `fromNode` and `toNode` are the branch's ends in the direction the source
// acts. A voltage source raises the potential from `fromNode` towards `toNode`; a current
// source drives its current from `fromNode` to `toNode`.

/// DC voltage source: volt.
struct NEds : NElement {
    NUsel* fromNode = nullptr;
    NUsel* toNode = nullptr;
    Extended value = 0;
    std::string name;
    uint8_t orientation = 1;
};

/// AC voltage source: volt, rectangular.
struct NCompEds : NElement {
    Extended re = 0;
    Extended im = 0;
    std::string name;
    NUsel* fromNode = nullptr;
    NUsel* toNode = nullptr;
    uint8_t orientation = 1;
};

/// DC current source: ampere.
struct NIst : NElement {
    Extended value = 0;
    NUsel* fromNode = nullptr;
    NUsel* toNode = nullptr;
    std::string name;
    NVetv* branch = nullptr;
    uint8_t orientation = 1;
};

/// AC current source: ampere, rectangular.
struct NCompIst : NElement {
    Extended re = 0;
    Extended im = 0;
    std::string name;
    NUsel* fromNode = nullptr;
    NUsel* toNode = nullptr;
    uint8_t orientation = 1;
    NVetv* branch = nullptr;
};

/// What the simplification does with a branch (`NVetv::kind`).
enum BranchKind : int { BranchOpen = 1, BranchShort = 2, BranchKept = 3 };

/// A branch of the model. Its positive direction runs from `startNode` to `endNode`.
class NVetv {
  public:
    /// Position of the scheme branch in its document's object list.
    int docIndex = -1;
    NUsel* startNode = nullptr;
    NUsel* endNode = nullptr;
    /// The nodes the branch was built between: merges move `startNode` and `endNode`, not
    /// these, so the report and the results can still name the scheme's own nodes.
    NUsel* schemeStart = nullptr;
    NUsel* schemeEnd = nullptr;
    NTbeLine* schemeBranch = nullptr;
    /// Complex impedance in ohm, accumulated when the report writes it; zero after building.
    Complex impedance;
    /// Building number; a solution method may renumber it as the index of its unknown.
    int column = 0;
    /// DC current in ampere found by the solution (for a branch the simplification took out:
    /// its own, found after the solution).
    Extended current = 0;
    /// AC current found by the solution, in the same way.
    Complex complexCurrent;
    /// The loops that pass through the branch (the mesh-current method fills it).
    NSContAr loops;
    NSResAr resistors; ///< in document order, as every list below
    NSEdsAr emfs;
    NSCompEdsAr complexEmfs;
    NSCompResAr impedances;
    NSCapacAr capacitors;
    NSInductAr inductances;
    NCompIst* complexCurrentSource = nullptr; ///< the first AC current source on the branch
    NIst* currentSource = nullptr;            ///< the first DC current source on the branch
    /// A BranchKind once the simplification has looked at the branch; 0 before.
    int kind = 0;
    std::string name;

    /// Sum of the AC voltage sources, each counted along the branch direction.
    Complex complexEmfSum() const;
};

/// A node of the model.
class NUsel {
  public:
    /// The branches that end here; a branch closed on itself is listed twice.
    NSVetvAr branches;
    int docIndex = -1;
    std::string name;
    NTbeNode* schemeNode = nullptr;
    /// 1 when a ground is attached to the scheme node.
    uint8_t grounded = 0;
    /// The node this one was merged into (by a short branch or as a grounded node), or null.
    NUsel* mergedInto = nullptr;
    /// The potential found by the node-voltage method (DC, and AC).
    Extended potential = 0;
    Complex complexPotential;
};

/// A loop of the model: its branches in traversal order and its nodes, where node i is the
/// node from which branch i is entered.
class NCont {
  public:
    NSVetvAr branches;
    NSUselAr nodes;
    /// Number of the loop in building order, from 0.
    int id = 0;
    std::string name;
    /// 1 where the loop passes branch i from its start node to its end node, as the loop was
    /// drawn: once a merge has made both ends of a branch one node, its nodes no longer tell.
    std::vector<uint8_t> forward;

    /// Whether the loop passes its branch k from the branch's start node to its end node.
    bool runsAlong(int k) const;

    // Of the mesh-current method.
    /// The other loops that share a branch with this one.
    NSContAr neighbours;
    /// The DC or AC current source that fixes this loop's mesh current, or none.
    NIst* loopSource = nullptr;
    NCompIst* complexLoopSource = nullptr;
    /// 1 when that source acts in the loop's direction.
    uint8_t sourceAlong = 0;
    Extended meshCurrent = 0;
    Complex complexMeshCurrent;
};

} // namespace qv
