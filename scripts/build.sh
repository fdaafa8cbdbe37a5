#!/usr/bin/env bash
# Configures and builds into build/ (Release). Extra arguments go to cmake's configure step.
set -euo pipefail
cd "$(dirname "$0")/.."
# Paths relative to the clone, so that another clone of the project (CI's) hits the same cache.
export CCACHE_BASEDIR="$PWD"
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release "$@" >/dev/null
cmake --build build -j"$(nproc)"
