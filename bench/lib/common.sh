# Shared by the benchmark scripts: where things are, photo-like test JPEGs, and timing.
# Sourced, not run.
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
OUT="$ROOT/bench/out"
CLI="${VANTREL_CLI:-$ROOT/build/bin/vantrel-cli}"
mkdir -p "$OUT"

if [ ! -x "$CLI" ]; then
  echo "building vantrel-cli into build/" >&2
  cmake -S "$ROOT" -B "$ROOT/build" -DVANTREL_BUILD_GUI=OFF >/dev/null
  cmake --build "$ROOT/build" -j"$(nproc)" --target vantrel-cli >/dev/null
fi

# make_photo PATH WIDTH HEIGHT SEED: a camera-like JPEG (soft structure plus sensor noise, 2x2
# chroma subsampling, quality 92), about 9 MB at 24 MP. Kept between runs.
make_photo() {
  local path=$1 width=$2 height=$3 seed=$4
  [ -s "$path" ] && return 0
  convert -size $((width / 4))x$((height / 4)) -seed "$seed" plasma:fractal -blur 0x2 \
    -resize "${width}x${height}!" -attenuate 0.6 +noise Gaussian \
    -quality 92 -sampling-factor 2x2 "$path.tmp.jpg"
  mv "$path.tmp.jpg" "$path"
}

# best_of N COMMAND...: the shortest wall time in seconds of N runs (output discarded).
best_of() {
  local runs=$1; shift
  local best="" start end t
  for _ in $(seq "$runs"); do
    start=$(date +%s.%N)
    "$@" >/dev/null 2>&1
    end=$(date +%s.%N)
    t=$(echo "$end - $start" | bc -l)
    if [ -z "$best" ] || [ "$(echo "$t < $best" | bc -l)" = 1 ]; then best=$t; fi
  done
  printf '%.4f' "$best"
}

# report LABEL OURS REFERENCE TARGET_TEXT: prints both times and the ratio ours / reference.
report() {
  local label=$1 ours=$2 ref=$3 target=$4
  printf '%-44s ours %8.4f s   reference %8.4f s   ratio %5.2f   (target %s)\n' \
    "$label" "$ours" "$ref" "$(echo "$ours / $ref" | bc -l)" "$target"
}
