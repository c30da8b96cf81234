#!/usr/bin/env bash
# Installs a build into a fresh temporary prefix and checks what a desktop
# needs: the program, its desktop entry, icon and AppStream metadata, each
# valid by the freedesktop.org tools.
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
    "bin/tarvelin"
    "share/applications/$app_id.desktop"
    "share/icons/hicolor/scalable/apps/$app_id.svg"
    "share/metainfo/$app_id.metainfo.xml"
)
for file in "${expected[@]}"; do
    if [ ! -f "$prefix/$file" ]; then
        echo "not installed: $file" >&2
        exit 1
    fi
done
[ -x "$prefix/bin/tarvelin" ] || { echo "bin/tarvelin is not executable" >&2; exit 1; }

desktop-file-validate "$prefix/share/applications/$app_id.desktop"
appstreamcli validate --no-net --explain "$prefix/share/metainfo/$app_id.metainfo.xml"

# The metadata names the same version as the build, and the icon is an SVG.
grep -q "<release version=\"$version\"" "$prefix/share/metainfo/$app_id.metainfo.xml" ||
    { echo "metainfo does not carry version $version" >&2; exit 1; }
grep -q "<svg" "$prefix/share/icons/hicolor/scalable/apps/$app_id.svg" ||
    { echo "the icon is not an SVG" >&2; exit 1; }
grep -q "^Icon=$app_id$" "$prefix/share/applications/$app_id.desktop" ||
    { echo "the desktop entry names another icon" >&2; exit 1; }

echo "installed layout and metadata are valid (${#expected[@]} files)"
