#!/usr/bin/env bash
# Screenshots of Cindervaulter's menu screens from the real program under Xvfb, driven with
# xdotool: the main menu with each item highlighted, the about page, the level choice at level 12,
# the load-error page and the pause menu. The run ends as a player's would: play, pause, Main menu,
# Exit; the program must end on its own with a whole log, so the tests run this script too.
# Without an output folder the pictures go to build/screenshots/cindervaulter/ and the main menu's
# also to docs/ for the README.
#   scripts/screenshots_cindervaulter.sh [build folder] [output folder]
set -euo pipefail
cd "$(dirname "$0")/.."
command -v Xvfb >/dev/null && command -v xdotool >/dev/null || { echo "no Xvfb or xdotool"; exit 77; }
build=${1:-build}
out=$(realpath -m "${2:-$build/screenshots/cindervaulter}")
program_dir=$build/run/Cindervaulter
[[ -x $program_dir/Cindervaulter ]] || { echo "build first: scripts/build.sh $build" >&2; exit 2; }
mkdir -p "$out"
source scripts/xvfb_cindervaulter.sh
# The menus in their original Russian.
unset LANGUAGE LC_ALL LC_MESSAGES
export LANG=ru_RU.UTF-8
# Level 12 stays on offer but cannot load, which shows the load-error page.
rm "$work/run/maps/map12.map"

shot() { sleep 1; import -window root "$out/$1.png"; }
start_program 2
shot main-new-game
send_keys Down && shot main-about
send_keys Down && shot main-exit
send_keys Up Return && shot about
send_keys Escape Return Right Right Right Right Right Right Right Right Right Right Right
shot level-12
send_keys Return && shot load-error
send_keys Escape Left Left Left Left Left Left Left Left Left Left Left Return Escape
shot pause
send_keys Down Down Return Down Down Return
wait_program 10 || { echo "the program did not end at its Exit item" >&2; exit 1; }
check_log >"$out/log.txt"
if [[ $# -lt 2 ]]; then
    mkdir -p docs
    cp "$out/main-new-game.png" docs/cindervaulter-menu.png
fi
echo "screenshots in $out"
