// SPDX-FileCopyrightText: 2026 The Tarvelin developers
// SPDX-License-Identifier: MIT
// What the Qt this is built with can do, told once from its version, so that
// the window asks for a feature by name; what to do without it is the caller's.
#pragma once

#include <QtGlobal>

namespace qt_features {

// Qt's Wayland plugin tells the compositor how it may move a popup that does
// not fit, flip or slide, as a property of the popup's window asks.
inline constexpr bool kPopupPositionerHints = QT_VERSION >= QT_VERSION_CHECK(6, 8, 0);

}  // namespace qt_features
