#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tarvelin developers
# SPDX-License-Identifier: MIT
# Builds in release mode and prints one table with every benchmark figure and
# every ratio against the baselines measured in the same run.
# Usage: scripts/bench.sh [--rounds N]   (default 20 interleaved start-up rounds)
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh cmake ninja-build g++ qt6-base-dev librsvg2-bin libbenchmark-dev \
    libx11-dev libxdamage-dev xvfb python3 fonts-dejavu-core
# The peers a player might open instead; measured when they can be had.
scripts/install-deps.sh galculator x11-apps xfonts-base ||
    echo "galculator or xcalc could not be installed; measuring without them" >&2

cmake --preset bench >/dev/null
cmake --build --preset bench >/dev/null
python3 scripts/bench_report.py "$@"
