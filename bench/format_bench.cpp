// Records per second of the edit-descriptor writer and reader for the standard data file's
// reflection record and count line, formatted in memory and written to a scratch unit.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <string>
#include <vector>

#include "runtime/farray.h"
#include "runtime/format.h"
#include "runtime/ftext.h"

namespace {

constexpr const char* kReflection = "('R' I6 3I4 5F10.4 I4 2F10.5 I4 A1)";
constexpr const char* kReflectionIn = "(TR1 I6 3I4 5F10.4 I4 2F10.5 I4 A1)";
constexpr const char* kCounts = "('S' 10I8)";

void BM_WriteReflectionRecord(benchmark::State& state) {
    std::vector<std::string> recs;
    int iseq = 1;
    for (auto _ : state) {
        rt::format_records(kReflection,
                           {rt::out_item(iseq), rt::out_item(3), rt::out_item(-2), rt::out_item(11), rt::out_item(0.0f),
                            rt::out_item(23.4567f), rt::out_item(-0.0123f), rt::out_item(45.25f),
                            rt::out_item(-170.125f), rt::out_item(41), rt::out_item(0.01f), rt::out_item(1.0f),
                            rt::out_item(0), rt::out_item("N")},
                           recs);
        benchmark::DoNotOptimize(recs.data());
        ++iseq;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_WriteReflectionRecord);

void BM_WriteCountLine(benchmark::State& state) {
    rt::FArray<int, 500> counts;
    for (int i = 1; i <= 500; ++i) counts(i) = 1000 + 37 * i;
    std::vector<std::string> recs;
    int k = 0;
    for (auto _ : state) {
        const int lo = 1 + 10 * (k % 50);
        rt::format_records(kCounts, {rt::out_slice(counts, lo, lo + 9)}, recs);
        benchmark::DoNotOptimize(recs.data());
        ++k;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_WriteCountLine);

void BM_ReadReflectionRecord(benchmark::State& state) {
    const std::string rec =
        "R    17   1  -2   3    0.0000   23.5000   -0.0123   45.2500 -170.0000  41   0.01000   1.00000   0N";
    int iseq, nstep, istd;
    rt::FArray<int, 3> ih;
    rt::FArray<float, 4> angl;
    float psi, step, scale;
    rt::FText<1> code;
    for (auto _ : state) {
        int ios = rt::fmt_read(rec, kReflectionIn, iseq, ih, psi, angl, nstep, step, scale, istd, code);
        benchmark::DoNotOptimize(ios);
        benchmark::DoNotOptimize(angl.data());
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ReadReflectionRecord);

// One reflection of 41 steps to a scratch unit: the record and its five count lines.
void BM_WriteReflectionToScratchUnit(benchmark::State& state) {
    rt::OpenSpec spec;
    spec.status = rt::FileStatus::Scratch;
    rt::unit_open(99, "", spec);
    rt::FArray<int, 500> counts;
    for (int i = 1; i <= 500; ++i) counts(i) = 1000 + 37 * i;
    int iseq = 1;
    for (auto _ : state) {
        rt::write_unit(99, kReflection, iseq, 3, -2, 11, 0.0f, 23.4567f, -0.0123f, 45.25f, -170.125f, 41, 0.01f, 1.0f,
                       0, "N");
        for (int lo = 1; lo <= 41; lo += 10) rt::write_unit(99, kCounts, rt::out_slice(counts, lo, std::min(lo + 9, 41)));
        ++iseq;
    }
    state.SetItemsProcessed(state.iterations() * 6);
    rt::unit_close(99);
}
BENCHMARK(BM_WriteReflectionToScratchUnit);

}  // namespace
