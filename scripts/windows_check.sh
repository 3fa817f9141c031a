#!/usr/bin/env bash
# Velmora for Windows, every check, from this Debian machine: installs what is missing
# (MinGW-w64, Wine, NSIS, Xvfb), makes the Wine prefix the tests run in (scripts/wine_run.sh),
# puts Qt for Windows in the cache (scripts/windows_qt.sh), cross-builds the windows preset
# with warnings as errors (the program, the tests and the benchmarks), runs the whole test
# suite under Wine through ctest, then makes the portable zip and the installer and checks
# both in new Wine prefixes (scripts/windows_package.sh).
#
#   scripts/windows_check.sh
#
# About 7 minutes on 2 cores with the prebuilt Qt at hand, 35 more to build Qt from source.
set -euo pipefail
cd "$(dirname "$0")/.."
started=$SECONDS
say() { echo "== [windows_check $((SECONDS - started))s] $*"; }

say "Set-up"
scripts/setup.sh windows

# The Wine prefix the tests run in, once, before anything else uses it (a new machine has
# none yet; VELMORA_WINEPREFIX chooses another).
say "Wine prefix"
scripts/wine_run.sh --prefix

say "Qt for Windows"
scripts/windows_qt.sh

say "Build (windows preset)"
nice -n 10 cmake --preset windows >/dev/null
nice -n 10 cmake --build --preset windows

say "Tests under Wine"
nice -n 10 ctest --preset windows

say "Packages: the zip and the installer, each checked under Wine"
scripts/windows_package.sh build-windows

say "Windows checks passed in $((SECONDS - started)) s"
