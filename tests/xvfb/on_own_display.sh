#!/usr/bin/env bash
# Runs a command on an X display of its own. Xvfb chooses a free display number itself
# (-displayfd) and reports it once it accepts connections, so checks started together never
# pick the same number (xvfb-run -a can: two runs may both find a number free, and the loser's
# clients then talk to the other run's server and are refused).
# usage: on_own_display.sh COMMAND [ARGS...]
set -u
dir=$(mktemp -d "${TMPDIR:-/tmp}/kvdisplayXXXXXX") || exit 1
mkfifo "$dir/number"
# -noreset: the server does not start over each time its last client leaves, which would refuse
# a program that connects at that moment (a check's short xdotool clients come and go).
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$dir/number" >"$dir/xvfb.log" 2>&1 &
xvfb=$!
finish() {
  kill "$xvfb" 2>/dev/null
  wait "$xvfb" 2>/dev/null
  rm -rf "$dir"
}
trap finish EXIT
trap 'exit 143' TERM INT
number=""
read -r -t 30 number <"$dir/number"
if [ -z "$number" ]; then
  echo "on_own_display: Xvfb did not start" >&2
  cat "$dir/xvfb.log" >&2
  exit 1
fi
DISPLAY=":$number" "$@"
