#!/usr/bin/env bash
# The CPU that Cindervaulter uses at its idle screen: the program runs headless for 10 seconds and
# its CPU time from /proc is printed as a percentage of one core, for the whole process (with the
# software renderer's threads) and for its main thread, which runs the loop, alone.
#   scripts/bench_cindervaulter_idle.sh [build folder] [xvfb|offscreen]
# Without a choice it runs under Xvfb when that is installed, otherwise on SDL's offscreen driver.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
mode=${2:-$(command -v Xvfb >/dev/null && echo xvfb || echo offscreen)}
seconds=10
program_dir=$build/run/Cindervaulter
[[ -x $program_dir/Cindervaulter ]] || { echo "build first: scripts/build.sh $build" >&2; exit 2; }

work=$(mktemp -d)
server=""
program=""
cleanup() {
    [[ -n $program ]] && kill "$program" 2>/dev/null || true
    [[ -n $server ]] && kill "$server" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
cp -r "$program_dir/." "$work/"

case "$mode" in
    xvfb)
        Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
        server=$!
        for _ in $(seq 50); do [[ -s $work/display ]] && break; sleep 0.1; done
        export DISPLAY=":$(head -n1 "$work/display")"
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
sleep 2 # start-up: window, textures, font
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
summary=$(grep '^Run ended' "$work/log.txt" || echo "Run ended: ? steps, ? frames")
awk -v p=$((process1 - process0)) -v m=$((main1 - main0)) -v hz="$hz" -v w0="$wall0" -v w1="$wall1" \
    -v s0="$started" -v s1="$ended" -v mode="$mode" -v summary="$summary" 'BEGIN {
    wall = w1 - w0
    split(summary, f, /[ :,]+/)
    printf "Cindervaulter idle screen, %s, over %.1f s:\n", mode, wall
    printf "  whole process  %5.1f%% of one core\n", 100 * p / hz / wall
    printf "  main thread    %5.1f%% of one core\n", 100 * m / hz / wall
    printf "  %s update steps and %s frames in %.1f s of running\n", f[3], f[5], s1 - s0
}'
