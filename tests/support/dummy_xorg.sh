# Sourced by the tests' display scripts: starts Xorg with the dummy driver on
# a free display, one RandR output per monitor, the first the primary and each
# next one right of the one before (or left of the primary when its size is
# written "<WxH"). Exports DISPLAY and sets XORG_PID; the caller stops it.
# DUMMY_XORG_VIRTUAL ("WIDTH HEIGHT") sets the largest screen.
#   start_dummy_xorg SCRATCH_FOLDER SIZE [SIZE...]
start_dummy_xorg() {
  scratch=$1
  shift
  mkdir -p "$scratch"
  n=110
  while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
  # Room for the monitors side by side; the tests' own fit in the default.
  virtual=${DUMMY_XORG_VIRTUAL:-4096 2048}
  cat > "$scratch/xorg.conf" <<CONF
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
  Modeline "1920x1080" 148.50 1920 2008 2052 2200 1080 1084 1089 1125 +hsync +vsync
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
    Virtual $virtual
  EndSubSection
EndSection
CONF
  Xorg ":$n" -config "$scratch/xorg.conf" -noreset -nolisten tcp \
    -logfile "$scratch/xorg.log" >/dev/null 2>&1 &
  XORG_PID=$!
  export DISPLAY=":$n"
  ready=0
  for _ in $(seq 100); do
    if xdpyinfo >/dev/null 2>&1; then ready=1; break; fi
    sleep 0.1
  done
  [ "$ready" -eq 1 ] || { echo "Xorg with the dummy driver did not start" >&2; return 1; }
  i=0
  for size in "$@"; do
    case "$size" in
      "<"*) size=${size#<}; place="--left-of DUMMY0" ;;
      *) place="--right-of DUMMY$((i - 1))" ;;
    esac
    if [ "$i" -eq 0 ]; then
      xrandr --output DUMMY0 --mode "$size" --primary
    else
      xrandr --addmode "DUMMY$i" "$size"
      # shellcheck disable=SC2086
      xrandr --output "DUMMY$i" --mode "$size" $place
    fi
    i=$((i + 1))
  done
  # The outputs show up in a moment; programs started before see fewer.
  for _ in $(seq 50); do
    [ "$(xrandr --listmonitors | head -n 1)" = "Monitors: $i" ] && return 0
    sleep 0.1
  done
  echo "Xorg did not report $i monitors" >&2
  return 1
}
