#!/usr/bin/env bash
# Builds every fuzz target (fuzz/fuzz_*.cpp) with clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer in its own build folder, and runs each for a bounded time on a
# small generated corpus. Reports executions, peak memory and crashes per target.
# Usage: bench/fuzz.sh [SECONDS_PER_TARGET]   (default 60)
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
BUILD="$ROOT/build-fuzz"
SECONDS_PER_TARGET="${1:-60}"
"$ROOT/scripts/setup-deps.sh" bench
WORK="$ROOT/bench/out/fuzz"

# The core library is instrumented too, so that the fuzzer sees coverage inside it. libstdc++ 12
# offers std::expected only when the compiler announces C++20 concepts in full. Clang 14 lacks
# the conditionally trivial destructors <expected> needs; clang 16 has them but announces an
# older value, hence clang 16 (packages clang-16 and libclang-rt-16-dev) with the macro.
if command -v clang++-16 >/dev/null; then CLANG_CC=clang-16 CLANG_CXX=clang++-16; else CLANG_CC=clang CLANG_CXX=clang++; fi
CC=$CLANG_CC CXX=$CLANG_CXX cmake -S "$ROOT" -B "$BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVANTREL_FUZZ=ON -DVANTREL_BUILD_GUI=OFF -DVANTREL_BUILD_TESTS=OFF \
  -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer -D__cpp_concepts=202002L -Wno-builtin-macro-redefined -Wno-macro-redefined" >/dev/null
targets=()
for source in "$ROOT"/fuzz/fuzz_*.cpp; do targets+=("$(basename "$source" .cpp)"); done
cmake --build "$BUILD" -j"$(nproc)" --target "${targets[@]}" >/dev/null

# Seed corpora, one folder per target, generated here: small JPEGs of every colour model and
# coding (ImageMagick and cjpeg) for the photo readers, small texts for the others.
SEEDS="$WORK/seeds"
if [ ! -d "$SEEDS" ]; then
  jpegs="$SEEDS/jpeg"
  mkdir -p "$jpegs"
  convert -size 40x30 plasma:fractal "$WORK/seed.ppm"
  cjpeg -quality 80 "$WORK/seed.ppm" >"$jpegs/baseline.jpg"
  cjpeg -progressive "$WORK/seed.ppm" >"$jpegs/progressive.jpg"
  cjpeg -grayscale "$WORK/seed.ppm" >"$jpegs/grey.jpg"
  cjpeg -restart 1 -sample 1x1 "$WORK/seed.ppm" >"$jpegs/restart.jpg"
  convert "$WORK/seed.ppm" -colorspace CMYK -quality 70 "$jpegs/cmyk.jpg"
  convert -size 17x9 xc:red -set comment "a comment" "$jpegs/comment.jpg"
  head -c 300 "$jpegs/baseline.jpg" >"$jpegs/truncated.jpg"
  /usr/bin/python3 "$ROOT/fuzz/make_seeds.py" "$SEEDS" "$ROOT/resources/Language"
fi
# Tall photos for the split decode, whose cut needs a few MCU rows below the first two thirds.
SPLIT_SEEDS="$SEEDS/split_decode"
mkdir -p "$SPLIT_SEEDS"
[ -s "$WORK/tall.ppm" ] || convert -size 24x400 plasma:fractal "$WORK/tall.ppm"
[ -s "$SPLIT_SEEDS/colour.jpg" ] || cjpeg -quality 90 "$WORK/tall.ppm" >"$SPLIT_SEEDS/colour.jpg"
[ -s "$SPLIT_SEEDS/colour-422.jpg" ] || cjpeg -quality 100 -sample 2x1 "$WORK/tall.ppm" >"$SPLIT_SEEDS/colour-422.jpg"
[ -s "$SPLIT_SEEDS/grey.jpg" ] || cjpeg -grayscale "$WORK/tall.ppm" >"$SPLIT_SEEDS/grey.jpg"
[ -s "$SPLIT_SEEDS/optimised.jpg" ] || cjpeg -optimize "$WORK/tall.ppm" >"$SPLIT_SEEDS/optimised.jpg"
[ -s "$SPLIT_SEEDS/restart.jpg" ] || cjpeg -restart 2 "$WORK/tall.ppm" >"$SPLIT_SEEDS/restart.jpg"
seeds_of() {
  case "$1" in
    fuzz_exif | fuzz_load_image) echo "$SEEDS/jpeg" ;;
    *) echo "$SEEDS/${1#fuzz_}" ;;
  esac
}
# The XML readers get inputs large enough for 50,000 levels of nesting; the others stay small.
max_len_of() {
  case "$1" in
    fuzz_xmlrpc_response | fuzz_remote_settings) echo 1048576 ;;
    *) echo 65536 ;;
  esac
}

status=0
export ASAN_SYMBOLIZER_PATH="${ASAN_SYMBOLIZER_PATH:-$(command -v llvm-symbolizer-16 || command -v llvm-symbolizer || true)}"
for target in "${targets[@]}"; do
  echo "== $target for ${SECONDS_PER_TARGET}s"
  mkdir -p "$WORK/$target/corpus" "$WORK/$target/artifacts"
  if ! "$BUILD/bin/$target" "$WORK/$target/corpus" "$(seeds_of "$target")" -max_total_time="$SECONDS_PER_TARGET" \
       -rss_limit_mb=2048 -max_len="$(max_len_of "$target")" -artifact_prefix="$WORK/$target/artifacts/" \
       -print_final_stats=1 2>"$WORK/$target/log.txt"; then
    status=1
    echo "$target FAILED; see $WORK/$target/log.txt"
  fi
  grep -E "^stat::(number_of_executed_units|peak_rss_mb)|^#[0-9]+.*DONE" "$WORK/$target/log.txt" || true
  echo "crashes: $(find "$WORK/$target/artifacts" -type f | wc -l)"
done
exit $status
