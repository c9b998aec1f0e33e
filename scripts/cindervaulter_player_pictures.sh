#!/usr/bin/env bash
# Pictures of what Cindervaulter shows a player, from the real program under Xvfb, in Russian and in
# English: the main menu, the about page with the controls, the level choice with a name and a best time, the first level's hint
# with the exit still closed, an open exit, and the ending page after the last level. It plays
# four small maps made here (the exit beside the start, a pickup at the start, two falls onto an
# open exit) with a records file, and the run ends at the Exit item with a whole log. Without an
# output folder the pictures go to build/screenshots/cindervaulter_player/ and the chosen ones to
# docs/ for the README.
#   scripts/cindervaulter_player_pictures.sh [build folder] [output folder]
set -euo pipefail
cd "$(dirname "$0")/.."
command -v Xvfb >/dev/null && command -v xdotool >/dev/null || { echo "no Xvfb or xdotool"; exit 77; }
build=${1:-build}
out=$(realpath -m "${2:-$build/screenshots/cindervaulter_player}")
program_dir=$build/run/Cindervaulter
[[ -x $program_dir/Cindervaulter ]] || { echo "build first: scripts/build.sh $build" >&2; exit 2; }
mkdir -p "$out"
source scripts/xvfb_cindervaulter.sh

# Scale 10 (an arena of 450 units), no walls, one pickup: start, exit, pickup.
rm -f "$work/run/maps/"*
le32 10 0 1 200 150 200 300 400 100 0 >"$work/run/maps/map1.map"
le32 10 0 1 200 150 400 100 200 150 0 >"$work/run/maps/map2.map"
le32 10 0 1 200 150 202 300 200 150 0 >"$work/run/maps/map3.map"
le32 10 0 1 200 150 202 300 200 150 0 >"$work/run/maps/map4.map"
names=("First flight" "The column" "Along the left wall" "Along the right wall")
for i in 1 2 3 4; do echo "${names[i - 1]}" >"$work/run/maps/map$i.name"; done

unset LANGUAGE LC_ALL LC_MESSAGES
shot() { sleep "${2:-1}"; import -window root "$out/$1.png"; }
for lang in ru_RU.UTF-8 en_US.UTF-8; do
    export LANG=$lang
    tag=${lang%%_*}
    printf 'cindervaulter records 1\nlast 4\nlevel 1 452\nlevel 2 1311\nend\n' >"$work/run/records.txt"
    start_program 2
    shot "$tag-main"
    send_keys Down Return && shot "$tag-about"
    send_keys Escape Return && shot "$tag-level-choice"
    send_keys Return && shot "$tag-hint-exit-closed" 1.5
    send_keys Escape Down Down Return Return Right Return && shot "$tag-exit-open" 0.5
    send_keys Escape Down Down Return Return Right Return && shot "$tag-ending" 5
    send_keys Return Escape Down Down Return Down Down Return
    wait_program 10 || { echo "the program did not end at its Exit item" >&2; exit 1; }
    check_log >"$out/$tag-log.txt"
done
if [[ $# -lt 2 ]]; then
    mkdir -p docs
    for picture in ru-level-choice en-hint-exit-closed en-exit-open ru-ending; do
        cp "$out/$picture.png" "docs/cindervaulter-$picture.png"
    done
fi
echo "pictures in $out"
