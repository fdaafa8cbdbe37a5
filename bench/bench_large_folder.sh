#!/usr/bin/env bash
# A folder of 20,000 photos in the window, offscreen: filled once into an empty tile cache, the
# list scrolled through, then revisited from the cache. Reports the revisit against the first
# fill (target under 0.1 x), the peak resident memory of the whole run (target under 250 MB)
# and the tile cache's size. The photos are hard links of four camera-like 2 MP JPEGs, so the
# run takes a few minutes. PHOTOS=N sets another count.
set -euo pipefail
source "$(dirname "$0")/lib/common.sh"

BUILD="$ROOT/build-bench"
cmake -S "$ROOT" -B "$BUILD" -DVANTREL_BENCH=ON -DVANTREL_BUILD_TESTS=OFF >/dev/null
cmake --build "$BUILD" -j"$(nproc)" --target bench_large_folder --target resources >/dev/null
BENCH=$(find "$BUILD" -name bench_large_folder -type f -perm -u+x | head -1)

COUNT=${PHOTOS:-20000}
DIR="$OUT/large-$COUNT"
mkdir -p "$DIR"
for seed in 1 2 3 4; do make_photo "$OUT/photo2-large-$seed.jpg" 1632 1224 "$((seed + 40))"; done
for i in $(seq 1 "$COUNT"); do
  name="$DIR/IMG_$i.JPG"  # unpadded numbers: the natural order puts IMG_2 before IMG_10
  [ -e "$name" ] || ln -f "$OUT/photo2-large-$(( (i % 4) + 1 )).jpg" "$name"
done

CACHE="$OUT/large-cache"
rm -rf "$CACHE" && mkdir -p "$CACHE"
read -r first revisit hwm rss held < <(XDG_CACHE_HOME="$CACHE" "$BENCH" "$BUILD/bin" "$DIR" 2>/dev/null)
entries=$(find "$CACHE" -name '*.tile' | wc -l)
cache_kb=$(du -sk "$CACHE" | cut -f1)
report "revisit a folder of $COUNT photos" "$revisit" "$first" "< 0.1 x the first fill"
printf '%-44s %d MB (target < 250 MB); at the end %d MB, %d tiles held\n' \
  "peak resident memory" "$((hwm / 1024))" "$((rss / 1024))" "$held"
printf '%-44s %d entries, %d MB\n' "tile cache" "$entries" "$((cache_kb / 1024))"
rm -rf "$CACHE"
