#!/bin/sh
# The native saver on the screen, watched from outside (the X server's
# reports of drawing), without a compositing manager, next to the goals:
#   start-up: from the program's start to its first update, at most 1.2 times
#             that of a minimal GTK program showing one full-screen window
#             (the middle of five runs each); given against the GTK program
#             as it starts by default, and with the toolkit's OpenGL probe
#             off, as the saver starts;
#   smoothness: the intervals between updates during dissolves at Speed 8,
#             their mean within 5 % of the paced wait's 21 ms step and their
#             95th percentile under 1.5 times it.
#   bench/native_updates.sh PROGRAM GTK_BASE_PROGRAM WATCH_PROGRAM [SIZE ...]
set -eu
program="$1"
base_program="$2"
watch="$3"
shift 3
[ $# -gt 0 ] || set -- 1920x1080 3840x2160
. "$(dirname "$0")/lib/scratch_display.sh"

first_update() { "$watch" "$1" "$2" ${3:+"$3"} | sed -n 's/^first update \([0-9]*\) ms.*/\1/p'; }
middle() { printf '%s\n' "$@" | sort -n | sed -n 3p; }
five() { middle "$("$@")" "$("$@")" "$("$@")" "$("$@")" "$("$@")"; }

for size in "$@"; do
  (
    start_scratch_display "$size"
    printf '[Config]\nSpeed=8\nRandom=1\nBlend=1\n' > "$XDG_CONFIG_HOME/vorlanthix/orvanel.ini"
    base=$(five first_update 3 "$base_program")
    lean=$(export GDK_GL=disable; five first_update 3 "$base_program")
    saver=$(five first_update 3 "$program" /s)
    echo "== $size"
    awk -v s="$saver" -v b="$base" -v l="$lean" 'BEGIN { printf "start-up: first update after %d ms, %.2f times the minimal GTK program'"'"'s %d ms, %.2f times its %d ms with the OpenGL probe off  (goal: at most 1.2)\n", s, s / b, b, s / l, l }'
    "$watch" 40 "$program" /s | sed -n 's/^\([0-9]*\) intervals during dissolves: mean \([0-9.]*\) ms, 95th percentile \([0-9.]*\) ms/\1 \2 \3/p' |
      while read -r count mean p95; do
        echo "smoothness: $count intervals during dissolves, mean $mean ms (goal: at most 22.05), 95th percentile $p95 ms (goal: under 31.5)"
      done
  )
done
