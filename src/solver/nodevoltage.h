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

    /// DC solution: real arithmetic, the report, the potentials and currents. Throws
    /// SolutionError (singular system, a branch without resistance, too many unknowns) or
    /// ReportError; what was written stays.
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

    /// Results of the last solve, at full precision, in the node list's order (the reference
    /// node last) and the branch list's order.
    std::vector<Extended> potentials;
    std::vector<Complex> complexPotentials;
    std::vector<Extended> currents;
    std::vector<Complex> complexCurrents;
    /// The scheme options the solve follows (the solve command copies them from the scheme).
    bool deleteZeroBranches = true;
    bool insertSchemeImage = true;
    bool insertInitialData = true;

  private:
    /// The pair subscript of nodes j and k: their names one after the other, cut to 40.
    std::string pair(int j, int k) const;
    void writeOpening(ReportTarget& report);
    /// The DC potential and AC potential of the grounded nodes merged into the reference.
    void recordMergedGroundNodes(bool direct);
};

} // namespace qv
