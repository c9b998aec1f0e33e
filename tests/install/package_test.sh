#!/usr/bin/env bash
# Packs both games as a Debian package and checks it as a distribution would: lintian finds no
# error, it depends on run-time libraries alone, its .desktop files and AppStream metainfo pass
# their validators, and each game has an icon of every hicolor size that names it.
# Args: BUILD_FOLDER GAME_APP_ID CINDERVAULTER_APP_ID
set -euo pipefail
build=$1
for tool in lintian desktop-file-validate appstreamcli; do
    command -v $tool >/dev/null || { echo "SKIPPED: $tool is not installed (scripts/setup.sh installs it)"; exit 77; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "$*"; exit 1; }

cpack --config "$build/CPackConfig.cmake" -B "$work" &>"$work/cpack.log" || fail "$(<"$work/cpack.log")"
deb=$(echo "$work"/*.deb)
report=$(lintian --fail-on error "$deb" 2>&1) || fail "lintian found an error: $report"
for dependency in $(dpkg-deb -f "$deb" Depends | tr -d ' ' | tr ',|' '\n' | sed 's/(.*//'); do
    [[ $dependency == lib* && $dependency != *-dev ]] || fail "not a run-time library: $dependency"
done
dpkg-deb -f "$deb" Depends | grep -q libsdl2-mixer || fail "the sound library's dependency is missing"

dpkg-deb -x "$deb" "$work/tree"
for id in "${@:2}"; do
    desktop-file-validate "$work/tree/usr/share/applications/$id.desktop"
    appstreamcli validate --no-net "$work/tree/usr/share/metainfo/$id.metainfo.xml" >/dev/null ||
        appstreamcli validate --no-net --explain "$work/tree/usr/share/metainfo/$id.metainfo.xml"
    for size in 48 64 128 256; do
        icon=$work/tree/usr/share/icons/hicolor/${size}x$size/apps/$id.png
        [[ $(identify -format '%wx%h %[channels]' "$icon") == "${size}x$size srgba" ]] ||
            fail "$icon is not a ${size}x$size picture with transparency"
    done
done
echo "$(basename "$deb"): no lintian error; depends on $(dpkg-deb -f "$deb" Depends)"
