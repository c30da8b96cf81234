#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tarvelin developers
# SPDX-License-Identifier: MIT
# Installs a build into a fresh temporary prefix and checks what a desktop
# and a distribution need: the program, its desktop entry, icons, AppStream
# metadata, manual page, licence and changelog, valid by the freedesktop.org
# tools.
# Usage: check_install.sh BUILD_DIR APP_ID VERSION
set -euo pipefail
build="$1" app_id="$2" version="$3"

for tool in desktop-file-validate appstreamcli; do
    if ! command -v "$tool" >/dev/null; then
        echo "$tool is missing: install desktop-file-utils and appstream" >&2
        exit 1
    fi
done

prefix="$(mktemp -d)"
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null

expected=(
    "games/tarvelin"
    "share/applications/$app_id.desktop"
    "share/icons/hicolor/scalable/apps/$app_id.svg"
    "share/icons/hicolor/16x16/apps/$app_id.png"
    "share/icons/hicolor/256x256/apps/$app_id.png"
    "share/metainfo/$app_id.metainfo.xml"
    "share/man/man6/tarvelin.6.gz"
    "share/doc/tarvelin/copyright"
    "share/doc/tarvelin/changelog.gz"
)
for file in "${expected[@]}"; do
    if [ ! -f "$prefix/$file" ]; then
        echo "not installed: $file" >&2
        exit 1
    fi
done
[ -x "$prefix/games/tarvelin" ] || { echo "games/tarvelin is not executable" >&2; exit 1; }

desktop-file-validate "$prefix/share/applications/$app_id.desktop"
appstreamcli validate --no-net --explain "$prefix/share/metainfo/$app_id.metainfo.xml"

# The metadata names the same version as the build, and the icon is an SVG.
grep -q "<release version=\"$version\"" "$prefix/share/metainfo/$app_id.metainfo.xml" ||
    { echo "metainfo does not carry version $version" >&2; exit 1; }
grep -q "<svg" "$prefix/share/icons/hicolor/scalable/apps/$app_id.svg" ||
    { echo "the icon is not an SVG" >&2; exit 1; }
grep -q "^Icon=$app_id$" "$prefix/share/applications/$app_id.desktop" ||
    { echo "the desktop entry names another icon" >&2; exit 1; }
# The manual page has the sections a reader looks for, and the changelog is
# in Debian's format for this version.
page=$(zcat "$prefix/share/man/man6/tarvelin.6.gz")
for section in NAME SYNOPSIS DESCRIPTION ENVIRONMENT "SEE ALSO"; do
    grep -q "^\.SH $section" <<<"$page" || { echo "the manual page lacks $section" >&2; exit 1; }
done
zcat "$prefix/share/doc/tarvelin/changelog.gz" | head -1 | grep -q "^tarvelin ($version) " ||
    { echo "the changelog does not start with $version" >&2; exit 1; }

echo "installed layout and metadata are valid (${#expected[@]} files)"
