// kelvor-bench-scans FILE: writes the benchmark's scans of 41, 96 and 500 steps, as kelvor-bench
// fits them, for compare_lmfit.py. Each scan: "scan NSTEP TWOTHETA DELTA", then "x counts" per step.
#include <cstdio>

#include "bench_scan.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: kelvor-bench-scans FILE\n");
        return 2;
    }
    std::FILE* f = std::fopen(argv[1], "w");
    if (!f) {
        std::perror(argv[1]);
        return 1;
    }
    for (int n : {41, 96, 500}) {
        const bench_scan::Scan s = bench_scan::make(n);
        // The offset in full, as the program's fit uses it.
        std::fprintf(f, "scan %d %.4f %.9g\n", n, double(bench_scan::kTwoTheta), bench_scan::delta());
        for (int i = 0; i < n; ++i) std::fprintf(f, "%.9g %.0f\n", double(s.x[std::size_t(i)]), double(s.counts[std::size_t(i)]));
    }
    if (std::fclose(f) != 0) {
        std::perror(argv[1]);
        return 1;
    }
    return 0;
}
