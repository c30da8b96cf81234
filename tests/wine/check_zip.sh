#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tarvelin developers
# SPDX-License-Identifier: MIT
# The portable zip holds the program, the DLLs it imports, Qt's windows
# platform plugin and its plugin of the Windows 10 and 11 styles, and the
# licences: nothing more. The program carries its icon and a version
# resource with the version from project(); Qt's DLLs are Qt 6.8 or later,
# the first to pass an announcement on to Windows' screen readers.
# Usage: tests/wine/check_zip.sh ZIP VERSION
set -euo pipefail
zip=$1
version=$2
top="tarvelin-$version-windows-x64"
fail() {
    echo "$zip: $1" >&2
    exit 1
}

expected=$(printf "$top/%s\n" tarvelin.exe Qt6Core.dll Qt6Gui.dll Qt6Widgets.dll \
    libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll \
    platforms/qwindows.dll styles/qmodernwindowsstyle.dll \
    licenses/Tarvelin.txt licenses/Qt.txt licenses/Qt-LGPL-3.0.txt licenses/GPL-3.0.txt \
    licenses/Qt-third-party.txt licenses/MinGW-runtime.txt | sort)
actual=$(unzip -Z1 "$zip" | grep -v '/$' | sort)
if [ "$actual" != "$expected" ]; then
    diff <(echo "$expected") <(echo "$actual") >&2 || true
    fail "not the files expected (- missing, + extra)"
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
unzip -q -d "$work" "$zip" "$top/tarvelin.exe" "$top/Qt6Core.dll"
program="$work/$top/tarvelin.exe"
resources=$(wrestool --list "$program")
grep -q -- '--type=14' <<<"$resources" || fail "tarvelin.exe has no icon"
grep -q -- '--type=16' <<<"$resources" || fail "tarvelin.exe has no version resource"
for field in FileVersion ProductVersion; do
    [ "$(strings -e l "$program" | grep -x -A1 "$field" | tail -1)" = "$version" ] ||
        fail "tarvelin.exe's $field is not $version"
done
qt=$(strings -e l "$work/$top/Qt6Core.dll" | grep -x -A1 FileVersion | tail -1)
if ! [[ $qt =~ ^6\.([0-9]+)\. ]] || [ "${BASH_REMATCH[1]}" -lt 8 ]; then
    fail "Qt6Core.dll is Qt \"$qt\", not Qt 6.8 or a later Qt 6"
fi
echo "$zip: $(unzip -Z1 "$zip" | grep -vc '/$') files as expected; icon and version $version in tarvelin.exe; Qt $qt"
