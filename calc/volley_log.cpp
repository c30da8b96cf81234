// SPDX-FileCopyrightText: 2026 The Tarvelin developers
// SPDX-License-Identifier: MIT
#include "calc/volley_log.h"

#include <algorithm>
#include <functional>
#include <numeric>
#include <utility>
#include <variant>

namespace tarvelin {

std::optional<LoggedResult> LoggedVolley::result(std::size_t i) const {
    if (i >= holds.size() || !holds[i]) {
        return std::nullopt;
    }
    const VolleySheet::Result& kept = state.results[i];
    const auto* const odds = std::get_if<Odds>(&kept.odds);
    return LoggedResult{kept.stored, odds != nullptr ? std::optional(*odds) : std::nullopt};
}

const Volley& LoggedVolley::volley() const {
    for (std::size_t i = holds.size(); i > 0; --i) {
        if (holds[i - 1]) {
            return *state.results[i - 1].from;
        }
    }
    return *state.results.front().from;
}

LogChange VolleyLog::worked(const VolleySheet::State& after, Command step) {
    const std::optional<std::size_t> index = resultIndex(step);
    if (!index || !after.freshness.upToDate(kResults[*index].field)) {
        return LogChange::None;
    }
    std::array<bool, kResults.size()> fresh{};
    for (std::size_t i = 0; i < fresh.size(); ++i) {
        fresh[i] = after.freshness.upToDate(kResults[i].field);
    }
    if (current_) {
        LoggedVolley& row = rows_[*current_];
        const auto same = [&](std::size_t i) { return row.state.results[i] == after.results[i]; };
        // Pressed again to the same result: the volley is the one logged.
        if (row.holds[*index] && same(*index)) {
            return LogChange::None;
        }
        // A step of the same volley adds a result the row lacks, and leaves
        // every result it holds as it was and up to date.
        bool continues = !row.holds[*index];
        for (std::size_t i = 0; i < fresh.size(); ++i) {
            continues = continues && (!row.holds[i] || (fresh[i] && same(i)));
        }
        if (continues) {
            row.state = after;
            row.holds = fresh;
            return LogChange::Filled;
        }
    }
    rows_.push_back({"Volley " + std::to_string(++named_), after, fresh});
    current_ = rows_.size() - 1;
    return LogChange::Added;
}

void VolleyLog::broughtBack(std::size_t row) {
    if (row < rows_.size()) {
        current_ = row;
    }
}

void VolleyLog::remove(std::vector<std::size_t> rows) {
    std::sort(rows.begin(), rows.end(), std::greater<>());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    for (const std::size_t row : rows) {
        if (row >= rows_.size()) {
            continue;
        }
        rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(row));
        if (current_ && *current_ == row) {
            current_.reset();
        } else if (current_ && *current_ > row) {
            --*current_;
        }
    }
}

void VolleyLog::clear() {
    rows_.clear();
    current_.reset();
}

void VolleyLog::rename(std::size_t row, std::string name) {
    if (row < rows_.size()) {
        rows_[row].name = std::move(name);
    }
}

namespace {

// A term below this share of its count's likeliest one moves no sum of
// chances that a table or chart shows, being far below the last digit a
// double keeps of them; leaving such terms out keeps a total of large
// volleys to the counts that matter.
constexpr double kNegligible = 1e-20;

struct Terms {
    std::size_t first = 0;
    std::vector<double> kept;
};

Terms trimmed(Terms terms) {
    std::vector<double>& kept = terms.kept;
    const double most = *std::max_element(kept.begin(), kept.end());
    const auto worth = [most](double term) { return term >= most * kNegligible; };
    const auto from = std::find_if(kept.begin(), kept.end(), worth);
    const auto to = std::find_if(kept.rbegin(), kept.rend(), worth).base();
    terms.first += static_cast<std::size_t>(from - kept.begin());
    terms.kept = std::vector<double>(from, to);
    return terms;
}

Terms termsOf(const Odds& odds) {
    const Chances chances = ChancesOf(odds.trials, odds.chance);
    const std::span<const double> kept = chances.exactly.kept();
    return trimmed({chances.exactly.firstKept(), std::vector<double>(kept.begin(), kept.end())});
}

// The chance of each total of two independent counts is the sum, over every
// way of making it, of the products of their chances.
Terms convolved(const Terms& a, const Terms& b) {
    Terms sum{a.first + b.first, std::vector<double>(a.kept.size() + b.kept.size() - 1, 0.0)};
    for (std::size_t i = 0; i < a.kept.size(); ++i) {
        const double term = a.kept[i];
        double* const out = sum.kept.data() + i;
        for (std::size_t j = 0; j < b.kept.size(); ++j) {
            out[j] += term * b.kept[j];
        }
    }
    return trimmed(std::move(sum));
}

// The chance of a count from `from` to `to`: only the kept terms count, the
// rest being 0, and the smallest are added first, as the tails add them.
double keptSum(const CountChances& exactly, int from, int to) {
    const std::span<const double> kept = exactly.kept();
    const auto first = static_cast<std::ptrdiff_t>(exactly.firstKept());
    const std::ptrdiff_t low = std::max<std::ptrdiff_t>(from, first) - first;
    const std::ptrdiff_t high =
        std::min<std::ptrdiff_t>(to, first + static_cast<std::ptrdiff_t>(kept.size()) - 1) - first;
    double sum = 0;
    for (std::ptrdiff_t k = high; k >= low; --k) {
        sum += kept[static_cast<std::size_t>(k)];
    }
    return sum;
}

}  // namespace

Total TotalOf(std::span<const Odds> counts) {
    Total total;
    Terms terms{0, {1.0}};
    for (const Odds& odds : counts) {
        total.trials += std::clamp(odds.trials, 0, kMaxOddsTrials);
        total.average += odds.trials * odds.chance;
        terms = convolved(terms, termsOf(odds));
    }
    std::vector<double>& exactly = terms.kept;
    // As ChancesOf: the tails summed from the top, scaled by the whole sum.
    std::vector<double> atLeast(exactly.size());
    std::partial_sum(exactly.rbegin(), exactly.rend(), atLeast.rbegin());
    const double inverse = 1 / atLeast.front();
    for (std::size_t i = 0; i < exactly.size(); ++i) {
        exactly[i] *= inverse;
        atLeast[i] *= inverse;
    }
    atLeast.front() = 1;
    const auto size = static_cast<std::size_t>(total.trials) + 1;
    total.chances = {CountChances(terms.first, std::move(exactly), size, 0, 0),
                     CountChances(terms.first, std::move(atLeast), size, 1, 0)};
    return total;
}

SeriesCharts ChartsOfSeries(std::span<const Series> series, std::size_t most) {
    SeriesCharts out;
    if (series.empty()) {
        return out;
    }
    int first = kMaxOddsTrials * 8;
    int last = 0;
    int trials = 0;
    for (const Series& one : series) {
        const CountsShown shown = CountsWorthShowing(one.chances->atLeast);
        first = std::min(first, shown.first);
        last = std::max(last, shown.last);
        trials = std::max(trials, static_cast<int>(one.chances->atLeast.size()) - 1);
    }
    const int listStep = RoundStep(first, last, kMostCountsShown);
    // "At least none" is certain and says nothing.
    const int from = std::max(first, 1);
    for (int k = (from + listStep - 1) / listStep * listStep; k <= last; k += listStep) {
        out.listed.push_back(k);
    }
    const int step = RoundStep(first, last, most);
    for (const Series& one : series) {
        OddsChart chart;
        chart.average = one.average;
        chart.step = step;
        chart.firstCount = first;
        chart.lastCount = last;
        for (int count = first / step * step; count <= last; count += step) {
            const int end = std::min(count + step - 1, trials);
            chart.bars.push_back({count, end, keptSum(one.chances->exactly, count, end),
                                  one.chances->atLeast[static_cast<std::size_t>(count)]});
        }
        const auto tallest = std::max_element(
            chart.bars.begin(), chart.bars.end(),
            [](const ChartBar& a, const ChartBar& b) { return a.chance < b.chance; });
        chart.tallest = static_cast<std::size_t>(tallest - chart.bars.begin());
        out.charts.push_back(std::move(chart));
    }
    return out;
}

}  // namespace tarvelin
