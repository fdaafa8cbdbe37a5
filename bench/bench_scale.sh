#!/usr/bin/env bash
# The upload's scaled copy (longer side 1024, quality 90) of a 24 MP and a 12 MP photo, against
# vipsthumbnail and against a djpeg | pamscale | cjpeg pipeline.
set -euo pipefail
source "$(dirname "$0")/lib/common.sh"

make_photo "$OUT/photo24-1.jpg" 6000 4000 1
make_photo "$OUT/photo12-1.jpg" 4000 3000 11

pipeline() { djpeg "$1" | pamscale -xyfit 1024 1024 | cjpeg -quality 90 >"$2"; }
for photo in "$OUT/photo24-1.jpg" "$OUT/photo12-1.jpg"; do
  name=$(basename "$photo" .jpg)
  cat "$photo" >/dev/null
  ours=$(best_of 5 "$CLI" scale "$photo" "$OUT/$name.s.jpg" 1024 90)
  vips=$(best_of 5 vipsthumbnail --size 1024 "$photo" -o "$OUT/$name.vips.jpg[Q=90]")
  pipe=$(best_of 3 pipeline "$photo" "$OUT/$name.pipe.jpg")
  report "scale $name to 1024 vs vipsthumbnail" "$ours" "$vips" "<= 0.6"
  report "scale $name to 1024 vs djpeg|pamscale|cjpeg" "$ours" "$pipe" "<= 0.6"
done
