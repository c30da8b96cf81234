#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tarvelin developers
# SPDX-License-Identifier: MIT
# Builds the Debian package in build/release/ and runs lintian on it.
# With --install it then installs the package with apt-get (as root), starts
# the installed program headless for a few seconds to prove it runs, and
# shows the start of its manual page.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh cmake ninja-build g++ qt6-base-dev librsvg2-bin dpkg-dev file lintian

cmake --preset release >/dev/null
cmake --build --preset release
(cd build/release && cpack -G DEB)
package=$(ls build/release/tarvelin_*.deb)
echo "Built $package"
dpkg-deb --field "$package" Package Version Section Depends
tests/packaging/check_package.sh build/release

if [ "${1:-}" = "--install" ]; then
    export DEBIAN_FRONTEND=noninteractive
    apt-get install -y -q "./$package"
    # The window stays open until closed, so a timeout (124) means it ran.
    status=0
    QT_QPA_PLATFORM=offscreen timeout 5 /usr/games/tarvelin || status=$?
    if [ "$status" -ne 124 ]; then
        echo "the installed tarvelin ended early with status $status" >&2
        exit 1
    fi
    echo "The installed tarvelin started and ran headless for 5 seconds."
    # Minimal systems drop manual pages unless told otherwise; man-db then
    # needs the page the package installed.
    scripts/install-deps.sh man-db
    if [ ! -e /usr/share/man/man6/tarvelin.6.gz ]; then
        echo "the package's manual page was not installed (dpkg path-exclude?)" >&2
        exit 1
    fi
    MANPAGER=cat MANWIDTH=80 man 6 tarvelin | head -12
fi
