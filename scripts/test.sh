#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tarvelin developers
# SPDX-License-Identifier: MIT
# Builds everything and runs every check headless: static analysis (with the
# licence and Flatpak manifest checks), the tests under AddressSanitizer/UBSan
# and under clang's number sanitizers, a short fuzz run of each fuzz target,
# the plain test suite (with the benchmark smoke runs, the install checks,
# lintian on the Debian package and what the screen reader Orca says of the
# window) with warnings as errors (scripts/test-stages.sh), and the core
# cross-built for Windows with MinGW-w64, its tests run under Wine, so that it
# stays portable. (scripts/windows.sh builds and tests the whole program.)
# Last, every one of those stages but the Windows one again in a system of the
# other supported Debian release (12 or 13), made once with debootstrap and
# cached, so that every run covers both releases' compilers, libraries, Qt
# and Orca.
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

scripts/test-stages.sh

echo "== the core for Windows (MinGW-w64), its tests under Wine"
scripts/install-deps.sh g++-mingw-w64-x86-64-posix wine wine64
cmake --preset windows-core >/dev/null
cmake --build --preset windows-core
ctest --preset windows-core

echo "== every stage again in Debian $other (a cached system of the other release)"
start=$SECONDS
scripts/debian-chroot.sh --own-build "$other" scripts/test-stages.sh
echo "Debian $other stage: $((SECONDS - start)) s"
