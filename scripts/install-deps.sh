#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tarvelin developers
# SPDX-License-Identifier: MIT
# Installs the Debian packages that a build needs, only those missing.
# Usage: scripts/install-deps.sh PACKAGE...
set -euo pipefail

missing=()
for package in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing missing packages: ${missing[*]}"
as_root=()
if [ "$(id -u)" -ne 0 ]; then
    if command -v sudo >/dev/null; then
        as_root=(sudo)
    else
        echo "These packages are missing and this is not root: ${missing[*]}" >&2
        exit 1
    fi
fi
export DEBIAN_FRONTEND=noninteractive
# Another command may be installing into the same system (the test command
# and the Windows build share the other release's chroot): wait for its lock.
wait_lock=(-o DPkg::Lock::Timeout=900)
"${as_root[@]}" apt-get "${wait_lock[@]}" update -q
"${as_root[@]}" apt-get "${wait_lock[@]}" install -y -q --no-install-recommends "${missing[@]}"
