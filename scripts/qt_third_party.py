#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 The Tarvelin developers
# SPDX-License-Identifier: MIT
"""Writes the notices of the third-party code that Qt builds into the DLLs
the Windows packages ship (Core, Gui, Widgets, the windows platform plugin
and the Windows styles), with the text of each licence, from the qt_attribution.json files of
a qtbase source.

Usage: scripts/qt_third_party.py QTBASE_SOURCE OUTPUT
"""
import json
import sys
from pathlib import Path

# Folders whose attributions describe code in those DLLs as configured by
# scripts/mingw-qt.sh: bundled libraries and data, hashes and algorithms.
# Qt's CMake files name them per target (ATTRIBUTION_FILE_DIR_PATHS).
# Left out: what only other systems, OpenGL, Vulkan, or modules not built
# use.
PARTS = [
    "src/corelib/text",
    "src/corelib/mimetypes/3rdparty",
    "src/gui/painting",
    "src/gui/rhi",
    "src/gui/text",
    "src/3rdparty/D3D12MemoryAllocator",
    "src/3rdparty/blake2",
    "src/3rdparty/double-conversion",
    "src/3rdparty/easing",
    "src/3rdparty/freetype",
    "src/3rdparty/harfbuzz-ng",
    "src/3rdparty/icc",
    "src/3rdparty/libpng",
    "src/3rdparty/md4",
    "src/3rdparty/md4c",
    "src/3rdparty/md5",
    "src/3rdparty/pcre2",
    "src/3rdparty/rfc6234",
    "src/3rdparty/sha1",
    "src/3rdparty/sha3",
    "src/3rdparty/siphash",
    "src/3rdparty/tinycbor",
    "src/3rdparty/zlib",
]


def entries(folder):
    # Qt's files hold line breaks inside strings, which strict JSON forbids.
    data = json.loads((folder / "qt_attribution.json").read_text(), strict=False)
    return data if isinstance(data, list) else [data]


def text(entry, key):
    # Newer attribution files give some fields as a list of lines.
    value = entry.get(key, "")
    return "\n".join(value) if isinstance(value, list) else value.strip()


def main():
    source, output = Path(sys.argv[1]), Path(sys.argv[2])
    out = [
        "Third-party code inside Qt's DLLs",
        "=================================",
        "",
        "Qt's Core, Gui and Widgets libraries, as built for these packages, contain",
        "the following code and data from others, under the licences quoted.",
    ]
    for part in PARTS:
        folder = source / part
        for entry in entries(folder):
            files = entry.get("LicenseFile", [])
            files = [files] if isinstance(files, str) else files
            out += [
                "",
                "-" * 78,
                f"{entry['Name']} {text(entry, 'Version')}".rstrip(),
                f"Used: {text(entry, 'QtUsage')}",
                f"Licence: {text(entry, 'License')} ({text(entry, 'LicenseId')})",
                f"Copyright: {text(entry, 'Copyright')}",
            ]
            for name in files:
                out += ["", (folder / name).read_text(errors="replace").rstrip()]
    output.write_text("\n".join(out) + "\n")


if __name__ == "__main__":
    main()
