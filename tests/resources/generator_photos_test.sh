#!/usr/bin/env bash
# The generator turns photographs of every format the saver reads into the
# collection, each made here by its own encoder, and passes over a file that
# is not one with a word on standard error.
#   generator_photos_test.sh PICTURE_GENERATOR
set -euo pipefail
generator=$(realpath "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/photos"
cd "$work"

# Without ImageMagick's colour chunks: heif-enc turns them into a HEIC
# that libheif itself, heif-convert too, decodes to the wrong colours.
convert -size 640x480 xc:'#c02010' -strip PNG24:in.png
cwebp -quiet -q 95 in.png -o photos/1.webp
heif-enc -q 95 in.png -o photos/2.heic >/dev/null
avifenc -s 10 --min 0 --max 10 in.png photos/3.avif >/dev/null
convert in.png -compress lzw photos/4.tif
convert in.png bmp3:photos/5.bmp
convert in.png photos/6.gif
cp in.png photos/7.png
convert in.png -quality 95 photos/8.jpg
echo "a shopping list" > photos/9.txt

"$generator" --photos photos out >made.txt 2>said.txt

status=0
for number in 0 1 2 3 4 5 6 7; do
  name=$(ls photos | sed -n "$((number + 1))p")
  if ! grep -q "^pic$number.jpg [0-9]* bytes from $name\$" made.txt; then
    echo "pic$number.jpg is not made from $name:"; cat made.txt
    status=1
  fi
  # Each one the red of the photograph, through the encoders and the JPEG.
  colour=$(convert "out/pic$number.jpg" -format '%[fx:int(255*p{512,384}.r)] %[fx:int(255*p{512,384}.g)] %[fx:int(255*p{512,384}.b)]' info:)
  read -r red green blue <<<"$colour"
  if [ $((red - 192)) -gt 12 ] || [ $((192 - red)) -gt 12 ] || [ "$green" -gt 48 ] || [ "$blue" -gt 32 ]; then
    echo "pic$number.jpg from $name is $colour, not the photograph's #c02010"
    status=1
  fi
done
if ! grep -q "9.txt is not a photo it can read; skipped" said.txt; then
  echo "9.txt was not reported as skipped:"; cat said.txt
  status=1
fi
exit $status
