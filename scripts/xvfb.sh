# Sourced by the scripts and tests that run a game under Xvfb.

# start_xvfb [WIDTHxHEIGHT]: starts a virtual X server on a free display (1024x768 unless given),
# waits until it lets clients in and exports DISPLAY; the server's process id goes into XVFB_PID.
start_xvfb() {
    local file
    file=$(mktemp)
    # -noreset: a server whose last client left would otherwise restart and turn the next one away.
    Xvfb -displayfd 3 -screen 0 "${1:-1024x768}x24" -noreset -nolisten tcp 3>"$file" 2>/dev/null &
    XVFB_PID=$!
    # The display's number comes a moment before clients are let in.
    until [[ -s $file ]] && DISPLAY=:$(head -n1 "$file") xdotool getmouselocation &>/dev/null; do
        if ! kill -0 "$XVFB_PID" 2>/dev/null; then
            rm -f "$file"
            echo "Xvfb did not start" >&2
            return 1
        fi
        sleep 0.1
    done
    export DISPLAY=:$(head -n1 "$file")
    rm -f "$file"
}

# make_scratch: a scratch folder in $work, removed at exit together with the program whose id is
# in $program and the server start_xvfb started.
make_scratch() {
    work=$(mktemp -d)
    program=""
    XVFB_PID=""
    trap 'kill $program $XVFB_PID 2>/dev/null || true; rm -rf "$work"' EXIT
}
