// SPDX-FileCopyrightText: 2026 The Tarvelin developers
// SPDX-License-Identifier: MIT
// The program's icon, from PNGs rendered at build time from the same SVG that
// is installed for the desktop, at the sizes window systems ask for.
#pragma once

#include <QIcon>

[[nodiscard]] QIcon appIcon();
