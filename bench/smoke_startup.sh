#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tarvelin developers
# SPDX-License-Identifier: MIT
# Smoke run of the start-up probe: one start of tarvelin and of the baseline
# under a private Xvfb; checks that each gives its four figures. No timing is
# judged here.
# Usage: smoke_startup.sh PROBE TARVELIN BASELINE
set -euo pipefail
probe="$1"; shift

exec {fd}<> <(:)
Xvfb -displayfd "$fd" -noreset -nolisten tcp -screen 0 800x600x24 >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null; wait $xvfb 2>/dev/null || true' EXIT
read -r -t 20 number <&"$fd"
export DISPLAY=":$number"

for program in "$@"; do
    figures=$("$probe" 200 "$program")
    if ! [[ "$figures" =~ ^[0-9.]+$'\t'[0-9.]+$'\t'[0-9]+$'\t'[0-9]+$ ]]; then
        echo "unexpected probe output for $program: $figures" >&2
        exit 1
    fi
    echo "$(basename "$program"): map, last paint (ms), VmRSS, Pss (kB): $figures"
done
