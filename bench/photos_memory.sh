#!/bin/sh
# Peak memory of the native saver full screen on one 3840 x 2160 monitor:
# with the built-in pictures, and with a folder of 24-megapixel photos
# (6000 x 4000 JPEG). Each run lasts long enough for several presentations
# with dissolves; VmHWM is read from /proc just before the saver is ended.
#   bench/photos_memory.sh PROGRAM [seconds]
set -eu
program="$1"
seconds="${2:-20}"
. "$(dirname "$0")/lib/scratch_display.sh"
. "$(dirname "$0")/lib/large_photos.sh"
start_scratch_display 3840x2160
make_large_photos "$scratch/photos"
printf '[Config]\nSpeed=2\nRandom=0\nBlend=1\n' > "$XDG_CONFIG_HOME/vorlanthix/orvanel.ini"

measure() {
  "$program" /s -folder "$1" 2>/dev/null &
  pid=$!
  sleep "$seconds"
  hwm=$(sed -n 's/^VmHWM:[[:space:]]*//p' "/proc/$pid/status")
  rss=$(sed -n 's/^VmRSS:[[:space:]]*//p' "/proc/$pid/status")
  kill "$pid"
  wait "$pid" 2>/dev/null || true
  echo "$2: VmHWM $hwm, VmRSS $rss after ${seconds}s"
}
measure "" "built-in pictures"
measure "$scratch/photos" "6000 x 4000 photos"
