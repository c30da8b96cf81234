// SPDX-FileCopyrightText: 2026 The Tarvelin developers
// SPDX-License-Identifier: MIT
// Every volley worked out in this run of the program, one row each: the form
// as it stood after the row's latest step and which results the row holds,
// with the exact odds of several volleys' results added together. Plain
// data in memory; the window shows, words, copies and saves the rows.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "calc/names.h"
#include "calc/odds.h"
#include "calc/odds_chart.h"
#include "calc/volley_sheet.h"

namespace tarvelin {

// One result as a row keeps it: its average and, when it counts shots, the
// trials and chance per shot that its odds are worked out from again.
struct LoggedResult {
    double average = 0;
    std::optional<Odds> odds;
    friend bool operator==(const LoggedResult&, const LoggedResult&) = default;
};

struct LoggedVolley {
    std::string name;
    // The whole form after the row's latest step, to put back as it was. Its
    // odds are trials and a chance, never tables, so a row stays small.
    VolleySheet::State state;
    // Which of the four results, in the order of kResults, the row holds:
    // those up to date when they were worked out.
    std::array<bool, kResults.size()> holds{};

    [[nodiscard]] std::optional<LoggedResult> result(std::size_t i) const;
    // What the row's last result was worked out from: the fullest account of it.
    [[nodiscard]] const Volley& volley() const;
};

// What a step did to the log.
enum class LogChange {
    None,    // the step gave nothing new to keep
    Added,   // a new row, now the last
    Filled,  // the current row took the step's result
};

class VolleyLog {
public:
    // After `step` worked out its result without failing; `after` is the
    // sheet's state then. The first result of a new volley starts a row, with
    // whatever else is up to date; a later step of the same volley fills in
    // the current row. A result that is not up to date is not kept.
    LogChange worked(const VolleySheet::State& after, Command step);
    // After row `row` was put back into the form: steps that continue it
    // fill it, and steps that change it start a row of their own.
    void broughtBack(std::size_t row);
    // Rows by index, in any order; the others keep theirs in order.
    void remove(std::vector<std::size_t> rows);
    void clear();
    void rename(std::size_t row, std::string name);

    [[nodiscard]] const std::vector<LoggedVolley>& rows() const { return rows_; }
    // The row the next step of the same volley fills, if any.
    [[nodiscard]] std::optional<std::size_t> current() const { return current_; }

private:
    std::vector<LoggedVolley> rows_;
    std::optional<std::size_t> current_;
    unsigned named_ = 0;  // rows named so far, so that a name never comes twice
};

// The chances of a total of independent counts, each given by its own odds:
// the convolution of their binomial chances, over the terms that are not
// negligible: those at or above 1e-20 of each count's likeliest, and of the
// total's. Kept like ChancesOf's, by count from 0 to the sum of trials.
struct Total {
    int trials = 0;
    double average = 0;
    Chances chances;
};
[[nodiscard]] Total TotalOf(std::span<const Odds> counts);

// Several results drawn together, each by its chances and average.
struct Series {
    double average = 0;
    const Chances* chances = nullptr;
};
// One chart per series, all over the same counts: from the first worth
// showing of any to the last of any, in bars of a RoundStep that keeps them
// to `most`; and the counts of "at least" worth listing for all of them, in
// the step that keeps those to kMostCountsShown. A count beyond a series'
// shots has no chance in it.
struct SeriesCharts {
    std::vector<OddsChart> charts;
    std::vector<int> listed;
};
[[nodiscard]] SeriesCharts ChartsOfSeries(std::span<const Series> series, std::size_t most);

}  // namespace tarvelin
