#!/usr/bin/env bash
# Screenshots of Cindervaulter's menu screens from the real program under Xvfb, driven with
# xdotool: the main menu with each item highlighted, the level choice at level 12, the load-error
# page, the pause menu and the about page, into the output folder; the main menu's also into
# docs/ for the README.
#   scripts/screenshots_cindervaulter.sh [build folder] [output folder]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
out=$(realpath -m "${2:-$build/screenshots/cindervaulter}")
program_dir=$build/run/Cindervaulter
[[ -x $program_dir/Cindervaulter ]] || { echo "build first: scripts/build.sh $build" >&2; exit 2; }
mkdir -p "$out" docs
source scripts/xvfb_cindervaulter.sh

shot() { sleep 1; import -window root "$out/$1.png"; }
start_program 2
shot main-new-game
send_keys Down && shot main-about
send_keys Down && shot main-exit
send_keys Down Return Right Right Right Right Right Right Right Right Right Right Right
shot level-12
send_keys Return && shot load-error
send_keys Escape Left Left Left Left Left Left Left Left Left Left Left Return Escape
shot pause
send_keys Down Down Return Down Return && shot about
send_keys Escape Down Down Return
wait_program 10 || { echo "the program did not end at its Exit item" >&2; exit 1; }
cp "$out/main-new-game.png" docs/cindervaulter-menu.png
echo "screenshots in $out; the main menu in docs/cindervaulter-menu.png"
