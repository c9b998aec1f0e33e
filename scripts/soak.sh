#!/usr/bin/env bash
# Soak (not in CI): each game in scripted play under its own Xvfb for SECONDS (an hour by default),
# its resident memory sampled every 10 s, then a quit request and its log's last line; and
# Cindervaulter's levels played headless through the game's rules for as many simulated seconds,
# every particle coordinate checked finite after each step.
#   scripts/soak.sh [build folder] [seconds]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
seconds=${2:-3600}
source scripts/play_scripted.sh
source scripts/xvfb.sh
work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT
export SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy

rss_kb() { awk '/^VmRSS:/ {print $2}' "/proc/$1/status" 2>/dev/null || echo 0; }

# soak NAME LOG READY PLAYER: plays the game and prints its memory samples and their growth.
soak() {
    local name=$1 log=$2 ready=$3 play=$4 dir=$work/$1 program player XVFB_PID
    start_xvfb
    mkdir -p "$dir"
    cp -r "$build/run/$name/." "$dir/"
    [[ $name == Game ]] && printf 'ScrWidth=800\nScrHeight=600\nScrFullScreen=0\n' >"$dir/Config.INI"
    (cd "$dir" && exec "./$name") >/dev/null 2>&1 &
    program=$!
    wait_for_line "$dir/$log" "$ready" 120 || echo "$name: no \"$ready\" in $log"
    (set +e; $play) &>/dev/null &
    player=$!
    local samples=() elapsed=0
    while ((elapsed < seconds)) && kill -0 "$program" 2>/dev/null; do
        sleep 10
        elapsed=$((elapsed + 10))
        samples+=("$(rss_kb "$program")")
    done
    kill "$player"
    kill -TERM "$program" 2>/dev/null || echo "$name: ended before the quit request"
    wait "$program" || true
    kill "$XVFB_PID"
    # The first minute is start-up and caches filling; growth counts from there.
    local base=${samples[$((${#samples[@]} > 6 ? 5 : 0))]}
    local last=${samples[-1]} peak
    peak=$(printf '%s\n' "${samples[@]}" | sort -n | tail -n1)
    printf '%s: %d s of play, RSS every 10 s (KiB): %s\n' "$name" "$elapsed" "${samples[*]}"
    printf '%s: after the first minute %d KiB, at the end %d KiB (growth %+d KiB), peak %d KiB\n' \
        "$name" "$base" "$last" $((last - base)) "$peak"
    printf '%s: log ends "%s"\n' "$name" "$(tail -n1 "$dir/$log")"
}

soak Cindervaulter log.txt "Run: " play_cindervaulter >"$work/Cindervaulter.txt" 2>&1 &
soak Game Log.TXT "Initializing snakes" play_game >"$work/Game.txt" 2>&1 &
wait
cat "$work/Cindervaulter.txt" "$work/Game.txt"
"$build/tools/levels/cindervaulter_soak" "$build/run/Cindervaulter" "$seconds"
