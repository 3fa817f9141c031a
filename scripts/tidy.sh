#!/usr/bin/env bash
# Runs clang-tidy with the checks in .clang-tidy over every C++ source file of the project
# (the program, the tests, the fuzz targets and the benchmarks) and fails on any finding.
#
#   scripts/tidy.sh [file ...]        (default: every .cpp file scripts/sources.sh lists)
#
# It reads the compile commands of its own clang build in build-tidy; only Qt's generated
# files are made there, nothing is compiled. Takes several minutes on two cores.
set -euo pipefail
cd "$(dirname "$0")/.."

build=build-tidy
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=clang++ \
    -DVELMORA_FUZZ=ON >/dev/null
# The sources include headers that moc writes; clang-tidy needs them to be there.
mapfile -t generated < <(ninja -C "$build" -t targets all | sed -n 's/^\([A-Za-z0-9_]*_autogen\): .*/\1/p' | sort -u)
ninja -C "$build" -j 2 "${generated[@]}" >/dev/null

if (($# > 0)); then
    files=("$@")
else
    # Sources for Windows only cannot be parsed here.
    mapfile -t files < <(scripts/sources.sh cpp | grep -v '_win\.cpp$')
fi
run-clang-tidy -p "$build" -j 2 -quiet "${files[@]/#/$PWD/}"
