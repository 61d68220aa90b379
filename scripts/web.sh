#!/bin/bash
# Builds Kestrune for the browser and writes a static site to build-web/site/ (index.html, its
# scripts and styles, kestrune.js, kestrune.wasm.gz and kestrune.data.gz with the data set, fonts
# and documents; the app manifest with its icons and the service worker sw.js that keeps this build
# for offline play). Serve it with:  python3 -m http.server -d build-web/site
#
# Steps: installs the tools it needs (Debian 12), builds the WebAssembly libraries once into a
# cache outside the repository (scripts/web-deps.sh), builds the native data set generators and
# the data set, stages the files the game reads, then compiles the game with Emscripten.
# env: NATIVE_BUILD (default build: the native build folder the data set comes from),
#      WEB_BUILD (default build-web), JOBS (default 2)
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
cd "$ROOT"
NATIVE=${NATIVE_BUILD:-build}
OUT=${WEB_BUILD:-build-web}
JOBS=${JOBS:-2}
export DEBIAN_FRONTEND=noninteractive

need=()
command -v emcc >/dev/null || need+=(emscripten)
command -v cmake >/dev/null || need+=(cmake)
command -v ninja >/dev/null || need+=(ninja-build)
command -v gzip >/dev/null || need+=(gzip)
# For the browser tests: Debian's Chromium (driven headless), Node and npm for puppeteer-core.
[ -x /usr/bin/chromium ] || need+=(chromium)
command -v node >/dev/null || need+=(nodejs)
command -v npm >/dev/null || need+=(npm)
if [ ${#need[@]} -gt 0 ]; then
  echo "== installing ${need[*]}"
  [ "$(id -u)" = 0 ] || { echo "web.sh: installing ${need[*]} needs root (or install them first)" >&2; exit 1; }
  apt-get update -qq
  apt-get install -y --no-install-recommends $(printf '%s\n' "${need[@]}" | sort -u)
fi

echo "== WebAssembly libraries"
PREFIX=$(nice -n 5 bash scripts/web-deps.sh)
[ -f "$PREFIX/.complete" ] || { echo "web.sh: the libraries were not built" >&2; exit 1; }

echo "== the data set (native build in $NATIVE)"
if [ ! -f "$NATIVE/build.ninja" ] && [ ! -f "$NATIVE/Makefile" ]; then
  [ -x scripts/setup-debian.sh ] && [ "$(id -u)" = 0 ] && bash scripts/setup-debian.sh
  cmake -S . -B "$NATIVE" -G Ninja -DKESTRUNE_TESTS=OFF -DKESTRUNE_BENCH=OFF
fi
cmake --build "$NATIVE" -j"$JOBS" --target pictures kestrune_audio_data fonts kestrune_docs page_icons

echo "== staging the files the game reads"
STAGE=$ROOT/$OUT/stage/game
rm -rf "$ROOT/$OUT/stage"
mkdir -p "$STAGE/Data" "$STAGE/Docs"
# The data set without anything a native run saved into its Data/Save.
cp -r "$NATIVE/Data/Res" "$NATIVE/Data/Music" "$NATIVE/Data/Fonts" "$STAGE/Data/"
cp -r "$NATIVE/Docs/." "$STAGE/Docs/"

echo "== compiling the game for the browser"
export NODE_PATH=/usr/share/nodejs NODE_OPTIONS=--no-experimental-fetch
[ -x /usr/bin/python3 ] && export EMSDK_PYTHON=/usr/bin/python3
export PKG_CONFIG_PATH=$PREFIX/lib/pkgconfig PKG_CONFIG_LIBDIR=$PREFIX/lib/pkgconfig
emcmake cmake -S . -B "$OUT/wasm" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_FIND_ROOT_PATH="$PREFIX" \
  -DKESTRUNE_WEB_STAGE="$STAGE" >"$ROOT/$OUT/configure.log" 2>&1 ||
  { tail -30 "$ROOT/$OUT/configure.log" >&2; exit 1; }
# Linking packs the staged files, which CMake does not see: the program is linked again.
rm -f "$OUT/wasm/kestrune.js"
cmake --build "$OUT/wasm" -j"$JOBS" --target kestrune

echo "== puppeteer-core for the browser tests"
NODE_DIR=${KESTRUNE_WEB_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/kestrune-web}/node
if [ ! -f "$NODE_DIR/node_modules/puppeteer-core/package.json" ]; then
  mkdir -p "$NODE_DIR"
  [ -f "$NODE_DIR/package.json" ] || echo '{ "private": true }' >"$NODE_DIR/package.json"
  # 24.x: 25.x needs a newer Node than Debian's. It drives the installed Chromium, downloads none.
  (cd "$NODE_DIR" && npm install --no-audit --no-fund --loglevel=error puppeteer-core@24) ||
    echo "web.sh: puppeteer-core could not be installed; the browser tests will be skipped" >&2
fi

echo "== the site"
SITE=$ROOT/$OUT/site
rm -rf "$SITE"
mkdir -p "$SITE"
cp web/*.html web/*.js web/*.css web/manifest.webmanifest "$SITE/"
cp "$NATIVE"/page-icons/icon-*.png "$SITE/"
cp "$OUT/wasm/kestrune.js" "$SITE/"
# The program and the data package gzipped, so that the download is small from any host; the
# page unpacks them (web/download.js).
for f in kestrune.wasm kestrune.data; do
  gzip -9 -n -c "$OUT/wasm/$f" >"$SITE/$f.gz"
  printf '   %-14s %9d bytes, %9d gzipped\n' "$f" "$(stat -c %s "$OUT/wasm/$f")" "$(stat -c %s "$SITE/$f.gz")"
done
cp -r "$STAGE/Docs" "$SITE/Docs"
# Last: the service worker lists every file of the site with its hash.
echo "   build $(node scripts/web-worker.mjs "$SITE")"
echo "site written to $OUT/site; serve it with: python3 -m http.server -d $OUT/site"
