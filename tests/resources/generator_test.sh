#!/usr/bin/env bash
# The generator paints the committed collection again, byte for byte: the
# pictures are the painter's, and the painter gives the same bytes every run.
#   generator_test.sh PICTURE_GENERATOR COMMITTED_PICTURES_DIR
set -euo pipefail
generator="$1"
committed="$2"
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

start=$(date +%s%N)
"$generator" "$out/pictures" >/dev/null
end=$(date +%s%N)
echo "painted and encoded in $(( (end - start) / 1000000 )) ms"

status=0
for file in "$committed"/*; do
  name=$(basename "$file")
  if ! cmp -s "$file" "$out/pictures/$name"; then
    echo "$name differs from what the generator makes"
    status=1
  fi
done
made=$(ls "$out/pictures" | wc -l)
kept=$(ls "$committed" | wc -l)
if [ "$made" != "$kept" ]; then
  echo "the generator makes $made files, $kept are committed"
  status=1
fi
exit $status
