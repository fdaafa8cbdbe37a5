#!/usr/bin/env bash
# Browser tiles of a folder of large photos, against djpeg at 1/8 scale with the fast DCT run
# once per file (the same reduced decode, without the tile drawing).
set -euo pipefail
source "$(dirname "$0")/lib/common.sh"

DIR="$OUT/tiles-photos"
mkdir -p "$DIR"
for seed in 1 2 3; do
  make_photo "$OUT/photo24-$seed.jpg" 6000 4000 "$seed"
  make_photo "$OUT/photo12-$seed.jpg" 4000 3000 "$((seed + 10))"
done
# Twelve photos: each distinct photo twice, names in both cases of the extension.
for seed in 1 2 3; do
  for n in a b; do
    cp -u "$OUT/photo24-$seed.jpg" "$DIR/p24-$seed$n.jpg"
    cp -u "$OUT/photo12-$seed.jpg" "$DIR/p12-$seed$n.JPEG"
  done
done
cat "$DIR"/* >/dev/null  # both sides read from the page cache

djpeg_all() { for f in "$DIR"/*; do djpeg -scale 1/8 -dct fast "$f" >/dev/null; done; }
ours=$(best_of 5 "$CLI" tiles "$DIR" "$OUT/tiles")
ref=$(best_of 5 djpeg_all)
echo "$("$CLI" tiles "$DIR" "$OUT/tiles")"
report "browser tiles, 12 photos (6x24 MP, 6x12 MP)" "$ours" "$ref" "<= 1.15"
