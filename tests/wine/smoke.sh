#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tarvelin developers
# SPDX-License-Identifier: MIT
# The Windows program as a player meets it: the unpacked portable zip, with
# nothing on its path but Windows' own DLLs, started under Wine on a virtual
# X display with Qt's windows platform plugin. The worked example goes in
# with real key presses, walking the controls with Tab, and every result
# comes back by selecting its field and copying it to the clipboard, which
# Wine hands to X. Once with an English (United States) user locale, and
# once with a German one, whose decimal separator "," the program must read
# and write; then once more with a larger message font in Windows' settings,
# which the window's text must follow. Nothing in the program serves the
# test.
# Usage: tests/wine/smoke.sh PROGRAM_FOLDER DISPLAY_NUMBER WORK_FOLDER [SCREENSHOT.png]
set -euo pipefail
program=$(realpath "$1")
display=$2
work=$(realpath -m "$3")
screenshot=${4:-}
. "$(dirname "$0")/lib.sh"

new_prefix "$work/wine"
start_display "$display"

expect() { # selects and copies the field's text, and compares
    local text=""
    focus "$1"
    xdotool key ctrl+a ctrl+c
    for _ in $(seq 50); do
        text=$(xclip -o -selection clipboard 2>/dev/null || true)
        [ "$text" = "$2" ] && break
        sleep 0.1
    done
    echo "  $1: \"$text\""
    if [ "$text" != "$2" ]; then
        echo "$1 shows \"$text\" instead of \"$2\"" >&2
        exit 1
    fi
}

size_of() { # the window's width and height
    eval "$(xdotool getwindowgeometry --shell "$1")"
    echo "$WIDTH $HEIGHT"
}

# run LOCALE: starts the program in that user locale; sets window and pid.
run() {
    at=0
    LC_ALL=$1 wine "$program/tarvelin.exe" >"$work/tarvelin-$1.log" 2>&1 &
    pid=$!
    window=$(window_of Tarvelin)
}

echo "Worked example, English (United States) locale:"
start=$SECONDS
run en_US.UTF-8
echo "  window after $((SECONDS - start)) s"
type_into aimcraft 4
press to_hit
expect roll 3
press moved
expect roll 4
type_into shots 12
press hits
type_into to_wound 4
press wounds
type_into armour 5
press saves
press casualties
expect hits_result 6.
expect wounds_result 3.
expect saves_result 1.
expect casualties_result 2.
if [ -n "$screenshot" ]; then
    focus aimcraft
    sleep 1
    xwd -silent -id "$window" | xwdtopnm 2>/dev/null | pnmtopng >"$screenshot"
    echo "  screenshot: $screenshot"
fi
read -r width height <<<"$(size_of "$window")"
quit

echo "Decimal comma, German (Germany) locale:"
run de_DE.UTF-8
type_into aimcraft 4
press to_hit
press moved
type_into shots 5
press hits
expect hits_result 2,5
type_into shots 12,0
press hits
expect hits_result 6,
type_into to_wound 4
press wounds
expect wounds_result 3,
type_into armour 5
press saves
expect saves_result 1,
press casualties
expect casualties_result 2,
quit

echo "Windows' own font: its message font at 18 px instead of Wine's 11 px:"
wineserver --wait
metrics='HKCU\Control Panel\Desktop\WindowMetrics'
font=$(wine reg query "$metrics" /v MessageFont | sed -n 's/.*REG_BINARY *//p' | tr -d '\r')
# A LOGFONT starts with its height; -18 asks for characters 18 px high.
wine reg add "$metrics" /v MessageFont /t REG_BINARY /d "EEFFFFFF${font:8}" /f >/dev/null
run en_US.UTF-8
read -r big_width big_height <<<"$(size_of "$window")"
echo "  window ${width}x$height px at 11 px, ${big_width}x$big_height px at 18 px"
if [ "$big_width" -le "$width" ] || [ "$big_height" -le "$height" ]; then
    echo "the window did not grow with Windows' message font" >&2
    exit 1
fi
quit
echo "The Windows program computed the worked example from key presses under Wine."
