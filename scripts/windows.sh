#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tarvelin developers
# SPDX-License-Identifier: MIT
# Builds Tarvelin for 64-bit Windows on Debian, tests it under Wine and
# packages it, into build/windows/:
#   tarvelin-<version>-windows-x64.zip   portable: unpack anywhere, start tarvelin.exe
#   tarvelin-<version>-windows-x64.exe   installer with a Start-menu entry and an uninstaller
# Qt for MinGW comes from scripts/mingw-qt.sh: Debian 13's Qt 6.8, built
# once (about 70 min on two cores) and kept in ~/.cache/tarvelin/, so later
# runs take minutes. On another release than Debian 13 the whole run goes
# into a Debian 13 system of its own (scripts/debian-chroot.sh), whose home
# keeps that cache: ~/.cache/tarvelin/debian-trixie/root/.cache/tarvelin/.
# Then Tarvelin is cross-built through the windows preset, every test
# program runs under Wine, CPack makes both packages, and the packages are
# checked: the zip's contents, the unpacked zip typing the worked example on
# a virtual display in an English and a German locale, the UI Automation
# notification each step of it raises, and the installer installing and
# uninstalling under Wine.
# X displays :71, :72 and :73 serve the runs on a virtual display;
# TARVELIN_DISPLAY=N uses N, N+1 and N+2 instead.
set -euo pipefail
cd "$(dirname "$0")/.."

# Qt 6.8 is the first to tell Windows' screen readers of an announcement,
# and Debian 13 is the release whose host tools build it.
. /etc/os-release
if [ "${ID:-}" != debian ] || [ "${VERSION_ID:-}" != 13 ]; then
    echo "== entering a Debian 13 system for the Windows build (scripts/debian-chroot.sh trixie)"
    settings=()
    for name in TARVELIN_DISPLAY TARVELIN_JOBS TARVELIN_DEBIAN_MIRROR; do
        if [ -n "${!name:-}" ]; then
            settings+=("$name=${!name}")
        fi
    done
    as_root=()
    if [ "$(id -u)" -ne 0 ]; then
        as_root=(sudo)
    fi
    exec "${as_root[@]}" scripts/debian-chroot.sh trixie env "${settings[@]}" scripts/windows.sh
fi

scripts/install-deps.sh cmake ninja-build g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 \
    libgtest-dev qt6-base-dev qt6-base-dev-tools librsvg2-bin wine wine64 nsis zip unzip \
    icoutils xvfb openbox xdotool xclip x11-apps netpbm fonts-wine fonts-dejavu-core

timings=()
timed() {
    local what=$1 start=$SECONDS
    shift
    "$@"
    timings+=("$what: $((SECONDS - start)) s")
}

start=$SECONDS
qt=$(scripts/mingw-qt.sh | tail -1)
timings+=("Qt for MinGW (scripts/mingw-qt.sh): $((SECONDS - start)) s")
export TARVELIN_MINGW_QT="$qt"

echo "== Tarvelin for Windows (MinGW-w64, Qt in $qt)"
# A build folder made on another system, with another compiler or Qt, is
# made anew rather than mixed with this one's objects.
made_for="Debian $VERSION_ID, $(dpkg-query -W -f='${Version}' g++-mingw-w64-x86-64-posix), $qt"
stamp=build/windows/tarvelin-made-for.txt
if [ -d build/windows ] && [ "$(cat $stamp 2>/dev/null)" != "$made_for" ]; then
    echo "build/windows was made for another system: making it anew"
    rm -rf build/windows
fi
cmake --preset windows >/dev/null
echo "$made_for" >$stamp
timed "Tarvelin cross build" cmake --build --preset windows

echo "== every test program under Wine"
timed "tests under Wine" ctest --preset windows

echo "== the portable zip and the installer"
build=build/windows
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' $build/CMakeCache.txt)
rm -f $build/tarvelin-*-windows-x64.*
timed "packages" cpack --config $build/CPackConfig.cmake -B $build
zip="$build/tarvelin-$version-windows-x64.zip"
installer="$build/tarvelin-$version-windows-x64.exe"
tests/wine/check_zip.sh "$zip" "$version"

echo "== the unpacked zip under Wine, on a virtual display"
rm -rf $build/portable
unzip -q -d $build/portable "$zip"
display=${TARVELIN_DISPLAY:-71}
timed "smoke run" tests/wine/smoke.sh "$build/portable/tarvelin-$version-windows-x64" \
    "$display" $build/smoke $build/tarvelin-wine.png

echo "== the UI Automation notification of each step, under Wine"
timed "notifications" tests/wine/announcements.sh "$build/portable/tarvelin-$version-windows-x64" \
    $build/uia_client.exe $((display + 2)) $build/announcements

echo "== the installer under Wine"
timed "installer" tests/wine/installer.sh "$installer" "$version" $((display + 1)) \
    $build/installer

echo "== done"
ls -l "$zip" "$installer"
printf '%s\n' "${timings[@]}"
echo "Wine $(wine --version 2>/dev/null), MinGW-w64 g++ (posix threads)" \
    "$(dpkg-query -W -f='${Version}' g++-mingw-w64-x86-64-posix)"
echo "The window as Wine draws it: $build/tarvelin-wine.png"
