#pragma once
// The node-voltage method: the potentials of the nodes against one reference node, then every
// branch current by Ohm's law, with the whole derivation written into the report and the
// results written back into the scheme's calculation records.
#include <string>
#include <vector>

#include "report/reporttarget.h"
#include "solver/circuitmodel.h"

namespace qv {

class NodeVoltageMethod : public CircuitModel {
  public:
    /// Largest DC system: the coefficient table holds 2001 entries (44 x 44 fit, 45 x 45 do not).
    static constexpr int kMaxDirectUnknowns = 44;
    /// Largest AC system: the unknown tables hold 101 names.
    static constexpr int kMaxAlternateUnknowns = 101;

    using CircuitModel::CircuitModel;

    /// DC solution: real arithmetic, the report, the potentials and currents (`potential` of
    /// the nodes, `current` of every branch as built). Throws SolutionError (currents that
    /// are not determined, a singular system, a branch without resistance, too many
    /// unknowns) or ReportError; what was written stays. A part of the scheme that no
    /// resistive path joins to the reference node gets a reference node of its own.
    void solveDirect(ReportTarget& report) override;
    /// AC solution at the scheme's frequency, with the same failures.
    void solveAlternate(ReportTarget& report) override;

    /// Replaces every grounded node by the one `commonNode`, appended at the end of the list.
    void mergeGroundNodes();

    Extended calcConductance(int j, int k, ReportTarget& report);
    Complex calcAdmittance(int p, int j, ReportTarget& report);
    Extended calcNodeCurrent(NUsel& node, ReportTarget& report);
    Complex calcNodeCurrentAC(NUsel& node, ReportTarget& report);
    Extended calcBranchCurrent(NVetv& branch, ReportTarget& report);
    Complex calcBranchCurrentAC(NVetv& branch, ReportTarget& report);

    /// The scheme options the solve follows (the solve command copies them from the scheme).
    bool deleteZeroBranches = true;
    bool insertSchemeImage = true;
    bool insertInitialData = true;

  private:
    /// The pair subscript of nodes j and k: their names one after the other, cut to 40.
    std::string pair(int j, int k) const;
    void writeOpening(ReportTarget& report);
    /// Puts one reference node per part of the scheme that branches without current sources
    /// join at the end of the node list (the node last in the list is the reference of its
    /// own part); answers their number.
    int placeReferences(bool direct);
    /// The potential lines of the nodes the merges took out, each under its own name.
    void writeMergedNodes(ReportTarget& report, bool direct);
    /// The potentials of every scheme node and the currents of every scheme branch into the
    /// scheme's calculation records.
    void recordResults(bool direct);
};

} // namespace qv
