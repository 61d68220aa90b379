#!/usr/bin/env bash
# Installs the Debian 12 packages Kestrune needs, skipping those already installed.
# Runs as root, or through sudo otherwise; never asks a question. With --tests it adds the
# checkers the test suite runs on the packages and desktop files (lintian, appstream).
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  libsdl2-dev libsdl2-ttf-dev libsdl2-mixer-dev libsdl2-gfx-dev
  libopenmpt-dev libcairo2-dev libfontconfig-dev libpng-dev
  fonts-dseg fonts-bebas-neue fonts-liberation2
  xvfb xauth sox clang desktop-file-utils
)
if [ "${1:-}" = "--tests" ]; then packages+=(lintian appstream); fi

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
