#!/usr/bin/env bash
# Installs what is missing, builds the programs the README names (the real-window program, the
# scripted driver, the fixture generator and the benchmarks; the test suites are built by
# scripts/test.sh) and starts the program in a real window.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh release kelvorantide kelvor-script kelvor-gen kelvor-bench
exec build/code/shell/apps/kelvorantide "$@"
