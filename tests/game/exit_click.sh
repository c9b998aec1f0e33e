#!/usr/bin/env bash
# A click on "Exit" ends the real Game under Xvfb, its log ending in every shutdown step. Arg: run folder
set -euo pipefail
work=$(mktemp -d)
trap 'kill ${clicker:-} ${XVFB_PID:-} 2>/dev/null; rm -rf "$work"' EXIT
source "$(dirname "$0")/../../scripts/xvfb.sh"
start_xvfb
export SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy ASAN_OPTIONS=detect_leaks=0
cp -r "$1/." "$work/game" && printf 'ScrWidth=800\nScrHeight=600\nScrFullScreen=0\n' >"$work/game/Config.INI"
# Held for a frame to see, as a player's click is; repeated until the menu is up.
(while :; do xdotool mousemove 40 114 mousedown 1 sleep 0.1 mouseup 1; sleep 0.3; done) &>/dev/null & clicker=$!
(cd "$work/game" && timeout 60 ./Game >/dev/null) # 124 if it had to be stopped
diff <(tail -n 4 "$work/game/Log.TXT") <(printf '%s... Ok.\n' "Deleting all objects" \
    "Freeing resources" "Freeing BASS" "Clearing parameters list")
