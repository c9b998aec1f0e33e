#!/usr/bin/env bash
# Plays the real Game under Xvfb with xdotool, as a player would, and keeps the screenshots the
# README shows: the splash, a Jump game, the creature mid-jump, a Move game in the lane at 10, a
# Stop game, a fall into water and the camera turned by 90 degrees; then clicks "Exit".
#   scripts/screenshots_game.sh [build folder] [output folder]   (build, build/screenshots/game)
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/xvfb.sh
build=${1:-build}
out=${2:-$build/screenshots/game}
program_dir=$build/run/Game
[[ -x $program_dir/Game ]] || { echo "build first: scripts/build.sh $build" >&2; exit 2; }
mkdir -p "$out"

make_scratch
cp -r "$program_dir/." "$work/"
printf 'ScrWidth=800\nScrHeight=600\nScrFullScreen=0\n' >"$work/Config.INI"

start_xvfb
unset SDL_VIDEODRIVER
export SDL_AUDIODRIVER=dummy

# The window sits at the screen's top left; a shot is its 800 by 600 pixels.
shot() { import -silent -window root -crop 800x600+0+0 +repage "$1"; }
# A press that a frame of the game sees, however slow the machine: the button stays down a while.
# The game takes one press once, so holding it starts one game.
click() { xdotool mousemove "$1" "$2" mousedown 1 sleep 0.3 mouseup 1; }
new_jump() { click 60 42; }
new_move() { click 60 66; }
new_stop() { click 60 90; }
# The share of the shot's pixels that are exactly the body's yellow.
yellow() { convert "$1" -fill black +opaque '#FFFF00' -fill white -opaque '#FFFF00' \
    -format '%[fx:mean]' info:; }
# How many pixels right of the menu are within the fuzz (a percentage) of the colour: the water's
# blue and the jump pad's amber stripes tell that they are on the road.
count() { convert "$1" -crop 630x600+170+0 +repage -fuzz "$3" -fill '#010203' -opaque "$2" -fuzz 0 \
    -fill black +opaque '#010203' -fill white -opaque '#010203' -format '%[fx:mean*w*h]' info:; }
water() { count "$1" '#2C629E' 8%; }
pad() { count "$1" '#E4B917' 6%; }
above() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a > b) }'; }
# The mean brightness of a strip of the shot, "x y" of its top left, 100 by 190 pixels.
brightness() { convert "$1" -crop "100x190+$2+$3" +repage -colorspace gray -format '%[fx:mean]' info:; }
# Whether the compass arrow lies within about 12 degrees of flat: its shaft crosses the columns 7
# pixels either side of the middle within 2 rows of y 20, and nothing red is above the middle.
red_in() { convert "$1" -crop "$2" +repage -fill black +opaque '#FF0000' -format '%[fx:maxima.r]' info:; }
flat_compass() {
    [[ $(red_in "$1" 1x5+393+18) == 1 && $(red_in "$1" 1x5+407+18) == 1 &&
        $(red_in "$1" 1x1+400+11) == 0 ]]
}

(cd "$work" && exec ./Game) >/dev/null &
program=$!
for _ in $(seq 300); do grep -q '^Initializing snakes' "$work/Log.TXT" 2>/dev/null && break; sleep 0.1; done
sleep 1
shot "$out/game-splash.png"

# About two seconds after the splash a Jump game starts on its own. It is shot once water and a
# jump pad are in view; a game lost before that is started again.
sleep 2
for _ in $(seq 60); do
    shot "$work/jump.png"
    ground=$(yellow "$work/jump.png")
    above "$(water "$work/jump.png")" 150 && above "$(pad "$work/jump.png")" 80 && break
    above 0.01 "$ground" && new_jump
done
cp "$work/jump.png" "$out/game-jump.png"
# Space held: the creature jumps and comes nearer, so more of it shows.
xdotool keydown space
for _ in $(seq 20); do
    shot "$work/jump-mid.png"
    above "$(yellow "$work/jump-mid.png")" "$(awk -v g="$ground" 'BEGIN { print g * 1.15 }')" && break
done
cp "$work/jump-mid.png" "$out/game-jump-mid.png"
sleep 1
xdotool keyup space

# A Move game starts in a random lane; space moves the creature to the other one, which takes 80
# ticks. At the lane at 10 the road reaches out to the screen's right.
new_move
sleep 0.6
at_ten() {
    shot "$work/move.png"
    above "$(brightness "$work/move.png" 680 400)" "$(brightness "$work/move.png" 20 400)"
}
if ! at_ten; then
    xdotool keydown space sleep 0.3 keyup space
    for _ in $(seq 30); do at_ten && break; done
fi
cp "$work/move.png" "$out/game-move.png"

new_stop
for _ in $(seq 40); do
    shot "$work/stop.png"
    above "$(water "$work/stop.png")" 1000 || above "$(pad "$work/stop.png")" 400 && break
done
cp "$work/stop.png" "$out/game-stop.png"

# A fall: Jump games without space until water is under the creature, shot by shot; the kept shot is
# the one with the creature a third sunk, before the scene's sway carries it off sideways.
best=""
for attempt in 1 2 3 4; do
    new_jump
    rm -f "$work"/fall-*.png
    for i in $(seq -w 40); do shot "$work/fall-$i.png"; done
    full=$(for f in "$work"/fall-*.png; do yellow "$f"; done | sort -g | tail -n 5 | head -n 1)
    best=$(for f in "$work"/fall-*.png; do echo "$(yellow "$f") $f"; done |
        awk -v full="$full" '$1 > 0.3 * full && $1 < 0.85 * full {
            d = $1 / full - 0.65; if (d < 0) d = -d; print d, $2 }' | sort -g | head -n 1 | cut -d' ' -f2)
    [[ -n $best ]] && break
done
if [[ -n $best ]]; then cp "$best" "$out/game-fall.png"; else echo "no fall was caught" >&2; fi

# The camera turned a quarter to the left, a degree a tick: a good part at once, then a few ticks
# at a time until the compass lies flat. Space keeps the creature in the air meanwhile; the shot
# is taken once it has landed.
new_jump
xdotool keydown space keydown Left sleep 0.4 keyup Left
for _ in $(seq 100); do
    shot "$work/turn.png"
    flat_compass "$work/turn.png" && break
    xdotool keydown Left sleep 0.05 keyup Left
done
xdotool keyup space
sleep 1.5
shot "$out/game-camera.png"

# "Exit", until a frame sees the click.
for _ in $(seq 20); do
    kill -0 "$program" 2>/dev/null || break
    click 40 114
    sleep 1
done
wait "$program"
program=""
tail -n 4 "$work/Log.TXT"
