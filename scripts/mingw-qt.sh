#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tarvelin developers
# SPDX-License-Identifier: MIT
# Builds Qt's base module for 64-bit Windows with MinGW-w64, once, from the
# very qt6-base source Debian built the host's Qt from, with Debian's patch
# series and nothing of ours. Only what Tarvelin and its tests use is built:
# Core, Gui, Widgets and Test, the windows, offscreen and minimal platform
# plugins and the modern Windows styles (windowsvista and windows11), with
# Qt's bundled zlib, libpng, FreeType, HarfBuzz and PCRE2.
# The host must have Qt 6.8, as Debian 13 does: scripts/windows.sh enters
# such a system when it runs on another release.
#
# Usage: scripts/mingw-qt.sh            build it unless the cache has it; prints its folder last
#        scripts/mingw-qt.sh --prefix   only print the folder
# Beside Qt it keeps Qt's licence texts, the notices of the code of others
# inside Qt's DLLs and a record of the source, for the Windows packages.
#
# The folder is ${XDG_CACHE_HOME:-$HOME/.cache}/tarvelin/qt-<version>-mingw-<hash>,
# where the hash covers the configure options below, Debian's source version,
# and the cross compiler's version; any change to them builds a new
# folder beside the old. Remove one with rm -rf to free its space (about
# 80 MB); the build itself needs about 3 GB while it runs and about 70 min on
# two busy cores. TARVELIN_JOBS sets the number of parallel jobs.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

scripts/install-deps.sh cmake ninja-build g++-mingw-w64-x86-64-posix qt6-base-dev \
    qt6-base-dev-tools dpkg-dev perl xz-utils python3 >&2

# The host's Qt tools (moc, rcc, uic) generate code for the cross build, so
# the Windows Qt must be the same release: Debian's source of that release.
. /etc/os-release
debian_version=$(dpkg-query -W -f='${Version}' qt6-base-dev)
qt_version=${debian_version#*:}
qt_version=${qt_version%%[+~-]*}
# Below 6.8 Qt tells Windows' screen readers nothing of an announcement, and
# the options follow 6.8's source.
case $qt_version in
6.8.*) ;;
*)
    echo "Qt for MinGW is built from Debian's qt6-base 6.8 (Debian 13); this system" \
        "has $qt_version: run scripts/windows.sh, which enters a Debian 13 system" >&2
    exit 1
    ;;
esac

options=(
    -G Ninja
    -DCMAKE_BUILD_TYPE=Release
    -DBUILD_SHARED_LIBS=ON
    -DQT_HOST_PATH=/usr
    -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake
    -DQT_BUILD_EXAMPLES=OFF
    -DQT_BUILD_TESTS=OFF
    -DFEATURE_pkg_config=OFF
    -DFEATURE_androiddeployqt=OFF
    -DFEATURE_concurrent=OFF
    -DFEATURE_dbus=OFF
    -DFEATURE_network=OFF
    -DFEATURE_printsupport=OFF
    -DFEATURE_sql=OFF
    -DFEATURE_xml=OFF
    # OpenGL off as configure's -no-opengl has it, dynamic OpenGL included.
    -DINPUT_opengl=no
    -DFEATURE_vulkan=OFF
    # Qt 6.8's font database is DirectWrite's, whose code Gui compiles only
    # with Direct2D; Direct2D 1.1 would only add a platform plugin of its own.
    -DFEATURE_directwrite=ON
    -DFEATURE_direct2d=ON
    -DFEATURE_direct2d1_1=OFF
    -DFEATURE_icu=OFF
    -DFEATURE_zstd=OFF
    -DFEATURE_jpeg=OFF
    -DFEATURE_gif=OFF
    -DFEATURE_ico=OFF
    -DFEATURE_system_zlib=OFF
    -DFEATURE_system_png=OFF
    -DFEATURE_system_freetype=OFF
    -DFEATURE_system_harfbuzz=OFF
    -DFEATURE_system_pcre2=OFF
    # Debian's source leaves out src/3rdparty/wintab, which tablet events need.
    -DFEATURE_tabletevent=OFF
)
compiler=$(dpkg-query -W -f='${Package} ${Version}; ' g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev)
hash=$({
    printf '%s\n' "${options[@]}" "$debian_version" "$compiler"
} | sha256sum | cut -c1-12)
prefix="${XDG_CACHE_HOME:-$HOME/.cache}/tarvelin/qt-$qt_version-mingw-$hash"

if [ "${1:-}" = "--prefix" ]; then
    echo "$prefix"
    exit 0
fi
# Two markers, each written last: the build, and the licence texts and the
# note on the source that the Windows packages ship beside Qt's DLLs.
built="$prefix/tarvelin-qt-built"
record="$prefix/tarvelin-qt-source.txt"
if [ -e "$built" ] && [ -e "$record" ]; then
    echo "Qt $qt_version for MinGW: reusing $prefix" >&2
    echo "$prefix"
    exit 0
fi

work="$prefix.work"
mkdir -p "$work"
log="$work/build.log"
fail() {
    tail -40 "$log" >&2
    echo "Qt for MinGW failed: $1; the whole log is $log" >&2
    exit 1
}

# Debian's source archive through a source list of our own, so that the
# system's lists and cache stay as they are.
if [ ! -d "$work/src" ]; then
    apt_dir="$work/apt"
    rm -rf "$apt_dir"
    mkdir -p "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial" "$apt_dir/sources.list.d"
    echo "deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg]" \
        "${TARVELIN_DEBIAN_MIRROR:-http://deb.debian.org/debian} $VERSION_CODENAME main" \
        >"$apt_dir/sources.list"
    apt_options=(
        -o "Dir::Etc::SourceList=$apt_dir/sources.list"
        -o "Dir::Etc::SourceParts=$apt_dir/sources.list.d"
        -o "Dir::State::Lists=$apt_dir/lists"
        -o "Dir::Cache=$apt_dir/cache"
        -o "Dir::Cache::pkgcache=" -o "Dir::Cache::srcpkgcache="
        -o "APT::Sandbox::User=$(id -un)"
    )
    echo "Fetching qt6-base $debian_version from Debian's source archive" >&2
    apt-get "${apt_options[@]}" update -q >>"$log" 2>&1 || fail "apt-get update"
    (cd "$apt_dir" && apt-get "${apt_options[@]}" source --download-only \
        "qt6-base=$debian_version") >>"$log" 2>&1 || fail "apt-get source"
    # dpkg-source applies Debian's patch series as it unpacks.
    dpkg-source -x "$apt_dir"/qt6-base_*.dsc "$work/src.tmp" >>"$log" 2>&1 ||
        fail "dpkg-source -x"
    mv "$work/src.tmp" "$work/src"
    rm -rf "$apt_dir"
fi

if [ ! -e "$built" ]; then
    echo "Qt $qt_version for MinGW: building into $prefix (log: $log)" >&2
    echo "Configuring Qt (about 2 min)" >&2
    cmake -S "$work/src" -B "$work/build" "${options[@]}" \
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
        -DCMAKE_INSTALL_PREFIX="$prefix" >>"$log" 2>&1 || fail "configure"
    echo "Building Qt (about 70 min on two cores)" >&2
    start=$SECONDS
    nice -n 10 cmake --build "$work/build" --parallel "${TARVELIN_JOBS:-$(nproc)}" \
        >>"$log" 2>&1 || fail "build"
    cmake --install "$work/build" >>"$log" 2>&1 || fail "install"
    echo "Built Qt for MinGW in $(((SECONDS - start) / 60)) min" >&2
    touch "$built"
fi

# Qt's licence texts, the notices of the code of others inside its DLLs, and
# what the note of the Windows packages says about the source.
mkdir -p "$prefix/licenses"
cp "$work/src/LICENSES"/*.txt "$prefix/licenses/"
python3 scripts/qt_third_party.py "$work/src" "$prefix/licenses/qt-third-party.txt"
{
    echo "debian-version: $debian_version"
    echo "debian-patches: $(grep -v -e '^#' -e '^$' "$work/src/debian/patches/series" | tr '\n' ' ')"
    compiler=${compiler%; }
    echo "compiler: ${compiler//; /, }"
    echo "options: ${options[*]}"
} >"$record.tmp"
mv "$record.tmp" "$record"
rm -rf "$work"
echo "$prefix"
