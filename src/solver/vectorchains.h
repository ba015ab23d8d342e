#pragma once
// The two halves of building a vector diagram from a solution: the voltage vectors of the
// element records and the current chains of the scheme's nodes. `NCalcPowerBalance::
// buildVectors` makes the records and calls both.
#include <vector>

namespace qv {

class NTBEFizDisp;
class NVectDiaDisp;
struct NTbeSetObj;

/// One voltage vector per record, in order, at the diagram's voltage scale: from the
/// potential on the Node1 side to that on the Node2 side (a voltage source whose orientation
/// is against the branch the other way round), so that each branch's vectors follow head to
/// tail. Records of other elements are skipped.
void addVoltageVectors(const std::vector<NTbeSetObj>& records, NVectDiaDisp& diagram);

/// For every node of `scheme`, in document order, the chain of the currents of its branches
/// that took part in the last solution, at the diagram's current scale: from the origin,
/// forward for a branch that leaves the node and backward for one that enters it.
void addCurrentChains(const NTBEFizDisp& scheme, NVectDiaDisp& diagram);

} // namespace qv
