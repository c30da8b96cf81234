// SPDX-FileCopyrightText: 2026 The Tarvelin developers
// SPDX-License-Identifier: MIT
// The core's texts are UTF-8; this is the one place they become Qt's.
#pragma once

#include <QString>
#include <string_view>

[[nodiscard]] inline QString utf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}
