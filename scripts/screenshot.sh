#!/usr/bin/env bash
# Renders the window headless and keeps the 1x picture for the README.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh cmake ninja-build g++ qt6-base-dev fonts-dejavu-core

cmake --preset release >/dev/null
cmake --build --preset release --target screenshot
QT_QPA_PLATFORM=offscreen build/release/tests/window/screenshot build/release/screenshots
cp build/release/screenshots/tarvelin.png docs/tarvelin.png
echo "Updated docs/tarvelin.png"
