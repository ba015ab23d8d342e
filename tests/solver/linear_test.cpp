#include "solver/linear.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <string>

#include "solver/cofactor.h"
#include "solver/solutionerror.h"

using namespace qv;

namespace {

using RealSolver = void (*)(std::span<const double>, std::span<const double>, int, std::vector<double>&);
struct NamedSolver {
    const char* name;
    RealSolver solve;
};
const NamedSolver kRealSolvers[] = {{"CramerSolve", CramerSolve}, {"CramerSolveVar", CramerSolveVar}};

std::vector<Extended> extended(const std::vector<double>& v) {
    return {v.begin(), v.end()};
}

/// Shapes of small test matrices.
/// Banded: a circuit's shape, entries near the diagonal only, the rows shuffled so that
/// pivoting exchanges rows that start at different places.
enum class Shape { Dense, Sparse, ZeroLeading, Integer, Banded };

std::vector<double> randomMatrix(std::mt19937_64& random, int n, Shape shape) {
    std::uniform_real_distribution<double> value(-10, 10);
    std::uniform_int_distribution<int> small(-6, 6);
    std::bernoulli_distribution keep(0.35);
    std::vector<double> a(size_t(n) * n);
    for (int r = 0; r < n; ++r)
        for (int k = 0; k < n; ++k) {
            double& e = a[size_t(r) * n + k];
            switch (shape) {
            case Shape::Dense:
                e = value(random);
                break;
            case Shape::Sparse:
                e = r == k || keep(random) ? value(random) : 0;
                break;
            case Shape::ZeroLeading:
                e = k < r ? value(random) : (k == r ? 0 : value(random));
                break;
            case Shape::Integer:
                e = small(random);
                break;
            case Shape::Banded:
                e = std::abs(r - k) <= 2 ? value(random) : 0;
                break;
            }
        }
    if (shape == Shape::Banded)
        for (int r = n - 1; r > 0; --r)
            std::swap_ranges(&a[size_t(r) * n], &a[size_t(r) * n] + n,
                             &a[size_t(std::uniform_int_distribution<int>(0, r)(random)) * n]);
    // Zero leading entries: no row may serve as an unpivoted first step; keep it solvable by
    // giving the last row a first entry.
    if (shape == Shape::ZeroLeading) a[size_t(n - 1) * n] = 1 + std::fabs(value(random));
    return a;
}

std::vector<Complex> randomComplexMatrix(std::mt19937_64& random, int n, Shape shape) {
    std::vector<double> re = randomMatrix(random, n, shape), im = randomMatrix(random, n, shape);
    std::vector<Complex> a(re.size());
    for (size_t i = 0; i < a.size(); ++i)
        a[i] = {re[i], (shape == Shape::Sparse || shape == Shape::Banded) && re[i] == 0 ? 0 : im[i]};
    return a;
}

std::vector<double> randomVector(std::mt19937_64& random, int n) {
    std::uniform_real_distribution<double> value(-10, 10);
    std::vector<double> b(static_cast<size_t>(n));
    for (double& v : b)
        v = value(random);
    return b;
}

bool close(Extended a, Extended b, Extended relative) {
    return std::fabs(a - b) <= relative * std::max<Extended>(1, std::max(std::fabs(a), std::fabs(b)));
}

bool close(Complex a, Complex b, Extended relative) {
    return CAbs(CSub(a, b)) <= relative * std::max<Extended>(1, std::max(CAbs(a), CAbs(b)));
}

const char* shapeName(Shape s) {
    switch (s) {
    case Shape::Dense:
        return "dense";
    case Shape::Sparse:
        return "sparse";
    case Shape::ZeroLeading:
        return "zero leading entries";
    case Shape::Integer:
        return "integer";
    case Shape::Banded:
        return "banded";
    }
    return "";
}

} // namespace

// ---------------------------------------------------------------------------------------
// Real systems

TEST(RealSystems, SmallSystemsGiveTheirSolutionFollowedByAZero) {
    struct Case {
        const char* what;
        int n;
        std::vector<double> a, b, x;
    };
    const Case cases[] = {
        {"one unknown", 1, {4}, {2}, {0.5}},
        {"two unknowns", 2, {2, 1, 1, 3}, {3, 5}, {0.8, 1.4}},
        {"zero first entry", 3, {0, 1, 2, 1, 0, 3, 4, -3, 8}, {8, 10, 22}, {1, 2, 3}},
        {"needs a row exchange later", 3, {1, 1, 1, 1, 1, 2, 1, 2, 1}, {6, 9, 8}, {1, 2, 3}},
    };
    for (const NamedSolver& s : kRealSolvers)
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(s.name) + ": " + c.what);
            std::vector<double> x{99, 99};
            s.solve(c.a, c.b, c.n, x);
            ASSERT_EQ(x.size(), size_t(c.n) + 1);
            for (int i = 0; i < c.n; ++i)
                EXPECT_DOUBLE_EQ(x[size_t(i)], c.x[size_t(i)]) << "x" << i;
            EXPECT_EQ(x[size_t(c.n)], 0);
        }
}

TEST(RealSystems, AgreeWithCramersRuleByCofactors) {
    std::mt19937_64 random(2024);
    for (Shape shape : {Shape::Dense, Shape::Sparse, Shape::ZeroLeading, Shape::Integer, Shape::Banded})
        for (int n = 1; n <= 7; ++n)
            for (int trial = 0; trial < 6; ++trial) {
                SCOPED_TRACE(std::string(shapeName(shape)) + ", n = " + std::to_string(n));
                const std::vector<double> a = randomMatrix(random, n, shape), b = randomVector(random, n);
                const Extended det = cofactor::determinant(extended(a), n);
                EXPECT_TRUE(close(Determinant(extended(a), n), det, 1e-15L * std::pow(10.0L, n)))
                    << double(Determinant(extended(a), n)) << " vs " << double(det);
                EXPECT_TRUE(close(DeterminantVar(a, n), det, 1e-15L * std::pow(10.0L, n)));
                if (det == 0) continue; // an unlucky sparse pattern: the singular cases are below
                std::vector<double> expected, x;
                cofactor::cramerSolve(a, b, n, expected);
                for (const NamedSolver& s : kRealSolvers) {
                    s.solve(a, b, n, x);
                    ASSERT_EQ(x.size(), expected.size());
                    for (size_t i = 0; i < x.size(); ++i)
                        EXPECT_TRUE(close(x[i], expected[i], 1e-11L))
                            << s.name << " x" << i << ": " << x[i] << " vs " << expected[i];
                }
            }
}

TEST(RealSystems, IntegerDeterminantsComeOutWhole) {
    std::mt19937_64 random(5);
    for (int n = 2; n <= 8; ++n) {
        const std::vector<double> a = randomMatrix(random, n, Shape::Integer);
        const Extended exact = cofactor::determinant(extended(a), n); // integer sums: exact
        EXPECT_EQ(std::round(Determinant(extended(a), n)), exact) << "n = " << n;
    }
}

namespace {

/// Singular matrices as solution methods meet them: a missing equation, a repeated one, one
/// that follows from others.
struct SingularCase {
    const char* what;
    int n;
    std::vector<double> a;
};

std::vector<SingularCase> singularCases() {
    return {
        {"1 x 1 zero", 1, {0}},
        {"two equal rows", 2, {1, 2, 1, 2}},
        {"a row of zeros", 3, {1, 2, 3, 0, 0, 0, 4, 5, 6}},
        {"a column of zeros", 3, {1, 0, 3, 2, 0, 5, 4, 0, 6}},
        {"third row the sum of the others", 3, {1, 2, 3, 4, 5, 6, 5, 7, 9}},
        {"classic 1..9", 3, {1, 2, 3, 4, 5, 6, 7, 8, 9}},
        {"rank one", 3, {2, 4, 6, 1, 2, 3, -3, -6, -9}},
        {"current law rows of every node", 3, {1, -1, 0, 0, 1, -1, -1, 0, 1}},
        {"a row a quarter of another", 3, {0.5, 1.5, -2.25, 1, 0, 1, 0.125, 0.375, -0.5625}},
    };
}

} // namespace

TEST(RealSystems, SingularSystemsAreSolutionErrors) {
    for (const SingularCase& c : singularCases()) {
        SCOPED_TRACE(c.what);
        const std::vector<double> b(size_t(c.n), 1.0);
        EXPECT_EQ(Determinant(extended(c.a), c.n), 0);
        EXPECT_EQ(DeterminantVar(c.a, c.n), 0);
        std::vector<double> x;
        for (const NamedSolver& s : kRealSolvers)
            EXPECT_THROW(s.solve(c.a, b, c.n, x), SolutionError) << s.name;
        // Scale changes nothing: singular is singular at any size of the entries.
        std::vector<double> scaled = c.a;
        for (double& v : scaled)
            v = std::ldexp(v, -600);
        EXPECT_THROW(CramerSolve(scaled, b, c.n, x), SolutionError);
    }
}

TEST(RealSystems, DependentEquationsOfLargeSystemsAreFound) {
    // The last row is an exact combination of three others (integers, or sixty-fourths so that
    // doubles hold the sums exactly): elimination mostly leaves rounding noise where the
    // determinant is 0, and that must still end the solution.
    std::mt19937_64 random(11);
    std::uniform_int_distribution<int> factor(-3, 3);
    for (int n : {4, 9, 20, 44, 101})
        for (int trial = 0; trial < 60; ++trial) {
            std::vector<double> a = randomMatrix(random, n, Shape::Integer);
            if (trial % 2)
                for (double& v : a)
                    v = std::ldexp(v * 97 + trial, -6);
            std::uniform_int_distribution<int> row(0, n - 2);
            const int r1 = row(random), r2 = row(random), r3 = row(random);
            const int f1 = factor(random) | 1, f2 = factor(random), f3 = factor(random);
            for (int k = 0; k < n; ++k)
                a[size_t(n - 1) * n + k] =
                    f1 * a[size_t(r1) * n + k] + f2 * a[size_t(r2) * n + k] + f3 * a[size_t(r3) * n + k];
            std::vector<double> x;
            EXPECT_THROW(CramerSolve(a, randomVector(random, n), n, x), SolutionError) << "n = " << n;
        }
}

TEST(RealSystems, NearlySingularAndBadlyScaledSystemsAreStillSolved) {
    struct Case {
        const char* what;
        int n;
        std::vector<double> a, b, x;
    };
    const Case cases[] = {
        {"rows differ in the twelfth digit", 2, {1, 1, 1, 1 + 1e-12}, {2, 2 + 1e-12}, {1, 1}},
        {"rows differ in the fourteenth digit", 2, {1, 1, 1, 1 + 1e-14}, {2, 2 + 1e-14}, {}},
        {"tiny and huge coefficients", 2, {1e-200, 0, 0, 1e200}, {1e-200, 2e200}, {1, 2}},
        {"a megohm beside a milliohm", 3, {1, -1, -1, 1e6, 0, 1e-3, 0, 1e-3, -1e-3}, {0, 5, 0}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<double> x, expected;
        ASSERT_NO_THROW(CramerSolve(c.a, c.b, c.n, x));
        cofactor::cramerSolve(c.a, c.b, c.n, expected);
        for (int i = 0; i < c.n; ++i) {
            EXPECT_TRUE(close(x[size_t(i)], expected[size_t(i)], 1e-9L))
                << x[size_t(i)] << " vs " << expected[size_t(i)];
            if (!c.x.empty()) {
                EXPECT_NEAR(x[size_t(i)], c.x[size_t(i)], 1e-9 * std::fabs(c.x[size_t(i)]));
            }
        }
    }
}

TEST(RealSystems, OnlyTheFirstNSquaredEntriesCountAndTheArraysStayAsTheyWere) {
    // The Kirchhoff-laws method passes room for 2001 entries and 501 right-hand sides.
    std::vector<double> a(2001, std::numeric_limits<double>::quiet_NaN()), b(501, 1e300);
    const double square[] = {2, 1, 1, 3};
    std::copy(std::begin(square), std::end(square), a.begin());
    b[0] = 3;
    b[1] = 5;
    const std::vector<double> aBefore = a, bBefore = b;
    for (const NamedSolver& s : kRealSolvers) {
        SCOPED_TRACE(s.name);
        std::vector<double> x;
        s.solve(a, b, 2, x);
        ASSERT_EQ(x.size(), 3u);
        EXPECT_DOUBLE_EQ(x[0], 0.8);
        EXPECT_DOUBLE_EQ(x[1], 1.4);
        EXPECT_EQ(x[2], 0);
        EXPECT_EQ(std::memcmp(a.data(), aBefore.data(), a.size() * sizeof(double)), 0);
        EXPECT_EQ(b, bBefore);
    }
    EXPECT_EQ(DeterminantVar(a, 2), 5);
}

TEST(RealSystems, ArraysTooShortAndValuesOutOfRangeAreSolutionErrors) {
    const double nan = std::numeric_limits<double>::quiet_NaN(),
                 inf = std::numeric_limits<double>::infinity();
    struct Case {
        const char* what;
        int n;
        std::vector<double> a, b;
    };
    const Case cases[] = {
        {"matrix shorter than n * n", 2, {1, 0, 0}, {1, 1}},
        {"right-hand side shorter than n", 2, {1, 0, 0, 1}, {1}},
        {"negative n", -1, {1}, {1}},
        {"not a number in the matrix", 2, {1, nan, 0, 1}, {1, 1}},
        {"infinity on the right", 2, {1, 0, 0, 1}, {1, inf}},
        {"a solution beyond the range of doubles", 1, {1e-300}, {1e300}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<double> x{7};
        for (const NamedSolver& s : kRealSolvers)
            EXPECT_THROW(s.solve(c.a, c.b, c.n, x), SolutionError) << s.name;
        EXPECT_EQ(x, std::vector<double>{7}) << "a failed solution leaves x alone";
    }
    EXPECT_THROW(Determinant(std::vector<Extended>{1, 2, 3}, 2), SolutionError);
    EXPECT_THROW(DeterminantVar(std::vector<double>{1, 2, 3}, 2), SolutionError);
    EXPECT_TRUE(std::isnan(DeterminantVar(std::vector<double>{1, nan, 0, 1}, 2)));
}

TEST(RealSystems, NoUnknownsGiveAnEmptySolution) {
    std::vector<double> x{5, 5};
    CramerSolve({}, {}, 0, x);
    EXPECT_EQ(x, std::vector<double>{0});
    EXPECT_EQ(Determinant({}, 0), 0);
}

TEST(RealSystems, LargeSystemsSatisfyTheirEquations) {
    std::mt19937_64 random(3);
    for (auto [n, shape] : {std::pair{20, Shape::Sparse},
                            {44, Shape::Sparse},
                            {80, Shape::Sparse},
                            {44, Shape::Banded},
                            {101, Shape::Banded}}) {
        const std::vector<double> a = randomMatrix(random, n, shape), b = randomVector(random, n);
        std::vector<double> x;
        CramerSolve(a, b, n, x);
        Extended worst = 0, scale = 0;
        for (int r = 0; r < n; ++r) {
            Extended sum = 0, size = 0;
            for (int k = 0; k < n; ++k) {
                sum += Extended(a[size_t(r) * n + k]) * x[size_t(k)];
                size += std::fabs(Extended(a[size_t(r) * n + k]) * x[size_t(k)]);
            }
            worst = std::max(worst, std::fabs(sum - b[size_t(r)]));
            scale = std::max(scale, size);
        }
        EXPECT_LT(worst, 1e-14L * scale) << "n = " << n << ", " << shapeName(shape);
    }
}

// ---------------------------------------------------------------------------------------
// Complex systems

TEST(ComplexSystems, OneUnknown) {
    const std::vector<Complex> a{{1, 1}}, b{{2, 0}};
    std::vector<Complex> x(1);
    ComplexCramerSolve(a, b, x, 1);
    EXPECT_EQ(x[0], (Complex{1, -1}));
    EXPECT_EQ(ComplexDeterminant(a, 1), (Complex{1, 1}));
}

TEST(ComplexSystems, AgreeWithCramersRuleByCofactors) {
    std::mt19937_64 random(99);
    for (Shape shape : {Shape::Dense, Shape::Sparse, Shape::ZeroLeading, Shape::Integer, Shape::Banded})
        for (int n = 1; n <= 6; ++n)
            for (int trial = 0; trial < 5; ++trial) {
                SCOPED_TRACE(std::string(shapeName(shape)) + ", n = " + std::to_string(n));
                const std::vector<Complex> a = randomComplexMatrix(random, n, shape);
                const std::vector<Complex> b =
                    randomComplexMatrix(random, n, Shape::Dense); // n*n: room to spare
                const Complex det = cofactor::complexDeterminant(a, n);
                EXPECT_TRUE(close(ComplexDeterminant(a, n), det, 1e-15L * std::pow(10.0L, n)));
                if (det == Complex{}) continue;
                std::vector<Complex> x(static_cast<size_t>(n)), expected(static_cast<size_t>(n));
                cofactor::complexCramerSolve(a, b, expected, n);
                ComplexCramerSolve(a, b, x, n);
                for (int i = 0; i < n; ++i)
                    EXPECT_TRUE(close(x[size_t(i)], expected[size_t(i)], 1e-14L)) << "x" << i;
            }
}

TEST(ComplexSystems, SingularSystemsAreSolutionErrors) {
    std::vector<std::pair<const char*, std::vector<Complex>>> cases = {
        {"two equal rows", {{1, 1}, {2, -1}, {1, 1}, {2, -1}}},
        {"a row j times another", {{1, 2}, {3, 0}, {-2, 1}, {0, 3}}},
        {"a row (1+j) times another", {{1, 2}, {3, -1}, {-1, 3}, {4, 2}}},
        {"a column of zeros", {{0, 0}, {1, 0}, {0, 0}, {0, 1}}},
    };
    for (auto& [what, a] : cases) {
        SCOPED_TRACE(what);
        EXPECT_EQ(cofactor::complexDeterminant(a, 2), Complex{}) << "the case itself is singular";
        EXPECT_EQ(ComplexDeterminant(a, 2), Complex{});
        const std::vector<Complex> b{{1, 0}, {0, 1}};
        std::vector<Complex> x(2);
        EXPECT_THROW(ComplexCramerSolve(a, b, x, 2), SolutionError);
    }
    // Real singular matrices stay singular as complex ones.
    for (const SingularCase& c : singularCases()) {
        SCOPED_TRACE(c.what);
        std::vector<Complex> a;
        for (double v : c.a)
            a.push_back({v, -v / 2});
        const std::vector<Complex> b(size_t(c.n), Complex{1, 1});
        std::vector<Complex> x(size_t(c.n));
        EXPECT_THROW(ComplexCramerSolve(a, b, x, c.n), SolutionError);
    }
}

TEST(ComplexSystems, TheArraysStayAsTheyWereAndShortOnesAreRefused) {
    std::vector<Complex> a{{2, 0}, {0, 1}, {0, -1}, {3, 0}, {9, 9}}, b{{1, 0}, {0, 1}};
    const std::vector<Complex> aBefore = a, bBefore = b;
    std::vector<Complex> x(2);
    ComplexCramerSolve(a, b, x, 2);
    EXPECT_EQ(a, aBefore);
    EXPECT_EQ(b, bBefore);
    std::vector<Complex> expected(2);
    cofactor::complexCramerSolve(a, b, expected, 2);
    EXPECT_TRUE(close(x[0], expected[0], 1e-18L) && close(x[1], expected[1], 1e-18L));

    std::vector<Complex> shortX(1);
    EXPECT_THROW(ComplexCramerSolve(a, b, shortX, 2), SolutionError);
    EXPECT_THROW(ComplexCramerSolve(std::span(a).first(3), b, x, 2), SolutionError);
    EXPECT_THROW(ComplexCramerSolve(a, std::span(b).first(1), x, 2), SolutionError);
    EXPECT_THROW(ComplexDeterminant(std::span(a).first(3), 2), SolutionError);
    const Extended inf = std::numeric_limits<Extended>::infinity();
    std::vector<Complex> bad{{1, 0}, {0, inf}, {0, 0}, {1, 0}};
    EXPECT_THROW(ComplexCramerSolve(bad, b, x, 2), SolutionError);
}

TEST(ComplexSystems, LargeSystemsSatisfyTheirEquations) {
    std::mt19937_64 random(17);
    const int n = 101;
    for (Shape shape : {Shape::Dense, Shape::Banded}) {
        const std::vector<Complex> a = randomComplexMatrix(random, n, shape);
        const std::vector<Complex> b = randomComplexMatrix(random, n, Shape::Dense);
        std::vector<Complex> x(static_cast<size_t>(n));
        ComplexCramerSolve(a, b, x, n);
        for (int r = 0; r < n; ++r) {
            Complex sum;
            Extended size = 0;
            for (int k = 0; k < n; ++k) {
                const Complex term = CMul(a[size_t(r) * n + k], x[size_t(k)]);
                sum = CAdd(sum, term);
                size += CAbs(term);
            }
            EXPECT_LT(CAbs(CSub(sum, b[size_t(r)])), 1e-16L * size)
                << "row " << r << ", " << shapeName(shape);
        }
    }
}
