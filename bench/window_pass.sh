#!/usr/bin/env bash
# The automatic pass in the real window beside the same pass through kelvor-script, in one run:
# 20,000 reflections (the main road's twenty, a thousand times), the scan plot drawn, in the
# program's windows on an Xvfb display of their own under openbox, driven as a user drives them.
# Prints both rates, by the clock and by the programs' own processor time (a busy machine slows
# the clock, not the processor time), and how many times the scripted pass's time the window's
# takes. Builds what it runs in build/ first.
#   bench/window_pass.sh [BUILD_DIR] [REPEATS]
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$(dirname "$here")"
build="${1:-$root/build}"
repeats="${2:-1000}"

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j3 --target mainroad_window_check wm_ready >/dev/null

log="$(mktemp)"
trap 'rm -f "$log"' EXIT
echo "Xvfb under openbox, $(nproc) processors, load average $(cut -d' ' -f1-3 /proc/loadavg) at the start"
if ! "$root/tests/xvfb/on_own_display.sh" --wm openbox --wm-ready "$build/tests/xvfb/wm_ready" \
    "$build/tests/xvfb/mainroad_window_check" bench "$build/code/shell/apps/kelvorantide" \
    "$build/code/shell/apps/kelvor-script" "$build/tests/fixtures/kelvor-gen" "$build/fixtures" \
    "$root/tests/fixtures/specs/mainroad.spec" "$repeats" 2>"$log"; then
  cat "$log" >&2
  exit 1
fi
echo "load average $(cut -d' ' -f1-3 /proc/loadavg) at the end"
