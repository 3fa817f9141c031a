#!/usr/bin/env bash
# Kills 200 saves of 1 to 100 MB tables at random moments and counts what each left: the
# old file, the new file, or anything else (which must never happen).
#
#   scripts/killed_saves.sh [build-dir] [rounds] [largest-MB]
#
# Give it a build folder of its own if you build meanwhile: a program rebuilt under a
# running test cannot be started.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-test}
[ -f "$build/CMakeCache.txt" ] ||
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELMORA_BUILD_BENCH=OFF >/dev/null
rounds=${2:-200}
largest=${3:-100}
cmake --build "$build" --target test_killed_save save_list
# Qt Test ends a test function after five minutes unless told otherwise.
VELMORA_KILLED_SAVES=$rounds VELMORA_KILLED_SAVE_MB=$largest QT_QPA_PLATFORM=offscreen \
    QTEST_FUNCTION_TIMEOUT=$((rounds * 60 * 1000)) \
    "$build/tests/test_killed_save"
