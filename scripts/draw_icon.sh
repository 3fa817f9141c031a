#!/bin/sh
# Redraws the program icon (resources/velmora.ico and resources/icons/*.png) from
# scripts/draw_icon.cpp. Needs a C++ compiler and Qt 6 Gui with pkg-config.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
tool=$(mktemp -d)
trap 'rm -rf "$tool"' EXIT
c++ -std=c++17 -O1 -fPIC "$here/draw_icon.cpp" -o "$tool/draw_icon" $(pkg-config --cflags --libs Qt6Gui)
QT_QPA_PLATFORM=offscreen "$tool/draw_icon" "$here/../resources"
