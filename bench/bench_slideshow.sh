#!/usr/bin/env bash
# A slideshow step through 24 MP photos in the window (offscreen, 1280 x 800), the next photo
# having been decoded ahead while the current one was shown: the time from the key to the
# painted frame, beside one full decode of such a photo by djpeg (what a step would cost
# without the decoding ahead).
set -euo pipefail
source "$(dirname "$0")/lib/common.sh"

BUILD="$ROOT/build-bench"
cmake -S "$ROOT" -B "$BUILD" -DVANTREL_BENCH=ON -DVANTREL_BUILD_TESTS=OFF >/dev/null
cmake --build "$BUILD" -j"$(nproc)" --target bench_slideshow --target resources >/dev/null
BENCH=$(find "$BUILD" -name bench_slideshow -type f -perm -u+x | head -1)

DIR="$OUT/slides-24"
mkdir -p "$DIR"
for seed in 1 2 3; do
  make_photo "$OUT/photo24-$seed.jpg" 6000 4000 "$seed"
  for n in a b; do ln -f "$OUT/photo24-$seed.jpg" "$DIR/IMG_$seed$n.jpg"; done
done
cat "$DIR"/* >/dev/null

ref=$(best_of 3 djpeg "$OUT/photo24-1.jpg")
read -r best median < <(XDG_CACHE_HOME="$OUT/slides-cache" "$BENCH" "$BUILD/bin" "$DIR" 5 2>/dev/null)
rm -rf "$OUT/slides-cache"
report "slideshow step, 24 MP, decoded ahead (median)" "$(echo "$median / 1000" | bc -l)" "$ref" "frame < 30 ms"
printf 'slideshow step: best %.1f ms, median %.1f ms; one djpeg decode %.1f ms\n' "$best" "$median" \
  "$(echo "$ref * 1000" | bc -l)"
