#!/usr/bin/env bash
# The CPU that Cindervaulter uses at its idle screen: the program runs headless for 10 seconds of
# its loop and its own CPU time from /proc is printed, for the whole process (with the software
# renderer's threads) and for its main thread, which runs the loop, alone: as a share of one core
# over the wall-clock time, and per second of game time (30 update steps) and per frame, which hold
# when other programs load the machine and the loop gets less of it.
#   scripts/bench_cindervaulter_idle.sh [build folder] [xvfb|offscreen]
# Without a choice it runs under Xvfb when that is installed, otherwise on SDL's offscreen driver.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/xvfb.sh
build=${1:-build}
mode=${2:-$(command -v Xvfb >/dev/null && echo xvfb || echo offscreen)}
seconds=10
program_dir=$build/run/Cindervaulter
[[ -x $program_dir/Cindervaulter ]] || { echo "build first: scripts/build.sh $build" >&2; exit 2; }

make_scratch
cp -r "$program_dir/." "$work/"

case "$mode" in
    xvfb)
        start_xvfb
        unset SDL_VIDEODRIVER
        ;;
    offscreen) export SDL_VIDEODRIVER=offscreen ;;
    *) echo "usage: $0 [build folder] [xvfb|offscreen]" >&2; exit 2 ;;
esac

# utime + stime in clock ticks; the fields after the command name, which may hold blanks.
ticks() { sed 's/^.*) //' "$1" | awk '{print $12 + $13}'; }
now() { date +%s.%N; }

started=$(now)
(cd "$work" && exec ./Cindervaulter) &
program=$!
# Start-up (window, textures, font) is not measured: the window opens when the loop starts.
for _ in $(seq 300); do grep -q '^Run: ' "$work/log.txt" 2>/dev/null && break; sleep 0.1; done
process0=$(ticks /proc/$program/stat)
main0=$(ticks /proc/$program/task/$program/stat)
wall0=$(now)
sleep "$seconds"
process1=$(ticks /proc/$program/stat)
main1=$(ticks /proc/$program/task/$program/stat)
wall1=$(now)
kill -TERM "$program"
wait "$program" || true
program=""
ended=$(now)

hz=$(getconf CLK_TCK)
summary=$(grep '^Run ended' "$work/log.txt" || echo "Run ended: ? steps, ? frames, ? shown")
awk -v p=$((process1 - process0)) -v m=$((main1 - main0)) -v hz="$hz" -v w0="$wall0" -v w1="$wall1" \
    -v s0="$started" -v s1="$ended" -v mode="$mode" -v summary="$summary" 'BEGIN {
    wall = w1 - w0
    split(summary, f, /[ :,]+/)
    steps = f[3]; frames = f[5]; shown = f[7] == "" ? frames : f[7]
    game = steps / 30
    printf "Cindervaulter idle screen, %s, over %.1f s of its loop:\n", mode, wall
    printf "  whole process  %5.1f%% of one core, %5.1f ms of CPU per game second, %5.2f ms per frame\n",
        100 * p / hz / wall, 1000 * p / hz / game, 1000 * p / hz / frames
    printf "  main thread    %5.1f%% of one core, %5.1f ms of CPU per game second\n",
        100 * m / hz / wall, 1000 * m / hz / game
    printf "  %s update steps, %s frames drawn and %s shown in %.1f s of running\n", steps, frames,
        shown, s1 - s0
}'
