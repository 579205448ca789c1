#!/usr/bin/env bash
# Installs what is missing, builds the release and the sanitizer trees and runs every test in both.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh release
scripts/build.sh asan
jobs=$(nproc)
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
status=0
(cd build && ctest --output-on-failure -j"$jobs") || status=1
(cd build-asan && ctest --output-on-failure -j"$jobs") || status=1
exit $status
