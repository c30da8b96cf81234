#!/usr/bin/env bash
# Renders the window headless and keeps the 1x picture for the README.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh cmake ninja-build g++ libgtest-dev qt6-base-dev librsvg2-bin fonts-dejavu-core

cmake --preset ci >/dev/null
cmake --build --preset ci --target screenshot
QT_QPA_PLATFORM=offscreen build/ci/tests/window/screenshot build/ci/screenshots
cp build/ci/screenshots/tarvelin.png docs/tarvelin.png
echo "Updated docs/tarvelin.png"
