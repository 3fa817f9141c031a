#!/usr/bin/env bash
# Prints the project's C++ files (.cpp and .h), one per line, relative to the top folder:
# the ones git tracks in a clone, every one under the source folders in an unpacked
# archive. Formatting (scripts/test.sh) and static analysis (scripts/tidy.sh) read this list.
#
#   scripts/sources.sh [suffix ...]      (default: cpp h)
set -euo pipefail
cd "$(dirname "$0")/.."

suffixes=("$@")
((${#suffixes[@]})) || suffixes=(cpp h)

# A folder unpacked inside some other clone is no clone of its own: compare the top folders.
if [ "$(git rev-parse --show-toplevel 2>/dev/null)" = "$(pwd -P)" ]; then
    git ls-files "${suffixes[@]/#/*.}"
else
    names=()
    for suffix in "${suffixes[@]}"; do
        names+=(${names[@]:+-o} -name "*.$suffix")
    done
    find core gui tests bench scripts -type f \( "${names[@]}" \) | LC_ALL=C sort
fi
