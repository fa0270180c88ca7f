#!/bin/sh
# Processor time of the native saver at Speed 2 in random order over a
# folder of 20,000 files: every one a photo, against 20,000 files that are
# not pictures (videos of a megabyte, by their start) and one photo. A file
# that is not a picture costs one look, once: the goal is at most 1.2 times
# the all-photos figure. The files are links to one JPEG and one video, so
# the folders cost no disk.
#   bench/folder_of_other_files.sh PROGRAM [seconds]
set -eu
program="$1"
seconds="${2:-20}"
. "$(dirname "$0")/lib/scratch_display.sh"
. "$(dirname "$0")/lib/figures.sh"
start_scratch_display 1920x1080
printf '[Config]\nSpeed=2\nRandom=1\nBlend=1\n' > "$XDG_CONFIG_HOME/vorlanthix/orvanel.ini"

convert -size 1024x768 gradient:'#3060a0'-'#c08040' -quality 90 "$scratch/photo.jpg"
{ printf '\000\000\000\030ftypmp42\000\000\000\000mp42isom'; head -c 1048576 /dev/urandom; } > "$scratch/clip.mp4"
mkdir "$scratch/photos" "$scratch/phone"
i=0
while [ "$i" -lt 20000 ]; do
  ln "$scratch/photo.jpg" "$scratch/photos/IMG_$i.jpg"
  ln "$scratch/clip.mp4" "$scratch/phone/VID_$i.mp4"
  i=$((i + 1))
done
ln "$scratch/photo.jpg" "$scratch/phone/IMG_0.jpg"

measure() {
  "$program" /s -folder "$1" 2>/dev/null &
  pid=$!
  sleep "$seconds"
  used=$(ticks "$pid")
  kill "$pid"
  wait "$pid" 2>/dev/null || true
  echo "$used"
}
photos=$(measure "$scratch/photos")
phone=$(measure "$scratch/phone")
echo "20,000 photos:                         $(seconds "$photos") s of processor time in ${seconds} s"
echo "20,000 other files and one photo:      $(seconds "$phone") s of processor time in ${seconds} s"
awk -v a="$phone" -v b="$photos" 'BEGIN { printf "ratio: %.2f (goal: at most 1.20)\n", a / b }'
