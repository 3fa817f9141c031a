#!/usr/bin/env bash
# Sets up, builds and runs every check: formatting, the test suite (warnings are errors),
# the same suite under AddressSanitizer + UndefinedBehaviorSanitizer, and the .deb
# installed, started under Xvfb and removed again; then each fuzz target for a short while.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh test

echo "== Formatting"
scripts/sources.sh | xargs clang-format --dry-run --Werror

echo "== Tests"
cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELMORA_WERROR=ON
cmake --build build-test
(cd build-test && QT_QPA_PLATFORM=offscreen ctest --output-on-failure)

echo "== Tests under AddressSanitizer + UndefinedBehaviorSanitizer"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVELMORA_WERROR=ON \
    -DVELMORA_SANITIZE=ON -DVELMORA_BUILD_BENCH=OFF
cmake --build build-asan
# Leaks are checked too; tests/lsan.supp names the system library whose leak is not ours.
suppressions="$PWD/tests/lsan.supp"
(cd build-asan && QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=1 \
    LSAN_OPTIONS="suppressions=$suppressions:print_suppressions=0" \
    UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure)

echo "== Package: install the .deb, start it under Xvfb, remove it"
scripts/package_check.sh build-test

echo "== Fuzzing: each target briefly, from the committed seeds"
scripts/fuzz.sh 20
