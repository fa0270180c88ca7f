#!/bin/sh
# Peak memory of the native saver full screen on one 3840 x 2160 monitor
# showing a 48-megapixel HEIC (8000 x 6000, as a phone's main camera takes),
# over its peak with the built-in pictures. The goal: no more than one
# decoded image (8000 x 6000 RGB) and one reduced image (the picture bitmap,
# 2880 x 2160 at 4 bytes a pixel) above the built-in pictures. Beside it,
# libheif's own peak decoding the same file, with nothing of the saver.
#   bench/heic_memory.sh PROGRAM HEIF_BARE_PEAK [seconds]
set -eu
program="$1"
bare_peak="$2"
seconds="${3:-20}"
. "$(dirname "$0")/lib/scratch_display.sh"
. "$(dirname "$0")/lib/figures.sh"
start_scratch_display 3840x2160
printf '[Config]\nSpeed=2\nRandom=0\nBlend=1\n' > "$XDG_CONFIG_HOME/vorlanthix/orvanel.ini"
mkdir "$scratch/phone"
convert -size 8000x6000 gradient:'#3060a0'-'#c08040' -attenuate 0.08 +noise Gaussian -strip PNG24:"$scratch/big.png"
heif-enc -q 80 "$scratch/big.png" -o "$scratch/phone/IMG_0001.heic" >/dev/null
rm "$scratch/big.png"

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
heic=$(peak "$scratch/phone")
decoded=$((8000 * 6000 * 3 / 1024))
reduced=$((2880 * 2160 * 4 / 1024))
echo "built-in pictures: VmHWM $builtin kB; 48-megapixel HEIC: VmHWM $heic kB"
echo "above the built-in pictures: $((heic - builtin)) kB; one decoded and one reduced image: $((decoded + reduced)) kB"
echo "libheif alone decoding the file: VmHWM $("$bare_peak" "$scratch/phone/IMG_0001.heic") kB"
awk -v a="$((heic - builtin))" -v b="$((decoded + reduced))" 'BEGIN { printf "ratio: %.2f (goal: at most 1.00)\n", a / b }'
