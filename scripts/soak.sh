#!/usr/bin/env bash
# Builds the monkey driver in the sanitizer build (build-asan/, the "asan" CMake preset) and
# plays the game with it on the headless back end, in build/ (which must hold the generated
# data set: run scripts/build.sh first). Any sanitizer report, a leak or a screen or overlay
# that was never reached fails the run.
# Allocations are unwound fully, for the suppressions to match whole stacks; the game in a real
# window needs other options (scripts/asan-window.sh).
#   bash scripts/soak.sh [FRAMES] [SEED]     (defaults: 60000 frames, seed 1)
set -euo pipefail
cd "$(dirname "$0")/.."
frames="${1:-60000}"
seed="${2:-1}"
root="$PWD"
cmake --preset asan >/dev/null
cmake --build --preset asan -j "$(nproc)" --target kestrune-monkey
export ASAN_OPTIONS="detect_leaks=1:fast_unwind_on_malloc=0:strict_string_checks=1:detect_stack_use_after_return=1:check_initialization_order=1:exitcode=99"
export LSAN_OPTIONS="suppressions=$root/tools/sanitizers/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:exitcode=99"
cd build
"$root/build-asan/kestrune-monkey" --frames "$frames" --seed "$seed" --require-all
