#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tarvelin developers
# SPDX-License-Identifier: MIT
# Builds the ci preset (warnings as errors) and runs its tests, the window's
# and the screen reader's included, in a build folder named after this
# Debian release, so that systems of two releases sharing the repository keep
# theirs apart. Ends with the Qt and Orca it ran with and the tests' summary.
# The test command runs it in a system of the other supported release.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh cmake ninja-build g++ libgtest-dev libbenchmark-dev qt6-base-dev \
    qt6-wayland sway grim \
    qt6-base-private-dev librsvg2-bin fonts-dejavu-core desktop-file-utils appstream \
    libx11-dev libxdamage-dev xvfb dpkg-dev file lintian python3 \
    orca speech-dispatcher openbox xdotool dbus-daemon dbus-bin at-spi2-core python3-gi \
    gir1.2-atspi-2.0 bsdutils

. /etc/os-release
build="build/ci-debian-$VERSION_ID"
export QT_QPA_PLATFORM=offscreen

cmake --preset ci -B "$build" >/dev/null
nice cmake --build "$build"
status=0
ctest --test-dir "$build" --output-on-failure 2>&1 | tee "$build/ctest.log" || status=$?

installed() {
    dpkg-query -W -f='${db:Status-Abbrev} ${Version}\n' "$1" 2>/dev/null | sed -n 's/^ii *//p'
}
echo "$PRETTY_NAME: Qt $(installed 'libqt6core6*'), Orca $(installed orca)," \
    "$(grep -E 'tests passed|tests failed' "$build/ctest.log" || echo 'no test summary')"
exit "$status"
