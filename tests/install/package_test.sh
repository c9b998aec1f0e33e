#!/usr/bin/env bash
# Packs both games as a Debian package and checks it as a distribution would: lintian finds no
# error or warning in it or in its machine-readable copyright, it depends on run-time libraries
# alone, each command has a manual page, its .desktop files and AppStream metainfo pass their
# validators, and each game has an icon of every hicolor size that names it.
# Args: BUILD_FOLDER GAME_APP_ID CINDERVAULTER_APP_ID
set -euo pipefail
build=$1
for tool in lintian desktop-file-validate appstreamcli man dpkg-source; do
    command -v $tool >/dev/null || { echo "SKIPPED: $tool is not installed (scripts/setup.sh installs it)"; exit 77; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "$*"; exit 1; }

cpack --config "$build/CPackConfig.cmake" -B "$work" &>"$work/cpack.log" || fail "$(<"$work/cpack.log")"
deb=$(echo "$work"/*.deb)
report=$(lintian --fail-on error,warning "$deb" 2>&1) || fail "lintian found a fault: $report"
for dependency in $(dpkg-deb -f "$deb" Depends | tr -d ' ' | tr ',|' '\n' | sed 's/(.*//'); do
    [[ $dependency == lib* && $dependency != *-dev ]] || fail "not a run-time library: $dependency"
done
dpkg-deb -f "$deb" Depends | grep -q libsdl2-mixer || fail "the sound library's dependency is missing"

dpkg-deb -x "$deb" "$work/tree"
for command in "$work"/tree/usr/games/*; do
    page=$work/tree/usr/share/man/man6/$(basename "$command").6.gz
    man -l "$page" 2>/dev/null | grep -A1 '^NAME' | grep -q "^ *$(basename "$command") - " ||
        fail "no manual page names $(basename "$command")"
done

# lintian reads a copyright's machine-readable form only in a source package: the packaged one
# goes into a bare source package beside the files it describes.
package=$(dpkg-deb -f "$deb" Package)
source=$work/source/$package
mkdir -p "$source/debian/source"
cp -r "$work/tree/usr" "$source/"
cp "$work/tree/usr/share/doc/$package/copyright" "$source/debian/"
zcat "$work/tree/usr/share/doc/$package/changelog.gz" >"$source/debian/changelog"
echo '3.0 (native)' >"$source/debian/source/format"
printf 'Source: %s\nMaintainer: %s\n\nPackage: %s\nArchitecture: any\nDescription: -\n -\n' \
    "$package" "$(dpkg-deb -f "$deb" Maintainer)" "$package" >"$source/debian/control"
(cd "$work/source" && dpkg-source -b "$package" &>/dev/null) || fail "no source package"
checks=debian/copyright,debian/copyright/dep5
report=$(lintian --fail-on error,warning -C $checks "$work"/source/*.dsc 2>&1) ||
    fail "lintian found a fault in the copyright: $report"

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
echo "$(basename "$deb"): lintian finds no fault; depends on $(dpkg-deb -f "$deb" Depends)"
