// Linear systems: the largest real system the Kirchhoff-laws method can pass (44 unknowns),
// a complex system of 101 unknowns, and elimination against expansion by cofactors at 9.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "solver/cofactor.h"
#include "solver/linear.h"

using namespace qv;

namespace {

std::vector<double> realMatrix(int n, unsigned seed) {
    std::mt19937_64 random(seed);
    std::uniform_real_distribution<double> value(-10, 10);
    std::vector<double> a(size_t(n) * size_t(n));
    for (double& v : a)
        v = value(random);
    return a;
}

std::vector<Complex> complexMatrix(int n, unsigned seed) {
    std::vector<double> re = realMatrix(n, seed), im = realMatrix(n, seed + 1);
    std::vector<Complex> a(re.size());
    for (size_t i = 0; i < a.size(); ++i)
        a[i] = {re[i], im[i]};
    return a;
}

void BM_RealSolve(benchmark::State& state) {
    const int n = int(state.range(0));
    const std::vector<double> a = realMatrix(n, 1), b = realMatrix(n, 2);
    std::vector<double> x;
    for (auto _ : state) {
        CramerSolve(a, b, n, x);
        benchmark::DoNotOptimize(x.data());
    }
}
BENCHMARK(BM_RealSolve)->Arg(9)->Arg(44)->Unit(benchmark::kMicrosecond);

void BM_RealSolveByCofactors(benchmark::State& state) {
    const int n = int(state.range(0));
    const std::vector<double> a = realMatrix(n, 1), b = realMatrix(n, 2);
    std::vector<double> x;
    for (auto _ : state) {
        cofactor::cramerSolve(a, b, n, x);
        benchmark::DoNotOptimize(x.data());
    }
}
BENCHMARK(BM_RealSolveByCofactors)->Arg(9)->Unit(benchmark::kMicrosecond);

void BM_ComplexSolve(benchmark::State& state) {
    const int n = int(state.range(0));
    const std::vector<Complex> a = complexMatrix(n, 3), b = complexMatrix(n, 5);
    std::vector<Complex> x(static_cast<size_t>(n));
    for (auto _ : state) {
        ComplexCramerSolve(a, b, x, n);
        benchmark::DoNotOptimize(x.data());
    }
}
BENCHMARK(BM_ComplexSolve)->Arg(9)->Arg(101)->Unit(benchmark::kMicrosecond);

void BM_ComplexSolveByCofactors(benchmark::State& state) {
    const int n = int(state.range(0));
    const std::vector<Complex> a = complexMatrix(n, 3), b = complexMatrix(n, 5);
    std::vector<Complex> x(static_cast<size_t>(n));
    for (auto _ : state) {
        cofactor::complexCramerSolve(a, b, x, n);
        benchmark::DoNotOptimize(x.data());
    }
}
BENCHMARK(BM_ComplexSolveByCofactors)->Arg(9)->Unit(benchmark::kMicrosecond);

} // namespace
