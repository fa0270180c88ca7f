#!/bin/bash
# The native saver's memory and processor time on a Wayland desktop (a
# headless sway, one output), beside the X figures of native_frames.sh:
#   memory: resident memory over that of a minimal GTK program showing one
#           full-screen window, in full-screen frames (width x height x 4):
#           at most 4 during the opening fade, at most 3 once it is over;
#           given over the GTK program as it starts by default, and with the
#           toolkit's OpenGL probe off, as the saver starts; and, between the
#           two sizes, as the growth from one to the other, which no fixed
#           cost enters.
#   processor: the saver's and the compositor's time over a minute of
#           dissolves at Speed 8.
#   buffers: new shared memory (memfd_create) the saver makes in 10 s of
#           dissolves: none for a frame; at most the second buffer again for
#           each dissolve, as the saver gives it back between them.
#   bench/wayland_frames.sh PROGRAM GTK_BASE_PROGRAM [SIZE...]
set -eu
here=$(cd "$(dirname "$0")" && pwd)
[ -n "${SWAYSOCK:-}" ] || exec bash "$here/../tests/native/on_sway.sh" bash "$0" "$@"
program=$1
base_program=$2
shift 2
[ $# -gt 0 ] || set -- 1920x1080 3840x2160
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export HOME="$scratch/home" XDG_CONFIG_HOME="$scratch/home/.config" NO_AT_BRIDGE=1
mkdir -p "$XDG_CONFIG_HOME/vorlanthix"
printf '[Config]\nSpeed=8\nRandom=1\nBlend=1\n' > "$XDG_CONFIG_HOME/vorlanthix/orvanel.ini"
compositor=$(pgrep -n -x sway)
. "$here/lib/figures.sh"

slopes=$scratch/slopes
for size in "$@"; do
  swaymsg output HEADLESS-1 mode "$size" >/dev/null
  width=${size%x*}
  height=${size#*x}
  frame=$((width * height * 4))
  base=$(settled "$base_program")
  lean=$(export GDK_GL=disable; settled "$base_program")

  saver_figures "$program" "$compositor"
  made="(strace missing)"
  if command -v strace >/dev/null; then
    made=$(timeout 10 strace -f -e trace=memfd_create -p "$pid" 2>&1 | grep -c 'memfd_create(' || true)
  fi
  kill "$pid"; wait "$pid" 2>/dev/null || true
  dialog=$(settled "$program" -settings)

  echo "== Wayland, $size: the minimal GTK program holds $base kB, $lean kB with its OpenGL probe off"
  echo "   (frames are given over the first / over the second)"
  echo "memory in the opening fade (1 s):   $fade kB, $(both "$fade") frames  (goal: at most 4)"
  echo "memory at rest (10 s):              $rest kB, $(both "$rest") frames  (goal: at most 3)"
  echo "memory after a minute of dissolves: $after kB, $(both "$after") frames  (goal: at most 3)"
  echo "high-water mark:                    $peak kB, $(both "$peak") frames"
  echo "the settings dialog:                $dialog kB, $(both "$dialog") frames  (goal: 0)"
  echo "processor time over a minute at Speed 8: saver $(seconds "$saver_ticks") s, compositor $(seconds "$server_ticks") s"
  echo "new shared memory in 10 s of dissolves: $made  (goal: none a frame; at most one a dissolve, one every 8 s)"
  echo "$frame $fade $rest $after $peak $dialog $lean" >> "$slopes"
done

[ "$(wc -l < "$slopes")" -lt 2 ] || growth "$slopes"
