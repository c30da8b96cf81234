// SPDX-FileCopyrightText: 2026 The Tarvelin developers
// SPDX-License-Identifier: MIT
#include "calc/odds_chart.h"

#include <algorithm>
#include <array>
#include <iterator>

namespace tarvelin {

namespace {

// The counts a chart covers: firstCount to lastCount in bars of step counts,
// none beyond `most`.
struct Span {
    int first = 0;
    int last = 0;
    int step = 1;
    int most = 0;
};

// Counts worth showing from first to last, widened to none when they start
// within a step of it and to all the shots when they end within a step of
// them.
Span spanOf(const CountsShown& shown, int trials) {
    const int step = shown.step;
    const int lastBarEnd = std::min(shown.last / step * step + step - 1, trials);
    return {shown.first < 2 * step ? 0 : shown.first,
            trials - lastBarEnd <= step ? trials : shown.last, step, trials};
}

// The bar that starts at count, in steps of step, up to most.
ChartBar barAt(int count, const Span& span, const Chances& chances) {
    const int last = std::min(count + span.step - 1, span.most);
    return {count, last, ChanceOfRange(chances.exactly, count, last),
            chances.atLeast[static_cast<std::size_t>(count)]};
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

namespace {

OddsChart chartOver(const Odds& odds, const Chances& chances, const Span& span) {
    OddsChart chart;
    chart.average = odds.trials * odds.chance;
    chart.step = span.step;
    chart.firstCount = span.first;
    chart.lastCount = span.last;
    for (int count = span.first / span.step * span.step; count <= span.last; count += span.step) {
        chart.bars.push_back(barAt(count, span, chances));
    }
    const auto tallest =
        std::max_element(chart.bars.begin(), chart.bars.end(),
                         [](const ChartBar& a, const ChartBar& b) { return a.chance < b.chance; });
    chart.tallest = static_cast<std::size_t>(tallest - chart.bars.begin());
    chart.labelled = labelled(chart.bars);
    return chart;
}

int trialsOf(const Chances& chances) {
    return static_cast<int>(chances.atLeast.size()) - 1;
}

}  // namespace

OddsChart ChartOfOdds(const Odds& odds, const Chances& chances) {
    return chartOver(odds, chances, spanOf(CountsWorthShowing(chances.atLeast), trialsOf(chances)));
}

namespace {

// The smallest step of 1, 2 or 5 times a power of ten that divides `step`
// and splits `counts` into at most `most` rows; step itself when none finer does.
int finestStep(int step, int counts, std::size_t most) {
    for (int scale = 1; scale < step; scale *= 10) {
        for (const int mantissa : {1, 2, 5}) {
            const int finer = mantissa * scale;
            const auto rows = static_cast<std::size_t>((counts + finer - 1) / finer);
            if (finer < step && step % finer == 0 && rows <= most) {
                return finer;
            }
        }
    }
    return step;
}

}  // namespace

OddsRows RowsOfChart(const OddsChart& chart, const Chances& chances, std::size_t most) {
    OddsRows table;
    int from = chart.firstCount;
    int to = chart.lastCount;
    table.step = RoundStep(from, to, most);
    if (table.step > 1) {
        // Rows that add up to the bars: the same ends, and a round step that
        // splits each bar into whole rows, as fine as the rows allow.
        from = chart.bars.front().count;
        to = chart.bars.back().last;
        table.step = finestStep(chart.step, to - from + 1, most);
    }
    for (int count = from; count <= to; count += table.step) {
        const int last = std::min(count + table.step - 1, to);
        table.rows.push_back({count, last, ChanceOfRange(chances.exactly, count, last),
                              chances.atLeast[static_cast<std::size_t>(count)]});
    }
    const int trials = trialsOf(chances);
    table.whole = from <= 0 && to >= trials;
    table.share = table.whole ? 1.0
                              : chances.atLeast[static_cast<std::size_t>(from)] -
                                    chances.atLeast[static_cast<std::size_t>(to) + 1];
    return table;
}

ComparedCharts CompareCharts(const Odds& now, const Chances& nowChances, const Odds& pinned,
                             const Chances& pinnedChances) {
    const Span span = spanOf(CountsWorthShowing(nowChances.atLeast, pinnedChances.atLeast),
                             std::max(trialsOf(nowChances), trialsOf(pinnedChances)));
    return {chartOver(now, nowChances, span), chartOver(pinned, pinnedChances, span)};
}

}  // namespace tarvelin
