#!/usr/bin/env bash
# Fits per second of kelvor-bench and of lmfit on the same generated scans (41, 96 and 500
# steps, the same doublet model with the alpha2 offset the program computes, all six parameters
# from the same start), side by side, with the ratio. kelvor-bench times the program's FITSCAN:
# the first fit, the refit of the accepted reflection and the integration, the acceptance tests
# switched off. lmfit is timed in five runs of one second per scan: the median, the lowest and
# the highest rate, and the ratio to each. Installs Debian's python3-lmfit when it is missing and
# builds the two bench programs in build/ when they are not there.
#   bench/compare_lmfit.sh [BUILD_DIR]
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$(dirname "$here")"
build="${1:-$root/build}"
py=/usr/bin/python3  # Debian's python, the one python3-lmfit installs into

"$root/scripts/install-deps.sh" python3-lmfit
if [ ! -x "$build/bench/kelvor-bench" ] || [ ! -x "$build/bench/kelvor-bench-scans" ]; then
  cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build "$build" -j3 --target kelvor-bench kelvor-bench-scans
fi

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
"$build/bench/kelvor-bench-scans" "$work/scans.txt"
"$build/bench/kelvor-bench" --benchmark_filter='BM_FitReflection' --benchmark_min_time=2 \
  --benchmark_format=csv 2>/dev/null >"$work/kelvor.csv"
"$py" "$here/compare_lmfit.py" "$work/scans.txt" 1 5 >"$work/lmfit.txt"

# kelvor-bench's csv: name,iterations,real_time,cpu_time,time_unit,...,items_per_second,...
"$py" - "$work/kelvor.csv" "$work/lmfit.txt" <<'PY'
import csv, sys
kelvor = {}
with open(sys.argv[1]) as f:
    for row in csv.DictReader(line for line in f if line.startswith(("name", '"BM_'))):
        kelvor[int(row["name"].split("/")[1].strip('"'))] = float(row["items_per_second"])
lmfit = {}
for line in open(sys.argv[2]):
    _, n, median, low, high = line.split()
    lmfit[int(n)] = (float(median), float(low), float(high))
print("%6s %14s %25s %24s" % ("steps", "kelvor fits/s", "lmfit fits/s (range)", "ratio (range)"))
for n in sorted(kelvor):
    median, low, high = lmfit[n]
    k = kelvor[n]
    print("%6d %14.0f %9.0f (%5.0f - %5.0f) %11.0fx (%3.0f - %3.0f)" % (n, k, median, low, high, k / median, k / high, k / low))
PY
