#!/bin/sh
# How long the native saver takes from its start to its first picture, full
# screen at 1920 x 1080 without dissolves: with the built-in pictures, and
# with a folder of 10,000 photos in 100 subfolders (the listing comes first).
# The middle of the screen is sampled every 20 ms; three runs of each.
#   bench/photos_start_up.sh PROGRAM
set -eu
program="$1"
. "$(dirname "$0")/lib/scratch_display.sh"
start_scratch_display 1920x1080
printf '[Config]\nSpeed=8\nRandom=1\nBlend=0\n' > "$XDG_CONFIG_HOME/vorlanthix/orvanel.ini"
convert -size 1600x1200 gradient:'#c06020'-'#2060c0' -quality 85 "$scratch/photo.jpg"
for folder in $(seq 100); do
  mkdir -p "$scratch/photos/trip $folder"
  for file in $(seq 100); do ln "$scratch/photo.jpg" "$scratch/photos/trip $folder/IMG_$file.jpg"; done
done

# Milliseconds from the start until the middle of the screen is not black.
first_picture() {
  start=$(date +%s%N)
  "$program" /s -folder "$1" 2>/dev/null &
  pid=$!
  while :; do
    pixel=$(import -window root -crop 1x1+960+540 -depth 8 txt:- 2>/dev/null | sed -n 2p)
    case "$pixel" in *"#000000"*|"") sleep 0.02 ;; *) break ;; esac
  done
  end=$(date +%s%N)
  kill "$pid"
  wait "$pid" 2>/dev/null || true
  echo $(((end - start) / 1000000))
}
for run in 1 2 3; do
  echo "built-in pictures: $(first_picture "") ms; 10,000 photos: $(first_picture "$scratch/photos") ms"
done
