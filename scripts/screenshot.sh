#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tarvelin developers
# SPDX-License-Identifier: MIT
# Renders the window headless and keeps two pictures for the README: at the
# desktop's default font, and at a larger 18 px font, where the form grows.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh cmake ninja-build g++ libgtest-dev qt6-base-dev librsvg2-bin fonts-dejavu-core

cmake --preset ci >/dev/null
cmake --build --preset ci --target screenshot
QT_QPA_PLATFORM=offscreen build/ci/tests/window/screenshot build/ci/screenshots
QT_QPA_PLATFORM=offscreen build/ci/tests/window/screenshot build/ci/screenshots 18
cp build/ci/screenshots/tarvelin.png build/ci/screenshots/tarvelin-18px.png docs/
echo "Updated docs/tarvelin.png and docs/tarvelin-18px.png"
