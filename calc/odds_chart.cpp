// SPDX-FileCopyrightText: 2026 The Tarvelin developers
// SPDX-License-Identifier: MIT
#include "calc/odds_chart.h"

#include <algorithm>
#include <array>
#include <iterator>

namespace tarvelin {

namespace {

// The bar that starts at count, in steps of step, up to the shots.
ChartBar barAt(int count, int step, const Chances& chances) {
    const int most = static_cast<int>(chances.exactly.size()) - 1;
    ChartBar bar{count, std::min(count + step - 1, most), 0.0,
                 chances.atLeast[static_cast<std::size_t>(count)]};
    // Smallest terms first, as the tails add them.
    for (int k = bar.last; k >= count; --k) {
        bar.chance += chances.exactly[static_cast<std::size_t>(k)];
    }
    return bar;
}

// The bars that three volleys in four, one in two and one in four reach at
// least; "at least none" is certain and says nothing.
std::vector<std::size_t> labelled(const std::vector<ChartBar>& bars) {
    constexpr std::array<double, 3> kShares{0.75, 0.5, 0.25};
    std::vector<std::size_t> found;
    for (const double share : kShares) {
        const auto reaches = [share](const ChartBar& bar) {
            return bar.count > 0 && bar.atLeast >= share;
        };
        const auto last = std::find_if(bars.rbegin(), bars.rend(), reaches);
        if (last == bars.rend()) {
            continue;
        }
        const auto i = static_cast<std::size_t>(std::distance(last, bars.rend()) - 1);
        if (std::find(found.begin(), found.end(), i) == found.end()) {
            found.push_back(i);
        }
    }
    return found;
}

}  // namespace

OddsChart ChartOfOdds(const Odds& odds, const Chances& chances) {
    OddsChart chart;
    chart.average = odds.trials * odds.chance;
    const CountsShown shown = CountsWorthShowing(chances.atLeast);
    const int step = shown.step;
    const int trials = static_cast<int>(chances.atLeast.size()) - 1;
    chart.step = step;
    chart.firstCount = shown.first < 2 * step ? 0 : shown.first;
    const int lastBarEnd = std::min(shown.last / step * step + step - 1, trials);
    chart.lastCount = trials - lastBarEnd <= step ? trials : shown.last;
    for (int count = chart.firstCount / step * step; count <= chart.lastCount; count += step) {
        chart.bars.push_back(barAt(count, step, chances));
    }
    const auto tallest =
        std::max_element(chart.bars.begin(), chart.bars.end(),
                         [](const ChartBar& a, const ChartBar& b) { return a.chance < b.chance; });
    chart.tallest = static_cast<std::size_t>(tallest - chart.bars.begin());
    chart.labelled = labelled(chart.bars);
    return chart;
}

}  // namespace tarvelin
