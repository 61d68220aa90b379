#!/usr/bin/env bash
# Builds the game in the sanitizer build (build-asan/, the "asan" CMake preset) and plays it in a
# real window, in build/ (which must hold the generated data set: run scripts/build.sh first).
# The window gets its own sanitizer options: allocations are unwound fast (frame pointers), as
# the full unwinder deadlocks inside Mesa's software GL driver, with the leak suppressions of
# tools/sanitizers/lsan-window.supp (fontconfig, libdbus), and Mesa's libraries loaded from the
# start (see below). The headless runs (the test preset,
# scripts/soak.sh) keep the full unwinding. Any sanitizer report ends the game with status 99.
#   bash scripts/asan-window.sh [GAME OPTIONS...]
#   xvfb-run -a bash scripts/asan-window.sh     (on a machine without a display)
set -euo pipefail
cd "$(dirname "$0")/.."
root="$PWD"
cmake --preset asan >/dev/null
cmake --build --preset asan -j "$(nproc)" --target kestrune
export ASAN_OPTIONS="detect_leaks=1:fast_unwind_on_malloc=1:strict_string_checks=1:detect_stack_use_after_return=1:check_initialization_order=1:exitcode=99"
export LSAN_OPTIONS="suppressions=$root/tools/sanitizers/lsan-window.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:exitcode=99"
# SDL unloads OpenGL when the window closes, before the leak check at exit: memory that Mesa's
# globals still hold would then be reported as lost, from a library with no name left. Loading
# Mesa's libraries from the start keeps them mapped to the end (the sanitizer's runtime must
# come first).
preload="$(gcc -print-file-name=libasan.so)"
for lib in libGL.so.1 libGLX_mesa.so.0 swrast_dri.so; do
  path="$(ldconfig -p 2>/dev/null | awk -v l="$lib" '$1 == l && /x86-64/ {print $NF; exit}')" || path=""
  [ -z "$path" ] && [ -e "/usr/lib/x86_64-linux-gnu/dri/$lib" ] && path="/usr/lib/x86_64-linux-gnu/dri/$lib"
  [ -n "$path" ] && preload="$preload $path"
done
[ -e "${preload%% *}" ] && export LD_PRELOAD="$preload"
cd build
exec "$root/build-asan/kestrune" "$@"
