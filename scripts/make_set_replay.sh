#!/usr/bin/env bash
# Joins the levels' replays, map1 upwards, into one replay of the whole set in a row (each exit
# loads the next map, the last wraps to map 1) and records its fingerprint as the runner plays it.
# Usage: scripts/make_set_replay.sh [BUILD]   (BUILD defaults to build)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
levels=assets/cindervaulter/levels
out=$levels/set.replay
joined=$(mktemp)
trap 'rm -f "$joined"' EXIT
echo "# The whole set in a row, from map 1 through every exit to the wrap back to map 1." >"$joined"
for replay in $(ls $levels/map*.replay | sort -V); do
    grep -E '^(up|off) ' "$replay" >>"$joined"
done
fingerprint=$("$build/tools/levels/replay_runner" --set "$build/run/Cindervaulter" "$joined" |
    sed -n 's/.*fingerprint \([0-9a-f]*\)$/\1/p')
cp "$joined" "$out"
echo "check $fingerprint" >>"$out"
"$build/tools/levels/replay_runner" --set "$build/run/Cindervaulter" "$out"
