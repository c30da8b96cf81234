#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tarvelin developers
# SPDX-License-Identifier: MIT
# Renders the window headless and keeps six pictures for the README: at the
# desktop's default font, at a larger 18 px font, where the form grows, with
# the casualties' odds tooltip open, and with that tooltip comparing them with
# a pinned volley, each of the last two in the default and a dark palette.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh cmake ninja-build g++ libgtest-dev qt6-base-dev librsvg2-bin fonts-dejavu-core

cmake --preset ci >/dev/null
cmake --build --preset ci --target screenshot
QT_QPA_PLATFORM=offscreen build/ci/tests/window/screenshot build/ci/screenshots
QT_QPA_PLATFORM=offscreen build/ci/tests/window/screenshot build/ci/screenshots 18
cp build/ci/screenshots/tarvelin.png build/ci/screenshots/tarvelin-18px.png \
    build/ci/screenshots/tarvelin-odds.png build/ci/screenshots/tarvelin-odds-dark.png \
    build/ci/screenshots/tarvelin-compare.png build/ci/screenshots/tarvelin-compare-dark.png docs/
echo "Updated docs/tarvelin.png, docs/tarvelin-18px.png, docs/tarvelin-odds.png," \
    "docs/tarvelin-odds-dark.png, docs/tarvelin-compare.png and docs/tarvelin-compare-dark.png"
