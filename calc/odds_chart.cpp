// SPDX-FileCopyrightText: 2026 The Tarvelin developers
// SPDX-License-Identifier: MIT
#include "calc/odds_chart.h"

#include <algorithm>
#include <array>

namespace tarvelin {

OddsChart ChartOfOdds(const Odds& odds, const Chances& chances) {
    const std::vector<double>& exactly = chances.exactly;
    const std::vector<double>& atLeast = chances.atLeast;
    OddsChart chart;
    chart.average = odds.trials * odds.chance;
    const CountsShown shown = CountsWorthShowing(atLeast);
    chart.step = shown.step;
    chart.lastCount = shown.last;
    std::vector<int> starts;
    if (shown.counts.empty()) {
        starts = {0};
    } else if (shown.step == 1) {
        // Bars from none show the whole spread of a small volley; a volley
        // that all but surely reaches many starts where the list does.
        const int first =
            shown.counts.front() <= static_cast<int>(kMostCountsShown) ? 0 : shown.counts.front();
        for (int k = first; k <= shown.counts.back(); ++k) {
            starts.push_back(k);
        }
    } else {
        starts = shown.counts;
    }
    const int most = static_cast<int>(exactly.size()) - 1;
    for (const int count : starts) {
        ChartBar bar{count, std::min(count + chart.step - 1, most), 0.0,
                     atLeast[static_cast<std::size_t>(count)]};
        // Smallest terms first, as the tails add them.
        for (int k = bar.last; k >= count; --k) {
            bar.chance += exactly[static_cast<std::size_t>(k)];
        }
        chart.bars.push_back(bar);
    }
    const auto tallest =
        std::max_element(chart.bars.begin(), chart.bars.end(),
                         [](const ChartBar& a, const ChartBar& b) { return a.chance < b.chance; });
    chart.tallest = static_cast<std::size_t>(tallest - chart.bars.begin());
    // The counts that three volleys in four, one in two and one in four reach
    // at least; "at least none" is certain and says nothing.
    constexpr std::array<double, 3> kShares{0.75, 0.5, 0.25};
    for (const double share : kShares) {
        std::size_t found = chart.bars.size();
        for (std::size_t i = 0; i < chart.bars.size(); ++i) {
            if (chart.bars[i].count > 0 && chart.bars[i].atLeast >= share) {
                found = i;
            }
        }
        if (found < chart.bars.size() && std::find(chart.labelled.begin(), chart.labelled.end(),
                                                   found) == chart.labelled.end()) {
            chart.labelled.push_back(found);
        }
    }
    return chart;
}

}  // namespace tarvelin
