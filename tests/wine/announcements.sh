#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tarvelin developers
# SPDX-License-Identifier: MIT
# What a screen reader on Windows is told after each step of the worked
# example. The unpacked portable zip runs under Wine on a virtual X display;
# a small client of ours asks its window for its UI Automation provider, as
# a screen reader does first, which is what makes Qt raise UI Automation
# events at all; then the worked example goes in by key presses. Each step
# must raise one UI Automation notification carrying its text, and nothing
# else. Wine 10 hands notifications to no client, but writes every call of
# UiaRaiseNotificationEvent, text included, to its debug channel
# "uiautomation", which is what this reads.
# Usage: tests/wine/announcements.sh PROGRAM_FOLDER CLIENT.exe DISPLAY_NUMBER WORK_FOLDER
set -euo pipefail
program=$(realpath "$1")
client=$(realpath "$2")
display=$3
work=$(realpath -m "$4")
. "$(dirname "$0")/lib.sh"

new_prefix "$work/wine"
start_display "$display"
log="$work/tarvelin.log"
fail() {
    echo "announcements: $1 (Wine's output: $log)" >&2
    exit 1
}

# The texts of the notifications raised so far, one a line, as Wine writes
# them: ... UiaRaiseNotificationEvent (PROVIDER, KIND, PROCESSING, L"TEXT", L"ID"): stub
notifications() {
    sed -n 's/.*:uiautomation:UiaRaiseNotificationEvent ([^,]*, [0-9]*, [0-9]*, L"\(.*\)", L"[^"]*"): stub.*/\1/p' \
        "$log" | tr -d '\r'
}

# Each step: what it is, the key presses, and the one text it must raise.
steps=(
    "Aimcraft 4, To Hit|type_into aimcraft 4; press to_hit|Needed roll: 3"
    "Moved ticked|press moved|Needed roll: 4"
    "Shots 12, Hits|type_into shots 12; press hits|Hits: 6."
    "To Wound 4, Wounds|type_into to_wound 4; press wounds|Wounds: 3."
    "Armour Save 5, Saves|type_into armour 5; press saves|Saves: 1."
    "Casualties|press casualties|Casualties: 2."
    "Clear|press clear|Aimcraft, Shots, To Wound and Armour Save cleared."
)

LC_ALL=en_US.UTF-8 WINEDEBUG=-all,fixme+uiautomation wine "$program/tarvelin.exe" >"$log" 2>&1 &
pid=$!
window_of Tarvelin >/dev/null
wine "$client" Tarvelin 30 || fail "no UI Automation client could reach the window"
before=0
for row in "${steps[@]}"; do
    IFS='|' read -r what keys text <<<"$row"
    eval "$keys"
    new=""
    for _ in $(seq 100); do
        new=$(notifications | tail -n +$((before + 1)))
        grep -Fxq -- "$text" <<<"$new" && break
        sleep 0.1
    done
    sleep 0.5 # for anything raised twice
    new=$(notifications | tail -n +$((before + 1)))
    if [ "$new" != "$text" ]; then
        fail "step \"$what\" raised [${new//$'\n'/; }] instead of one notification \"$text\""
    fi
    echo "  $what: notification \"$text\""
    before=$(notifications | wc -l)
done
quit
echo "Each step of the worked example raised its UI Automation notification."
