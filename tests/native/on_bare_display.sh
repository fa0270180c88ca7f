#!/bin/sh
# Runs a test program on a display of its own with no compositing manager:
# Xvfb for one monitor, Xorg's dummy driver for several side by side.
#   on_bare_display.sh SCRATCH_FOLDER SIZE[,SIZE...] PROGRAM [ARGS...]
set -eu
scratch=$1
sizes=$2
shift 2
. "$(dirname "$0")/../support/dummy_xorg.sh"

XORG_PID=""
trap '[ -n "$XORG_PID" ] && kill "$XORG_PID" 2>/dev/null' EXIT
case "$sizes" in
  *,*)
    # shellcheck disable=SC2046
    start_dummy_xorg "$scratch" $(echo "$sizes" | tr ',' ' ')
    ;;
  *)
    n=140
    while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
    Xvfb ":$n" -screen 0 "${sizes}x24" -nolisten tcp >/dev/null 2>&1 &
    XORG_PID=$!
    export DISPLAY=":$n"
    for _ in $(seq 100); do
      xdpyinfo >/dev/null 2>&1 && break
      sleep 0.1
    done
    ;;
esac
"$@"
