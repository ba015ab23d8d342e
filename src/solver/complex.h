#pragma once
// Complex numbers of the AC calculations, with extended-precision parts. A plain pair so that
// matrices and vectors are contiguous blocks of them, row by row.
#include "platform/extended.h"

namespace qv {

struct Complex {
    Extended re = 0;
    Extended im = 0;
    friend bool operator==(const Complex&, const Complex&) = default;
};

inline Complex CMake(Extended re, Extended im) {
    return Complex{re, im};
}
inline Complex CAdd(Complex a, Complex b) {
    return Complex{a.re + b.re, a.im + b.im};
}
inline Complex CSub(Complex a, Complex b) {
    return Complex{a.re - b.re, a.im - b.im};
}
inline Complex CMul(Complex a, Complex b) {
    return Complex{a.re * b.re - a.im * b.im, a.im * b.re + a.re * b.im};
}
/// The modulus, sqrt(re^2 + im^2).
Extended CAbs(Complex z);
/// a / b over |b|^2, unscaled, as every figure of the report is computed. Throws SolutionError
/// when |b|^2 is 0 instead of answering infinities.
Complex CDiv(Complex a, Complex b);

} // namespace qv
