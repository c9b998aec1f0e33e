#!/usr/bin/env bash
# A click on "Exit" ends the real Game under Xvfb, its log ending in every shutdown step. Arg: run folder
set -euo pipefail
work=$(mktemp -d)
trap 'kill ${clicker:-} $server 2>/dev/null; rm -rf "$work"' EXIT
# Without -noreset a server whose last client left restarts, turning the next one away.
Xvfb -displayfd 3 -screen 0 1024x768x24 -noreset -nolisten tcp 3>"$work/display" 2>/dev/null & server=$!
until [[ -s $work/display ]] && DISPLAY=:$(<"$work/display") xdotool getmouselocation &>/dev/null
do sleep 0.1; done # the number comes a moment before clients are let in
export DISPLAY=:$(<"$work/display") SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy ASAN_OPTIONS=detect_leaks=0
cp -r "$1/." "$work/game" && printf 'ScrWidth=800\nScrHeight=600\nScrFullScreen=0\n' >"$work/game/Config.INI"
# Held for a frame to see, as a player's click is; repeated until the menu is up.
(while :; do xdotool mousemove 40 114 mousedown 1 sleep 0.1 mouseup 1; sleep 0.3; done) &>/dev/null & clicker=$!
(cd "$work/game" && timeout 60 ./Game >/dev/null) # 124 if it had to be stopped
diff <(tail -n 4 "$work/game/Log.TXT") <(printf '%s... Ok.\n' "Deleting all objects" \
    "Freeing resources" "Freeing BASS" "Clearing parameters list")
