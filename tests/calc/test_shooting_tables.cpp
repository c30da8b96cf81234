// SPDX-FileCopyrightText: 2026 The Tarvelin developers
// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "calc/number_text.h"
#include "calc/shooting_tables.h"

namespace tarvelin {
namespace {

TEST(ToHitTable, EveryRatingAndItsNeighbours) {
    const std::pair<double, std::optional<std::string>> rows[] = {
        {1, "6"},
        {2, "5"},
        {3, "4"},
        {4, "3"},
        {5, "2"},
        {6, "1"},
        {7, "-1"},
        {8, "-2"},
        {9, "-3"},
        {10, "-4"},
        {0, std::nullopt},
        {11, std::nullopt},
        {5.5, std::nullopt},
        {0.999999, std::nullopt},
        {-1, std::nullopt},
    };
    for (const auto& [aimcraft, text] : rows) {
        SCOPED_TRACE(aimcraft);
        const auto row = ToHitTable(aimcraft);
        ASSERT_EQ(row.has_value(), text.has_value());
        if (row) {
            EXPECT_EQ(row->text, *text);
            // The number beside each text must say the same roll.
            EXPECT_EQ(TextFromNumber(row->roll), *text);
        }
    }
}

TEST(ModifierTable, AmountsAndCaptions) {
    const struct {
        Box box;
        double amount;
        std::string caption;
    } rows[] = {
        {Box::Check1, 1, "Moved"},         {Box::Check2, 1, "Over Half Range"},
        {Box::Check3, 1, "Soft Cover"},    {Box::Check4, 2, "Hard Cover"},
        {Box::Check5, -1, "Large Target"}, {Box::Check6, 1, "Double Shots  (Dark Elves only)"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.caption);
        EXPECT_EQ(ModifierTable(row.box), row.amount);
        EXPECT_EQ(BoxCaption(row.box), row.caption);
    }
}

struct ApplyRow {
    double key;
    double amount;
    std::optional<double> expected;
};

void expectRows(std::optional<double> (*table)(double, double), const ApplyRow* begin,
                const ApplyRow* end) {
    for (const ApplyRow* row = begin; row != end; ++row) {
        SCOPED_TRACE("key " + std::to_string(row->key) + " amount " + std::to_string(row->amount));
        EXPECT_EQ(table(row->key, row->amount), row->expected);
    }
}

TEST(HitTable, EveryRowAndBoundary) {
    const ApplyRow rows[] = {
        {9, 12, 0.0},
        {12, 12, 0.0},
        {100, 12, 0.0},
        {8.5, 12, std::nullopt},
        {8, 36, 2.0},
        {7, 36, 3.0},
        {6, 12, 2.0},
        {5, 12, 4.0},
        {4, 12, 6.0},
        {3, 12, 8.0},
        {2, 12, 10.0},
        {1, 12, 12.0},
        {0, 12, 12.0},
        {-4, 12, 12.0},
        {1.5, 12, 12.0},
        {2.5, 12, std::nullopt},
        {3.5, 12, std::nullopt},
        {7.5, 12, std::nullopt},
        {10, 0, 0.0},
        // Divisions by the constants themselves, not by their rounded inverses.
        {2, 1, 1 / 1.2},
        {3, 1, 1 / 1.5},
        {6, 10, 10.0 / 6},
    };
    expectRows(HitTable, std::begin(rows), std::end(rows));
}

TEST(WoundTable, EveryRowAndBoundary) {
    const ApplyRow rows[] = {
        {1, 6, 6.0},
        {2, 6, 5.0},
        {3, 6, 4.0},
        {4, 6, 3.0},
        {5, 6, 2.0},
        {6, 6, 1.0},
        {0, 6, 0.0},
        {-3, 6, 0.0},
        {-0.5, 6, 0.0},
        {0.5, 6, std::nullopt},
        {1.5, 6, std::nullopt},
        {7, 6, std::nullopt},
        {6.5, 6, std::nullopt},
    };
    expectRows(WoundTable, std::begin(rows), std::end(rows));
}

TEST(SaveTable, EveryRowAndBoundary) {
    const ApplyRow rows[] = {
        {6, 6, 1.0},          {5, 6, 2.0},
        {4, 5, 2.5},          {3, 6, 4.0},
        {2, 6, 5.0},          {1, 6, 6.0},
        {0, 6, 6.0},          {-2, 6, 6.0},
        {0.5, 6, 6.0},        {1.5, 6, std::nullopt},
        {7, 6, std::nullopt}, {6.5, 6, std::nullopt},
    };
    expectRows(SaveTable, std::begin(rows), std::end(rows));
}

TEST(Casualties, AreWoundsLessSavesAndMayGoNegative) {
    EXPECT_EQ(Casualties(3, 1), 2);
    EXPECT_EQ(Casualties(1, 3), -2);
    EXPECT_EQ(Casualties(2.5, 2.5), 0);
}

}  // namespace
}  // namespace tarvelin
