#include "solver/complex.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <random>

#include "solver/solutionerror.h"

using namespace qv;

TEST(ComplexArithmetic, OperationsGiveTheirAlgebraicResults) {
    struct Case {
        const char* what;
        std::function<Complex(Complex, Complex)> op;
        Complex a, b, expected;
    };
    const Case cases[] = {
        {"make", [](Complex a, Complex) { return CMake(a.re, a.im); }, {1.5, -2}, {}, {1.5, -2}},
        {"add", CAdd, {1, 2}, {3, -4}, {4, -2}},
        {"subtract", CSub, {1, 2}, {3, -4}, {-2, 6}},
        {"multiply", CMul, {1, 2}, {3, 4}, {-5, 10}},
        {"j times j", CMul, {0, 1}, {0, 1}, {-1, 0}},
        {"divide", CDiv, {-5, 10}, {3, 4}, {1, 2}},
        {"divide by 1+j", CDiv, {2, 0}, {1, 1}, {1, -1}},
        {"divide by a real", CDiv, {3, -6}, {-3, 0}, {-1, 2}},
        {"divide by j", CDiv, {1, 0}, {0, 1}, {0, -1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Complex r = c.op(c.a, c.b);
        EXPECT_EQ(r.re, c.expected.re);
        EXPECT_EQ(r.im, c.expected.im);
    }
}

TEST(ComplexArithmetic, AbsIsTheModulus) {
    EXPECT_EQ(CAbs({3, 4}), 5);
    EXPECT_EQ(CAbs({0, -2}), 2);
    EXPECT_EQ(CAbs({-7, 0}), 7);
    EXPECT_EQ(CAbs({}), 0);
}

TEST(ComplexArithmetic, PartsKeepExtendedPrecision) {
    // Dividing a product by one factor gives the other back far closer than doubles could.
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> part(-100, 100);
    for (int i = 0; i < 200; ++i) {
        const Complex a{Extended(part(random)) / 3, Extended(part(random)) / 7};
        const Complex b{Extended(part(random)) / 11, Extended(part(random)) / 13};
        const Complex back = CDiv(CMul(a, b), b);
        const Extended error = CAbs(CSub(back, a)) / CAbs(a);
        EXPECT_LT(error, 1e-17L) << "a = " << double(a.re) << "+" << double(a.im) << "j";
    }
    // 1 + 2^-60 survives in extended precision and not in a double.
    const Extended tiny = std::ldexp(Extended(1), -60);
    EXPECT_NE(CAdd({1, 0}, {tiny, 0}).re, 1);
}

TEST(ComplexArithmetic, DivisionByZeroIsASolutionError) {
    EXPECT_THROW(CDiv({1, 1}, {0, 0}), SolutionError);
    EXPECT_THROW(CDiv({0, 0}, {0, 0}), SolutionError);
    // A divisor whose square vanishes is zero for the formula too.
    const Extended tiny = std::ldexp(Extended(1), -9000);
    EXPECT_THROW(CDiv({1, 0}, {tiny, tiny}), SolutionError);
}
