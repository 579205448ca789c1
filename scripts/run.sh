#!/usr/bin/env bash
# Installs what is missing, builds the program (only what it needs: the tests and benchmarks are
# built by scripts/test.sh) and starts it in a real window.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh release kelvorantide
exec build/code/shell/apps/kelvorantide "$@"
