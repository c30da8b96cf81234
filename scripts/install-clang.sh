#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tarvelin developers
# SPDX-License-Identifier: MIT
# Installs clang and the sanitizer and libFuzzer runtime that belongs to it.
# The runtime's package carries clang's major version in its name (14 on
# Debian 12, 19 on Debian 13), so it is asked of the clang this system has.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh clang
major=$(clang -dumpversion | cut -d. -f1)
scripts/install-deps.sh "libclang-rt-$major-dev"
