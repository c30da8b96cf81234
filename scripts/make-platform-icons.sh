#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tarvelin developers
# SPDX-License-Identifier: MIT
#
# Regenerates the Windows and macOS icons in packaging/ from the one SVG:
# org.tarvelin.Tarvelin.ico (16 to 256 px) and org.tarvelin.Tarvelin.icns
# (16 to 512 px). Run it after changing the SVG and commit both files; the
# Linux build renders its PNGs itself.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh librsvg2-bin icoutils icnsutils

svg=packaging/org.tarvelin.Tarvelin.svg
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for size in 16 24 32 48 64 128 256 512; do
    rsvg-convert --width "$size" --height "$size" --output "$work/$size.png" "$svg"
done
icotool --create --output packaging/org.tarvelin.Tarvelin.ico \
    "$work"/{16,24,32,48,64}.png --raw="$work/128.png" --raw="$work/256.png"
png2icns packaging/org.tarvelin.Tarvelin.icns "$work"/{16,32,48,128,256,512}.png >/dev/null
echo "Wrote packaging/org.tarvelin.Tarvelin.ico and packaging/org.tarvelin.Tarvelin.icns"
