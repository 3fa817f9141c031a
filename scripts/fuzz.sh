#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, AddressSanitizer + UndefinedBehaviorSanitizer) and runs
# each one for a bounded time, starting from the committed seeds in tests/fuzz/corpus/.
#
#   scripts/fuzz.sh [seconds-per-target] [target ...]     (default: 30 s, every target)
#
# Everything a run makes stays under out/fuzz/<target>/ (ignored by git): the inputs it
# found (corpus/), the input of a finding (artifacts/) and the log of the last run. Each
# run adds a line to out/fuzz/executions.tsv. The set-up script installs clang; nothing is
# installed here. Exits non-zero on the first finding.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-30}
shift $(($# > 0 ? 1 : 0))
build=build-fuzz
out=out/fuzz

if (($# > 0)); then
    targets=("$@")
else
    targets=()
    for source in tests/fuzz/fuzz_*.cpp; do
        targets+=("$(basename "$source" .cpp)")
    done
fi

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
    -DVELMORA_FUZZ=ON -DVELMORA_WERROR=ON -DVELMORA_BUILD_TESTS=OFF -DVELMORA_BUILD_BENCH=OFF \
    >/dev/null
cmake --build "$build" --parallel 2 --target "${targets[@]}"

export QT_QPA_PLATFORM=offscreen
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
for target in "${targets[@]}"; do
    dir=$out/$target
    mkdir -p "$dir/corpus" "$dir/artifacts"
    log=$dir/last.log
    # New inputs go into the first folder only; the seeds stay as committed.
    if ! "$build/tests/fuzz/$target" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
        -artifact_prefix="$dir/artifacts/" "$dir/corpus" "tests/fuzz/corpus/$target" >"$log" 2>&1; then
        echo "$target: FINDING after up to ${seconds} s; the input is in $dir/artifacts/" >&2
        grep -E -A12 'invariant broken|ERROR: |runtime error' "$log" | head -40 >&2 || tail -40 "$log" >&2
        exit 1
    fi
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    corpus=$(find "$dir/corpus" -type f | wc -l)
    printf '%s\t%s\t%s\t%s\n' "$(date -u +%FT%TZ)" "$target" "$seconds" "$runs" >>"$out/executions.tsv"
    echo "$target: ${runs} executions in ${seconds} s, no finding (corpus: ${corpus} inputs)"
done
