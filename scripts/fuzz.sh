#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tarvelin developers
# SPDX-License-Identifier: MIT
# Builds the libFuzzer targets and runs each for a while over its corpus.
# Usage: scripts/fuzz.sh [SECONDS_PER_TARGET]   (default 10: a smoke run)
# A long run:  scripts/fuzz.sh 3600
# New inputs go to build/fuzz/corpus/<target>; crashes to build/fuzz/artifacts/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-10}"

scripts/install-deps.sh cmake ninja-build
scripts/install-clang.sh

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

mkdir -p build/fuzz/artifacts
for target in number_text sheet; do
    mkdir -p "build/fuzz/corpus/$target"
    echo "fuzz_$target: $seconds s"
    log="build/fuzz/fuzz_$target.log"
    if ! "build/fuzz/fuzz/fuzz_$target" "build/fuzz/corpus/$target" "fuzz/corpus/$target" \
        -max_total_time="$seconds" -max_len=4096 -timeout=10 -rss_limit_mb=2048 \
        -artifact_prefix=build/fuzz/artifacts/ -print_final_stats=1 >"$log" 2>&1; then
        tail -40 "$log"
        echo "fuzz_$target failed; the input that broke it is in build/fuzz/artifacts/" >&2
        exit 1
    fi
    runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$')
    corpus=$(find "build/fuzz/corpus/$target" "fuzz/corpus/$target" -type f | wc -l)
    echo "fuzz_$target: $runs executions, corpus of $corpus inputs, no failures"
done
