#!/usr/bin/env bash
# The demo's sample photos are what a camera gives: eight photos of a few MB (far above the
# service's smallest size), each decoding cleanly with its date and shooting details, two stored
# sideways with an orientation tag.
#   demo_photos_test.sh SOURCE_DIR VANTREL_CLI
set -euo pipefail
source_dir=$1 cli=$2
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

/usr/bin/python3 "$source_dir/tools/demo-photos/make_demo_photos.py" "$folder"
[ "$(ls "$folder" | wc -l)" = 8 ] || fail "expected 8 photos, found: $(ls "$folder")"

sideways=0
for photo in "$folder"/*; do
  size=$(stat -c %s "$photo")
  [ "$size" -ge $((2 * 1024 * 1024)) ] || fail "$photo is only $size bytes"
  info=$(LC_ALL=C "$cli" info "$photo")
  for line in "warnings: 0" "failed: no" "Make: " "DateTimeOriginal: 2024:" "FNumber: " "ExposureTime: " \
              "FocalLength: " "ISOSpeedRatings: "; do
    grep -q "$line" <<<"$info" || fail "$photo: no '$line' in: $info"
  done
  grep -Eq "Orientation: (CounterClockwise|Clockwise) 90" <<<"$info" && sideways=$((sideways + 1))
done
[ "$sideways" = 2 ] || fail "expected 2 photos stored sideways, found $sideways"

# A second call keeps what is there (the demo starts at once the next time).
before=$(stat -c %Y "$folder"/IMG_0001.JPG)
/usr/bin/python3 "$source_dir/tools/demo-photos/make_demo_photos.py" "$folder"
[ "$(stat -c %Y "$folder"/IMG_0001.JPG)" = "$before" ] || fail "the photos were made again"
echo "demo photos: OK"
