#!/usr/bin/env bash
# Configures and builds one tree: scripts/build.sh [release|asan]
set -euo pipefail
cd "$(dirname "$0")/.."
kind=${1:-release}
jobs=$(nproc)
case "$kind" in
  release) cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
           cmake --build build -j"$jobs" ;;
  asan)    cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DKV_SANITIZE=ON -DKV_BENCH=OFF >/dev/null
           cmake --build build-asan -j"$jobs" ;;
  *) echo "usage: $0 [release|asan]" >&2; exit 2 ;;
esac
