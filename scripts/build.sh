#!/usr/bin/env bash
# Configures and builds one tree: scripts/build.sh [release|asan|clang] [TARGET...]
# (every target when none is named). The clang tree builds every source with Clang, unoptimised,
# so that the sources stay valid for both compilers; its tests are not run.
set -euo pipefail
cd "$(dirname "$0")/.."
kind=${1:-release}
shift || true
jobs=$(nproc)
targets=()
for t in "$@"; do targets+=(--target "$t"); done
case "$kind" in
  release) cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
           cmake --build build -j"$jobs" "${targets[@]}" ;;
  asan)    cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DKV_SANITIZE=ON -DKV_BENCH=OFF >/dev/null
           cmake --build build-asan -j"$jobs" "${targets[@]}" ;;
  clang)   cmake -S . -B build-clang -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Check -DKV_BENCH=OFF >/dev/null
           cmake --build build-clang -j"$jobs" "${targets[@]}" ;;
  *) echo "usage: $0 [release|asan|clang] [TARGET...]" >&2; exit 2 ;;
esac
