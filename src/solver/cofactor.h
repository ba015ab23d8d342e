#pragma once
// Reference solvers by expansion along the first row, the definition the elimination of
// linear.h must agree with. The cost is n!, so they serve only to check and to measure
// the elimination on small systems. Layouts as in linear.h; a short array, a negative n and
// an exactly zero determinant throw SolutionError, and so does a real answer out of the range
// of doubles.
#include <span>
#include <vector>

#include "solver/complex.h"

namespace qv::cofactor {

/// Expansion along the first row; zero entries of that row are skipped and 2 x 2 minors are
/// taken directly.
Extended determinant(std::span<const Extended> a, int n);
/// Expansion along the first row, every entry taken.
Complex complexDeterminant(std::span<const Complex> a, int n);

/// x_i = det(A_i) / det(A) with the determinants above; x gets n + 1 entries (x[n] = 0).
void cramerSolve(std::span<const double> a, std::span<const double> b, int n, std::vector<double>& x);
void complexCramerSolve(std::span<const Complex> a, std::span<const Complex> b, std::span<Complex> x, int n);

} // namespace qv::cofactor
