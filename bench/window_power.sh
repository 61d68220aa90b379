#!/usr/bin/env bash
# The game's cost in a real window: replays a level-5 race in the window under Xvfb at 60 Hz and
# reports the game process's CPU share (user + system time over wall time, over SECONDS of the
# race, after the start and the first seconds of the race) and its peak memory (VmHWM). Runs it
# RUNS times and prints each run and the medians, since other work on the machine disturbs single
# runs.
#
#   bash bench/window_power.sh [--build DIR] [--runs N] [--seconds S] [--screen WxHxDEPTH]
#                              [-- GAME OPTIONS...]
#
# GAME OPTIONS go to the game (for example `--renderer software`). Needs xvfb-run (package xvfb).
set -euo pipefail

build=build
runs=3
seconds=10
screen=1024x768x24
game_options=()
while [ $# -gt 0 ]; do
  case "$1" in
    --build) build=$2; shift 2 ;;
    --runs) runs=$2; shift 2 ;;
    --seconds) seconds=$2; shift 2 ;;
    --screen) screen=$2; shift 2 ;;
    --) shift; game_options=("$@"); break ;;
    *) echo "window_power: unknown argument $1" >&2; exit 2 ;;
  esac
done
build=$(cd "$build" && pwd)
game="$build/kestrune"
[ -x "$game" ] || { echo "window_power: $game is missing (build the target game)" >&2; exit 2; }
command -v xvfb-run >/dev/null || { echo "window_power: xvfb-run is missing (package xvfb)" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# Settle: the start and the race's first seconds (level set-up, the countdown) are not measured.
settle=4
frames=$(( (settle + seconds + 4) * 60 ))
cat > "$work/race.txt" <<EOF
seed 11
refresh 60
race 5 1
frames $frames
@60 keydown Up
@400 keydown Left
@460 keyup Left
@700 keydown Right
@760 keyup Right
@900 keydown Space
EOF

# One run inside the X server: prints "CPU_SHARE PEAK_MB".
cat > "$work/measure.sh" <<'EOF'
#!/usr/bin/env bash
set -eu
game=$1 script=$2 settle=$3 seconds=$4
shift 4
ticks=$(getconf CLK_TCK)
cpu() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
"$game" --data "$(dirname "$game")" --replay "$script" "$@" >/dev/null 2>&1 &
pid=$!
sleep "$settle"
t0=$(date +%s.%N); c0=$(cpu "$pid")
sleep "$seconds"
t1=$(date +%s.%N); c1=$(cpu "$pid")
peak=$(awk '/^VmHWM:/ { print $2 }' "/proc/$pid/status")
kill "$pid" 2>/dev/null || true
wait "$pid" 2>/dev/null || true
awk -v c="$((c1 - c0))" -v t0="$t0" -v t1="$t1" -v hz="$ticks" -v peak="$peak" \
  'BEGIN { printf "%.1f %.1f\n", 100 * c / hz / (t1 - t0), peak / 1024 }'
EOF

shares=()
peaks=()
for run in $(seq 1 "$runs"); do
  read -r share peak < <(xvfb-run -a -s "-screen 0 $screen" \
    bash "$work/measure.sh" "$game" "$work/race.txt" "$settle" "$seconds" "${game_options[@]}")
  echo "run $run: CPU ${share}% of a core, peak ${peak} MB"
  shares+=("$share")
  peaks+=("$peak")
done
median() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
echo "median of $runs runs: CPU $(median "${shares[@]}")% of a core (target: at most 12%), peak $(median "${peaks[@]}") MB"
