#!/usr/bin/env bash
# Filling the thumbnail list of the window for a folder of 300 photos of 12 MP, offscreen,
# against djpeg at 1/8 scale with the fast DCT run once per file (the same reduced decode,
# without tiles, list or window), with one decoding thread and with two; each fill in a fresh
# tile cache folder. Then the folder reopened: the second fill of one process, from the cache
# the first fill made, against that first fill.
set -euo pipefail
source "$(dirname "$0")/lib/common.sh"

BUILD="$ROOT/build-bench"
cmake -S "$ROOT" -B "$BUILD" -DVANTREL_BENCH=ON -DVANTREL_BUILD_TESTS=OFF >/dev/null
cmake --build "$BUILD" -j"$(nproc)" --target bench_folder_fill --target resources >/dev/null
BENCH=$(find "$BUILD" -name bench_folder_fill -type f -perm -u+x | head -1)

DIR="$OUT/fill-300"
mkdir -p "$DIR"
for seed in 1 2 3 4 5 6; do make_photo "$OUT/photo12-fill-$seed.jpg" 4000 3000 "$((seed + 20))"; done
# 300 names for six distinct photos (hard links: the page cache holds them for both sides).
for i in $(seq 1 300); do
  seed=$(( (i % 6) + 1 ))
  [ -e "$DIR/IMG_$(printf %04d "$i").JPG" ] || ln -f "$OUT/photo12-fill-$seed.jpg" "$DIR/IMG_$(printf %04d "$i").JPG"
done
cat "$OUT"/photo12-fill-*.jpg >/dev/null

djpeg_all() { for f in "$DIR"/*; do djpeg -scale 1/8 -dct fast "$f" >/dev/null; done; }
ref=$(best_of 3 djpeg_all)
CACHES="$OUT/fill-caches"
cold_fill() {  # cold_fill DECODERS: the best of three first fills, each with an empty cache
  local best="" t
  for run in 1 2 3; do
    rm -rf "$CACHES" && mkdir -p "$CACHES"
    t=$(XDG_CACHE_HOME="$CACHES" "$BENCH" "$BUILD/bin" "$DIR" "$1" 1 2>/dev/null)
    if [ -z "$best" ] || [ "$(echo "$t < $best" | bc -l)" = 1 ]; then best=$t; fi
  done
  echo "$best"
}
one=$(cold_fill 1)
two=$(cold_fill 2)
report "fill the list, 300 x 12 MP, one decoder" "$one" "$ref" "<= 1.2"
report "fill the list, 300 x 12 MP, two decoders" "$two" "$ref" "<= 0.65"
rm -rf "$CACHES" && mkdir -p "$CACHES"
read -r first second third < <(XDG_CACHE_HOME="$CACHES" "$BENCH" "$BUILD/bin" "$DIR" 2 3 each 2>/dev/null)
reopen=$(printf '%s\n%s\n' "$second" "$third" | sort -n | head -1)
report "reopen the folder from the tile cache" "$reopen" "$first" "<= 0.1 x the first fill"
rm -rf "$CACHES"
