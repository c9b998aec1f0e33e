#!/usr/bin/env bash
# Installs every Debian package that building, running and testing the games needs. Safe to run again:
# when everything is there it prints nothing and changes nothing.
set -euo pipefail

packages=(
    build-essential cmake pkg-config git
    clang clang-format libclang-rt-14-dev
    libsdl2-dev libsdl2-mixer-dev libfreetype-dev libfontconfig-dev fontconfig
    libgl-dev libglu1-mesa-dev libegl-dev libgl1-mesa-dri
    libmspack-dev libmp3lame-dev lame libpng-dev gettext
    libgtest-dev libbenchmark-dev
    xvfb xauth xdotool imagemagick mscompress
    fonts-dejavu-core fonts-liberation
    lintian desktop-file-utils appstream man-db
)

missing=()
for package in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
    [[ "$status" == "install ok installed" ]] || missing+=("$package")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[[ $(id -u) -eq 0 ]] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
