#!/usr/bin/env bash
# The real Game under Xvfb, its window destroyed by another program (as `xdotool windowclose`
# does): it must end by itself with status 0 and the log must hold every shutdown step, where
# Xlib's default error handler ended it with status 1 after the snakes. Arg: run folder
set -euo pipefail
source "$(dirname "$0")/game_under_xvfb.sh"
prepare_game "$1" 640 480
(cd "$work/game" && exec ./Game >/dev/null 2>&1) & game=$!
for _ in $(seq 600); do grep -q 'Initializing snakes' "$work/game/Log.TXT" 2>/dev/null && break; sleep 0.1; done
window=""
for _ in $(seq 100); do
    window=$(xdotool search --onlyvisible --pid "$game" 2>/dev/null | head -n1) && [[ -n $window ]] && break
    sleep 0.1
done
[[ -n $window ]] || { echo "no window of the game"; exit 1; }
sleep 0.5 # a few frames drawn
xdotool windowclose "$window"
status=0
wait $game || status=$?
[[ $status -eq 0 ]] || { echo "the game ended with status $status"; exit 1; }
diff <(tail -n 4 "$work/game/Log.TXT") <(printf '%s... Ok.\n' "Deleting all objects" \
    "Freeing resources" "Freeing BASS" "Clearing parameters list")
