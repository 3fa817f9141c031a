#!/usr/bin/env bash
# Builds the suite (as scripts/test.sh does) and plays many seeded random sessions of the
# main window against the model of tests/test_random_sessions.cpp: a long run of what CTest
# runs briefly.
#
#   scripts/random_sessions.sh <sessions> [first-seed]    (default first seed: from the clock)
#
# The seeds are first-seed, first-seed + 1, ... The run stops at the first session that
# differs from the model and prints its seed, its actions and the command that replays it
# alone. The log of the last run is out/random_sessions/last.log; each run adds a line to
# out/random_sessions/runs.tsv. Nothing is installed here (scripts/setup.sh test does that).
set -euo pipefail
cd "$(dirname "$0")/.."

if (($# < 1)); then
    echo "usage: $0 <sessions> [first-seed]" >&2
    exit 2
fi
sessions=$1
first=${2:-$(date +%s)000}
build=build-test
out=out/random_sessions

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELMORA_WERROR=ON >/dev/null
cmake --build "$build" --parallel 2 --target test_random_sessions

mkdir -p "$out"
log=$out/last.log
echo "playing $sessions sessions from seed $first"
start=$(date +%s)
status=0
QT_QPA_PLATFORM=offscreen QT_FATAL_WARNINGS=0 VELMORA_SESSIONS="$sessions" \
    VELMORA_SESSION_SEED="$first" "$build/tests/test_random_sessions" >"$log" 2>&1 || status=$?
seconds=$(($(date +%s) - start))
if ((status != 0)); then
    echo "FINDING after ${seconds} s:" >&2
    sed -n '/^FAIL!/,/replay:/p' "$log" >&2
    printf '%s\t%s\t%s\t%s\tfinding\n' "$(date -u +%FT%TZ)" "$first" "$sessions" "$seconds" \
        >>"$out/runs.tsv"
    exit 1
fi
printf '%s\t%s\t%s\t%s\tno finding\n' "$(date -u +%FT%TZ)" "$first" "$sessions" "$seconds" \
    >>"$out/runs.tsv"
sed -n 's/^QINFO *: [^ ]* //p' "$log"
echo "in ${seconds} s"
