// SPDX-FileCopyrightText: 2026 The Tarvelin developers
// SPDX-License-Identifier: MIT
// What a chart of one result's odds shows: a bar for each count, or for each
// step of counts on a large volley, with its exact chance; the chance of at
// least that count; where the average falls; which values earn a label; and
// the rows a copied table of it holds. Pure numbers from the binomial terms;
// the window lays out, words and paints.
#pragma once

#include <cstddef>
#include <vector>

#include "calc/odds.h"

namespace tarvelin {

struct ChartBar {
    int count = 0;       // the first count the bar holds
    int last = 0;        // the last one: count itself unless the chart goes in steps
    double chance = 0;   // the exact chance of a count from count to last
    double atLeast = 0;  // the chance of at least count
};

struct OddsChart {
    std::vector<ChartBar> bars;  // by count; never empty
    int step = 1;                // counts per bar, a RoundStep; each bar starts at a multiple
    double average = 0;          // the mean count, trials times the chance
    std::size_t tallest = 0;     // the bar with the largest chance, the first of equals
    std::vector<std::size_t> labelled;  // bars whose chance of at least is worth a label
    int firstCount = 0;                 // the first count worth showing, where a copy starts
    int lastCount = 0;                  // the last count worth showing, where a copy ends
};

// From firstCount to lastCount lie the counts CountsWorthShowing finds, and
// also none when they start within a step of it and all the shots when they
// end within a step of them, so that both ends of a small volley are treated
// alike. The bars hold them in CountsWorthShowing's step, from the multiple
// of it at or below firstCount. chances are ChancesOf the same odds.
[[nodiscard]] OddsChart ChartOfOdds(const Odds& odds, const Chances& chances);

// The rows of a table of a chart's odds, at most `most` of them, each with the
// chance of a count from its first to its last and of at least its first.
// While the counts worth showing fit in that many rows, one row per count
// from firstCount to lastCount; otherwise each row holds `step` counts,
// the finest round step that divides the chart's and fits, and the rows run
// over the bars from end to end, so that each bar is the sum of whole rows.
// chances are those the chart was drawn from: two CompareCharts give the
// same rows, each with its own volley's chances.
struct OddsRows {
    int step = 1;
    std::vector<ChartBar> rows;  // by count, one after another without a gap
    double share = 1;            // the chance of a count from the first row's to the last row's
    bool whole = true;           // whether the rows hold every count from none to all the shots
};
[[nodiscard]] OddsRows RowsOfChart(const OddsChart& chart, const Chances& chances,
                                   std::size_t most);

// A result's chart beside the chart of a result kept to compare it with:
// both over the counts worth showing of either (CountsWorthShowing of the
// two), with the ends of both widened as ChartOfOdds widens one, so that bar
// i of each holds the same counts. A count beyond a volley's shots has no
// chance in it.
struct ComparedCharts {
    OddsChart now;
    OddsChart pinned;
};
[[nodiscard]] ComparedCharts CompareCharts(const Odds& now, const Chances& nowChances,
                                           const Odds& pinned, const Chances& pinnedChances);

}  // namespace tarvelin
