#!/bin/sh
# Runs a test program under Wine on a display of its own with three monitors
# of different sizes: the primary 1024 x 768, 800 x 600 right of it and
# 640 x 480 left of it, with a compositing manager for window opacity.
#   several_monitors.sh PROGRAM SCRATCH_FOLDER
# Monitors belong to the prefix's wineserver, so this display gets a prefix of
# its own, copied from $WINEPREFIX once.
set -eu
program=$1
scratch=$2
. "$(dirname "$0")/../support/dummy_xorg.sh"

XORG_PID=""
compositor_pid=""
prefix="${WINEPREFIX:?the Wine prefix of scripts/test}-monitors"
stop() {
  WINEPREFIX="$prefix" wineserver -k >/dev/null 2>&1 || true
  [ -n "$compositor_pid" ] && kill "$compositor_pid" >/dev/null 2>&1
  [ -n "$XORG_PID" ] && kill "$XORG_PID" >/dev/null 2>&1
  return 0
}
trap stop EXIT

start_dummy_xorg "$scratch" 1024x768 800x600 "<640x480"
xcompmgr -n >/dev/null 2>&1 &
compositor_pid=$!

if [ ! -f "$prefix/.orvanel-ready" ]; then
  rm -rf "$prefix"
  cp -a "$WINEPREFIX" "$prefix"
fi
export WINEPREFIX="$prefix"
"$program"
