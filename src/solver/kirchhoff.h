#pragma once
// The Kirchhoff-laws method: the branch currents as unknowns, the current law for every node
// but the last, the voltage law for every loop, with the whole derivation in the report.
#include <span>
#include <vector>

#include "solver/circuitmodel.h"

namespace qv {

class KirchhoffMethod : public CircuitModel {
  public:
    using CircuitModel::CircuitModel;

    /// Throw SolutionError.
    void solveDirect(ReportTarget& target) override;
    void solveAlternate(ReportTarget& target) override;
    /// One DC current-law equation written and its row (from `rowStart`) filled; answers its
    /// right-hand side.
    Extended writeNodeEquation(NUsel* node, ReportTarget& target, std::vector<double>& matrix, int rowStart);
    /// One DC voltage-law equation written and its row filled; answers its right-hand side.
    Extended writeLoopEquation(NCont* loop, ReportTarget& target, std::vector<double>& matrix, int rowStart);
    /// The AC counterparts: `row` holds the n coefficients of the equation.
    void writeNodeEquationAC(NUsel* node, ReportTarget& target, std::span<Complex> row, Complex& rhs);
    void writeLoopEquationAC(NCont* loop, ReportTarget& target, std::span<Complex> row, Complex& rhs);
};

} // namespace qv
