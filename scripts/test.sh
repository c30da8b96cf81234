#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tarvelin developers
# SPDX-License-Identifier: MIT
# Builds everything and runs every check headless: static analysis (with the
# licence and Flatpak manifest checks), the tests under AddressSanitizer/UBSan
# and under clang's number sanitizers, a short fuzz run of each fuzz target,
# the plain test suite (with the benchmark smoke runs, the install checks,
# lintian on the Debian package and what the screen reader Orca says of the
# window) with warnings as errors, and finally the core cross-built for
# Windows with MinGW-w64, its tests run under Wine, so that it stays portable.
# (scripts/windows.sh builds and tests the whole program.) Last, the plain
# suite again in a system of the other supported Debian release (12 or 13),
# made once with debootstrap and cached, so that every run covers both
# releases' compilers, Qt and Orca.
set -euo pipefail
cd "$(dirname "$0")/.."

# Debian 12 and 13 are the releases supported; each proves the other, in a
# system of the other release that the last stage makes and enters.
# TARVELIN_OTHER_RELEASE names that release on any other system.
other=${TARVELIN_OTHER_RELEASE:-$(. /etc/os-release && case "${VERSION_CODENAME:-}" in
    bookworm) echo trixie ;;
    trixie) echo bookworm ;;
esac)}
if [ -z "$other" ]; then
    echo "test.sh knows the other release of Debian 12 and 13 only; on this system set" \
        "TARVELIN_OTHER_RELEASE to bookworm or trixie" >&2
    exit 1
fi

scripts/install-clang.sh
scripts/install-deps.sh cmake ninja-build g++ clang-tidy cppcheck \
    qt6-wayland sway grim \
    clang-format libgtest-dev libbenchmark-dev qt6-base-dev qt6-base-private-dev librsvg2-bin \
    fonts-dejavu-core desktop-file-utils appstream libx11-dev libxdamage-dev xvfb dpkg-dev file \
    lintian reuse git flatpak-builder python3 \
    orca speech-dispatcher openbox xdotool dbus-daemon dbus-bin at-spi2-core python3-gi \
    gir1.2-atspi-2.0 bsdutils g++-mingw-w64-x86-64-posix wine wine64

export QT_QPA_PLATFORM=offscreen

echo "== static analysis"
scripts/lint.sh

echo "== tests under AddressSanitizer and UndefinedBehaviorSanitizer (gcc)"
cmake --preset asan >/dev/null
cmake --build --preset asan
ctest --preset asan

echo "== tests under the integer and float-cast sanitizers (clang)"
cmake --preset clang-ubsan >/dev/null
cmake --build --preset clang-ubsan
ctest --preset clang-ubsan

echo "== fuzz smoke run"
scripts/fuzz.sh 10

echo "== tests"
cmake --preset ci >/dev/null
cmake --build --preset ci
ctest --preset ci

echo "== the core for Windows (MinGW-w64), its tests under Wine"
cmake --preset windows-core >/dev/null
cmake --build --preset windows-core
ctest --preset windows-core

echo "== the tests in Debian $other (a cached system of the other release)"
start=$SECONDS
scripts/debian-chroot.sh "$other" scripts/test-ci.sh
echo "Debian $other stage: $((SECONDS - start)) s"
