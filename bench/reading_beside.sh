#!/usr/bin/env bash
# Photos read beside the slideshow, as a user meets it on a 1920 x 1080
# screen: the figures behind the goals of reading on a work thread.
#   - the worst time from a key to the end of the process, over 12 keys
#     spread over 14 s, with a folder of two 48-megapixel photos at Speed 1
#     (HEIC and PNG natively, PNG with orvanel.scr under Wine): goal 100 ms;
#   - a library of 200,000 files that are not pictures in 1,000 folders with
#     four 12-megapixel photos among them, the first in the hundredth
#     folder, made at run time: the time to the first photo (goal 1 s) and
#     the worst key at 3, 6, 9 and 12 s;
#   - the time between pictures at Speed 5 with dissolves, over 48-megapixel
#     photos, against the built-in pictures': goal within 10 %;
#   - peak resident memory with one photo of each format at 48 megapixels,
#     and a PNG and a TIFF at 100 megapixels: goal 150 MB at 48.
# The screen is sampled from outside with ImageMagick's import.
#   bench/reading_beside.sh PROGRAM [ORVANEL_SCR]   (the latter with WINEPREFIX set)
set -euo pipefail
program="$1"
scr="${2:-}"
. "$(dirname "$0")/lib/scratch_display.sh"
start_scratch_display 1920x1080
photos="$scratch/photos"
mkdir -p "$photos"

# The colour of the middle of the screen, #RRGGBB.
middle() { import -window root -crop 1x1+960+540 -depth 8 txt:- 2>/dev/null | sed -n 's/.*\(#[0-9A-F]\{6\}\).*/\1/p'; }
now_ms() { echo $(($(date +%s%N) / 1000000)); }
settings() { printf '[Config]\nSpeed=%s\nRandom=0\nBlend=%s\nFolder=%s\n' "$1" "$2" "$3" > "$XDG_CONFIG_HOME/vorlanthix/orvanel.ini"; }
# Waits until the middle of the screen is neither black nor the empty root.
await_picture() {
  for _ in $(seq 600); do
    case "$(middle)" in ""|"#000000") sleep 0.02 ;; *) return 0 ;; esac
  done
  return 1
}
# Milliseconds from a key to the end of process $1; a process still there
# 10 s after the key is ended and counted as 10 s.
key_to_exit() {
  local pid="$1" from
  from=$(now_ms)
  xdotool key a
  while kill -0 "$pid" 2>/dev/null && [ $(($(now_ms) - from)) -lt 10000 ]; do sleep 0.002; done
  echo $(($(now_ms) - from))
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
}
# The worst of 12 keys spread over 14 s from 2 s after the start of
# COMMAND... (a key before the saver's window is up would go nowhere)
worst_key() {
  local worst=0 all="" i ms
  for i in $(seq 0 11); do
    "$@" 2>/dev/null &
    local pid=$!
    sleep "$(awk -v i="$i" 'BEGIN { printf "%.2f", 2 + i * 14 / 11 }')"  # the moment of the key
    ms=$(key_to_exit "$pid")
    all="$all $ms"
    [ "$ms" -gt "$worst" ] && worst=$ms
  done
  echo "worst ${worst} ms (each:$all)"
}

echo "making the photos"
convert -size 8000x6000 gradient:'#3060a0'-'#c08040' -attenuate 0.3 +noise Gaussian -type TrueColor \
  PNG24:"$scratch/48.png"
convert -size 12240x8160 gradient:'#a06030'-'#4080c0' -type TrueColor PNG24:"$scratch/100.png"
heif-enc -q 60 -p preset=ultrafast "$scratch/48.png" -o "$scratch/48.heic" >/dev/null
convert "$scratch/48.png" -quality 90 "$scratch/48.jpg"
convert "$scratch/48.png" -resize 4000x3000 -quality 90 "$scratch/12.jpg"
cwebp -quiet -q 80 "$scratch/48.png" -o "$scratch/48.webp"
convert "$scratch/48.png" -compress lzw "$scratch/48.tif"
convert "$scratch/48.png" -type TrueColor bmp3:"$scratch/48.bmp"
convert "$scratch/100.png" -compress lzw "$scratch/100.tif"

echo "== a key, while 48-megapixel photos are read (Speed 1, no dissolve), against the built-in pictures"
settings 1 0 ""
echo "native, built-in pictures: $(worst_key "$program" /s)"
for format in heic png; do
  rm -rf "$photos"; mkdir -p "$photos"
  cp "$scratch/48.$format" "$photos/1.$format"; cp "$scratch/48.$format" "$photos/2.$format"
  settings 1 0 "$photos"
  echo "native, $format: $(worst_key "$program" /s)"
done
if [ -n "$scr" ]; then
  ini="$WINEPREFIX/drive_c/users/$(id -un)/AppData/Local/vorlanthix/orvanel.ini"
  mkdir -p "$(dirname "$ini")"
  rm -rf "$photos"; mkdir -p "$photos"
  cp "$scratch/48.png" "$photos/1.png"; cp "$scratch/48.png" "$photos/2.png"
  printf '[Config]\r\nSpeed=1\r\nRandom=0\r\nBlend=0\r\nFolder=Z:%s\r\n' "$(echo "$photos" | tr / '\\\\')" > "$ini"
  # Kept running, so that each start takes Wine a moment, not seconds: a
  # key before the saver's window is up would go nowhere.
  wineserver -k 2>/dev/null || true
  wineserver -p
  # Wine's own services up before the first start, which else takes seconds.
  wine cmd /c exit 2>/dev/null || true
  echo "orvanel.scr under Wine, png: $(worst_key wine "$scr" /s)"
  printf '[Config]\r\nSpeed=1\r\nRandom=0\r\nBlend=0\r\nFolder=\r\n' > "$ini"
  echo "orvanel.scr under Wine, built-in pictures: $(worst_key wine "$scr" /s)"
  wineserver -k 2>/dev/null || true
fi

echo "== a library of 200,000 files that are not pictures, four photos among them (Speed 2, no dissolve)"
# A video's start for each folder, linked 200 times there: a file takes
# fewer links than a library has files.
python3 - "$scratch" <<'EOF'
import os, sys
root = sys.argv[1]
library = os.path.join(root, "library")
for folder in range(1000):
    path = os.path.join(library, "%04d" % folder)
    os.makedirs(path)
    clip = os.path.join(path, "VID_000.mp4")
    with open(clip, "wb") as f:
        f.write(b"\0\0\0\x18ftypmp42\0\0\0\0mp42isom" + os.urandom(8192))
    for file in range(1, 200):
        os.link(clip, os.path.join(path, "VID_%03d.mp4" % file))
for folder in (100, 400, 700, 999):
    os.link(os.path.join(root, "12.jpg"), os.path.join(library, "%04d" % folder, "IMG_%04d.jpg" % folder))
EOF
settings 2 0 "$scratch/library"
for run in 1 2 3; do
  from=$(now_ms)
  "$program" /s 2>/dev/null &
  pid=$!
  await_picture || true
  echo "first photo after $(($(now_ms) - from)) ms"
  kill "$pid"; wait "$pid" 2>/dev/null || true
done
for at in 3 6 9 12; do
  "$program" /s 2>/dev/null &
  pid=$!
  sleep "$at"  # the moment of the key
  echo "key at ${at} s: ended in $(key_to_exit "$pid") ms"
done

echo "== the time between pictures at Speed 5 with dissolves"
# The middle's colour watched for 60 s; a picture begins to come in at the
# first change after a second or more without one.
intervals() {
  "$@" 2>/dev/null &
  local pid=$! last="" changes=() t c still=0
  local until=$(($(now_ms) + 60000))
  while [ "$(now_ms)" -lt "$until" ]; do
    c=$(middle); t=$(now_ms)
    if [ -n "$c" ] && [ "$c" != "$last" ]; then
      [ $((t - still)) -ge 1000 ] && changes+=("$t")
      last=$c; still=$t
    fi
    sleep 0.05
  done
  kill "$pid"; wait "$pid" 2>/dev/null || true
  local out="" i
  for ((i = 2; i < ${#changes[@]}; i++)); do out="$out $(((changes[i] - changes[i - 1]) / 100))"; done
  echo "tenths of a second between changes:$out"
}
printf '[Config]\nSpeed=5\nRandom=0\nBlend=1\n' > "$XDG_CONFIG_HOME/vorlanthix/orvanel.ini"
echo "built-in pictures: $(intervals "$program" /s)"
rm -rf "$photos"; mkdir -p "$photos"
cp "$scratch/48.heic" "$photos/1.heic"
convert "$scratch/48.png" -negate -quality 90 "$photos/2.jpg"
cp "$scratch/48.png" "$photos/3.png"
convert "$scratch/48.png" -flop -quality 90 "$photos/4.jpg"
settings 5 1 "$photos"
echo "48-megapixel photos (HEIC, JPEG, PNG, JPEG): $(intervals "$program" /s)"

echo "== peak resident memory with one photo (Speed 8, no dissolve), against the built-in pictures"
peak() {
  settings 8 0 "$1"
  "$program" /s 2>/dev/null &
  local pid=$!
  await_picture || true
  sleep 2  # the picture settled: what the reading cost is in the high-water mark
  echo "VmHWM $(kb "$pid" VmHWM) kB"
  kill "$pid"; wait "$pid" 2>/dev/null || true
}
. "$(dirname "$0")/lib/figures.sh"
echo "built-in pictures: $(peak "")"
for photo in 48.jpg 48.png 48.webp 48.heic 48.tif 48.bmp 100.png 100.tif; do
  rm -rf "$photos"; mkdir -p "$photos"
  cp "$scratch/$photo" "$photos/"
  echo "$photo: $(peak "$photos")"
done
