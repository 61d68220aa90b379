#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine, builds the game and its data (nothing else) and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup-debian.sh
bash scripts/build.sh --play
cd build && exec ./kestrune
