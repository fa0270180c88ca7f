#!/bin/sh
# The native saver's memory and processor time on one monitor, without a
# compositing manager, next to their goals. Each size gets a virtual display
# of its own.
#   memory: resident memory less that of a minimal GTK program showing one
#           full-screen window, in full-screen frames (width x height x 4):
#           at most 4 during the opening fade, at most 3 once it is over;
#           and nothing for the settings dialog.
#   processor: the saver's and the X server's time over a minute of
#           dissolves at Speed 8: at most 2 s together on 1920 x 1080, 5 s
#           on 3840 x 2160.
#   bench/native_frames.sh PROGRAM GTK_BASE_PROGRAM [SIZE ...]
set -eu
program="$1"
base_program="$2"
shift 2
[ $# -gt 0 ] || set -- 1920x1080 3840x2160
. "$(dirname "$0")/lib/scratch_display.sh"

kb() { sed -n "s/^$2:[[:space:]]*\([0-9]*\) kB/\1/p" "/proc/$1/status"; }
# utime + stime in clock ticks.
ticks() { awk '{ sub(/.*\) /, ""); print $12 + $13 }' "/proc/$1/stat"; }
frames() { awk -v kb="$1" -v frame="$2" 'BEGIN { printf "%.2f", kb * 1024 / frame }'; }
seconds() { awk -v t="$1" -v hz="$(getconf CLK_TCK)" 'BEGIN { printf "%.2f", t / hz }'; }

for size in "$@"; do
  (
    start_scratch_display "$size"
    width=${size%x*}
    height=${size#*x}
    frame=$((width * height * 4))
    printf '[Config]\nSpeed=8\nRandom=1\nBlend=1\n' > "$XDG_CONFIG_HOME/vorlanthix/orvanel.ini"

    "$base_program" &
    pid=$!
    sleep 5
    base=$(kb "$pid" VmRSS)
    kill "$pid"; wait "$pid" 2>/dev/null || true

    "$program" /s 2>/dev/null &
    pid=$!
    sleep 1
    fade=$(kb "$pid" VmRSS)
    sleep 9
    rest=$(kb "$pid" VmRSS)
    saver0=$(ticks "$pid"); server0=$(ticks "$xvfb")
    sleep 60
    saver1=$(ticks "$pid"); server1=$(ticks "$xvfb")
    after=$(kb "$pid" VmRSS)
    peak=$(kb "$pid" VmHWM)
    kill "$pid"; wait "$pid" 2>/dev/null || true

    "$program" -settings 2>/dev/null &
    pid=$!
    sleep 4
    dialog=$(kb "$pid" VmRSS)
    kill "$pid"; wait "$pid" 2>/dev/null || true

    goal=2; [ "$width" -gt 1920 ] && goal=5
    echo "== $size: a minimal GTK program showing one full-screen window holds $base kB"
    echo "memory in the opening fade (1 s):  $fade kB, $(frames $((fade - base)) "$frame") frames over the base  (goal: at most 4)"
    echo "memory at rest (10 s):             $rest kB, $(frames $((rest - base)) "$frame") frames over the base  (goal: at most 3)"
    echo "memory after a minute of dissolves: $after kB, $(frames $((after - base)) "$frame") frames; high-water mark $peak kB, $(frames $((peak - base)) "$frame") frames"
    echo "the settings dialog:               $dialog kB, $(frames $((dialog - base)) "$frame") frames over the base  (goal: 0)"
    echo "processor time over a minute at Speed 8: saver $(seconds $((saver1 - saver0))) s + X server $(seconds $((server1 - server0))) s  (goal: at most $goal s together)"
  )
done
