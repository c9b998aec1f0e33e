#!/usr/bin/env bash
# The README's pictures of Cindervaulter's levels, from the real tools: a preview of every level
# by the level previewer (docs/levels/mapN.png), and an animation of the first level's replay drawn
# offscreen by the game's own playfield drawing (docs/cindervaulter-map1-replay.gif).
#   scripts/level_pictures.sh [build folder]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
maps=$build/run/Cindervaulter/maps
[[ -x $build/tools/levels/replay_animation && -e $maps/map1.map ]] ||
    { echo "build first: scripts/build.sh $build" >&2; exit 2; }
mkdir -p docs/levels
rm -f docs/levels/map*.png
for map in "$maps"/map*.map; do
    "$build/tools/levels/level_preview" "$map" "docs/levels/$(basename "$map" .map).png" 240
done
frames=$(mktemp -d)
trap 'rm -rf "$frames"' EXIT
SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy "$build/tools/levels/replay_animation" \
    "$build/run/Cindervaulter" 1 assets/cindervaulter/levels/map1.replay "$frames"
# Every second step at 15 frames a second (a delay of 6.67 hundredths, rounded to 7), in 64
# colours to keep the file small; the last frame holds for a second.
shown=$(ls "$frames"/frame*.png | awk 'NR % 2 == 1')
convert -delay 7 $(echo "$shown" | head -n -1) -delay 100 "$(echo "$shown" | tail -n1)" \
    -resize 50% -colors 64 -fuzz 2% -layers Optimize -loop 0 docs/cindervaulter-map1-replay.gif
echo "previews in docs/levels, animation in docs/cindervaulter-map1-replay.gif"
