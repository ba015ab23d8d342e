#pragma once
// Square linear systems A x = b of the three solution methods, solved so that unknown i is
// column i of A and entry i of x (x_i = det(A_i) / det(A) by Cramer's rule). The answers are
// computed by Gaussian elimination with partial pivoting in extended precision: one
// factorisation gives det(A) and the whole solution, in n^3 steps instead of the n! of
// expanding every determinant by cofactors.
//
// Layouts: a matrix is row by row, entry (r, k) at r * n + k. A real matrix may be longer than
// n * n (only the first n * n entries count); b_r is at r. The caller's arrays are never
// changed. Every failure throws SolutionError: a negative n, an array too short for n, a
// value that is not a finite number (in the input or, by overflow, in the answer) and a
// singular system. Singular means a zero determinant: elimination meets a column whose
// candidates for the pivot are all 0 or cancelled to rounding noise (within 1024 (k + 2)
// extended epsilons of the terms they were made from at step k: at most about 1e-14 for 101
// unknowns), so a dependent equation is refused even where rounding keeps the computed
// determinant off 0.
#include <span>
#include <vector>

#include "solver/complex.h"

namespace qv {

/// Real system (DC, branch currents): x gets n + 1 entries, the solution and then x[n] = 0.
void CramerSolve(std::span<const double> a, std::span<const double> b, int n, std::vector<double>& x);
/// The same for the mesh-current and node-voltage methods.
void CramerSolveVar(std::span<const double> a, std::span<const double> b, int n, std::vector<double>& x);
/// Complex system (AC): fills x[0 .. n-1]; x must have room for n values.
void ComplexCramerSolve(std::span<const Complex> a, std::span<const Complex> b, std::span<Complex> x, int n);

/// Determinants: 0 for n = 0 and for a singular matrix; they throw only for a bad n or a
/// short array.
Extended Determinant(std::span<const Extended> a, int n);
Extended DeterminantVar(std::span<const double> a, int n);
Complex ComplexDeterminant(std::span<const Complex> a, int n);

} // namespace qv
