#!/usr/bin/env bash
# Installs into a scratch prefix, makes it read-only and starts both launchers as a user who is not
# root, under Xvfb: each game runs in its own folder in the user's data folder, its log lands
# there, the player's edit of Config.INI survives the next start, and the prefix is left as it was.
# Args: BUILD_FOLDER GAME_COMMAND CINDERVAULTER_COMMAND
set -euo pipefail
build=$1 game=$2 cindervaulter=$3
work=$(mktemp -d)
trap 'kill ${XVFB_PID:-} 2>/dev/null; chmod -R u+w "$work"; rm -rf "$work"' EXIT
chmod 755 "$work"
cmake --install "$build" --prefix "$work/prefix" >/dev/null
chmod -R a-w "$work/prefix"
snapshot() { (cd "$work/prefix" && find . -printf '%p %m %s %T@\n' | sort); }
before=$(snapshot)

# Root may write anywhere, so the games run as nobody when the test runs as root (as in CI).
mkdir "$work/home" "$work/xdg" "$work/tmp"
as_player=() player_name=$(id -un)
if [[ $(id -u) -eq 0 ]]; then
    chown nobody: "$work/home" "$work/xdg" "$work/tmp"
    as_player=(setpriv --reuid=nobody --regid=nogroup --clear-groups) player_name=nobody
fi
source "$(dirname "$0")/../../scripts/xvfb.sh"
start_xvfb
fail() { echo "$*"; exit 1; }
# play COMMAND LOG LINE [NAME=value...]: starts the launcher, waits (60 s at most) for LINE in the
# game's LOG, then asks the game to quit as a window manager would: it must end with status 0.
play() {
    env -i PATH=/usr/bin:/bin HOME="$work/home" TMPDIR="$work/tmp" DISPLAY="$DISPLAY" \
        SDL_AUDIODRIVER=dummy ASAN_OPTIONS=detect_leaks=0 "${@:4}" "${as_player[@]}" "$work/prefix/bin/$1" &>/dev/null & local pid=$!
    for ((i = 0; i < 600; i++)); do grep -q "$3" "$2" 2>/dev/null && break; sleep 0.1; done
    kill -TERM $pid 2>/dev/null || true
    wait $pid || fail "$1 ended with status $?"
}

player=$work/home/.local/share/$game
play "$game" "$player/Log.TXT" 'Initializing snakes'
grep -qx 'Resources were loaded successfully.' "$player/Log.TXT" || fail "no resources: $player/Log.TXT"
[[ $(tail -c 32 "$player/Log.TXT") == *'Clearing parameters list... Ok.'* ]] || fail "log not complete"
{ echo '; the player was here'; sed 's/^ScrWidth=.*/ScrWidth=640/' "$player/Config.INI"; } >"$work/edited"
chmod a+r "$work/edited" && cp "$work/edited" "$player/Config.INI"
rm "$player/Log.TXT"
play "$game" "$player/Log.TXT" 'Initializing snakes'
cmp "$work/edited" "$player/Config.INI" || fail "Config.INI was replaced"
grep -q 'Initializing engine... Ok.' "$player/Log.TXT" || fail "no second start"
# Expanded copies of the packed files are made in the player's folder and removed again.
[[ -z $(find "$player/Resources" "$work/tmp" -mindepth 1 ! -type l) ]] || fail "leftover copies"

play "$cindervaulter" "$work/xdg/$cindervaulter/log.txt" 'First frame shown' XDG_DATA_HOME="$work/xdg"
grep -qx 'Engine shut down' "$work/xdg/$cindervaulter/log.txt" || fail "cindervaulter log not complete"
[[ ! -e $work/home/.local/share/$cindervaulter ]] || fail "XDG_DATA_HOME was not used"

# A folder of the player's that links elsewhere stops the launcher before it writes there.
mkdir -p "$work/xdg2/$cindervaulter" "$work/elsewhere"
ln -s "$work/elsewhere" "$work/xdg2/$cindervaulter/maps"
chown -R nobody: "$work/xdg2" "$work/elsewhere" 2>/dev/null || true
if timeout 60 env -i PATH=/usr/bin:/bin HOME="$work/home" XDG_DATA_HOME="$work/xdg2" "${as_player[@]}" \
    "$work/prefix/bin/$cindervaulter" &>"$work/refused"; then fail "a linked maps folder was used"; fi
grep -q 'maps: not a folder of its own' "$work/refused" || fail "no reason given: $(cat "$work/refused")"
[[ -z $(ls -A "$work/elsewhere") ]] || fail "the launcher wrote through the link"

[[ $(snapshot) == "$before" ]] || fail "the prefix changed"
echo "both games started from a read-only prefix as $player_name"
