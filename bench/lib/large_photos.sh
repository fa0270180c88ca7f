# Six 24-megapixel photos (6000 x 4000 JPEG at quality 90, light and grain as
# a camera's) in a folder, for the benchmarks of a folder of photos. Sourced.
#   make_large_photos FOLDER
make_large_photos() {
  mkdir -p "$1"
  convert -size 6000x4000 gradient:'#3060a0'-'#c08040' -attenuate 0.4 +noise Gaussian -quality 90 \
    "$1/photo-1.jpg"
  for i in 2 3 4 5 6; do
    convert "$1/photo-1.jpg" -rotate 180 -quality 90 "$1/photo-$i.jpg"
  done
}
