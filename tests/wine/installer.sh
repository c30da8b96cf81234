#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tarvelin developers
# SPDX-License-Identifier: MIT
# The Windows installer under Wine, silently as an administrator's script
# would run it: it installs the program, its licences and an uninstaller
# into Program Files, a Start-menu entry and an entry among the installed
# programs with the version from project(); the installed program starts on
# a virtual display and closes with Ctrl+Q; the uninstaller then removes all
# of it.
# Usage: tests/wine/installer.sh INSTALLER.exe VERSION DISPLAY_NUMBER WORK_FOLDER
set -euo pipefail
installer=$(realpath "$1")
version=$2
display=$3
work=$(realpath -m "$4")
. "$(dirname "$0")/lib.sh"

new_prefix "$work/wine"
start_display "$display"
folder="$WINEPREFIX/drive_c/Program Files/Tarvelin"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tarvelin'
fail() {
    echo "installer: $1" >&2
    exit 1
}
shortcuts() {
    find "$WINEPREFIX/drive_c" -path '*Start Menu*' -name '*.lnk' -printf '%P\n' | sort
}

wine "$installer" /S
for file in tarvelin.exe Uninstall.exe Qt6Widgets.dll platforms/qwindows.dll licenses/Qt.txt; do
    [ -e "$folder/$file" ] || fail "no $file in Program Files\\Tarvelin"
done
shortcuts | grep -q '/Tarvelin/Tarvelin.lnk$' || fail "no Start-menu entry: $(shortcuts)"
entry=$(wine reg query "$key")
grep -q "DisplayVersion *REG_SZ *$version\b" <<<"$entry" ||
    fail "the installed programs do not list Tarvelin $version: $entry"
grep -q "DisplayIcon *REG_SZ .*Tarvelin.tarvelin\.exe" <<<"$entry" ||
    fail "the installed programs do not show Tarvelin's icon: $entry"
echo "  installed: Program Files\\Tarvelin, $(shortcuts | tr '\n' ' ')"

wine 'C:\Program Files\Tarvelin\tarvelin.exe' >"$work/tarvelin.log" 2>&1 &
pid=$!
window_of Tarvelin >/dev/null
xdotool key ctrl+q
for _ in $(seq 100); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
done
kill -0 "$pid" 2>/dev/null && fail "the installed tarvelin.exe did not end after Ctrl+Q"
wait "$pid"
echo "  the installed program started and closed with Ctrl+Q"

# The uninstaller copies itself away to delete its own folder and returns at
# once; Wine's server ends when all of it is done.
wine 'C:\Program Files\Tarvelin\Uninstall.exe' /S
wineserver --wait
[ ! -e "$folder/tarvelin.exe" ] || fail "the uninstaller left tarvelin.exe"
[ -z "$(shortcuts | grep Tarvelin || true)" ] || fail "the uninstaller left $(shortcuts)"
if wine reg query "$key" >/dev/null 2>&1; then
    fail "the uninstaller left Tarvelin among the installed programs"
fi
echo "  uninstalled: no files, Start-menu entry or registry entry left"
