#!/usr/bin/env bash
# Draws every Cindervaulter level as the game loads it, for whoever writes levels:
#   scripts/preview_levels.sh [BUILD_FOLDER]
# Compiles the sources in assets/cindervaulter/levels (refusing a broken one with its file, line
# and reason), writes one PNG per level into BUILD_FOLDER/level-previews and, when ImageMagick is
# there, all of them side by side in levels.png.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
cmake --build "$build" -j2 --target map_compiler level_preview -- --no-print-directory >/dev/null
out="$build/level-previews"
mkdir -p "$out"
pictures=()
for source in $(ls assets/cindervaulter/levels/map*.txt | sort -V); do
    name=$(basename "$source" .txt)
    "$build/tools/levels/map_compiler" "$source" "$out/$name.map"
    "$build/tools/levels/level_preview" "$out/$name.map" "$out/$name.png" 400
    pictures+=("$out/$name.png")
done
if command -v montage >/dev/null; then
    montage "${pictures[@]}" -tile 4x -geometry +4+4 -background '#10141c' "$out/levels.png"
fi
echo "${#pictures[@]} levels drawn into $out"
