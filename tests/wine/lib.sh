# SPDX-FileCopyrightText: 2026 The Tarvelin developers
# SPDX-License-Identifier: MIT
# shellcheck shell=bash
# Shared by the checks of the Windows packages under Wine (sourced, not run):
# a Wine prefix of their own and a virtual X display with a window manager,
# all ended when the calling script exits, and key presses that walk the
# window's controls with Tab.

started=()
end_all() {
    if [ -n "${WINEPREFIX:-}" ]; then
        wineserver --kill 2>/dev/null || true
    fi
    for pid in "${started[@]}"; do
        kill "$pid" 2>/dev/null || true
    done
}
trap end_all EXIT

# new_prefix FOLDER: a fresh Wine prefix, made without a display so that no
# dialog waits for an answer, and without Wine's .NET and browser stand-ins.
new_prefix() {
    export WINEPREFIX="$1" WINEDEBUG=-all
    unset WINEPATH
    rm -rf "$WINEPREFIX"
    mkdir -p "$(dirname "$WINEPREFIX")"
    env -u DISPLAY WINEDLLOVERRIDES="mscoree,mshtml=" wineboot --init >/dev/null 2>&1
    wineserver --wait
    # Debian's Wine does not find its own fonts (fonts-wine), Tahoma among
    # them, the face of its message font; they go where Windows keeps fonts,
    # and into the registry's list of installed fonts, which DirectWrite
    # (Qt's font database from 6.8 on) reads instead of the folder.
    cp /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
    local font list="$WINEPREFIX/drive_c/fonts.reg"
    {
        printf 'REGEDIT4\r\n\r\n'
        printf '[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\Fonts]\r\n'
        for font in /usr/share/wine/fonts/*.ttf; do
            printf '"%s (TrueType)"="%s"\r\n' "$(basename "$font" .ttf)" "$(basename "$font")"
        done
    } >"$list"
    wine regedit /S 'C:\fonts.reg' >/dev/null 2>&1
    wineserver --wait
    rm "$list"
}

# start_display NUMBER: Xvfb on :NUMBER with openbox, which gives a new
# window the focus as a desktop does.
start_display() {
    if [ -e "/tmp/.X$1-lock" ]; then
        echo "X display :$1 is in use; choose another number" >&2
        exit 1
    fi
    export DISPLAY=":$1"
    Xvfb "$DISPLAY" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    local xvfb=$!
    started+=("$xvfb")
    for _ in $(seq 100); do
        xdotool getdisplaygeometry >/dev/null 2>&1 && break
        sleep 0.1
    done
    # In a chroot the lock file above is not the host's, but the display's
    # abstract socket is: a display in use outside makes Xvfb quit, and the
    # keys would go to that other display. It quits within moments.
    sleep 0.5
    if ! kill -0 "$xvfb" 2>/dev/null; then
        echo "X display :$1 is in use outside this system; choose another number" >&2
        exit 1
    fi
    openbox --sm-disable >/dev/null 2>&1 &
    started+=($!)
    # The pointer stays in a corner, away from tooltips.
    xdotool mousemove 0 0
}

# window_of NAME: waits up to a minute for a visible window of that title,
# gives it the focus and prints its X id.
window_of() {
    local id
    id=$(timeout 60 xdotool search --sync --onlyvisible --name "^$1\$" | head -1) || {
        echo "no window \"$1\" appeared within a minute" >&2
        return 1
    }
    xdotool windowactivate --sync "$id" >/dev/null 2>&1 || xdotool windowfocus --sync "$id"
    sleep 1
    echo "$id"
}

# The controls in the window's Tab order.
controls=(aimcraft to_hit hits roll hits_result shots to_wound wounds wounds_result saves
    armour saves_result casualties casualties_result clear moved over_half_range soft_cover
    hard_cover large_target double_shots)
at=0 # the window opens with the cursor in Aimcraft

focus() {
    local to=-1 i
    for i in "${!controls[@]}"; do
        [ "${controls[$i]}" = "$1" ] && to=$i
    done
    [ "$to" -ge 0 ] || { echo "no control $1" >&2; exit 1; }
    for _ in $(seq $(((to - at + ${#controls[@]}) % ${#controls[@]}))); do
        xdotool key Tab
    done
    at=$to
    sleep 0.2
}
type_into() {
    focus "$1"
    xdotool key ctrl+a
    xdotool type --delay 80 "$2"
}
press() { # a button or a box, with Space
    focus "$1"
    xdotool key space
    sleep 0.5
}

# quit: Ctrl+Q closes the window, and with it the program started as $pid.
quit() {
    xdotool key ctrl+q
    for _ in $(seq 100); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    if kill -0 "$pid" 2>/dev/null; then
        echo "tarvelin.exe did not end after Ctrl+Q" >&2
        exit 1
    fi
    wait "$pid"
}
