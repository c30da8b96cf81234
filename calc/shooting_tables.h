// SPDX-FileCopyrightText: 2026 The Tarvelin developers
// SPDX-License-Identifier: MIT
// The fixed rules of a volley: rating to needed roll, the modifier of each
// box, and the three average-outcome tables. Pure lookups on doubles that
// match their rows exactly; they never read or write a field, and a value
// that matches no row gives std::nullopt, which the caller decides about.
#pragma once

#include <optional>
#include <string_view>

#include "calc/names.h"

namespace tarvelin {

// A row of the rating table: the needed roll as the literal text written to
// the needed-roll field, and the same roll as a number for adding modifiers.
struct ToHitRow {
    std::string_view text;
    double roll;
};

[[nodiscard]] std::optional<ToHitRow> ToHitTable(double aimcraft) noexcept;

// What a box adds to the needed roll when it is ticked.
[[nodiscard]] double ModifierTable(Box box) noexcept;

// The caption of a box, as the window shows it.
[[nodiscard]] std::string_view BoxCaption(Box box) noexcept;

[[nodiscard]] std::optional<double> HitTable(double neededRoll, double shots) noexcept;
[[nodiscard]] std::optional<double> WoundTable(double toWound, double hits) noexcept;
[[nodiscard]] std::optional<double> SaveTable(double armourSave, double wounds) noexcept;
[[nodiscard]] double Casualties(double wounds, double saves) noexcept;

}  // namespace tarvelin
