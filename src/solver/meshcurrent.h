#pragma once
// The mesh-current method: one current per loop the user drew; every branch current is the
// signed sum of the mesh currents through it. A current source fixes the mesh current of the
// one loop it lies in, which is then moved to the other loops' right-hand sides.
#include "solver/circuitmodel.h"

namespace qv {

class MeshCurrentMethod : public CircuitModel {
  public:
    using CircuitModel::CircuitModel;

    /// Throw SolutionError with the reason when the branch currents are not determined (a loop
    /// without resistance, a current source without a way back), a current source does not lie
    /// in exactly one loop, a loop holds two of them, the loops are not a basis of the
    /// scheme's loops, or the system is too large. DC takes the branches with a capacitor out
    /// with the loops through them; all grounds are one point.
    void solveDirect(ReportTarget& target) override;
    void solveAlternate(ReportTarget& target) override;

    /// Fills the branches' `loops`, the loops' `neighbours`, their current sources and
    /// whether these act along the loop.
    void calcLoopRelations();
    /// True when `branch` is in `loop` and the loop runs through it from `from` to `to`.
    bool passesAlong(const NCont* loop, const NUsel* from, const NUsel* to, const NVetv* branch) const;

    /// Own (i = j) or mutual resistance of loops i and j; the Write... forms write its formula.
    Extended writeLoopResistance(int i, int j, ReportTarget& target);
    Extended loopResistance(int i, int j) const;
    /// The loop EMF with the known mesh currents of the neighbours moved over.
    Extended writeLoopEmf(NCont* loop, ReportTarget& target);
    /// The signed sum of the DC EMFs around the loop, their terms written.
    Extended loopEmfTerms(NCont* loop, ReportTarget& target);
    /// The DC branch current from the mesh currents, written and stored in `current`.
    Extended writeBranchCurrentFromLoops(NVetv* branch, ReportTarget& target);

    Complex writeLoopImpedance(int i, int j, ReportTarget& target);
    Complex loopImpedance(int i, int j) const;
    Complex writeLoopEmfAC(NCont* loop, ReportTarget& target);
    Complex loopEmfSumAC(NCont* loop, ReportTarget& target);
    /// The AC branch current, written and stored in `complexCurrent`.
    Complex writeBranchCurrentFromLoopsAC(NVetv* branch, ReportTarget& target);

    /// Number format of the DC results: significant digits, and the digits argument.
    int precision = 7;
    int digits = 5;

  private:
    /// Fails the solution unless the loops are a basis of the scheme's loops.
    void requireLoopBasis() const;
    /// A branch current as the sum of the mesh currents through it (or its source), unwritten.
    Extended currentFromLoops(const NVetv* branch) const;
    Complex currentFromLoopsAC(const NVetv* branch) const;
    /// The loops whose mesh currents are unknown (no current source fixes them), in order;
    /// checks that every current source fixes exactly one loop.
    std::vector<NCont*> unknownLoops(bool direct);
    /// The terms that both loops share: +1 or -1 per shared branch, by direction.
    template <class Fn> void forSharedBranches(const NCont* a, const NCont* b, Fn fn) const;
};

} // namespace qv
