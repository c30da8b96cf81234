#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tarvelin developers
# SPDX-License-Identifier: MIT
# Builds Tarvelin (release) and opens its window on the current desktop.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh cmake ninja-build g++ qt6-base-dev librsvg2-bin fonts-dejavu-core

cmake --preset release >/dev/null
cmake --build --preset release --target tarvelin

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No desktop to show the window on (neither DISPLAY nor WAYLAND_DISPLAY is set)." >&2
    echo "Built build/release/window/tarvelin; start it from a desktop session." >&2
    exit 1
fi
exec build/release/window/tarvelin
