#!/usr/bin/env bash
# Installs what building, running and testing Velmora needs on Debian or Ubuntu. Safe to run
# again: it installs only what is missing.
set -euo pipefail

packages=(
    build-essential cmake ninja-build qt6-base-dev   # compiler, build tools, Qt 6 Widgets + Test
    fonts-liberation                                 # Arial's metric-compatible stand-in
    xvfb xauth xdotool xclip imagemagick             # the real-window checks and screenshots
    clang libclang-rt-14-dev clang-format clang-tidy # fuzzing, formatting, static analysis
    dpkg-dev desktop-file-utils appstream            # the .deb's dependencies, menu entry and metainfo checks
)

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
        missing+=("$package")
done

if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
fi
