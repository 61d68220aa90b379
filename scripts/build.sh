#!/usr/bin/env bash
# Configures and builds Kestrune (game, tools, default data set, tests, benchmarks) in build/.
set -euo pipefail
cd "$(dirname "$0")/.."
werror=OFF
if [ "${CI:-}" = "true" ]; then werror=ON; fi
cmake -S . -B build -G Ninja -DKESTRUNE_WERROR="$werror" >/dev/null
cmake --build build -j "$(nproc)"
