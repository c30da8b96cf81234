// SPDX-FileCopyrightText: 2026 The Tarvelin developers
// SPDX-License-Identifier: MIT
// How likely each count of a result is, when the result counts independent
// shots: the binomial chance of at least k, which counts are worth listing,
// and a chance written as a rounded percentage. Pure numbers; the sheet says
// which results have odds and the window words them.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tarvelin {

// A result that counts successes among `trials` independent shots, each with
// the same `chance`: a binomial count whose mean is the stored average.
struct Odds {
    int trials = 0;
    double chance = 0;
    friend bool operator==(const Odds&, const Odds&) = default;
};

// Why a result has no odds.
enum class NoOdds {
    NotAResult,     // only the four result fields have odds
    NotYet,         // no Hits has started a calculation from shots yet
    ShotsNotWhole,  // the shots were not a whole number from 0 to kMaxOddsTrials
    MixedSteps,     // the saves were not worked out from the wounds stored now
};

// Up to this many shots the odds are worked out; beyond it they would take
// longer than a press should.
inline constexpr int kMaxOddsTrials = 100'000;

// The chance of exactly and of at least k successes, for every k from 0 to
// trials, from one pass over the binomial terms; each chance of at least is
// within a relative 1e-9 where it is at least 1e-12. exactly holds the terms
// whose sums from the top are atLeast, to the same accuracy, so that a tiny
// chance stays tiny instead of vanishing into the difference of two tails.
// trials is from 0 to kMaxOddsTrials and chance from 0 to 1.
struct Chances {
    std::vector<double> exactly;
    std::vector<double> atLeast;
};
[[nodiscard]] Chances ChancesOf(int trials, double chance);

// The counts of "at least k" worth listing beside the chance of none: from the
// largest count that is all but certain (above 99.95 %), or from 1, to the last
// count that is not all but impossible (at least 0.05 %). When more than
// kMostCountsShown counts lie in that range, every step-th one of them.
inline constexpr std::size_t kMostCountsShown = 12;
struct CountsShown {
    std::vector<int> counts;
    int step = 1;
    int last = 0;  // the last count worth showing, listed or not; 0 when none is
};
[[nodiscard]] CountsShown CountsWorthShowing(std::span<const double> atLeast);

// A chance as a percentage with one decimal: 0.619 -> "61.9". A chance that is
// neither certain nor impossible never shows as "100.0" or "0.0" but as
// "> 99.9" and "< 0.1".
[[nodiscard]] std::string PercentText(double chance, std::string_view separator);

}  // namespace tarvelin
