#!/bin/sh
# Peak working set of orvanel.scr under Wine, full screen on one
# 3840 x 2160 monitor: with the built-in pictures, and with a folder of
# 24-megapixel photos (6000 x 4000 JPEG). Under Wine the Windows process is
# a process of the host, whose resident high-water mark (VmHWM) is the peak
# working set; it is read just before the saver is ended. Uses the Wine
# prefix in WINEPREFIX, whose settings file it puts back afterwards.
#   bench/photos_memory_wine.sh ORVANEL.SCR [seconds]
set -eu
scr="$1"
seconds="${2:-20}"
. "$(dirname "$0")/lib/scratch_display.sh"
. "$(dirname "$0")/lib/large_photos.sh"
start_scratch_display 3840x2160
local_data=$(winepath -u "$(wine cmd /c echo %LOCALAPPDATA% 2>/dev/null | tr -d '\r')")
ini="$local_data/vorlanthix/orvanel.ini"
mkdir -p "$local_data/vorlanthix"
[ -f "$ini" ] && cp "$ini" "$scratch/orvanel.ini.kept"
trap 'kill "$xvfb" 2>/dev/null || true; if [ -f "$scratch/orvanel.ini.kept" ]; then cp "$scratch/orvanel.ini.kept" "$ini"; else rm -f "$ini"; fi; rm -rf "$scratch"' EXIT
make_large_photos "$scratch/photos"
photos=$(winepath -w "$scratch/photos")

measure() {
  printf '[Config]\r\nSpeed=2\r\nRandom=0\r\nBlend=1\r\n%s' "$1" > "$ini"
  wine "$scr" /s >/dev/null 2>&1 &
  # The Windows process itself, not the loader that started it.
  await 200 pgrep -f '^[^ ]*orvanel\.scr' >/dev/null
  pid=$(pgrep -f '^[^ ]*orvanel\.scr' | head -n 1)
  sleep "$seconds"
  hwm=$(sed -n 's/^VmHWM:[[:space:]]*//p' "/proc/$pid/status")
  rss=$(sed -n 's/^VmRSS:[[:space:]]*//p' "/proc/$pid/status")
  # Ended as a user ends it: a key.
  xdotool key Escape
  await 100 sh -c "! kill -0 $pid" || kill -9 "$pid"
  echo "$2: peak working set (VmHWM) $hwm, working set $rss after ${seconds}s"
}
measure "" "built-in pictures"
measure "Folder=$photos
" "6000 x 4000 photos"
