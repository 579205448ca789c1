#!/usr/bin/env bash
# Configures and builds one tree: scripts/build.sh [release|asan] [TARGET...]
# (every target when none is named)
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
  *) echo "usage: $0 [release|asan] [TARGET...]" >&2; exit 2 ;;
esac
