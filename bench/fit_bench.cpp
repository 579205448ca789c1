// Fits per second: the full fit, tests and integration of one reflection (FITSCAN) on Poisson
// scans of 41, 96 and 500 steps, all six profile parameters refined from the same start.
#include <benchmark/benchmark.h>

#include "bench_scan.h"
#include "include/profile_fit.h"
#include "include/shared.h"

namespace {

void make_scan(int n) {
    reset_shared_records();
    const bench_scan::Scan s = bench_scan::make(n);
    REFLN.NSTEP = n;
    for (int i = 1; i <= n; ++i) {
        REFLN.XPOS(i) = s.x[std::size_t(i - 1)];
        REFLN.COUNTS(i) = s.counts[std::size_t(i - 1)];
    }
    REFLN.SCALE = 1.0f;
    REFLN.ANGL(1) = bench_scan::kTwoTheta;
    REFLN.DOMA2 = float(bench_scan::delta());
    WAVES.WAVE(1) = bench_scan::kWave1;
    WAVES.WAVE(2) = bench_scan::kWave2;
    for (int j = 1; j <= 6; ++j) FITPAR.IREF(j) = 1;
}

void BM_FitReflection(benchmark::State& state) {
    make_scan(int(state.range(0)));
    for (auto _ : state) {
        for (int j = 1; j <= 6; ++j) FITPAR.VALS(j) = bench_scan::kStart[j - 1];
        int ierr = 0;
        FITSCAN(0, ierr);
        benchmark::DoNotOptimize(FITPAR.VALS(3));
    }
    if (REFLN.FLAG(2) != 'F') state.SkipWithError("the benchmark scan was not accepted");
    state.SetItemsProcessed(state.iterations());
}

}  // namespace

BENCHMARK(BM_FitReflection)->Arg(41)->Arg(96)->Arg(500);
