#!/usr/bin/env bash
# The real Game in play under Xvfb at 800x600 for 20 seconds, space held so that a Jump game goes
# on: its ticks per second (frames swapped, one per tick, counted by a small preloaded library), its
# CPU time from /proc as a percentage of one core, and its peak and final resident memory.
#   scripts/bench_game_play.sh [build folder]
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/xvfb.sh
build=${1:-build}
seconds=20
program_dir=$build/run/Game
[[ -x $program_dir/Game ]] || { echo "build first: scripts/build.sh $build" >&2; exit 2; }
command -v Xvfb >/dev/null || { echo "needs Xvfb and xdotool: scripts/setup.sh" >&2; exit 2; }

make_scratch
cp -r "$program_dir/." "$work/"
printf 'ScrWidth=800\nScrHeight=600\nScrFullScreen=0\n' >"$work/Config.INI"

# Counts the game's buffer swaps into a file the script reads.
cat >"$work/count_frames.c" <<'EOF'
#define _GNU_SOURCE
#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>

void SDL_GL_SwapWindow(void* window) {
    static void (*swap)(void*);
    static unsigned long frames;
    static FILE* out;
    if (!swap) swap = (void (*)(void*))dlsym(RTLD_NEXT, "SDL_GL_SwapWindow");
    swap(window);
    if (!out) out = fopen(getenv("FRAME_COUNT_FILE"), "w");
    if (!out) return;
    rewind(out);
    fprintf(out, "%lu\n", ++frames);
    fflush(out);
}
EOF
cc -shared -fPIC -O2 -o "$work/count_frames.so" "$work/count_frames.c" -ldl

start_xvfb
unset SDL_VIDEODRIVER
export SDL_AUDIODRIVER=dummy

(cd "$work" && FRAME_COUNT_FILE="$work/frames" LD_PRELOAD="$work/count_frames.so" exec ./Game) \
    >/dev/null &
program=$!
for _ in $(seq 300); do grep -q '^Initializing snakes' "$work/Log.TXT" 2>/dev/null && break; sleep 0.1; done
sleep 3 # the splash, then a Jump game
xdotool keydown space

# utime + stime in clock ticks; the fields after the command name, which may hold blanks.
cpu() { sed 's/^.*) //' "/proc/$program/stat" | awk '{print $12 + $13}'; }
now() { date +%s.%N; }
frames0=$(cat "$work/frames")
cpu0=$(cpu)
wall0=$(now)
sleep "$seconds"
frames1=$(cat "$work/frames")
cpu1=$(cpu)
wall1=$(now)
peak=$(awk '/^VmHWM/ {print $2}' "/proc/$program/status")
resident=$(awk '/^VmRSS/ {print $2}' "/proc/$program/status")
xdotool keyup space

for _ in $(seq 20); do
    kill -0 "$program" 2>/dev/null || break
    xdotool mousemove 40 114 mousedown 1 sleep 0.3 mouseup 1
    sleep 1
done
wait "$program"
program=""

awk -v f=$((frames1 - frames0)) -v c=$((cpu1 - cpu0)) -v hz="$(getconf CLK_TCK)" -v w0="$wall0" \
    -v w1="$wall1" -v peak="$peak" -v resident="$resident" 'BEGIN {
    wall = w1 - w0
    printf "Game in play under Xvfb at 800x600, over %.1f s:\n", wall
    printf "  %6.1f ticks per second (the loop allows about 100)\n", f / wall
    printf "  %6.1f%% of one core\n", 100 * c / hz / wall
    printf "  %6.1f MB peak resident memory, %.1f MB at the end of play\n", peak / 1024, resident / 1024
}'
