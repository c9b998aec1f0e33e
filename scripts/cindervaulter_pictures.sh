#!/usr/bin/env bash
# Pictures of Cindervaulter in play from the real program under Xvfb, driven with xdotool. On a
# 1024x768 screen: map 1 as it opens over the exit, the creature at rest, then with Up held (all
# the flashes); map 3 with Up held, high above its floor. Then map 1 on a 1280x720 screen and in a
# window made wide and low, where the frame keeps its shape and the minimap its corner. Into the
# output folder; map 1 with Up held longest also into docs/ for the README.
#   scripts/cindervaulter_pictures.sh [build folder] [output folder]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
out=$(realpath -m "${2:-$build/screenshots/cindervaulter}")
program_dir=$build/run/Cindervaulter
[[ -x $program_dir/Cindervaulter ]] || { echo "build first: scripts/build.sh $build" >&2; exit 2; }
mkdir -p "$out" docs

shot() { import -window "${2:-root}" "$out/$1.png"; }

# From the main menu through the level choice into play on map $1; the camera opens over the exit
# and glides to the creature.
play_map() {
    start_program 2
    send_keys Return
    for _ in $(seq $(($1 - 1))); do send_keys Right; done
    xdotool key Return
}

hold_up() {
    xdotool keydown Up
    sleep "$1"
    xdotool keyup Up
}

# Each screen runs in a subshell of its own, whose exit ends its server and program.
(
    source scripts/xvfb_cindervaulter.sh
    play_map 1
    sleep 0.2
    shot map1-opening
    sleep 4
    shot map1-rest
    xdotool keydown Up
    sleep 0.8
    shot map1-moving
    sleep 0.5
    shot map1-fast
    xdotool keyup Up
)
(
    source scripts/xvfb_cindervaulter.sh
    play_map 3
    sleep 4
    hold_up 1.4
    sleep 0.3
    shot map3-flying
)
(
    XVFB_SCREEN=1280x720
    source scripts/xvfb_cindervaulter.sh
    play_map 1
    sleep 4
    hold_up 0.6
    shot map1-1280x720
    # Alt+Enter leaves full screen for a window, which is then made wide and low.
    send_keys alt+Return
    window=$(xdotool search --name CINDervaulter | head -n1)
    xdotool windowsize "$window" 1000 420
    sleep 1
    shot map1-window "$window"
)
cp "$out/map1-fast.png" docs/cindervaulter-play.png
echo "pictures in $out; play in docs/cindervaulter-play.png"
