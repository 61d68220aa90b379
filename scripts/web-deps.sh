#!/bin/bash
# Builds the C libraries the browser build links (SDL2, SDL2_ttf with FreeType and HarfBuzz,
# SDL2_mixer for WAV, libopenmpt, libpng, zlib) for WebAssembly from Debian 12's own source
# packages with Debian's Emscripten. Emscripten's "ports" would download sources from the
# internet; these builds need only the Debian archive.
#
# The result goes into a cache outside the repository and the build folder, keyed by the library
# versions, so a second run (and CI on the same machine) reuses it:
#     ${XDG_CACHE_HOME:-$HOME/.cache}/kestrune-web/<key>/prefix
# usage: scripts/web-deps.sh            prints the prefix on standard output
# env:   JOBS (default 2), SKIP_APT=1 (tools already installed), KESTRUNE_WEB_CACHE (cache root)
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
JOBS=${JOBS:-2}
# Progress goes to standard error; standard output gets the prefix alone.
exec 3>&1 1>&2

# The Debian 12 source versions this build is checked with; changing one gives a new cache folder.
VERSIONS="emscripten-3.1.6 sdl2-2.26.5 sdl2_ttf-2.20.1 sdl2_mixer-2.6.2 freetype-2.12.1 harfbuzz-6.0.0 libopenmpt-0.6.9 libpng-1.6.39 zlib-1.2.13 recipe-1"
KEY=$(printf '%s' "$VERSIONS" | sha256sum | cut -c1-12)
CACHE_ROOT=${KESTRUNE_WEB_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/kestrune-web}
WORK=$CACHE_ROOT/$KEY
PREFIX=$WORK/prefix
mkdir -p "$WORK"/{src,build,logs,apt}

# One build at a time per cache folder: a second caller waits and then finds it complete.
exec 9>"$WORK/lock"
flock 9
if [ -f "$PREFIX/.complete" ]; then
  echo "web dependencies: reusing $PREFIX"
  echo "$PREFIX" >&3
  exit 0
fi
echo "$VERSIONS" >"$WORK/versions.txt"

export DEBIAN_FRONTEND=noninteractive
step() {
  local name=$1 t0=$SECONDS rc=0; shift
  [ -f "$WORK/logs/$name.done" ] && { echo "== $name (done before)"; return; }
  echo "== $name"
  # errexit stays live inside the step's subshell.
  set +e; (set -e; "$@") >"$WORK/logs/$name.log" 2>&1; rc=$?; set -e
  if [ "$rc" = 0 ]; then touch "$WORK/logs/$name.done"; echo "   ok in $((SECONDS - t0)) s"; return; fi
  echo "   FAILED ($rc) after $((SECONDS - t0)) s, see $WORK/logs/$name.log" >&2
  tail -20 "$WORK/logs/$name.log" >&2
  exit 1
}

install_tools() {
  apt-get update
  apt-get install -y --no-install-recommends emscripten cmake ninja-build make pkg-config xz-utils bzip2 \
    ca-certificates dpkg-dev
}

# A private apt configuration with deb-src entries, so the machine's own apt set-up is untouched.
APT_OPTS=(-o "Dir::Etc::SourceList=$WORK/apt/sources.list" -o "Dir::Etc::SourceParts=$WORK/apt/parts"
          -o "Dir::State::Lists=$WORK/apt/lists" -o "Dir::Cache=$WORK/apt/cache")
fetch_sources() {
  mkdir -p "$WORK/apt/parts" "$WORK/apt/lists/partial" "$WORK/apt/cache/archives/partial"
  cat >"$WORK/apt/sources.list" <<'EOF'
deb-src http://deb.debian.org/debian bookworm main
EOF
  apt-get "${APT_OPTS[@]}" update
  cd "$WORK/src"
  # "/bookworm" pins the release suite.
  apt-get "${APT_OPTS[@]}" source --download-only libsdl2/bookworm libsdl2-ttf/bookworm freetype/bookworm \
    harfbuzz/bookworm libopenmpt/bookworm libpng1.6/bookworm zlib/bookworm libsdl2-mixer/bookworm
  cd "$WORK/build"
  for f in "$WORK"/src/*.orig.tar.*; do
    case $f in *.asc) continue ;; esac
    tar xf "$f"
  done
  ls "$WORK/build"
}

export NODE_PATH=/usr/share/nodejs            # a non-Debian node does not search Debian's module folder
export NODE_OPTIONS=--no-experimental-fetch   # Emscripten 3.1.6's JavaScript calls fetch() on file paths under node >= 18
[ -x /usr/bin/python3 ] && export EMSDK_PYTHON=/usr/bin/python3
export PKG_CONFIG_PATH=$PREFIX/lib/pkgconfig PKG_CONFIG_LIBDIR=$PREFIX/lib/pkgconfig
CM=(-G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$PREFIX" -DCMAKE_FIND_ROOT_PATH="$PREFIX"
    -DBUILD_SHARED_LIBS=OFF)

build_zlib() {
  cd "$WORK"/build/zlib-1.2.13*/
  emconfigure ./configure --static --prefix="$PREFIX"
  emmake make -j"$JOBS" libz.a
  emmake make install
}
build_libpng() {
  cd "$WORK"/build/libpng-1.6.39
  emcmake cmake -S . -B build-em "${CM[@]}" -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF \
    -DPNG_HARDWARE_OPTIMIZATIONS=OFF -DZLIB_LIBRARY="$PREFIX/lib/libz.a" -DZLIB_INCLUDE_DIR="$PREFIX/include"
  cmake --build build-em -j"$JOBS"
  cmake --install build-em
}
build_freetype() {
  cd "$WORK"/build/freetype-2.12.1
  # Without zlib FreeType compiles its own inflate, which clashes with libz.a at link time.
  emcmake cmake -S . -B build-em "${CM[@]}" -DFT_REQUIRE_ZLIB=ON -DFT_DISABLE_BZIP2=ON -DFT_DISABLE_PNG=ON \
    -DFT_DISABLE_HARFBUZZ=ON -DFT_DISABLE_BROTLI=ON
  cmake --build build-em -j"$JOBS"
  cmake --install build-em
}
build_harfbuzz() {
  cd "$WORK"/build/harfbuzz-6.0.0
  emcmake cmake -S . -B build-em "${CM[@]}" -DHB_HAVE_FREETYPE=ON -DHB_BUILD_SUBSET=OFF
  cmake --build build-em -j"$JOBS"
  cmake --install build-em
}
build_sdl2() {
  cd "$WORK"/build/SDL2-2.26.5
  # SDL2's configure checks as an initial cache: its configure drops from ~10 min to seconds.
  emcmake cmake -S . -B build-em -C "$ROOT/cmake/web/sdl2-emscripten-seed.cmake" "${CM[@]}" \
    -DSDL_SHARED=OFF -DSDL_STATIC=ON -DSDL_TEST=OFF -DSDL_THREADS=OFF
  cmake --build build-em -j"$JOBS"
  cmake --install build-em
}
build_sdl2_mixer() {
  cd "$WORK"/build/SDL2_mixer-2.6.2
  # WAV only: the game decodes its music itself with libopenmpt.
  emcmake cmake -S . -B build-em "${CM[@]}" -DSDL2MIXER_VENDORED=OFF -DSDL2MIXER_SAMPLES=OFF -DSDL2MIXER_CMD=OFF \
    -DSDL2MIXER_FLAC=OFF -DSDL2MIXER_MOD=OFF -DSDL2MIXER_MP3=OFF -DSDL2MIXER_MIDI=OFF -DSDL2MIXER_OPUS=OFF \
    -DSDL2MIXER_VORBIS= -DSDL2MIXER_WAVE=ON
  cmake --build build-em -j"$JOBS"
  cmake --install build-em
  # Linked by full path, never as -lSDL2_mixer: emcc turns that flag into its download-only port.
  cat >"$PREFIX/lib/pkgconfig/SDL2_mixer.pc" <<EOF
prefix=$PREFIX
libdir=\${prefix}/lib
includedir=\${prefix}/include
Name: SDL2_mixer
Description: SDL2_mixer (static, emscripten, WAV only)
Version: 2.6.2
Requires: sdl2
Libs: \${libdir}/libSDL2_mixer.a
Cflags: -I\${includedir}/SDL2
EOF
}
build_sdl2_ttf() {
  cd "$WORK"/build/SDL2_ttf-2.20.1
  emcmake cmake -S . -B build-em "${CM[@]}" -DSDL2TTF_VENDORED=OFF -DSDL2TTF_HARFBUZZ=ON -DSDL2TTF_SAMPLES=OFF
  cmake --build build-em -j"$JOBS"
  cmake --install build-em
  # SDL2_ttf 2.20 installs a .pc file only for shared builds.
  cat >"$PREFIX/lib/pkgconfig/SDL2_ttf.pc" <<EOF
prefix=$PREFIX
libdir=\${prefix}/lib
includedir=\${prefix}/include
Name: SDL2_ttf
Description: SDL2_ttf (static, emscripten)
Version: 2.20.1
Requires: sdl2 freetype2 harfbuzz
Libs: \${libdir}/libSDL2_ttf.a
Cflags: -I\${includedir}/SDL2
EOF
}
build_libopenmpt() {
  cd "$WORK"/build/libopenmpt-0.6.9*/
  # No --host: its config.sub does not know emscripten; configure runs its test programs under node.
  emconfigure ./configure --prefix="$PREFIX" --enable-static --disable-shared --disable-openmpt123 --disable-examples \
    --disable-tests --disable-doxygen-doc --without-mpg123 --without-ogg --without-vorbis --without-vorbisfile \
    --without-portaudio --without-portaudiocpp --without-sndfile --without-flac --without-pulseaudio --without-sdl2 \
    PKG_CONFIG_LIBDIR="$PREFIX/lib/pkgconfig" PKG_CONFIG_PATH="$PREFIX/lib/pkgconfig" \
    CXXFLAGS="-O2 -fexceptions" CFLAGS="-O2"
  emmake make -j"$JOBS"
  emmake make install
}

T0=$SECONDS
if [ "${SKIP_APT:-0}" != 1 ] && ! command -v emcc >/dev/null; then install_tools >"$WORK/logs/install_tools.log" 2>&1; fi
step fetch_sources fetch_sources
step zlib build_zlib
step libpng build_libpng
step freetype build_freetype
step harfbuzz build_harfbuzz
step sdl2 build_sdl2
step sdl2_ttf build_sdl2_ttf
step sdl2_mixer build_sdl2_mixer
step libopenmpt build_libopenmpt
touch "$PREFIX/.complete"
echo "web dependencies built in $((SECONDS - T0)) s"
echo "$PREFIX" >&3
