#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine, builds Kestrune and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup-debian.sh
bash scripts/build.sh
cd build && exec ./kestrune
