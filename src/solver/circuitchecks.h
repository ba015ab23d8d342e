#pragma once
// What the numbers of every method rest on. Before a solution: the scheme has one set of
// branch currents (no loop without resistance, no current source whose current has no way
// on). After it: the branches the simplification took out get their currents back, and the
// currents of all branches obey both of Kirchhoff's laws before any of them is written.
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "solver/circuitgraph.h"

namespace qv {

class CircuitModel;

/// Throws SolutionError with the reason when the branch currents of the scheme are not
/// determined or cannot exist: a loop of branches without resistance (wires, and inductors
/// in DC, with voltage sources at most), a current source in an open branch, or current
/// sources whose current has no way back. DC when `direct`, else AC at the model's angular
/// frequency. Works on the branches as built; all grounds are one point.
void requireDeterminedCurrents(const CircuitModel& model, bool direct);

/// How a branch that the simplification took out got its current.
struct RecoveredCurrent {
    enum Way {
        Open,       ///< it passes none
        OwnLoop,    ///< closed on one node: its voltage sources over its resistance, or its source
        CurrentLaw, ///< a short: Kirchhoff's current law at one of its nodes
    };
    NVetv* branch = nullptr;
    Way way = Open;
    /// CurrentLaw: the other branches at that node, each with the sign it is taken with.
    std::vector<std::pair<const NVetv*, int>> terms;
};

/// Gives every branch the simplification took out its current (`current` for DC, else
/// `complexCurrent`), once the kept branches hold theirs; answers how, in the order built.
std::vector<RecoveredCurrent> recoverRemovedCurrents(CircuitModel& model, bool direct);

/// Nothing when the currents of every branch as built obey Kirchhoff's current law at every
/// node and the voltage law around every loop (the potentials they imply agree), and the
/// source and open branches carry what they must; otherwise where they fail.
std::optional<std::string> currentsBreakKirchhoff(const CircuitModel& model, bool direct);

/// The connected parts of `nodes` joined by the branches that `use` accepts: the part of
/// each node, numbered from 0 in the order of the nodes, and their count.
int connectedParts(const NSUselAr& nodes, const NSVetvAr& branches,
                   const std::function<bool(const NVetv&)>& use, std::vector<int>* partOfNode = nullptr);

/// The number of independent loops among `loops`, each taken as its branches signed by the
/// direction it passes them; `firstDependent` gets the first loop that adds nothing to the
/// loops before it (null when none), `adds` whether each loop adds to those before it.
int loopRank(const std::vector<NCont*>& loops, NCont** firstDependent = nullptr,
             std::vector<bool>* adds = nullptr);

/// The DC resistance of a branch: its resistors and the real parts of its impedances.
Extended dcResistance(const NVetv& branch);
/// The AC impedance of a branch at angular frequency `omega` (capacitances in microfarad).
Complex acImpedance(const NVetv& branch, Extended omega);

} // namespace qv
