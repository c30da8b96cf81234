// SPDX-FileCopyrightText: 2026 The Tarvelin developers
// SPDX-License-Identifier: MIT
// What the Qt this is built with can do, told once from its version, so that
// the window asks for a feature by name; what to do without it is the caller's.
// This is the one place that reads Qt's version.
#pragma once

#include <QtGlobal>

// Qt 6.8 brings announcements, which screen readers speak without a control
// changing, and tells them of a changed description in a form they can
// speak. As a macro too, since the announcement's class exists only from it.
#define TARVELIN_QT_ANNOUNCEMENTS (QT_VERSION >= QT_VERSION_CHECK(6, 8, 0))

namespace qt_features {

inline constexpr bool kAnnouncements = TARVELIN_QT_ANNOUNCEMENTS;
// Before 6.8 a changed description reaches the screen reader as the object's
// own reference, which Orca 43 cannot speak, and it tries to for the control
// with the focus.
inline constexpr bool kSpokenDescriptionChanges = TARVELIN_QT_ANNOUNCEMENTS;

// Qt's Wayland plugin tells the compositor how it may move a popup that does
// not fit, flip or slide, as a property of the popup's window asks.
inline constexpr bool kPopupPositionerHints = QT_VERSION >= QT_VERSION_CHECK(6, 8, 0);

}  // namespace qt_features
