# Sourced by the scripts that drive Cindervaulter under Xvfb: starts a virtual X server on a free
# display with a screen of $XVFB_SCREEN (1024x768 unless set), copies the ready-to-run folder into
# a scratch folder ($work) with a small map 1 when the build ships none, and offers the program's
# start (start_program), keys (send_keys), its end (wait_program) and a look at its log
# (check_log). Needs $program_dir; cleans up at exit.
source scripts/xvfb.sh
make_scratch

start_xvfb "${XVFB_SCREEN:-1024x768}"
export SDL_VIDEODRIVER=x11
export SDL_AUDIODRIVER=dummy
export ASAN_OPTIONS=detect_leaks=0 # Mesa's driver leaks at exit are not the program's

mkdir "$work/run"
cp -r "$program_dir/." "$work/run/"
mkdir -p "$work/run/maps"

# Little-endian 32-bit integers, none negative.
le32() {
    local v
    for v; do
        printf "$(printf '\\x%02x\\x%02x\\x%02x\\x%02x' $((v & 255)) $((v >> 8 & 255)) \
            $((v >> 16 & 255)) $((v >> 24 & 255)))"
    done
}
# Scale 10, one wall, one pickup, the start and the exit.
[[ -e $work/run/maps/map1.map ]] ||
    le32 10 1 1 200 300 600 300 100 400 700 400 400 250 0 >"$work/run/maps/map1.map"

start_program() {
    (cd "$work/run" && exec ./Cindervaulter) &
    program=$!
    for _ in $(seq 100); do
        xdotool search --name CINDervaulter >/dev/null 2>&1 && break
        sleep 0.1
    done
    sleep "${1:-1}"
}

# Waits up to $1 seconds for the program to end on its own; its exit status, or 124 when it did
# not end.
wait_program() {
    local tenths
    for tenths in $(seq $(($1 * 10))); do
        if ! kill -0 "$program" 2>/dev/null; then
            local status=0
            wait "$program" || status=$?
            program=""
            return $status
        fi
        sleep 0.1
    done
    return 124
}

# Each key pressed and released, a quarter of a second apart: several menu steps each.
send_keys() {
    local key
    for key; do
        xdotool key "$key"
        sleep 0.25
    done
}

# Whether the engine's log tells a whole run: started, the loop ended, shut down, and no call
# went wrong. Prints the log and what is missing.
check_log() {
    local log=$work/run/log.txt
    cat "$log"
    [[ $(head -n1 "$log") == "Engine started" ]] || { echo "the log does not start" >&2; return 1; }
    grep -q '^Run ended: ' "$log" || { echo "the loop did not end" >&2; return 1; }
    [[ $(tail -n1 "$log") == "Engine shut down" ]] || { echo "the engine did not shut down" >&2; return 1; }
    ! grep -q Error "$log" || { echo "an engine call went wrong" >&2; return 1; }
}
