// Fits per second: the full fit, tests and integration of one reflection (FITSCAN) on Poisson
// scans of 41, 96 and 500 steps, all six profile parameters refined from the same start.
#include <benchmark/benchmark.h>

#include <cmath>
#include <random>

#include "include/profile_fit.h"
#include "include/shared.h"

namespace {

double pseudo_voigt(double x, double x0, double eta, double g) {
    const double pi = 3.14159265358979323846;
    const double d = x - x0;
    const double lor = (2.0 / (pi * g)) / (1.0 + 4.0 * d * d / (g * g));
    const double gau = (2.0 / g) * std::sqrt(std::log(2.0) / pi) * std::exp(-4.0 * std::log(2.0) * d * d / (g * g));
    return eta * lor + (1.0 - eta) * gau;
}

// A Mo K-alpha doublet at 2theta 40 degrees over an omega range of 1.6 degrees in n steps.
void make_scan(int n) {
    reset_shared_records();
    const double width = 1.6, fwhm = 0.2, delta = 0.1265;
    std::mt19937 gen(1234);
    REFLN.NSTEP = n;
    for (int i = 1; i <= n; ++i) {
        const double x = -width / 2 + width * (i - 1) / (n - 1);
        const double mu = 50.0 + 2000.0 * (pseudo_voigt(x, 0.0, 0.3, fwhm) + 0.5 * pseudo_voigt(x, delta, 0.3, fwhm));
        std::poisson_distribution<long> pd(mu);
        REFLN.XPOS(i) = float(x);
        REFLN.COUNTS(i) = float(pd(gen));
    }
    REFLN.SCALE = 1.0f;
    REFLN.ANGL(1) = 40.0f;
    REFLN.DOMA2 = float(delta);
    WAVES.WAVE(1) = 0.70930f;
    WAVES.WAVE(2) = 0.71359f;
    for (int j = 1; j <= 6; ++j) FITPAR.IREF(j) = 1;
}

void BM_FitReflection(benchmark::State& state) {
    make_scan(int(state.range(0)));
    const float start[6] = {45.0f, 0.22f, 1800.0f, 0.01f, 0.35f, 0.5f};
    for (auto _ : state) {
        for (int j = 1; j <= 6; ++j) FITPAR.VALS(j) = start[j - 1];
        int ierr = 0;
        FITSCAN(0, ierr);
        benchmark::DoNotOptimize(FITPAR.VALS(3));
    }
    if (REFLN.FLAG(2) != 'F') state.SkipWithError("the benchmark scan was not accepted");
    state.SetItemsProcessed(state.iterations());
}

}  // namespace

BENCHMARK(BM_FitReflection)->Arg(41)->Arg(96)->Arg(500);
