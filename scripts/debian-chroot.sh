#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tarvelin developers
# SPDX-License-Identifier: MIT
# Runs a command in a Debian system of another release, so that one machine
# can build and test with that release's compilers, Qt and screen reader.
# Usage: scripts/debian-chroot.sh [--own-build] RELEASE COMMAND [ARGUMENT...]
#   RELEASE is a Debian code name (bookworm, trixie). The system is made with
#   debootstrap from the package archive this machine uses, the first time
#   only, and kept in ~/.cache/tarvelin/debian-RELEASE. The repository is seen
#   inside at the same path, and COMMAND runs there as root. With --own-build
#   its build/ is the repository's build/debian-RELEASE, so that the build
#   trees of the two systems, made with different compilers, stay apart and
#   every preset and script works inside unchanged. Everything is
#   mounted in a mount namespace of its own, so nothing stays mounted after
#   the command, whatever way it ends.
set -euo pipefail
cd "$(dirname "$0")/.."

own_build=
if [ "${1:-}" = --own-build ]; then
    own_build=yes
    shift
fi
if [ $# -lt 2 ]; then
    echo "usage: $0 [--own-build] RELEASE COMMAND [ARGUMENT...]" >&2
    exit 2
fi
release=$1
shift
[ "$(id -u)" -eq 0 ] || { echo "$0: making and entering a chroot needs root" >&2; exit 1; }
scripts/install-deps.sh debootstrap util-linux

cache="${XDG_CACHE_HOME:-$HOME/.cache}/tarvelin"
root="$cache/debian-$release"

# The archive this machine installs from, so the chroot reaches the same one.
archive() {
    local uri
    uri=$(grep -hoE '^URIs: *[^ ]+/debian/?$' /etc/apt/sources.list.d/*.sources 2>/dev/null \
        | head -1 | sed 's/^URIs: *//') || true
    if [ -z "$uri" ]; then
        uri=$(grep -hoE '^deb +(\[[^]]*\] +)?[a-z]+://[^ ]+/debian/? ' /etc/apt/sources.list \
            2>/dev/null | head -1 | awk '{print $NF}') || true
    fi
    echo "${uri:-http://deb.debian.org/debian}"
}

if [ ! -e "$root/.tarvelin-ready" ]; then
    echo "Making a Debian $release system in $root (once; later runs reuse it)"
    mkdir -p "$cache"
    rm -rf "$root.partial"
    debootstrap --variant=minbase "$release" "$root.partial" "$(archive)" \
        >"$cache/debootstrap-$release.log" 2>&1 \
        || { tail -20 "$cache/debootstrap-$release.log" >&2; exit 1; }
    rm -rf "$root"
    mv "$root.partial" "$root"
    touch "$root/.tarvelin-ready"
fi

repo=$PWD
build=
if [ -n "$own_build" ]; then
    build="$repo/build/debian-$release"
    mkdir -p "$build"
fi
# The mounts live and die with this namespace; private propagation keeps
# them from reaching the host's own mounts the other way too.
exec unshare --mount --propagation private /bin/bash -euo pipefail -c '
    root=$1 repo=$2 build=$3
    shift 3
    # The root made a mount point, as on a whole system, so that a command
    # inside can enter a further system the same way (unshare needs one).
    mount --bind "$root" "$root"
    mount -t proc proc "$root/proc"
    mount -t sysfs sysfs "$root/sys"
    mount --rbind /dev "$root/dev"
    mount -t tmpfs -o mode=1777 tmpfs "$root/dev/shm"
    mount -t tmpfs -o mode=1777 tmpfs "$root/tmp"
    mkdir -p "$root$repo"
    mount --bind "$repo" "$root$repo"
    if [ -n "$build" ]; then
        mkdir -p "$root$repo/build"
        mount --bind "$build" "$root$repo/build"
    fi
    cp -L /etc/resolv.conf "$root/etc/resolv.conf" 2>/dev/null || true
    cd "$repo"
    exec chroot "$root" /usr/bin/env -i HOME=/root LANG=C.UTF-8 TERM="${TERM:-dumb}" \
        CI="${CI:-}" PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
        /bin/bash -c "cd \"\$0\" && exec \"\$@\"" "$repo" "$@"
' tarvelin-chroot "$root" "$repo" "$build" "$@"
