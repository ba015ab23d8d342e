#include "solver/complex.h"

#include <cmath>

#include "solver/solutionerror.h"

namespace qv {

Extended CAbs(Complex z) {
    return std::sqrt(z.re * z.re + z.im * z.im);
}

Complex CDiv(Complex a, Complex b) {
    const Extended d = b.im * b.im + b.re * b.re;
    if (d == 0) throw SolutionError("complex division by zero");
    return Complex{(a.re * b.re + b.im * a.im) / d, (a.im * b.re - b.im * a.re) / d};
}

} // namespace qv
