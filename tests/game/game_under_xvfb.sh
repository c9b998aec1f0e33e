# Sourced by the Game's program tests under Xvfb.
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/xvfb.sh"

# prepare_game RUN_FOLDER WIDTH HEIGHT: a copy of the run folder in $work/game with a windowed
# Config.INI of that size, under a fresh Xvfb; at exit the game (its id in $game), the server and
# the copy go.
prepare_game() {
    work=$(mktemp -d)
    trap 'kill ${game:-} ${XVFB_PID:-} 2>/dev/null; rm -rf "$work"' EXIT
    start_xvfb
    export SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy ASAN_OPTIONS=detect_leaks=0
    cp -r "$1/." "$work/game"
    printf 'ScrWidth=%s\nScrHeight=%s\nScrFullScreen=0\n' "$2" "$3" >"$work/game/Config.INI"
}
