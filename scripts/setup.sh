#!/usr/bin/env bash
# Installs what Velmora needs on Debian or Ubuntu, for one purpose:
#
#   scripts/setup.sh run     building the program and showing its window (scripts/run.sh)
#   scripts/setup.sh test    that, and every tool the checks use (scripts/test.sh)
#   scripts/setup.sh windows the cross build for Windows and its checks under Wine
#                            (scripts/windows_qt.sh, scripts/windows_check.sh)
#
# Safe to run again: it installs only what is missing, with sudo when not root.
set -euo pipefail

run_packages=(
    build-essential cmake ninja-build qt6-base-dev # compiler, build tools, Qt 6 Widgets + Test
    fonts-liberation                               # Arial's metric-compatible stand-in
    fonts-noto-cjk fonts-noto-color-emoji          # Japanese, Chinese, Korean and emoji
)
test_packages=(
    libx11-dev                                       # the end-to-end test's window closer
    xvfb xdotool xclip imagemagick                   # the real-window checks and screenshots
    dbus-daemon at-spi2-core python3-pyatspi         # the real window through a screen reader's bus
    clang libclang-rt-14-dev clang-format clang-tidy # fuzzing, formatting, static analysis
    dpkg-dev file lintian                            # building the .deb (shlibdeps reads binaries with file) and checking it
    desktop-file-utils appstream                     # the menu entry and metainfo checks
)
windows_packages=(
    cmake ninja-build                                     # the build tools
    g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev       # MinGW-w64, posix threads (std::jthread)
    qt6-base-dev qt6-base-dev-tools                       # the host's moc, rcc, uic; Qt6HostInfo
    wine64                                                # runs the tests and the packages
    nsis zip unzip                                        # the installer and the portable zip
    xvfb xauth xdotool xclip imagemagick fonts-liberation # the real window, screenshots, Arial's twin
    clang-format                                          # formatting, as on Linux
    ca-certificates patch xz-utils                        # Qt from Debian's source
)

case ${1:-} in
run) packages=("${run_packages[@]}") ;;
test) packages=("${run_packages[@]}" "${test_packages[@]}") ;;
windows) packages=("${windows_packages[@]}") ;;
*)
    echo "usage: $0 run|test|windows" >&2
    exit 2
    ;;
esac

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
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends \
        -o DPkg::Lock::Timeout=300 "${missing[@]}"
fi
