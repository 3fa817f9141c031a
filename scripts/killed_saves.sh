#!/usr/bin/env bash
# Kills 200 saves of 1 to 100 MB tables at random moments and counts what each left: the
# old file, the new file, or anything else (which must never happen).
#
#   scripts/killed_saves.sh [build-dir] [rounds] [largest-MB]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-test}
rounds=${2:-200}
largest=${3:-100}
cmake --build "$build" --target test_killed_save save_list
# Qt Test ends a test function after five minutes unless told otherwise; this one takes
# about half a minute per ten rounds of the largest tables.
VELMORA_KILLED_SAVES=$rounds VELMORA_KILLED_SAVE_MB=$largest QT_QPA_PLATFORM=offscreen \
    QTEST_FUNCTION_TIMEOUT=$((rounds * 60 * 1000)) \
    "$build/tests/test_killed_save"
