#!/usr/bin/env bash
# Runs every benchmark script bench/bench_*.sh in turn; each generates its own inputs under
# bench/out/ and prints its timings beside a reference tool's, with the ratio.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup-deps.sh bench
scripts/build.sh
for script in bench/bench_*.sh; do
  echo "== $script"
  bash "$script"
done
