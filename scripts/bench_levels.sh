#!/usr/bin/env bash
# Cindervaulter's levels measured: for each level the solver's search effort (states expanded,
# seconds, with the beam width its shipped replay records) and the steps and presses of Up of the
# replay it finds, then the replay runner's speed over the whole set in a row, in simulated steps
# per second (best of five runs).
#   scripts/bench_levels.sh [build folder]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
run=$build/run/Cindervaulter
levels=assets/cindervaulter/levels
found=$(mktemp)
trap 'rm -f "$found"' EXIT
for map in $(ls "$run"/maps/map*.map | sort -V); do
    number=$(basename "$map" .map)
    beam=$(sed -n '1s/.*(beam \([0-9]*\)).*/\1/p' "$levels/$number.replay")
    "$build/tools/levels/level_solver" "$run" "${number#map}" "$found" 1000000 "${beam:-300}"
done
for _ in 1 2 3 4 5; do
    "$build/tools/levels/replay_runner" --set "$run" "$levels/set.replay" | tail -n1
done | sort -t: -k2 -n | tail -n1
