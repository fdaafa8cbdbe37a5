#!/usr/bin/env bash
# EXIF scan speed: vantrel-cli exif against exiv2 -pa on the same camera-like photos (a 3000 x 2000
# JPEG with a full EXIF block written by exiv2), each tool over all files in one process, best of
# three runs. Prints both times and the ratio (ours / exiv2; below 1 means faster).
set -euo pipefail
cd "$(dirname "$0")/.."
CLI=build/bin/vantrel-cli
OUT=bench/out/exif
FILES=${EXIF_BENCH_FILES:-2000}
mkdir -p "$OUT"

if [ ! -f "$OUT/photo.jpg" ]; then
  convert -size 3000x2000 plasma:fractal -quality 90 "$OUT/photo.jpg"
  exiv2 -M"set Exif.Image.Make Canon" -M"set Exif.Image.Model Canon EOS 350D DIGITAL" \
    -M"set Exif.Image.Orientation 1" -M"set Exif.Image.XResolution 72/1" -M"set Exif.Image.YResolution 72/1" \
    -M"set Exif.Image.ResolutionUnit 2" -M"set Exif.Image.Software vantrel-bench" \
    -M"set Exif.Image.DateTime 2005:06:12 14:03:27" -M"set Exif.Image.Artist Bench" \
    -M"set Exif.Photo.ExposureTime 1/200" -M"set Exif.Photo.FNumber 56/10" -M"set Exif.Photo.ExposureProgram 2" \
    -M"set Exif.Photo.ISOSpeedRatings 400" -M"set Exif.Photo.ExifVersion 48 50 50 49" \
    -M"set Exif.Photo.DateTimeOriginal 2005:06:12 14:03:27" -M"set Exif.Photo.DateTimeDigitized 2005:06:12 14:03:27" \
    -M"set Exif.Photo.ComponentsConfiguration 1 2 3 0" -M"set Exif.Photo.ShutterSpeedValue 7643856/1000000" \
    -M"set Exif.Photo.ApertureValue 4970854/1000000" -M"set Exif.Photo.ExposureBiasValue 0/2" \
    -M"set Exif.Photo.MaxApertureValue 3625/1000" -M"set Exif.Photo.MeteringMode 5" -M"set Exif.Photo.Flash 16" \
    -M"set Exif.Photo.FocalLength 50/1" -M"set Exif.Photo.UserComment charset=Ascii holiday" \
    -M"set Exif.Photo.FlashpixVersion 48 49 48 48" -M"set Exif.Photo.ColorSpace 1" \
    -M"set Exif.Photo.PixelXDimension 3000" -M"set Exif.Photo.PixelYDimension 2000" \
    -M"set Exif.Photo.FocalPlaneXResolution 3456000/874" -M"set Exif.Photo.FocalPlaneYResolution 2304000/582" \
    -M"set Exif.Photo.FocalPlaneResolutionUnit 2" -M"set Exif.Photo.CustomRendered 0" -M"set Exif.Photo.ExposureMode 0" \
    -M"set Exif.Photo.WhiteBalance 0" -M"set Exif.Photo.SceneCaptureType 0" \
    -M"set Exif.GPSInfo.GPSLatitudeRef N" -M"set Exif.GPSInfo.GPSLatitude 48/1 51/1 2439/100" \
    -M"set Exif.GPSInfo.GPSLongitudeRef E" -M"set Exif.GPSInfo.GPSLongitude 2/1 21/1 796/100" \
    -M"set Exif.GPSInfo.GPSTimeStamp 12/1 3/1 27/1" "$OUT/photo.jpg"
fi
rm -f "$OUT"/copy-*.jpg
for i in $(seq 1 "$FILES"); do ln -f "$OUT/photo.jpg" "$OUT/copy-$i.jpg"; done

best() {  # best wall time of three runs of the command, in seconds
  local best=""
  for _ in 1 2 3; do
    local start end
    start=$(date +%s.%N)
    "$@" >/dev/null 2>&1
    end=$(date +%s.%N)
    best=$(echo "$start $end ${best:-999999}" | awk '{t = $2 - $1; print (t < $3 ? t : $3)}')
  done
  echo "$best"
}

ours=$(best "$CLI" exif "$OUT"/copy-*.jpg)
ref=$(best exiv2 -pa "$OUT"/copy-*.jpg)
echo "exif scan of $FILES photos: vantrel-cli exif ${ours}s, exiv2 -pa ${ref}s"
awk -v a="$ours" -v b="$ref" 'BEGIN { printf "ratio (ours / exiv2): %.3f\n", a / b }'
