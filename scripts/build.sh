#!/usr/bin/env bash
# Configures and builds Kestrune in build/.
#   bash scripts/build.sh          the game, the tools, the default data set, tests and benchmarks
#   bash scripts/build.sh --play   only the game and its data (the target `game`): no tools,
#                                  tests, benchmarks or fuzz checks, and no test libraries needed
set -euo pipefail
cd "$(dirname "$0")/.."
werror=OFF
if [ "${CI:-}" = "true" ]; then werror=ON; fi
if [ "${1:-}" = "--play" ]; then
  cmake -S . -B build -G Ninja -DKESTRUNE_WERROR="$werror" -DKESTRUNE_TESTS=OFF -DKESTRUNE_BENCH=OFF >/dev/null
  cmake --build build -j "$(nproc)" --target game
else
  cmake -S . -B build -G Ninja -DKESTRUNE_WERROR="$werror" -DKESTRUNE_TESTS=ON -DKESTRUNE_BENCH=ON >/dev/null
  cmake --build build -j "$(nproc)"
fi
