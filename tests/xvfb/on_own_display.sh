#!/usr/bin/env bash
# Runs a command on an X display of its own. Xvfb chooses a free display number itself
# (-displayfd) and reports it once it accepts connections, so checks started together never
# pick the same number (xvfb-run -a can: two runs may both find a number free, and the loser's
# clients then talk to the other run's server and are refused).
# With --wm openbox the display gets a window manager of its own, started before the command
# and ready when the command starts: it has announced itself on the root window and, when
# --wm-ready names the program that tells, it has framed and shown a new window.
# usage: on_own_display.sh [--wm openbox [--wm-ready PROGRAM]] COMMAND [ARGS...]
set -u
wm=""
wm_ready=""
if [ "${1:-}" = "--wm" ]; then
  wm=${2:-}
  shift 2
fi
if [ "${1:-}" = "--wm-ready" ]; then
  wm_ready=${2:-}
  shift 2
fi
dir=$(mktemp -d "${TMPDIR:-/tmp}/kvdisplayXXXXXX") || exit 1
mkfifo "$dir/number"
# -noreset: the server does not start over each time its last client leaves, which would refuse
# a program that connects at that moment (a check's short xdotool clients come and go).
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$dir/number" >"$dir/xvfb.log" 2>&1 &
xvfb=$!
wm_pid=""
finish() {
  [ -n "$wm_pid" ] && kill "$wm_pid" 2>/dev/null && wait "$wm_pid" 2>/dev/null
  kill "$xvfb" 2>/dev/null
  wait "$xvfb" 2>/dev/null
  rm -rf "$dir"
}
trap finish EXIT
trap 'exit 143' TERM INT
number=""
# Generous: a server that fails closes the pipe at once; only a slow start takes longer.
read -r -t 300 number <"$dir/number"
if [ -z "$number" ]; then
  echo "on_own_display: Xvfb did not start" >&2
  cat "$dir/xvfb.log" >&2
  exit 1
fi
export DISPLAY=":$number"
case "$wm" in
  "") ;;
  openbox)
    # Its configuration is the system's default, not the user's.
    mkdir -p "$dir/config" "$dir/cache"
    XDG_CONFIG_HOME="$dir/config" XDG_CACHE_HOME="$dir/cache" openbox --sm-disable >"$dir/wm.log" 2>&1 &
    wm_pid=$!
    ready=""
    for _ in $(seq 6000); do  # five minutes at most, ended early when openbox fails
      if xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"; then
        ready=1
        break
      fi
      kill -0 "$wm_pid" 2>/dev/null || break
      sleep 0.05
    done
    if [ -n "$ready" ] && [ -n "$wm_ready" ] && ! "$wm_ready"; then
      ready=""
    fi
    if [ -z "$ready" ]; then
      echo "on_own_display: openbox did not start" >&2
      cat "$dir/wm.log" >&2
      exit 1
    fi
    ;;
  *)
    echo "on_own_display: unknown window manager $wm" >&2
    exit 2
    ;;
esac
"$@"
