// SPDX-FileCopyrightText: 2026 The Tarvelin developers
// SPDX-License-Identifier: MIT
#include "calc/shooting_tables.h"

#include <algorithm>
#include <array>

namespace tarvelin {

namespace {

struct RatingRow {
    double aimcraft;
    ToHitRow row;
};

// There is no "0" roll: past 6 the rating skips straight from 1 to -1.
constexpr std::array<RatingRow, 10> kToHit{{
    {1, {"6", 6}},
    {2, {"5", 5}},
    {3, {"4", 4}},
    {4, {"3", 3}},
    {5, {"2", 2}},
    {6, {"1", 1}},
    {7, {"-1", -1}},
    {8, {"-2", -2}},
    {9, {"-3", -3}},
    {10, {"-4", -4}},
}};

// Roll r on a die succeeds with chance (7 - r) / 6; each row divides by the
// inverse of that chance, written out as the constant it is.
struct DivisorRow {
    double roll;
    double divisor;
};

constexpr std::array<DivisorRow, 5> kDieRolls{{
    {2, 1.2},
    {3, 1.5},
    {4, 2},
    {5, 3},
    {6, 6},
}};

std::optional<double> divideOnDie(double roll, double amount) {
    const auto* row = std::find_if(kDieRolls.begin(), kDieRolls.end(),
                                   [roll](const DivisorRow& r) { return r.roll == roll; });
    if (row == kDieRolls.end()) {
        return std::nullopt;
    }
    return amount / row->divisor;
}

}  // namespace

std::optional<ToHitRow> ToHitTable(double aimcraft) noexcept {
    const auto* row = std::find_if(kToHit.begin(), kToHit.end(), [aimcraft](const RatingRow& r) {
        return r.aimcraft == aimcraft;
    });
    if (row == kToHit.end()) {
        return std::nullopt;
    }
    return row->row;
}

double ModifierTable(Box box) noexcept {
    switch (box) {
    case Box::Check1:
    case Box::Check2:
    case Box::Check3:
    case Box::Check6:
        return 1;
    case Box::Check4:
        return 2;
    case Box::Check5:
        return -1;
    }
    return 0;
}

std::string_view BoxCaption(Box box) noexcept {
    switch (box) {
    case Box::Check1:
        return "Moved";
    case Box::Check2:
        return "Over Half Range";
    case Box::Check3:
        return "Soft Cover";
    case Box::Check4:
        return "Hard Cover";
    case Box::Check5:
        return "Large Target";
    case Box::Check6:
        return "Double Shots  (Dark Elves only)";
    }
    return {};
}

std::optional<double> HitTable(double neededRoll, double shots) noexcept {
    if (neededRoll >= 9) {
        return 0.0;
    }
    if (neededRoll == 8) {
        return shots / 18;
    }
    if (neededRoll == 7) {
        return shots / 12;
    }
    if (neededRoll < 2) {
        return shots;
    }
    return divideOnDie(neededRoll, shots);
}

std::optional<double> WoundTable(double toWound, double hits) noexcept {
    if (toWound <= 0) {
        return 0.0;
    }
    if (toWound == 1) {
        return hits;
    }
    return divideOnDie(toWound, hits);
}

std::optional<double> SaveTable(double armourSave, double wounds) noexcept {
    if (armourSave <= 1) {
        return wounds;
    }
    return divideOnDie(armourSave, wounds);
}

double Casualties(double wounds, double saves) noexcept {
    return wounds - saves;
}

}  // namespace tarvelin
