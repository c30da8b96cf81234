#!/usr/bin/env bash
# Builds everything with warnings as errors and runs every test headless.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh cmake ninja-build g++ libgtest-dev qt6-base-dev fonts-dejavu-core

cmake --preset ci
cmake --build --preset ci
ctest --preset ci
