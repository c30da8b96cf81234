#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tarvelin developers
# SPDX-License-Identifier: MIT
#
# Builds the Debian package from a build and runs lintian on it; any error or
# warning fails. Informational tags are listed, and each one the package
# keeps is overridden with its reason in packaging/lintian-overrides.
# Usage: check_package.sh BUILD_DIR
set -euo pipefail
build="$1"

for tool in cpack lintian dpkg-shlibdeps; do
    if ! command -v "$tool" >/dev/null; then
        echo "$tool is missing: install cmake, lintian and dpkg-dev" >&2
        exit 1
    fi
done

out="$(mktemp -d)"
trap 'rm -rf "$out"' EXIT
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$out" >/dev/null
package=$(ls "$out"/tarvelin_*.deb)
# lintian warns when run as root, which CI is; that note is not about the package.
status=0
lintian --fail-on error,warning --info --show-overrides "$package" 2> >(grep -v "root privileges" >&2) ||
    status=$?
if [ "$status" -ne 0 ]; then
    echo "lintian found errors or warnings in $(basename "$package")" >&2
    exit 1
fi
echo "lintian: no errors or warnings in $(basename "$package")"
