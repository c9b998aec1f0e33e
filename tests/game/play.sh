#!/usr/bin/env bash
# The real Game played under Xvfb: the splash waited out, space held (the creature jumps, nearer the
# camera), "New Move" (a second lane beside the creature), "New Stop" (one lane again), "Exit"; the
# shots change with the play and the log ends in every shutdown step. Arg: run folder
set -euo pipefail
source "$(dirname "$0")/game_under_xvfb.sh"
prepare_game "$1" 800 600
(cd "$work/game" && exec timeout 120 ./Game >/dev/null) & game=$!

# A shot of the window measured: the share that is the creature's yellow, or the brighter of two
# strips beside the creature that only a two-lane road reaches.
measure() { import -silent -window root -crop 800x600+0+0 +repage miff:- | convert - "$@" info: | head -n1; }
yellow() { measure -fill black +opaque '#FFFF00' -fill white -opaque '#FFFF00' -format '%[fx:mean]\n'; }
beside() { measure -colorspace gray \( -clone 0 -crop 100x190+0+400 \) \( -clone 0 -crop 100x190+700+400 \) \
    -delete 0 -format '%[fx:max(u[0].mean,u[1].mean)]\n'; }
# Up to $1 shots until the awk condition on the measure $2 (as v) holds, else the message $4.
expect() { for _ in $(seq "$1"); do awk -v v="$($2)" "BEGIN { exit !($3) }" && return; done; echo "$4" >&2; exit 1; }
click() { xdotool mousemove "$1" "$2" mousedown 1 sleep 0.3 mouseup 1; } # held until a frame sees it

expect 100 yellow 'v > 0.01' "no game after the splash"
ground=$(yellow)
expect 1 beside 'v < 0.12' "a second lane in a Jump game"
xdotool keydown space
expect 20 yellow "v > $ground * 1.15" "no jump with space held"
xdotool keyup space
click 60 66
expect 20 beside 'v > 0.2' "no second lane after New Move"
click 60 90
expect 20 beside 'v < 0.12' "still two lanes after New Stop"
while kill -0 $game 2>/dev/null; do click 40 114; sleep 0.5; done
wait $game
diff <(tail -n 4 "$work/game/Log.TXT") <(printf '%s... Ok.\n' "Deleting all objects" \
    "Freeing resources" "Freeing BASS" "Clearing parameters list")
