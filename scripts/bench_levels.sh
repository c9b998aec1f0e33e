#!/usr/bin/env bash
# Cindervaulter's levels measured. For each level: the steps of its shipped replay; the solver's
# search effort (states expanded and seconds, with the beam width the replay records); the human
# model's finish rate within three times the replay's length, and its median time, over 1000
# trials (over 100 the rate scatters by 5 points, more than one level differs from the next); and
# the share of 100 seeded perturbations of the replay (each run one step longer or shorter, or
# kept) that still finish. Then the replay runner's speed over the whole set in a row, in
# simulated steps per second (best of five runs).
#   scripts/bench_levels.sh [build folder] [--readme]
# With --readme the level table of README.md (between its "levels table" markers) is rewritten
# with each level's picture, name and the model's rate as its difficulty.
set -euo pipefail
cd "$(dirname "$0")/.."
build=build readme=
for arg in "$@"; do [[ $arg == --readme ]] && readme=1 || build=$arg; done
run=$build/run/Cindervaulter
tools=$build/tools/levels
levels=assets/cindervaulter/levels
found=$(mktemp)
table=$(mktemp)
trap 'rm -f "$found" "$table"' EXIT
printf '%-10s %6s %10s %8s %8s %14s %10s  %s\n' level replay expanded solve model median perturbed name
for map in $(ls "$run"/maps/map*.map | sort -V); do
    number=$(basename "$map" .map)
    n=${number#map}
    steps=$(sed -n '1s/.*: \([0-9]*\) steps.*/\1/p' "$levels/$number.replay")
    beam=$(sed -n '1s/.*(beam \([0-9]*\)).*/\1/p' "$levels/$number.replay")
    solved=$("$tools/level_solver" "$run" "$n" "$found" 1000000 "${beam:-300}")
    expanded=$(sed -n 's/.* after \([0-9]*\) states.*/\1/p' <<<"$solved")
    seconds=$(sed -n 's/.* in \([0-9.]*\) s\.$/\1/p' <<<"$solved")
    model=$("$tools/human_player" "$run" "$n" --trials 1000 --seed 1 --limit $((3 * steps)))
    rate=$(sed -n 's/.*(\([0-9]*\)%).*/\1/p' <<<"$model")
    median=$(sed -n 's/.*median time \([0-9]* steps\|over the limit\).*/\1/p' <<<"$model")
    perturbed=$("$tools/human_player" "$run" "$n" --trials 100 --seed 1 \
        --perturb "$levels/$number.replay" | sed -n 's/.*(\([0-9]*\)%).*/\1/p')
    name=$(cat "$run/maps/$number.name" 2>/dev/null || true)
    printf '%-10s %6s %10s %7ss %7s%% %14s %9s%%  %s\n' "$number" "$steps" "$expanded" \
        "$seconds" "$rate" "$median" "$perturbed" "$name"
    echo "$n|$name|$rate" >>"$table"
done
for _ in 1 2 3 4 5; do
    "$tools/replay_runner" --set "$run" "$levels/set.replay" | tail -n1
done | sort -t: -k2 -n | tail -n1
[[ -n $readme ]] || exit 0
# Four levels a row: the pictures, then their numbers, names and difficulties.
rows=$(awk -F'|' '
    { pic = pic sprintf("| ![map %s: %s](docs/levels/map%s.png) ", $1, $2, $1)
      txt = txt sprintf("| %s. %s (%s%%) ", $1, $2, $3) }
    NR % 4 == 0 { print pic "|"; print txt "|"; pic = txt = "" }
    END { if (NR % 4 == 0) exit
          for (i = NR % 4; i < 4; ++i) { pic = pic "| "; txt = txt "| " }
          print pic "|"; print txt "|" }' "$table")
awk -v rows="| | | | |
|---|---|---|---|
$rows" '
    /<!-- levels table -->/ { print; print rows; skip = 1; next }
    /<!-- end of levels table -->/ { skip = 0 }
    !skip' README.md >README.md.new && mv README.md.new README.md
