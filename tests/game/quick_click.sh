#!/usr/bin/env bash
# Quick clicks on the real Game under Xvfb, as a touchpad taps (no hold, down and up together):
# one on "New Move" starts a Move game (a second lane beside the creature), one on "Exit" ends the
# program, its log ending in every shutdown step. Arg: run folder
set -euo pipefail
source "$(dirname "$0")/game_under_xvfb.sh"
prepare_game "$1" 800 600
(cd "$work/game" && exec timeout 60 ./Game >/dev/null) & game=$!

# The brighter of two strips beside the creature that only a two-lane road reaches.
beside() { import -silent -window root -crop 800x600+0+0 +repage miff:- | convert - -colorspace gray \
    \( -clone 0 -crop 100x190+0+400 \) \( -clone 0 -crop 100x190+700+400 \) -delete 0 \
    -format '%[fx:max(u[0].mean,u[1].mean)]\n' info: | head -n1; }
above() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a > b) }'; }

for _ in $(seq 100); do grep -q '^Initializing snakes' "$work/game/Log.TXT" 2>/dev/null && break; sleep 0.1; done
sleep 3 # the splash, then a Jump game of one lane
above 0.12 "$(beside)" || { echo "a second lane in a Jump game" >&2; exit 1; }
xdotool mousemove 100 66 click 1
for _ in $(seq 20); do above "$(beside)" 0.12 && break; sleep 0.1; done
above "$(beside)" 0.12 || { echo "no Move game after a quick click on New Move" >&2; exit 1; }

xdotool mousemove 40 114 click 1
wait "$game" # 124 if it had to be stopped
game=""
diff <(tail -n 4 "$work/game/Log.TXT") <(printf '%s... Ok.\n' "Deleting all objects" \
    "Freeing resources" "Freeing BASS" "Clearing parameters list")
