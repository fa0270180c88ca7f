#!/bin/sh
# Peak memory of the native saver full screen on one 3840 x 2160 monitor
# showing a 48-megapixel HEIC (8000 x 6000, as a phone's main camera takes),
# over its peak with the built-in pictures. The goal: no more than one
# decoded image (8000 x 6000 RGB) and one reduced image (the picture bitmap,
# 2880 x 2160 at 4 bytes a pixel) above the built-in pictures. Two files of
# the same photo: a grid of 500 x 500 tiles, as phones write HEIC, and one
# image, as Debian's heif-enc writes it; beside each, libheif's own peak
# decoding it with nothing of the saver around.
#   bench/heic_memory.sh PROGRAM HEIF_BARE_PEAK [seconds]
set -eu
program="$1"
bare_peak="$2"
seconds="${3:-20}"
. "$(dirname "$0")/lib/scratch_display.sh"
. "$(dirname "$0")/lib/figures.sh"
start_scratch_display 3840x2160
printf '[Config]\nSpeed=2\nRandom=0\nBlend=1\n' > "$XDG_CONFIG_HOME/vorlanthix/orvanel.ini"
mkdir "$scratch/grid" "$scratch/single" "$scratch/tiles"
convert -size 8000x6000 gradient:'#3060a0'-'#c08040' -attenuate 0.08 +noise Gaussian -strip PNG24:"$scratch/big.png"
heif-enc -q 80 "$scratch/big.png" -o "$scratch/single/IMG_0001.heic" >/dev/null
convert "$scratch/big.png" -crop 500x500 +repage -strip PNG24:"$scratch/tiles/tile-%03d.png"
for tile in "$scratch"/tiles/tile-*.png; do heif-enc -q 80 "$tile" -o "${tile%.png}.heic" >/dev/null; done
python3 "$(dirname "$0")/lib/grid_heic.py" "$scratch/grid/IMG_0001.heic" 8000 6000 16 12 "$scratch"/tiles/tile-*.heic
rm -r "$scratch/big.png" "$scratch/tiles"

peak() {
  "$program" /s -folder "$1" 2>/dev/null &
  pid=$!
  sleep "$seconds"
  hwm=$(kb "$pid" VmHWM)
  kill "$pid"
  wait "$pid" 2>/dev/null || true
  echo "$hwm"
}
builtin=$(peak "")
budget=$((8000 * 6000 * 3 / 1024 + 2880 * 2160 * 4 / 1024))
echo "built-in pictures: VmHWM $builtin kB; one decoded and one reduced image: $budget kB"
for kind in grid single; do
  heic=$(peak "$scratch/$kind")
  awk -v kind="$kind" -v above="$((heic - builtin))" -v budget="$budget" \
      -v bare="$("$bare_peak" "$scratch/$kind/IMG_0001.heic")" 'BEGIN {
    printf "%-6s HEIC: %d kB above the built-in pictures, %.2f of the goal (at most 1.00); libheif alone: VmHWM %d kB\n",
           kind, above, above / budget, bare
  }'
done
