#!/usr/bin/env bash
# Cindervaulter in play under Xvfb at 1024x768: xdotool walks into map 1 and presses Up on and
# off for 20 seconds. Printed: the CPU time from /proc as a percentage of one core, for the whole
# process (with the software renderer's threads) and for its main thread, which runs the loop,
# alone; and the update steps and frames a second over the run, from the engine's log.
#   scripts/bench_cindervaulter_play.sh [build folder]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
seconds=20
program_dir=$build/run/Cindervaulter
[[ -x $program_dir/Cindervaulter ]] || { echo "build first: scripts/build.sh $build" >&2; exit 2; }
command -v Xvfb >/dev/null && command -v xdotool >/dev/null ||
    { echo "needs Xvfb and xdotool (scripts/setup.sh)" >&2; exit 2; }
source scripts/xvfb_cindervaulter.sh

# utime + stime in clock ticks; the fields after the command name, which may hold blanks.
ticks() { sed 's/^.*) //' "$1" | awk '{print $12 + $13}'; }
now() { date +%s.%N; }

started=$(now)
start_program 2
send_keys Return Return # New game, then map 1 from the level choice
process0=$(ticks /proc/$program/stat)
main0=$(ticks /proc/$program/task/$program/stat)
wall0=$(now)
for _ in $(seq $((seconds / 2))); do
    xdotool keydown Up
    sleep 1.2
    xdotool keyup Up
    sleep 0.8
done
process1=$(ticks /proc/$program/stat)
main1=$(ticks /proc/$program/task/$program/stat)
wall1=$(now)
kill -TERM "$program"
wait_program 10 || true
ended=$(now)

grep -q '^Run ended' "$work/run/log.txt" || { echo "the program left no run summary" >&2; exit 1; }
hz=$(getconf CLK_TCK)
# The engine counts steps and frames over its whole run, the menus and start-up included.
awk -v p=$((process1 - process0)) -v m=$((main1 - main0)) -v hz="$hz" -v w0="$wall0" -v w1="$wall1" \
    -v s0="$started" -v s1="$ended" '
    /^Run ended/ { split($0, f, /[ :,]+/); steps = f[3]; frames = f[5] }
    END {
        wall = w1 - w0
        run = s1 - s0
        printf "Cindervaulter in play, Xvfb 1024x768, over %.1f s:\n", wall
        printf "  whole process  %5.1f%% of one core\n", 100 * p / hz / wall
        printf "  main thread    %5.1f%% of one core\n", 100 * m / hz / wall
        printf "  %.1f update steps and %.1f frames a second (%s and %s in %.1f s of running)\n",
            steps / run, frames / run, steps, frames, run
    }' "$work/run/log.txt"
