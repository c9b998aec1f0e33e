#!/usr/bin/env bash
# The real Game in play under Xvfb (Mesa llvmpipe) at 800x600 and 1024x768, 20 seconds each with
# space held so that a Jump game goes on. A small preloaded library counts the frames (buffer
# swaps) and the rule ticks: the loop reads the window's messages once before each tick, and each
# reading ends with the one SDL_PollEvent call that finds the queue empty. Prints, per size, ticks
# and frames a second, CPU time per frame, peak and steady resident memory, each beside its goal.
#   scripts/bench_game_play.sh [build folder] [seconds]
# With OneTickPerFrame=1 in the environment the original loop (one tick per frame) is measured.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/xvfb.sh
build=${1:-build}
seconds=${2:-20}
program_dir=$build/run/Game
[[ -x $program_dir/Game ]] || { echo "build first: scripts/build.sh $build" >&2; exit 2; }
command -v Xvfb >/dev/null || { echo "needs Xvfb and xdotool: scripts/setup.sh" >&2; exit 2; }

make_scratch
cp -r "$program_dir/." "$work/"

cat >"$work/count_frames.c" <<'CODE'
#define _GNU_SOURCE
#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>

static unsigned long frames, ticks;

static void Report(void) {
    static FILE* out;
    if (!out) out = fopen(getenv("FRAME_COUNT_FILE"), "w");
    if (!out) return;
    rewind(out);
    fprintf(out, "%lu %lu\n", frames, ticks);
    fflush(out);
}

void SDL_GL_SwapWindow(void* window) {
    static void (*swap)(void*);
    if (!swap) swap = (void (*)(void*))dlsym(RTLD_NEXT, "SDL_GL_SwapWindow");
    swap(window);
    ++frames;
    Report();
}

int SDL_PollEvent(void* event) {
    static int (*poll)(void*);
    if (!poll) poll = (int (*)(void*))dlsym(RTLD_NEXT, "SDL_PollEvent");
    int pending = poll(event);
    if (!pending) ++ticks;
    return pending;
}
CODE
cc -shared -fPIC -O2 -o "$work/count_frames.so" "$work/count_frames.c" -ldl

start_xvfb 1280x1024
unset SDL_VIDEODRIVER
export SDL_AUDIODRIVER=dummy

# utime + stime in clock ticks; the fields after the command name, which may hold blanks.
cpu() { sed 's/^.*) //' "/proc/$program/stat" | awk '{print $12 + $13}'; }
now() { date +%s.%N; }
counts() { cat "$work/frames"; }

# measure WIDTH HEIGHT FRAME_GOAL: plays, then clicks Exit and prints the figures.
measure() {
    local width=$1 height=$2 goal=$3
    printf 'ScrWidth=%s\nScrHeight=%s\nScrFullScreen=0\nOneTickPerFrame=%s\n' "$width" "$height" \
        "${OneTickPerFrame:-0}" >"$work/Config.INI"
    rm -f "$work/Log.TXT" "$work/frames"
    (cd "$work" && FRAME_COUNT_FILE="$work/frames" LD_PRELOAD="$work/count_frames.so" exec ./Game) \
        >/dev/null &
    program=$!
    for _ in $(seq 300); do grep -q '^Initializing snakes' "$work/Log.TXT" 2>/dev/null && break; sleep 0.1; done
    sleep 3 # the splash, then a Jump game
    xdotool keydown space
    read -r frames0 ticks0 < <(counts)
    local cpu0 wall0 cpu1 wall1 peak resident
    cpu0=$(cpu) wall0=$(now)
    sleep "$seconds"
    read -r frames1 ticks1 < <(counts)
    cpu1=$(cpu) wall1=$(now)
    peak=$(awk '/^VmHWM/ {print $2}' "/proc/$program/status")
    resident=$(awk '/^VmRSS/ {print $2}' "/proc/$program/status")
    xdotool keyup space
    for _ in $(seq 20); do # Exit, at (40, 114) of the 800 by 600 space
        kill -0 "$program" 2>/dev/null || break
        xdotool mousemove $((40 * width / 800)) $((114 * height / 600)) mousedown 1 sleep 0.3 mouseup 1
        sleep 1
    done
    wait "$program"
    program=""
    awk -v f=$((frames1 - frames0)) -v t=$((ticks1 - ticks0)) -v c=$((cpu1 - cpu0)) \
        -v hz="$(getconf CLK_TCK)" -v w0="$wall0" -v w1="$wall1" -v peak="$peak" \
        -v resident="$resident" -v size="${width}x$height" -v goal="$goal" 'BEGIN {
        wall = w1 - w0
        fps = f / wall
        cpu = 1000 * c / hz / f
        printf "Game in play under Xvfb at %s, over %.1f s:\n", size, wall
        printf "  %6.1f rule ticks a second     %5.3f of the 100 they keep\n", t / wall, t / wall / 100
        printf "  %6.1f frames a second         %5.2f of the goal of %d\n", fps, fps / goal, goal
        printf "  %6.2f ms of CPU per frame     %5.2f of the %.1f ms a frame may cost at the goal\n",
            cpu, cpu / (1000 / goal), 1000 / goal
        printf "  %6.1f%% of one core\n", 100 * c / hz / wall
        printf "  %6.1f MB peak resident        %5.2f of the 120 MB limit\n", peak / 1024, peak / 1024 / 120
        printf "  %6.1f MB resident in play     %5.2f of the 120 MB limit\n", resident / 1024,
            resident / 1024 / 120
    }'
}

echo "Load on this machine before the run: $(cut -d' ' -f1-3 /proc/loadavg) ($(nproc) cores)"
measure 800 600 60
measure 1024 768 50
