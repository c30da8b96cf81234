// SPDX-FileCopyrightText: 2026 The Tarvelin developers
// SPDX-License-Identifier: MIT
// The core's texts are UTF-8; this is the one place they become Qt's, a
// chance's percentage among them.
#pragma once

#include <QString>
#include <string_view>

#include "calc/odds.h"

[[nodiscard]] inline QString utf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// "61.9 %", "< 0.1 %": PercentText with its sign; possible as PercentText takes it.
[[nodiscard]] inline QString percent(double chance, bool possible, std::string_view separator) {
    return utf8(tarvelin::PercentText(chance, possible, separator)) + " %";
}
