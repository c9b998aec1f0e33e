# Scripted play for the scripts that run a game for a while under Xvfb: sourced, not run.
# Each function plays until it is killed; DISPLAY must name the server.

# The Game in an 800 x 600 window at the top left: start each mode from the menu in turn, jump,
# change lane or halt with the space bar, and turn the camera.
play_game() {
    local buttons=(42 66 90) # New Jump, New Move, New Stop
    while :; do
        for y in "${buttons[@]}"; do
            xdotool mousemove 40 "$y" mousedown 1 sleep 0.1 mouseup 1
            for _ in 1 2 3 4 5 6; do
                xdotool key space sleep 0.4 keydown Left sleep 0.3 keyup Left
                xdotool keydown space sleep 0.6 keyup space keydown Right sleep 0.3 keyup Right
            done
        done
    done
}

# Cindervaulter from its main menu: start a game (the level page, then a map load), thrust in
# bursts and restart the level from the pause menu (another map load). It never goes back to the
# main menu, so keys lost by a slow frame cannot reach its Exit.
play_cindervaulter() {
    xdotool key Return sleep 0.5 key Return
    while :; do
        for _ in 1 2 3 4 5 6; do
            xdotool keydown Up sleep 0.7 keyup Up sleep 0.5
        done
        xdotool key Escape sleep 0.5 key Down sleep 0.5 key Return
    done
}

# Waits up to `seconds` for a line starting with `text` in `file`; false if it never came.
wait_for_line() {
    local file=$1 text=$2 seconds=$3
    for _ in $(seq $((seconds * 10))); do
        grep -q "^$text" "$file" 2>/dev/null && return 0
        sleep 0.1
    done
    return 1
}
