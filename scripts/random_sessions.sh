#!/usr/bin/env bash
# Builds the random-session test (in build-test/, configured as scripts/test.sh does) and
# plays many seeded random sessions of the main window against the model of
# tests/test_random_sessions.cpp: a long run of what CTest runs briefly.
#
#   scripts/random_sessions.sh <sessions> [first-seed]    (default first seed: from the clock)
#
# The seeds are first-seed, first-seed + 1, ... The run stops at the first session that
# differs from the model and prints its seed, its actions and the command that replays it
# alone. The log of the last run is out/random_sessions/last.log; each run adds a line to
# out/random_sessions/runs.tsv (time, first seed, sessions played, seconds, outcome).
# Nothing is installed here (scripts/setup.sh test does that).
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
: >"$log"
echo "playing $sessions sessions from seed $first"
# In runs of at most 500 sessions, each its own process, so no run meets Qt Test's time limit
# for one test function.
chunk=500
start=$(date +%s)
played=0
while ((played < sessions)); do
    count=$((sessions - played < chunk ? sessions - played : chunk))
    seed=$((first + played))
    if ! QT_QPA_PLATFORM=offscreen QT_FATAL_WARNINGS=0 VELMORA_SESSIONS="$count" \
        VELMORA_SESSION_SEED="$seed" "$build/tests/test_random_sessions" >>"$log" 2>&1; then
        seconds=$(($(date +%s) - start))
        echo "FINDING among seeds $seed to $((seed + count - 1)), after ${seconds} s:" >&2
        sed -n '/^FAIL!/,/replay:/p' "$log" >&2
        printf '%s\t%s\t%s\t%s\tfinding\n' "$(date -u +%FT%TZ)" "$first" "$played" "$seconds" \
            >>"$out/runs.tsv"
        exit 1
    fi
    played=$((played + count))
    echo "  $played sessions, no finding ($(($(date +%s) - start)) s)"
done
seconds=$(($(date +%s) - start))
printf '%s\t%s\t%s\t%s\tno finding\n' "$(date -u +%FT%TZ)" "$first" "$sessions" "$seconds" \
    >>"$out/runs.tsv"
actions=$(awk '/^QINFO.*  actions: / { n += $NF } END { print n + 0 }' "$log")
echo "$sessions sessions ($actions actions) from seed $first in ${seconds} s, no finding"
