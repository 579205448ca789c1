#!/usr/bin/env bash
# Installs what is missing, builds the program and starts it in a real window.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh release
exec build/code/shell/apps/kelvorantide "$@"
