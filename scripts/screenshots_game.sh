#!/usr/bin/env bash
# Plays the real Game under Xvfb with xdotool, as a player would, and keeps the screenshots the
# README shows: the splash, a Jump game, the creature mid-jump under the menu, a Move game in the
# lane at 10, a Stop game (each with its mode's hint), a fall into water at a large sway with the
# game-over message, the camera turned until water lies under the menu, and the window resized to
# 1280x720 and 1000x500; then clicks "Exit".
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

start_xvfb 1400x900
unset SDL_VIDEODRIVER
export SDL_AUDIODRIVER=dummy

# The window sits at the screen's top left; a shot is its pixels, 800 by 600 unless given.
shot() { import -silent -window root -crop "${2:-800x600}+0+0" +repage "$1"; }
# A quick click, as a touchpad's tap: the game notes the press even when the button is up again
# before a frame looks.
click() { xdotool mousemove "$1" "$2" click 1; }
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
# The share of the menu's buttons (the left of its panel) that shows the road through the panel.
road_under_menu() { convert "$1" -crop 170x100+14+28 +repage -colorspace gray \
    -fx 'u > 0.06 && u < 0.3' -format '%[fx:mean]' info:; }
# Pixels of water under the menu's buttons, its blue darkened by the panel.
water_under_menu() { convert "$1" -crop 170x100+14+28 +repage -fuzz 8% -fill '#010203' -opaque '#12273F' \
    -fuzz 0 -fill black +opaque '#010203' -fill white -opaque '#010203' -format '%[fx:mean*w*h]' info:; }
# How far the middle of the road lies from the window's middle on row 470, in pixels. The sway
# rolls the scene about the road's axis, 10 units above the road, so a large sway carries the road
# sideways under the creature; this tells a large sway in a shot of a Jump game.
road_offset() {
    convert "$1" -crop 800x1+0+470 +repage -colorspace gray -depth 8 txt:- | awk -F'[(,)]' 'NR > 1 {
        if ($4 >= 40) { if (run == 0) start = $1; run++; if (run > best) { best = run; from = start } }
        else run = 0 }
        END { d = from + best / 2 - 400; print d < 0 ? -d : d }'
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
    above "$ground" 0.009 && above "$(water "$work/jump.png")" 150 &&
        above "$(pad "$work/jump.png")" 80 && break
    above 0.004 "$ground" && new_jump
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

# A fall at a large sway: Jump games without space until water is under the creature, shot by
# shot. Of each fall the shot with the creature a third sunk is a candidate; the kept one is the
# candidate whose road the sway carried furthest sideways, which shows the creature going down
# into its hole rather than off the road. Six falls, or fewer once one sways far.
best="" best_offset=-1
for attempt in 1 2 3 4 5 6; do
    new_jump
    rm -f "$work"/fall-*.png
    for i in $(seq -w 40); do shot "$work/fall-$i.png"; done
    full=$(for f in "$work"/fall-*.png; do yellow "$f"; done | sort -g | tail -n 5 | head -n 1)
    candidate=$(for f in "$work"/fall-*.png; do echo "$(yellow "$f") $f"; done |
        awk -v full="$full" '$1 > 0.3 * full && $1 < 0.85 * full {
            d = $1 / full - 0.65; if (d < 0) d = -d; print d, $2 }' | sort -g | head -n 1 | cut -d' ' -f2)
    [[ -n $candidate ]] || continue
    offset=$(road_offset "$candidate")
    if above "$offset" "$best_offset"; then
        best_offset=$offset
        cp "$candidate" "$work/best-fall.png"
        best=$work/best-fall.png
    fi
    above "$best_offset" 90 && break
done
if [[ -n $best ]]; then cp "$best" "$out/game-fall.png"; else echo "no fall was caught" >&2; fi
echo "fall: the road $best_offset pixels off the middle"

# The camera turned left until the road ahead runs up under the menu, then held while the
# obstacles come: the shot is the first with water under the menu's panel. Space keeps the
# creature in the air meanwhile.
new_jump
xdotool keydown space keydown Left sleep 0.3 keyup Left
for _ in $(seq 60); do
    shot "$work/turn.png"
    above "$(road_under_menu "$work/turn.png")" 0.3 && break
    xdotool keydown Left sleep 0.03 keyup Left
done
for _ in $(seq 100); do
    shot "$work/turn.png"
    above "$(water_under_menu "$work/turn.png")" 300 && break
done
xdotool keyup space
cp "$work/turn.png" "$out/game-camera.png"

# The window as a tiling window manager might make it: the picture letterboxed, 4:3 kept.
window=$(xdotool search --pid "$program" | tail -n 1)
for size in 1280x720 1000x500; do
    xdotool windowsize "$window" "${size%x*}" "${size#*x}"
    sleep 1
    shot "$out/game-window-$size.png" "$size"
done
xdotool windowsize "$window" 800 600
sleep 1

# "Exit", a quick click as a touchpad's tap.
xdotool mousemove 40 114 click 1
wait "$program"
program=""
tail -n 4 "$work/Log.TXT"
