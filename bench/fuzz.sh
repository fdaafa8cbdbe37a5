#!/usr/bin/env bash
# Builds every fuzz target (fuzz/fuzz_*.cpp) with clang, libFuzzer and AddressSanitizer in its
# own build folder, and runs each for a bounded time on a small generated corpus.
# Usage: bench/fuzz.sh [SECONDS_PER_TARGET]   (default 60)
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
BUILD="$ROOT/build-fuzz"
SECONDS_PER_TARGET="${1:-60}"
WORK="$ROOT/bench/out/fuzz"

# The core library is instrumented too, so that the fuzzer sees coverage inside it. libstdc++ 12
# offers std::expected only when the compiler announces C++20 concepts in full. Clang 14 lacks
# the conditionally trivial destructors <expected> needs; clang 16 has them but announces an
# older value, hence clang 16 (packages clang-16 and libclang-rt-16-dev) with the macro.
if command -v clang++-16 >/dev/null; then CLANG_CC=clang-16 CLANG_CXX=clang++-16; else CLANG_CC=clang CLANG_CXX=clang++; fi
CC=$CLANG_CC CXX=$CLANG_CXX cmake -S "$ROOT" -B "$BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVANTREL_FUZZ=ON -DVANTREL_BUILD_GUI=OFF -DVANTREL_BUILD_TESTS=OFF \
  -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link,address -fno-omit-frame-pointer -D__cpp_concepts=202002L -Wno-builtin-macro-redefined -Wno-macro-redefined" >/dev/null
targets=()
for source in "$ROOT"/fuzz/fuzz_*.cpp; do targets+=("$(basename "$source" .cpp)"); done
cmake --build "$BUILD" -j"$(nproc)" --target "${targets[@]}" >/dev/null

# Seed corpus: small JPEGs of every colour model and coding, made with ImageMagick and cjpeg.
CORPUS="$WORK/seed"
if [ ! -d "$CORPUS" ]; then
  mkdir -p "$CORPUS"
  convert -size 40x30 plasma:fractal "$WORK/seed.ppm"
  cjpeg -quality 80 "$WORK/seed.ppm" >"$CORPUS/baseline.jpg"
  cjpeg -progressive "$WORK/seed.ppm" >"$CORPUS/progressive.jpg"
  cjpeg -grayscale "$WORK/seed.ppm" >"$CORPUS/grey.jpg"
  cjpeg -restart 1 -sample 1x1 "$WORK/seed.ppm" >"$CORPUS/restart.jpg"
  convert "$WORK/seed.ppm" -colorspace CMYK -quality 70 "$CORPUS/cmyk.jpg"
  convert -size 17x9 xc:red -set comment "a comment" "$CORPUS/comment.jpg"
  head -c 300 "$CORPUS/baseline.jpg" >"$CORPUS/truncated.jpg"
fi

status=0
for target in "${targets[@]}"; do
  echo "== $target for ${SECONDS_PER_TARGET}s"
  mkdir -p "$WORK/$target/corpus" "$WORK/$target/artifacts"
  if ! "$BUILD/bin/$target" "$WORK/$target/corpus" "$CORPUS" -max_total_time="$SECONDS_PER_TARGET" \
       -rss_limit_mb=2048 -max_len=65536 -artifact_prefix="$WORK/$target/artifacts/" \
       -print_final_stats=1 2>"$WORK/$target/log.txt"; then
    status=1
    echo "$target FAILED; see $WORK/$target/log.txt"
  fi
  grep -E "^stat::(number_of_executed_units|peak_rss_mb)|^#[0-9]+.*DONE" "$WORK/$target/log.txt" || true
done
exit $status
