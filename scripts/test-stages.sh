#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tarvelin developers
# SPDX-License-Identifier: MIT
# The stages of the test command that depend on this system's compilers and
# libraries: static analysis, the tests under AddressSanitizer/UBSan (gcc)
# and under clang's number sanitizers, a short fuzz run of each fuzz target,
# and the plain suite with warnings as errors (with the window's and the
# screen reader's tests, the install checks and lintian). The test command
# runs it here and again in a system of the other supported Debian release.
# Ends with one line: the release, its Qt and Orca, and each stage's summary.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-clang.sh
scripts/install-deps.sh cmake ninja-build g++ clang-tidy cppcheck \
    clang-format libgtest-dev libbenchmark-dev qt6-base-dev qt6-base-private-dev librsvg2-bin \
    fonts-dejavu-core desktop-file-utils appstream libx11-dev libxdamage-dev xvfb dpkg-dev file \
    lintian reuse git flatpak-builder python3 \
    orca speech-dispatcher openbox xdotool dbus-daemon dbus-bin at-spi2-core python3-gi \
    gir1.2-atspi-2.0 bsdutils \
    qt6-wayland sway grim

export QT_QPA_PLATFORM=offscreen
mkdir -p build
summaries=()

# Runs one stage with its output kept, and notes the summary line it ends on.
stage() {
    local name=$1 pattern=$2 log="build/stage-$1.log"
    shift 2
    echo "== $name"
    local status=0
    "$@" 2>&1 | tee "$log" || status=$?
    summaries+=("$name: $(grep -oE "$pattern" "$log" | paste -sd ';' - | sed 's/;/; /g')")
    if [ "$status" -ne 0 ]; then
        summaries[-1]+=" (failed)"
        closing
        exit "$status"
    fi
}

# Chained, since a function run inside a stage's pipeline does not stop at
# its first failure under set -e.
tests() {
    cmake --preset "$1" >/dev/null && nice cmake --build --preset "$1" && ctest --preset "$1"
}

installed() {
    dpkg-query -W -f='${db:Status-Abbrev} ${Version}\n' "$1" 2>/dev/null | sed -n 's/^ii *//p'
}

closing() {
    . /etc/os-release
    local line="$PRETTY_NAME: Qt $(installed 'libqt6core6*'), Orca $(installed orca)"
    for summary in "${summaries[@]}"; do
        line+="; $summary"
    done
    echo "$line"
}

tested='[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+'
stage lint 'no findings' scripts/lint.sh
stage asan "$tested" tests asan
stage clang-ubsan "$tested" tests clang-ubsan
stage fuzz 'fuzz_[a-z_]+: [0-9]+ executions' scripts/fuzz.sh 10
stage ci "$tested" tests ci
closing
