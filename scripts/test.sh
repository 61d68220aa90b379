#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine, builds Kestrune and runs every test, then a short soak of
# the game under AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup-debian.sh --tests
bash scripts/build.sh
(cd build && ctest --output-on-failure -j "$(nproc)")
bash scripts/soak.sh
