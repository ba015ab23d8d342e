#include "solver/cofactor.h"

#include <cmath>
#include <cstddef>

#include "solver/solutionerror.h"

namespace qv::cofactor {

namespace {

size_t squareSize(int n) {
    if (n < 0) throw SolutionError("negative system size");
    return size_t(n) * size_t(n);
}

void requireSize(size_t have, size_t need) {
    if (have < need) throw SolutionError("array shorter than the system");
}

/// The (n-1) x (n-1) minor of rows 1 .. n-1 without column `skip`.
template <class T> std::vector<T> minorOf(const T* a, int n, int skip) {
    std::vector<T> m;
    m.reserve(size_t(n - 1) * size_t(n - 1));
    for (int r = 1; r < n; ++r)
        for (int k = 0; k < n; ++k)
            if (k != skip) m.push_back(a[size_t(r) * n + k]);
    return m;
}

Extended realDet(const Extended* a, int n) {
    if (n == 0) return 0;
    if (n == 1) return a[0];
    if (n == 2) return a[0] * a[3] - a[1] * a[2];
    Extended sum = 0;
    for (int i = 0; i < n; ++i) {
        if (a[i] == 0) continue;
        const std::vector<Extended> m = minorOf(a, n, i);
        const Extended term = realDet(m.data(), n - 1) * a[i];
        sum = i % 2 ? sum - term : sum + term;
    }
    return sum;
}

Complex complexDet(const Complex* a, int n) {
    if (n == 0) return Complex{};
    if (n == 1) return a[0];
    Complex acc{};
    for (int i = 0; i < n; ++i) {
        const std::vector<Complex> m = minorOf(a, n, i);
        const Complex p = CMul(a[i], complexDet(m.data(), n - 1));
        acc = i % 2 ? CSub(acc, p) : CAdd(acc, p);
    }
    return acc;
}

} // namespace

Extended determinant(std::span<const Extended> a, int n) {
    requireSize(a.size(), squareSize(n));
    return realDet(a.data(), n);
}

Complex complexDeterminant(std::span<const Complex> a, int n) {
    requireSize(a.size(), squareSize(n));
    return complexDet(a.data(), n);
}

void cramerSolve(std::span<const double> a, std::span<const double> b, int n, std::vector<double>& x) {
    const size_t nn = squareSize(n);
    requireSize(a.size(), nn);
    requireSize(b.size(), size_t(n));
    const std::vector<Extended> copy(a.begin(), a.begin() + std::ptrdiff_t(nn));
    std::vector<double> result(size_t(n) + 1, 0.0);
    if (n > 0) {
        const Extended d = realDet(copy.data(), n);
        if (d == 0) throw SolutionError("singular system");
        for (int i = 0; i < n; ++i) {
            std::vector<Extended> m = copy;
            for (int r = 0; r < n; ++r)
                m[size_t(r) * n + i] = b[size_t(r)];
            result[size_t(i)] = double(realDet(m.data(), n) / d);
            if (!std::isfinite(result[size_t(i)])) throw SolutionError("the solution is not a finite number");
        }
    }
    x = std::move(result);
}

void complexCramerSolve(std::span<const Complex> a, std::span<const Complex> b, std::span<Complex> x, int n) {
    const size_t nn = squareSize(n);
    requireSize(a.size(), nn);
    requireSize(b.size(), size_t(n));
    requireSize(x.size(), size_t(n));
    const std::vector<Complex> copy(a.begin(), a.begin() + std::ptrdiff_t(nn));
    const std::vector<Complex> rhs(b.begin(), b.begin() + n);
    if (n == 0) return;
    const Complex d = complexDet(copy.data(), n);
    for (int i = 0; i < n; ++i) {
        std::vector<Complex> m = copy;
        for (int r = 0; r < n; ++r)
            m[size_t(r) * n + i] = rhs[size_t(r)];
        x[size_t(i)] = CDiv(complexDet(m.data(), n), d);
    }
}

} // namespace qv::cofactor
