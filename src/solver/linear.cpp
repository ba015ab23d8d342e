#include "solver/linear.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>
#include <utility>

#include "solver/solutionerror.h"

namespace qv {

namespace {

struct RealOps {
    using T = Extended;
    static Extended magnitude(Extended v) { return std::fabs(v); }
    static bool isZero(Extended v) { return v == 0; }
    static bool isFinite(Extended v) { return std::isfinite(v); }
    static Extended one() { return 1; }
    static Extended negate(Extended v) { return -v; }
    static Extended mul(Extended a, Extended b) { return a * b; }
    static Extended sub(Extended a, Extended b) { return a - b; }
    static Extended div(Extended a, Extended b) { return a / b; }
    static Extended notANumber() { return std::numeric_limits<Extended>::quiet_NaN(); }
    /// sum a[t] b[t], t < count; two partial sums keep the additions from waiting on each other.
    static Extended dot(const Extended* a, const Extended* b, int count) {
        Extended even = 0, odd = 0;
        int t = 0;
        for (; t + 1 < count; t += 2) {
            even += a[t] * b[t];
            odd += a[t + 1] * b[t + 1];
        }
        if (t < count) even += a[t] * b[t];
        return even + odd;
    }
};

struct ComplexOps {
    using T = Complex;
    // The pivot only has to be the largest in some norm; this one needs no square root.
    static Extended magnitude(Complex v) { return std::fabs(v.re) + std::fabs(v.im); }
    static bool isZero(Complex v) { return v.re == 0 && v.im == 0; }
    static bool isFinite(Complex v) { return std::isfinite(v.re) && std::isfinite(v.im); }
    static Complex one() { return Complex{1, 0}; }
    static Complex negate(Complex v) { return Complex{-v.re, -v.im}; }
    static Complex mul(Complex a, Complex b) { return CMul(a, b); }
    static Complex sub(Complex a, Complex b) { return CSub(a, b); }
    static Complex div(Complex a, Complex b) { return CDiv(a, b); }
    static Complex notANumber() {
        return Complex{std::numeric_limits<Extended>::quiet_NaN(),
                       std::numeric_limits<Extended>::quiet_NaN()};
    }
    /// sum a[t] b[t], t < count, by the products of CMul.
    static Complex dot(const Complex* a, const Complex* b, int count) {
        Extended re = 0, im = 0;
        for (int t = 0; t < count; ++t) {
            re += a[t].re * b[t].re - a[t].im * b[t].im;
            im += a[t].im * b[t].re + a[t].re * b[t].im;
        }
        return Complex{re, im};
    }
};

/// Entries an n x n matrix needs; refuses a negative n.
size_t squareSize(int n) {
    if (n < 0) throw SolutionError("negative system size");
    return size_t(n) * size_t(n);
}

void requireSize(size_t have, size_t need, const char* what) {
    if (have < need) throw SolutionError(what);
}

/// Gaussian elimination with partial pivoting of the row-major n x n block `m`, in place: the
/// upper triangle becomes U and the multipliers of L are kept below it, P A = L U. Each entry
/// is made in one go as a_ij - sum l_it u_tj (the dot-product order of the same elimination),
/// so that the sum stays in registers: extended reals are slow to store. `rhs`, when given,
/// becomes L^-1 P rhs. `swaps` counts the row exchanges (the sign of the determinant).
///
/// The zeros a row starts with stay zeros in L (its multipliers there are 0), and a product
/// with an exact 0 adds nothing to a sum that starts at +0: each sum starts at the row's first
/// entry that is not 0 (rounded down to an even place, so that the real sums pair their terms
/// as before). The results are those of the full sums, bit for bit; a system of a circuit,
/// whose rows hold few entries, skips most of the work.
///
/// False when the determinant is 0: some pivot column holds nothing but zeros, where a zero
/// is an exact 0 or a value within the rounding left by the subtractions that made it. A
/// dependent equation cancels to rounding noise here, where the expansion by cofactors of
/// the same matrix gives an exact 0.
template <class Ops>
bool eliminate(std::vector<typename Ops::T>& m, typename Ops::T* rhs, int n, int& swaps) {
    using T = typename Ops::T;
    constexpr Extended eps = std::numeric_limits<Extended>::epsilon();
    // The columns of U as rows, so that every sum runs over contiguous entries.
    std::vector<T> columns(size_t(n) * size_t(n));
    // Where each row's sums start: its first entry that is not 0, rounded down to even.
    std::vector<int> lead(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        const T* row = &m[size_t(i) * n];
        int t = 0;
        while (t < n && Ops::isZero(row[t]))
            ++t;
        lead[size_t(i)] = t & ~1;
    }
    // sum row[t] u[t], t < count, from the row's lead on.
    auto dot = [&](int i, const T* row, const T* u, int count) {
        const int from = std::min(lead[size_t(i)], count);
        return Ops::dot(row + from, u + from, count - from);
    };
    swaps = 0;
    for (int k = 0; k < n; ++k) {
        const T* uk = &columns[size_t(k) * n]; // u_tk for t < k
        for (int i = k; i < n; ++i) {
            T* row = &m[size_t(i) * n];
            row[k] = Ops::sub(row[k], dot(i, row, uk, k));
        }
        // Entry (i, k) is a_ik - sum l_it u_tk. Where exact arithmetic gives 0, the rounding
        // left stays well under 100 (k + 2) eps of the terms' sizes (random dependent systems up
        // to 101 unknowns); true pivots of solvable systems lie many orders above the bound.
        const Extended tolerance = 1024 * (k + 2) * eps;
        auto significant = [&](int i, Extended size) {
            if (size == 0) return false;
            Extended terms = 0;
            const T* row = &m[size_t(i) * n];
            for (int t = 0; t < k; ++t)
                terms += Ops::magnitude(row[t]) * Ops::magnitude(uk[t]);
            return size > tolerance * (size + terms);
        };
        int pivot = k;
        Extended best = Ops::magnitude(m[size_t(k) * n + k]);
        for (int i = k + 1; i < n; ++i) {
            const Extended v = Ops::magnitude(m[size_t(i) * n + k]);
            if (v > best) {
                best = v;
                pivot = i;
            }
        }
        if (!significant(pivot, best)) {
            // The largest entry is rounding noise; a smaller one may still be a true value.
            pivot = -1;
            best = 0;
            for (int i = k; i < n; ++i) {
                const Extended v = Ops::magnitude(m[size_t(i) * n + k]);
                if (v > best && significant(i, v)) {
                    best = v;
                    pivot = i;
                }
            }
            if (pivot < 0) return false;
        }
        T* rowK = &m[size_t(k) * n];
        if (pivot != k) {
            std::swap_ranges(rowK, rowK + n, &m[size_t(pivot) * n]);
            std::swap(lead[size_t(k)], lead[size_t(pivot)]);
            if (rhs) std::swap(rhs[k], rhs[pivot]);
            ++swaps;
        }
        columns[size_t(k) * n + k] = rowK[k];
        for (int j = k + 1; j < n; ++j) {
            T* uj = &columns[size_t(j) * n];
            rowK[j] = Ops::sub(rowK[j], dot(k, rowK, uj, k));
            uj[k] = rowK[j];
        }
        for (int i = k + 1; i < n; ++i) {
            T& l = m[size_t(i) * n + k];
            if (!Ops::isZero(l)) l = Ops::div(l, rowK[k]);
        }
    }
    if (rhs)
        for (int i = 1; i < n; ++i)
            rhs[i] = Ops::sub(rhs[i], dot(i, &m[size_t(i) * n], rhs, i));
    return true;
}

template <class Ops> bool allFinite(std::span<const typename Ops::T> values) {
    for (const auto& v : values)
        if (!Ops::isFinite(v)) return false;
    return true;
}

template <class Ops> typename Ops::T determinantOf(std::vector<typename Ops::T> m, int n) {
    using T = typename Ops::T;
    if (n == 0) return T{};
    if (!allFinite<Ops>(m)) return Ops::notANumber();
    int swaps = 0;
    if (!eliminate<Ops>(m, nullptr, n, swaps)) return T{};
    T det = Ops::one();
    for (int k = 0; k < n; ++k)
        det = Ops::mul(det, m[size_t(k) * n + k]);
    return swaps % 2 ? Ops::negate(det) : det;
}

template <class Ops>
void requireFinite(const std::vector<typename Ops::T>& m, const std::vector<typename Ops::T>& rhs) {
    if (!allFinite<Ops>(m) || !allFinite<Ops>(rhs))
        throw SolutionError("the system holds a value that is not a finite number");
}

/// Solves m x = rhs (m and rhs are working copies) and leaves the answer in rhs.
template <class Ops>
void solveInPlace(std::vector<typename Ops::T>& m, std::vector<typename Ops::T>& rhs, int n) {
    int swaps = 0;
    if (!eliminate<Ops>(m, rhs.data(), n, swaps)) throw SolutionError("singular system");
    for (int i = n - 1; i >= 0; --i) {
        const typename Ops::T* row = &m[size_t(i) * n];
        typename Ops::T acc = rhs[size_t(i)];
        for (int j = i + 1; j < n; ++j)
            acc = Ops::sub(acc, Ops::mul(row[j], rhs[size_t(j)]));
        rhs[size_t(i)] = Ops::div(acc, row[i]);
        if (!Ops::isFinite(rhs[size_t(i)])) throw SolutionError("the solution is not a finite number");
    }
}

void solveReal(std::span<const double> a, std::span<const double> b, int n, std::vector<double>& x) {
    const size_t nn = squareSize(n);
    requireSize(a.size(), nn, "matrix shorter than n * n");
    requireSize(b.size(), size_t(n), "right-hand side shorter than n");
    std::vector<Extended> m(a.begin(), a.begin() + std::ptrdiff_t(nn));
    std::vector<Extended> rhs(b.begin(), b.begin() + n);
    requireFinite<RealOps>(m, rhs);
    solveInPlace<RealOps>(m, rhs, n);
    std::vector<double> result(size_t(n) + 1, 0.0);
    for (int i = 0; i < n; ++i) {
        result[size_t(i)] = double(rhs[size_t(i)]);
        if (!std::isfinite(result[size_t(i)]))
            throw SolutionError("the solution is out of the range of doubles");
    }
    x = std::move(result);
}

} // namespace

void CramerSolve(std::span<const double> a, std::span<const double> b, int n, std::vector<double>& x) {
    solveReal(a, b, n, x);
}

void CramerSolveVar(std::span<const double> a, std::span<const double> b, int n, std::vector<double>& x) {
    solveReal(a, b, n, x);
}

void ComplexCramerSolve(std::span<const Complex> a, std::span<const Complex> b, std::span<Complex> x, int n) {
    const size_t nn = squareSize(n);
    requireSize(a.size(), nn, "matrix shorter than n * n");
    requireSize(b.size(), size_t(n), "right-hand side shorter than n");
    requireSize(x.size(), size_t(n), "solution shorter than n");
    std::vector<Complex> m(a.begin(), a.begin() + std::ptrdiff_t(nn));
    std::vector<Complex> rhs(b.begin(), b.begin() + n);
    requireFinite<ComplexOps>(m, rhs);
    solveInPlace<ComplexOps>(m, rhs, n);
    for (int i = 0; i < n; ++i)
        x[size_t(i)] = rhs[size_t(i)];
}

Extended Determinant(std::span<const Extended> a, int n) {
    const size_t nn = squareSize(n);
    requireSize(a.size(), nn, "matrix shorter than n * n");
    return determinantOf<RealOps>(std::vector<Extended>(a.begin(), a.begin() + std::ptrdiff_t(nn)), n);
}

Extended DeterminantVar(std::span<const double> a, int n) {
    const size_t nn = squareSize(n);
    requireSize(a.size(), nn, "matrix shorter than n * n");
    return determinantOf<RealOps>(std::vector<Extended>(a.begin(), a.begin() + std::ptrdiff_t(nn)), n);
}

Complex ComplexDeterminant(std::span<const Complex> a, int n) {
    const size_t nn = squareSize(n);
    requireSize(a.size(), nn, "matrix shorter than n * n");
    return determinantOf<ComplexOps>(std::vector<Complex>(a.begin(), a.begin() + std::ptrdiff_t(nn)), n);
}

} // namespace qv
