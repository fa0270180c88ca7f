#!/bin/sh
# The native saver's memory and processor time without a compositing manager,
# next to their goals. Each display gets a server of its own: Xvfb for one
# monitor, Xorg's dummy driver for several side by side ("1920x1080,1920x1080").
#   memory: resident memory over that of a minimal GTK program showing one
#           full-screen window, in full-screen frames (width x height x 4) a
#           monitor: at most 4 during the opening fade, at most 3 once it is
#           over; and none for the settings dialog. Given over the GTK
#           program as it starts by default, and over the same program with
#           the toolkit's OpenGL probe off, as the saver starts; and, between
#           the first two one-monitor sizes, as the growth from one to the
#           other, which no fixed cost enters.
#   processor: the saver's and the X server's time over a minute of
#           dissolves at Speed 8: at most 2 s together on 1920 x 1080, 5 s
#           on 3840 x 2160; and, on the first size, the saver's alone with a
#           compositing manager (xcompmgr) showing its windows: at most 1 s.
#   bench/native_frames.sh PROGRAM GTK_BASE_PROGRAM [SIZE[,SIZE...] ...]
set -eu
program="$1"
base_program="$2"
shift 2
[ $# -gt 0 ] || set -- 1920x1080 3840x2160 1920x1080,1920x1080,1920x1080,1920x1080
. "$(dirname "$0")/lib/scratch_display.sh"
. "$(dirname "$0")/../tests/support/dummy_xorg.sh"

. "$(dirname "$0")/lib/figures.sh"

slopes=$(mktemp)
trap 'rm -f "$slopes"' EXIT
for display in "$@"; do
  (
    monitors=$(echo "$display" | tr ',' '\n' | wc -l)
    size=${display%%,*}
    width=${size%x*}
    height=${size#*x}
    if [ "$monitors" -gt 1 ]; then
      scratch=$(mktemp -d)
      XORG_PID=""
      trap 'kill "$XORG_PID" 2>/dev/null || true; rm -rf "$scratch"' EXIT
      export HOME="$scratch/home" XDG_CONFIG_HOME="$scratch/home/.config" NO_AT_BRIDGE=1
      mkdir -p "$XDG_CONFIG_HOME/vorlanthix"
      export DUMMY_XORG_VIRTUAL="$((width * monitors)) $height"
      # shellcheck disable=SC2046
      start_dummy_xorg "$scratch/xorg" $(echo "$display" | tr ',' ' ')
      server=$XORG_PID
    else
      start_scratch_display "$size"
      server=$xvfb
    fi
    frame=$((width * height * 4 * monitors))
    printf '[Config]\nSpeed=8\nRandom=1\nBlend=1\n' > "$XDG_CONFIG_HOME/vorlanthix/orvanel.ini"

    base=$(settled "$base_program")
    lean=$(export GDK_GL=disable; settled "$base_program")

    saver_figures "$program" "$server"
    kill "$pid"; wait "$pid" 2>/dev/null || true

    dialog=$(settled "$program" -settings)

    goal=2; [ "$width" -gt 1920 ] && goal=5
    echo "== $display: the minimal GTK program holds $base kB, $lean kB with its OpenGL probe off"
    echo "   (frames a monitor are given over the first / over the second)"
    echo "memory in the opening fade (1 s):   $fade kB, $(both "$fade") frames a monitor  (goal: at most 4)"
    echo "memory at rest (10 s):              $rest kB, $(both "$rest") frames a monitor  (goal: at most 3)"
    echo "memory after a minute of dissolves: $after kB, $(both "$after") frames a monitor  (goal: at most 3)"
    echo "high-water mark:                    $peak kB, $(both "$peak") frames a monitor"
    echo "the settings dialog:                $dialog kB, $(both "$dialog") frames a monitor  (goal: 0)"
    if [ "$monitors" -eq 1 ]; then
      echo "processor time over a minute at Speed 8: saver $(seconds "$saver_ticks") s + X server $(seconds "$server_ticks") s  (goal: at most $goal s together)"
      if [ ! -s "$slopes" ] && command -v xcompmgr >/dev/null; then
        xcompmgr -n &
        manager=$!
        sleep 1
        "$program" /s 2>/dev/null &
        pid=$!
        sleep 10
        saver0=$(ticks "$pid")
        sleep 60
        saver1=$(ticks "$pid")
        kill "$pid" "$manager"; wait "$pid" "$manager" 2>/dev/null || true
        echo "processor time over a minute at Speed 8 with a compositing manager: saver $(seconds $((saver1 - saver0))) s  (goal: at most 1 s)"
      fi
      echo "$frame $fade $rest $after $peak $dialog $lean" >> "$slopes"
    else
      echo "processor time over a minute at Speed 8: saver $(seconds "$saver_ticks") s + X server $(seconds "$server_ticks") s"
    fi
  )
done

[ "$(wc -l < "$slopes")" -lt 2 ] || growth "$slopes"
