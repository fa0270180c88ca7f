#!/bin/sh
# Runs a test program under Wine on a display of its own with three monitors
# of different sizes: Xorg's dummy driver, one output per monitor set with
# xrandr, a compositing manager for window opacity.
#   several_monitors.sh PROGRAM SCRATCH_FOLDER
# Monitors belong to the prefix's wineserver, so this display gets a prefix of
# its own, copied from $WINEPREFIX once.
set -eu
program=$1
scratch=$2
mkdir -p "$scratch"

n=110
while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done

cat > "$scratch/xorg.conf" <<'CONF'
Section "ServerFlags"
  Option "AutoAddDevices" "false"
  Option "AllowMouseOpenFail" "true"
  Option "PciForceNone" "true"
  Option "DontVTSwitch" "true"
EndSection
Section "Device"
  Identifier "dummy"
  Driver "dummy"
  VideoRam 131072
EndSection
Section "Monitor"
  Identifier "monitor"
  HorizSync 5.0-1000.0
  VertRefresh 5.0-200.0
  Modeline "1024x768" 63.50 1024 1072 1176 1328 768 771 775 798 -hsync +vsync
  Modeline "800x600" 38.25 800 832 912 1024 600 603 607 624 -hsync +vsync
  Modeline "640x480" 23.75 640 664 720 800 480 483 487 500 -hsync +vsync
EndSection
Section "Screen"
  Identifier "screen"
  Device "dummy"
  Monitor "monitor"
  DefaultDepth 24
  SubSection "Display"
    Depth 24
    Virtual 4096 2048
  EndSubSection
EndSection
CONF

xorg_pid=""
compositor_pid=""
stop() {
  WINEPREFIX="$prefix" wineserver -k >/dev/null 2>&1 || true
  [ -n "$compositor_pid" ] && kill "$compositor_pid" >/dev/null 2>&1
  [ -n "$xorg_pid" ] && kill "$xorg_pid" >/dev/null 2>&1
  return 0
}
prefix="${WINEPREFIX:?the Wine prefix of scripts/test}-monitors"
trap stop EXIT

Xorg ":$n" -config "$scratch/xorg.conf" -noreset -nolisten tcp \
  -logfile "$scratch/xorg.log" >/dev/null 2>&1 &
xorg_pid=$!
export DISPLAY=":$n"
ready=0
for _ in $(seq 100); do
  if xdpyinfo >/dev/null 2>&1; then ready=1; break; fi
  sleep 0.1
done
[ "$ready" -eq 1 ] || { echo "Xorg with the dummy driver did not start" >&2; exit 1; }

# The primary 1024 x 768, one of 800 x 600 right of it, one of 640 x 480 left of it.
xrandr --output DUMMY0 --mode 1024x768 --primary
xrandr --addmode DUMMY1 800x600
xrandr --output DUMMY1 --mode 800x600 --right-of DUMMY0
xrandr --addmode DUMMY2 640x480
xrandr --output DUMMY2 --mode 640x480 --left-of DUMMY0
for _ in $(seq 50); do
  [ "$(xrandr --listmonitors | head -n 1)" = "Monitors: 3" ] && break
  sleep 0.1
done
xcompmgr -n >/dev/null 2>&1 &
compositor_pid=$!

if [ ! -f "$prefix/.orvanel-ready" ]; then
  rm -rf "$prefix"
  cp -a "$WINEPREFIX" "$prefix"
fi
export WINEPREFIX="$prefix"
"$program"
