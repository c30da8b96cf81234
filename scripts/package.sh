#!/usr/bin/env bash
# Builds the Debian package in build/release/.
# With --install it then installs the package with apt-get (as root) and
# starts the installed program headless for a few seconds to prove it runs.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh cmake ninja-build g++ qt6-base-dev librsvg2-bin dpkg-dev file

cmake --preset release >/dev/null
cmake --build --preset release --target tarvelin
(cd build/release && cpack -G DEB)
package=$(ls build/release/tarvelin_*.deb)
echo "Built $package"
dpkg-deb --field "$package" Package Version Depends

if [ "${1:-}" = "--install" ]; then
    export DEBIAN_FRONTEND=noninteractive
    apt-get install -y -q "./$package"
    # The window stays open until closed, so a timeout (124) means it ran.
    status=0
    QT_QPA_PLATFORM=offscreen timeout 5 /usr/bin/tarvelin || status=$?
    if [ "$status" -ne 124 ]; then
        echo "the installed tarvelin ended early with status $status" >&2
        exit 1
    fi
    echo "The installed tarvelin started and ran headless for 5 seconds."
fi
