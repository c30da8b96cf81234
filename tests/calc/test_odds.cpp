// SPDX-FileCopyrightText: 2026 The Tarvelin developers
// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <span>
#include <string>
#include <vector>

#include "calc/odds.h"
#include "calc/odds_chart.h"
#include "tests/binomial_model.h"

namespace tarvelin {
namespace {

// The exact chance of at least k, for a chance of num/den, as a ratio of whole
// numbers: the sum of C(n, j) num^j (den - num)^(n - j) over j >= k, divided
// by den^n. Every term stays below 2^53, so the doubles are exact too.
std::int64_t power(std::int64_t base, int exponent) {
    std::int64_t result = 1;
    for (int i = 0; i < exponent; ++i) {
        result *= base;
    }
    return result;
}

double exactAtLeast(int n, int k, std::int64_t num, std::int64_t den) {
    std::int64_t sum = 0;
    std::int64_t binomial = 1;  // C(n, j)
    for (int j = 0; j <= n; ++j) {
        if (j >= k) {
            sum += binomial * power(num, j) * power(den - num, n - j);
        }
        binomial = binomial * (n - j) / (j + 1);
    }
    return static_cast<double>(sum) / static_cast<double>(power(den, n));
}

// Every count's chance, kept or not.
std::vector<double> whole(const CountChances& chances) {
    std::vector<double> all(chances.size());
    for (std::size_t k = 0; k < all.size(); ++k) {
        all[k] = chances[k];
    }
    return all;
}

TEST(ChancesOf, IsExactForEveryTableChanceOnSmallCounts) {
    // The chances of the rows, and the products a worked example makes.
    const std::pair<std::int64_t, std::int64_t> chances[] = {
        {1, 18}, {1, 12}, {1, 6}, {1, 3}, {1, 2}, {2, 3}, {5, 6}, {1, 4}, {1, 36}, {5, 18},
    };
    for (const auto& [num, den] : chances) {
        for (const int n : {1, 2, 5, 12}) {
            const auto tail =
                ChancesOf(n, static_cast<double>(num) / static_cast<double>(den)).atLeast;
            ASSERT_EQ(tail.size(), std::size_t(n) + 1);
            for (int k = 0; k <= n; ++k) {
                SCOPED_TRACE(std::to_string(num) + "/" + std::to_string(den) + " n " +
                             std::to_string(n) + " k " + std::to_string(k));
                const double exact = exactAtLeast(n, k, num, den);
                EXPECT_NEAR(tail[static_cast<std::size_t>(k)], exact, exact * 1e-12);
                if (k == 0) {
                    EXPECT_EQ(tail.front(), 1);  // certain, so "100.0" and never "> 99.9"
                }
            }
        }
    }
    // The worked example's casualties, by hand: 1 - (5/6)^12, and at least 7.
    const auto casualties = ChancesOf(12, 1.0 / 6).atLeast;
    EXPECT_NEAR(casualties[1], 1932641711.0 / 2176782336.0, 1e-15);
    EXPECT_NEAR(casualties[7], 2813586.0 / 2176782336.0, 1e-17);
}

TEST(ChancesOf, CertainImpossibleAndNoShots) {
    // How the chance of none and of at least all the shots read: 0.0 only
    // where the outcome cannot happen, though 2^-100000 underflows too.
    const struct {
        int n;
        double chance;
        std::vector<double> tail;
        const char* none;
        const char* all;
    } rows[] = {
        {0, 0.5, {1}, "100.0", "100.0"},           {0, 0, {1}, "100.0", "100.0"},
        {3, 0, {1, 0, 0, 0}, "100.0", "0.0"},      {3, 1, {1, 1, 1, 1}, "0.0", "100.0"},
        {100'000, 0, {}, "100.0", "0.0"},          {100'000, 0.5, {}, "< 0.1", "< 0.1"},
        {2, 0.5, {1, 0.75, 0.25}, "25.0", "25.0"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::to_string(row.n) + " " + std::to_string(row.chance));
        const Odds odds{row.n, row.chance};
        const auto [exactly, tail] = ChancesOf(row.n, row.chance);
        if (row.tail.empty()) {
            EXPECT_EQ(tail.front(), 1);
            EXPECT_EQ(tail.back(), 0);
        } else {
            EXPECT_EQ(whole(tail), row.tail);
        }
        EXPECT_EQ(PercentText(exactly.front(), Possible(odds, 0), "."), row.none);
        EXPECT_EQ(PercentText(tail.back(), PossibleAtLeast(odds, row.n), "."), row.all);
        // Where no chance underflows, what can happen is what has a chance.
        for (int k = -1; row.n <= 12 && k <= row.n + 1; ++k) {
            const auto at = static_cast<std::size_t>(std::max(k, 0));
            EXPECT_EQ(Possible(odds, k), k >= 0 && exactly[at] > 0) << k;
            EXPECT_EQ(PossibleAtLeast(odds, k), k < 0 || tail[at] > 0) << k;
        }
    }
}

// The tail of the independent model, summed outwards until the terms no
// longer count.
long double referenceAtLeast(int n, int k, double chance) {
    const long double p = chance;
    const auto term = [&](int j) { return binomial_model::term(n, j, p); };
    long double sum = 0;
    if (k > n * p) {
        for (int j = k; j <= n && term(j) > sum * 1e-25L; ++j) {
            sum += term(j);
        }
        return sum;
    }
    for (int j = k - 1; j >= 0 && term(j) > sum * 1e-25L; --j) {
        sum += term(j);
    }
    return 1 - sum;
}

TEST(ChancesOf, StaysAccurateForAHundredThousandShots) {
    constexpr int n = 100'000;
    for (const double chance : {0.5, 1.0 / 36, 5.0 / 6}) {
        const auto tail = ChancesOf(n, chance).atLeast;
        const double mean = n * chance;
        const double sd = std::sqrt(mean * (1 - chance));
        for (double z = -6.5; z <= 6.5; z += 0.5) {
            const int k = static_cast<int>(std::lround(mean + z * sd));
            const double expected = static_cast<double>(referenceAtLeast(n, k, chance));
            SCOPED_TRACE("chance " + std::to_string(chance) + " k " + std::to_string(k));
            ASSERT_GE(expected, 1e-12);
            EXPECT_NEAR(tail[static_cast<std::size_t>(k)], expected, expected * 1e-9);
        }
        for (std::size_t k = 1; k < tail.size(); ++k) {
            ASSERT_LE(tail[k], tail[k - 1]);
        }
    }
    // For a fair chance the normal curve is within Berry and Esseen's bound,
    // 0.4748 / sqrt(n), of the binomial tail.
    const auto fair = ChancesOf(n, 0.5).atLeast;
    for (const double z : {-2.0, -1.0, 0.0, 1.0, 2.0}) {
        const auto k = static_cast<std::size_t>(50'000 + z * std::sqrt(25'000.0));
        const double normal =
            0.5 * std::erfc((static_cast<double>(k) - 50'000) / std::sqrt(2 * 25'000.0));
        EXPECT_NEAR(fair[k], normal, 0.4748 / std::sqrt(n)) << z;
    }
}

// The exact chance of exactly k, for a chance of num/den: C(n, k) num^k
// (den - num)^(n - k) / den^n.
double exactExactly(int n, int k, std::int64_t num, std::int64_t den) {
    std::int64_t binomial = 1;
    for (int j = 0; j < k; ++j) {
        binomial = binomial * (n - j) / (j + 1);
    }
    return static_cast<double>(binomial * power(num, k) * power(den - num, n - k)) /
           static_cast<double>(power(den, n));
}

TEST(ChancesOf, IsExactAndSumsToTheTails) {
    const struct {
        int n;
        std::int64_t num;
        std::int64_t den;
    } rows[] = {{1, 1, 2}, {5, 1, 3}, {12, 1, 2}, {12, 1, 4}, {12, 1, 12}, {12, 1, 6}, {16, 2, 3}};
    for (const auto& row : rows) {
        const double chance = static_cast<double>(row.num) / static_cast<double>(row.den);
        const auto [exactly, atLeast] = ChancesOf(row.n, chance);
        ASSERT_EQ(exactly.size(), std::size_t(row.n) + 1);
        double fromTheTop = 0;
        for (int k = row.n; k >= 0; --k) {
            SCOPED_TRACE(std::to_string(row.num) + "/" + std::to_string(row.den) + " n " +
                         std::to_string(row.n) + " k " + std::to_string(k));
            const auto at = static_cast<std::size_t>(k);
            const double exact = exactExactly(row.n, k, row.num, row.den);
            EXPECT_NEAR(exactly[at], exact, exact * 1e-12);
            fromTheTop += exactly[at];
            EXPECT_NEAR(fromTheTop, atLeast[at], atLeast[at] * 1e-12);
        }
    }
    // Certain, impossible and no shots; and a chance of none far below what a
    // difference of two tails near 1 could hold: 2^-1000.
    EXPECT_EQ(whole(ChancesOf(0, 0.5).exactly), std::vector<double>{1});
    EXPECT_EQ(whole(ChancesOf(3, 0).exactly), (std::vector<double>{1, 0, 0, 0}));
    EXPECT_EQ(whole(ChancesOf(3, 1).exactly), (std::vector<double>{0, 0, 0, 1}));
    const double none = ChancesOf(1000, 0.5).exactly.front();
    EXPECT_NEAR(none, std::ldexp(1.0, -1000), std::ldexp(1.0, -1000) * 1e-9);
}

TEST(ChartOfOdds, BarsFollowTheCountsWorthShowing) {
    // Counts worked out from exact fractions: the worked example's four
    // results, the boundary of steps, bars capped at the shots, large volleys,
    // and chances of at least on the shares that earn a label.
    const struct {
        int n;
        std::int64_t num;
        std::int64_t den;
        int first, lastStart, lastEnd, bars, step, tallest;
        std::vector<int> labelled;
        int firstCount, lastCount;  // the ends worth showing, which may lie inside a bar
    } rows[] = {
        {12, 1, 2, 0, 12, 12, 13, 1, 6, {5, 6, 7}, 0, 12},
        {12, 1, 4, 0, 8, 8, 9, 1, 3, {2, 3, 4}, 0, 8},
        {12, 1, 12, 0, 5, 5, 6, 1, 1, {1, 2}, 0, 5},
        {12, 1, 6, 0, 7, 7, 8, 1, 2, {1, 2, 3}, 0, 7},
        {14, 1, 2, 0, 14, 14, 8, 2, 6, {6, 8}, 0, 14},
        {16, 2, 3, 4, 16, 16, 7, 2, 10, {8, 10, 12}, 4, 16},
        {3, 1, 1, 3, 3, 3, 1, 1, 3, {3}, 3, 3},
        {5, 0, 1, 0, 0, 0, 1, 1, 0, {}, 0, 0},
        {0, 1, 2, 0, 0, 0, 1, 1, 0, {}, 0, 0},
        {2, 1, 2, 0, 2, 2, 3, 1, 1, {1, 2}, 0, 2},
        {9, 1, 2, 0, 9, 9, 10, 1, 4, {3, 5, 6}, 0, 9},
        {15, 1, 6, 0, 8, 8, 9, 1, 2, {1, 2, 3}, 0, 8},
        {1000, 1, 2, 440, 550, 559, 12, 10, 500, {480, 500, 510}, 448, 552},
        {1000, 999, 1000, 994, 1000, 1000, 7, 1, 999, {998, 999, 1000}, 994, 1000},
        {10'000, 1, 2, 4800, 5150, 5199, 8, 50, 5000, {4950, 5000}, 4835, 5165},
        {100'000, 1, 2, 49400, 50500, 50599, 12, 100, 50000, {49800, 50000, 50100}, 49480, 50520},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::to_string(row.n) + " at " + std::to_string(row.num) + "/" +
                     std::to_string(row.den));
        const Odds odds{row.n, static_cast<double>(row.num) / static_cast<double>(row.den)};
        const Chances chances = ChancesOf(odds.trials, odds.chance);
        const OddsChart chart = ChartOfOdds(odds, chances);
        ASSERT_EQ(chart.bars.size(), std::size_t(row.bars));
        EXPECT_EQ(chart.bars.front().count, row.first);
        EXPECT_EQ(chart.bars.back().count, row.lastStart);
        EXPECT_EQ(chart.bars.back().last, row.lastEnd);
        EXPECT_EQ(chart.firstCount, row.firstCount);
        EXPECT_EQ(chart.lastCount, row.lastCount);
        EXPECT_EQ(chart.step, row.step);
        EXPECT_EQ(chart.bars[chart.tallest].count, row.tallest);
        EXPECT_NEAR(chart.average,
                    static_cast<double>(row.n * row.num) / static_cast<double>(row.den), 1e-9);
        std::vector<int> labelled;
        for (const std::size_t i : chart.labelled) {
            labelled.push_back(chart.bars[i].count);
        }
        EXPECT_EQ(labelled, row.labelled);
        // Each bar starts at a multiple of the step where the one before ends,
        // and holds the chance of exactly its counts.
        for (std::size_t i = 0; i < chart.bars.size(); ++i) {
            const ChartBar& bar = chart.bars[i];
            EXPECT_EQ(bar.count % row.step, 0) << bar.count;
            EXPECT_EQ(i == 0 ? row.first : chart.bars[i - 1].last + 1, bar.count);
            const double held = chances.atLeast[std::size_t(bar.count)] -
                                chances.atLeast[std::size_t(bar.last) + 1];
            EXPECT_NEAR(bar.chance, held, 1e-12) << bar.count;
        }
    }
}

TEST(CompareCharts, BothChartsCoverTheCountsOfEitherInOneStep) {
    // A volley beside a pinned one: the worked example's casualties from 24
    // shots against 12, volleys that barely overlap, and a large one against
    // a small one. The pinned bars hold the pinned volley's exact chances.
    const struct {
        int n;
        std::int64_t num, den;
        int pinnedN;
        std::int64_t pinnedNum, pinnedDen;
        int first, lastStart, step;
        std::vector<int> listed;
    } rows[] = {
        {24, 1, 6, 12, 1, 6, 0, 11, 1, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}},
        {12, 1, 6, 24, 1, 6, 0, 11, 1, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}},
        {12, 5, 6, 12, 1, 6, 0, 12, 2, {2, 4, 6, 8, 10, 12}},
        {1000, 1, 2, 12, 1, 2, 0, 550, 50, {50, 100, 150, 200, 250, 300, 350, 400, 450, 500, 550}},
        {12,
         1,
         2,
         100'000,
         1,
         2,
         0,
         50'000,
         5000,
         {5000, 10'000, 15'000, 20'000, 25'000, 30'000, 35'000, 40'000, 45'000, 50'000}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::to_string(row.n) + " against " + std::to_string(row.pinnedN));
        const Odds now{row.n, static_cast<double>(row.num) / static_cast<double>(row.den)};
        const Odds pinned{row.pinnedN,
                          static_cast<double>(row.pinnedNum) / static_cast<double>(row.pinnedDen)};
        const Chances nowChances = ChancesOf(now.trials, now.chance);
        const Chances pinnedChances = ChancesOf(pinned.trials, pinned.chance);
        const ComparedCharts both = CompareCharts(now, nowChances, pinned, pinnedChances);
        EXPECT_EQ(CountsWorthShowing(nowChances.atLeast, pinnedChances.atLeast).counts, row.listed);
        EXPECT_EQ(both.now.step, row.step);
        EXPECT_EQ(both.now.bars.front().count, row.first);
        EXPECT_EQ(both.now.bars.back().count, row.lastStart);
        EXPECT_EQ(both.pinned.average, pinned.trials * pinned.chance);
        ASSERT_EQ(both.now.bars.size(), both.pinned.bars.size());
        for (std::size_t i = 0; i < both.now.bars.size(); ++i) {
            const ChartBar& bar = both.pinned.bars[i];
            EXPECT_EQ(bar.count, both.now.bars[i].count);
            EXPECT_EQ(bar.last, both.now.bars[i].last);
            if (row.pinnedN <= 24) {
                const auto at = [&row](int k) {
                    return k > row.pinnedN
                               ? 0.0
                               : exactAtLeast(row.pinnedN, k, row.pinnedNum, row.pinnedDen);
                };
                EXPECT_NEAR(bar.atLeast, at(bar.count), 1e-12) << bar.count;
                EXPECT_NEAR(bar.chance, at(bar.count) - at(bar.last + 1), 1e-12) << bar.count;
            }
        }
    }
}

TEST(RowsOfChart, RangesOfALargeVolleyTileItsBarsWithTheirChances) {
    // In the finest round step that splits each bar and keeps to 200 rows.
    for (const auto& [chance, step] : {std::pair{0.5, 10}, {1.0 / 18, 5}}) {
        const Chances chances = ChancesOf(100'000, chance);
        const OddsChart chart = ChartOfOdds({100'000, chance}, chances);
        const OddsRows table = RowsOfChart(chart, chances, 200);
        EXPECT_EQ(table.step, step);
        int next = chart.bars.front().count;
        double sum = 0;
        for (const ChartBar& range : table.rows) {
            EXPECT_EQ(std::pair(range.count, range.last), std::pair(next, next + step - 1));
            next = range.last + 1;
            double terms = 0;
            for (int k = range.last; k >= range.count; --k) {
                terms += static_cast<double>(binomial_model::term(100'000, k, chance));
            }
            sum += terms;
            // Terms below 1e-300 of the likeliest one's are left out.
            EXPECT_NEAR(range.chance, terms, terms * 1e-9 + 1e-290) << range.count;
        }
        EXPECT_EQ(next, chart.bars.back().last + 1);
        EXPECT_NEAR(table.share, sum, 1e-12);
    }
}

TEST(RoundStep, TheSmallestRoundStepWhoseRowsFit) {
    const struct {
        int first, last;
        std::size_t most;
        int step;
    } rows[] = {
        {1, 11, 12, 1},
        {0, 12, 12, 2},
        {448, 552, 12, 10},
        {449, 560, 12, 20},
        {0, 9, 1, 10},
        {5, 5, 1, 1},
        {7, 3, 12, 1},
        {0, 100'000, 300, 500},
        {0, 100'000, 0, 200'000},
        {-5, 200'000, 12, 10'000},
        {-15, 5, 1, 10},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(RoundStep(row.first, row.last, row.most), row.step)
            << row.first << " to " << row.last << ", " << row.most;
    }
}

TEST(CountsWorthShowing, RunFromAllButCertainToAllButImpossible) {
    const struct {
        std::vector<double> atLeast;
        std::vector<int> counts;
        // How many of atLeast are passed: the rest lies beyond the tail.
        std::size_t given = std::numeric_limits<std::size_t>::max();
    } rows[] = {
        {{1}, {}},
        {{1, 0}, {}},
        {{1, 1, 1}, {2}},
        {{1, 0.9996, 0.9995, 0.0005, 0.0004}, {1, 2, 3}},
        {{1, 0.0004}, {}},
        {{1, 0.5, 0.3, 0.9}, {1, 2}, 3},
        // The worked example's casualties and hits.
        {whole(ChancesOf(12, 1.0 / 6).atLeast), {1, 2, 3, 4, 5, 6, 7}},
        {whole(ChancesOf(12, 0.5).atLeast), {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}},
        // Hits from 13 and 14 shots at a needed roll of 4: twelve counts in
        // range are all listed, thirteen go in steps of two from a multiple.
        {whole(ChancesOf(13, 0.5).atLeast), {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}},
        {whole(ChancesOf(14, 0.5).atLeast), {2, 4, 6, 8, 10, 12}},
    };
    for (const auto& row : rows) {
        const auto given = std::span(row.atLeast).first(std::min(row.atLeast.size(), row.given));
        EXPECT_EQ(CountsWorthShowing(given).counts, row.counts);
    }
    // A hundred counts in range: every tenth, a round step from a multiple.
    std::vector<double> wide(101);
    for (std::size_t k = 0; k < wide.size(); ++k) {
        wide[k] = 1 - static_cast<double>(k) / 100;
    }
    const CountsShown shown = CountsWorthShowing(wide);
    EXPECT_EQ(shown.step, 10);
    EXPECT_EQ(shown.counts, (std::vector<int>{10, 20, 30, 40, 50, 60, 70, 80, 90}));
}

TEST(CountsWorthShowing, EndAtTheSameShareOnBothSidesInRoundSteps) {
    // The ends against the independent model: the first count whose chance of
    // at most reaches 0.05 % and the last whose chance of at least does.
    const struct {
        int n;
        double chance;
        int step;
    } rows[] = {
        {12, 0.5, 1},        {1000, 0.5, 10},         {10'000, 0.5, 50},
        {100'000, 0.5, 100}, {100'000, 1.0 / 36, 50}, {100'000, 5.0 / 6, 100},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::to_string(row.n) + " at " + std::to_string(row.chance));
        const CountChances atLeast = ChancesOf(row.n, row.chance).atLeast;
        const CountsShown shown = CountsWorthShowing(atLeast);
        const auto atMost = [&row](int k) {
            return 1 - referenceAtLeast(row.n, k + 1, row.chance);
        };
        EXPECT_GE(atMost(shown.first), 0.0005L);
        EXPECT_LT(atMost(shown.first - 1), 0.0005L);
        EXPECT_GE(referenceAtLeast(row.n, shown.last, row.chance), 0.0005L);
        EXPECT_LT(referenceAtLeast(row.n, shown.last + 1, row.chance), 0.0005L);
        EXPECT_EQ(shown.step, row.step);
        EXPECT_LE(shown.counts.size(), kMostCountsShown);
        // The kept counts give what every count gives.
        const CountsShown all = CountsWorthShowing(whole(atLeast));
        EXPECT_EQ(all.counts, shown.counts);
        EXPECT_EQ(all.first, shown.first);
        EXPECT_EQ(all.last, shown.last);
    }
}

TEST(PercentText, RoundsToOneDecimalAndNeverClaimsCertainty) {
    const struct {
        double chance;
        const char* separator;
        const char* text;
        bool possible = false;  // said outright; otherwise taken from the chance
    } rows[] = {
        {0, ".", "0.0"},          {1, ".", "100.0"},       {0.619, ".", "61.9"},
        {0.99949, ".", "99.9"},   {0.9996, ".", "> 99.9"}, {0.0004, ".", "< 0.1"},
        {1e-300, ".", "< 0.1"},   {0.00051, ".", "0.1"},   {0.112, ",", "11,2"},
        {0.99999, ",", "> 99,9"}, {0, ",", "< 0,1", true}, {0.25, ".", "25.0", true},
    };
    for (const auto& row : rows) {
        const std::string text = row.possible ? PercentText(row.chance, true, row.separator)
                                              : PercentText(row.chance, row.separator);
        EXPECT_EQ(text, row.text) << row.chance;
    }
}

TEST(TableNumber, WritesPlainNumbersThatASpreadsheetReads) {
    const struct {
        double chance;
        const char* separator;
        int decimals;
        const char* text;
    } rows[] = {
        {0, ".", 1, "0"},
        {1, ".", 1, "100"},
        {0.112, ".", 1, "11.2"},
        {0.000049, ".", 1, "0.0049"},
        {3.1e-14, ".", 1, "3.1E-12"},
        {0.99969, ".", 1, "99.97"},
        {0.5, ",", 3, "50,000"},
        {0.00012, ",", 1, "0,012"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(TableNumber(row.chance, row.separator, row.decimals), row.text) << row.chance;
    }
}

TEST(ChanceOfNone, KeepsATinyChanceOfNone) {
    EXPECT_EQ(ChanceOfNone({1000, 0.5}), std::ldexp(1.0, -1000));
    EXPECT_NEAR(ChanceOfNone({12, 1.0 / 6}), 0.112156654784, 1e-12);
    EXPECT_EQ(ChanceOfNone({3, 1}), 0);
    EXPECT_EQ(ChanceOfNone({5, 0}), 1);
}

}  // namespace
}  // namespace tarvelin
