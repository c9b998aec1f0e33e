#!/usr/bin/env bash
# Both games under valgrind's memcheck for 30 s of scripted play each under Xvfb (not in CI: it
# takes minutes). The platform's own libraries are suppressed by scripts/valgrind.supp; any other
# error or definite leak is printed and fails the run. The logs stay in the folder it prints.
#   scripts/valgrind.sh [build folder] [seconds of play]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
seconds=${2:-30}
source scripts/play_scripted.sh
suppressions=$PWD/scripts/valgrind.supp
work=$(mktemp -d)
program=""
player=""
XVFB_PID=""
cleanup() {
    [[ -n $player ]] && kill "$player" 2>/dev/null || true
    [[ -n $program ]] && kill -KILL "$program" 2>/dev/null || true
    [[ -n $XVFB_PID ]] && kill "$XVFB_PID" 2>/dev/null || true
}
trap cleanup EXIT
start_xvfb
export SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy
echo "logs in $work"

# check NAME LOG READY PLAYER: runs the game under memcheck, plays once LOG has READY, then asks
# it to quit and reads valgrind's summary.
check() {
    local name=$1 log=$2 ready=$3 play=$4 dir=$work/$1
    mkdir -p "$dir"
    cp -r "$build/run/$name/." "$dir/"
    [[ $name == Game ]] && printf 'ScrWidth=800\nScrHeight=600\nScrFullScreen=0\n' >"$dir/Config.INI"
    (cd "$dir" && exec valgrind --tool=memcheck --suppressions="$suppressions" \
        --leak-check=full --show-leak-kinds=definite --errors-for-leak-kinds=definite \
        --num-callers=30 --keep-debuginfo=yes --log-file="$work/$name.valgrind" "./$name") \
        >"$work/$name.out" 2>&1 &
    program=$!
    wait_for_line "$dir/$log" "$ready" 600 || echo "$name: no \"$ready\" in $log"
    $play &>/dev/null &
    player=$!
    sleep "$seconds"
    kill "$player"
    player=""
    kill -TERM "$program"
    wait "$program" || true
    program=""
    echo "== $name: $(tail -n 1 "$dir/$log")"
    grep -E 'ERROR SUMMARY|definitely lost' "$work/$name.valgrind"
    grep -q 'ERROR SUMMARY: 0 errors' "$work/$name.valgrind"
}

status=0
check Cindervaulter log.txt "Run: " play_cindervaulter || status=1
check Game Log.TXT "Initializing snakes" play_game || status=1
exit $status
