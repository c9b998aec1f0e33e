#!/usr/bin/env bash
# Both games under valgrind's memcheck in scripted play under Xvfb, side by side, each on its own
# server (not in CI: it takes minutes). The play starts once the first frame is up (the software
# renderer compiles its shaders slowly under valgrind) and lasts SECONDS. Then Cindervaulter's
# levels are played headless through its rules under memcheck for an hour of simulated time, which
# reaches far more of the game's own code than the slow window does. The platform's own libraries
# are suppressed by scripts/valgrind.supp; any other error or definite leak is printed and fails
# the run. The logs stay in the folder it prints.
#   scripts/valgrind.sh [build folder] [seconds of play]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
seconds=${2:-30}
source scripts/play_scripted.sh
source scripts/xvfb.sh
suppressions=$PWD/scripts/valgrind.supp
work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true' EXIT
export SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy
echo "logs in $work"

# check NAME LOG READY PLAYER: runs the game under memcheck, plays once LOG has READY, then asks
# it to quit and reads valgrind's summary.
check() {
    local name=$1 log=$2 ready=$3 play=$4 dir=$work/$1 program player XVFB_PID
    start_xvfb
    mkdir -p "$dir"
    cp -r "$build/run/$name/." "$dir/"
    [[ $name == Game ]] && printf 'ScrWidth=800\nScrHeight=600\nScrFullScreen=0\n' >"$dir/Config.INI"
    (cd "$dir" && exec valgrind --tool=memcheck --suppressions="$suppressions" \
        --leak-check=full --show-leak-kinds=definite --errors-for-leak-kinds=definite \
        --num-callers=30 --keep-debuginfo=yes --log-file="$work/$name.valgrind" "./$name") \
        >"$work/$name.out" 2>&1 &
    program=$!
    wait_for_line "$dir/$log" "$ready" 900 || echo "$name: no \"$ready\" in $log"
    (set +e; $play) &>/dev/null &
    player=$!
    sleep "$seconds"
    kill "$player"
    kill -TERM "$program" 2>/dev/null || echo "$name: ended before the quit request"
    wait "$program" || true
    kill "$XVFB_PID"
    echo "== $name: $(grep -E '^Run ended' "$dir/$log" || true) log ends \"$(tail -n 1 "$dir/$log")\""
    grep -E 'ERROR SUMMARY|definitely lost:' "$work/$name.valgrind"
    grep -q 'ERROR SUMMARY: [1-9]' "$work/$name.valgrind" && return 1 || return 0
}

check Cindervaulter log.txt "First frame shown" play_cindervaulter >"$work/Cindervaulter.txt" 2>&1 &
first=$!
check Game Log.TXT "Initializing snakes" play_game >"$work/Game.txt" 2>&1 &
second=$!
status=0
wait "$first" || status=1
wait "$second" || status=1
cat "$work/Cindervaulter.txt" "$work/Game.txt"
echo "== Cindervaulter's levels headless, an hour of simulated play"
valgrind --tool=memcheck --leak-check=full --show-leak-kinds=definite \
    --errors-for-leak-kinds=definite --error-exitcode=9 --log-file="$work/headless.valgrind" \
    "$build/tools/levels/cindervaulter_soak" "$build/run/Cindervaulter" 3600 || status=1
grep -E 'ERROR SUMMARY|definitely lost:' "$work/headless.valgrind"
exit $status
