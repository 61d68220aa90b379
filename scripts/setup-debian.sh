#!/usr/bin/env bash
# Installs the Debian 12 packages Kestrune needs, skipping those already installed.
# Runs as root, or through sudo otherwise; never asks a question. Without arguments it installs
# what the game and its data need to build; with --tests it adds the test and benchmark
# libraries, the sanitizer build's compiler and the checkers the test suite runs (Xvfb, sox, the
# desktop file, package and metainfo validators).
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  libsdl2-dev libsdl2-ttf-dev libsdl2-mixer-dev
  libopenmpt-dev libcairo2-dev libfontconfig-dev libpng-dev
)
if [ "${1:-}" = "--tests" ]; then
  # The installed fonts only stand in for a data set without its own (Data/Fonts).
  packages+=(libgtest-dev libgmock-dev libbenchmark-dev libsdl2-gfx-dev
             xvfb xauth sox clang desktop-file-utils lintian appstream
             fonts-dseg fonts-bebas-neue fonts-liberation2)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if ((${#missing[@]})); then
  sudo_cmd=()
  if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
  echo "Installing: ${missing[*]}"
  "${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
  "${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" </dev/null
fi
