// SPDX-FileCopyrightText: 2026 The Tarvelin developers
// SPDX-License-Identifier: MIT
// How likely each count of a result is, when the result counts independent shots: the binomial
// chances of exactly and of at least k and of a range of counts, which counts are worth listing and
// in which round steps, whether a count can happen at all, and a chance as a rounded percentage.
// Pure numbers; the sheet says which results have odds and the window words them.
#pragma once

#include <cstddef>
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

// Whether exactly count successes can happen at all, and whether at least
// count can. A chance far out in a tail underflows to 0 in a double; only an
// outcome these deny is written as impossible.
[[nodiscard]] bool Possible(const Odds& odds, int count);
[[nodiscard]] bool PossibleAtLeast(const Odds& odds, int count);

// One chance for every count from 0 to the shots, read by count. Only the
// counts whose binomial terms are not negligible, below 1e-300 of the most
// likely count's, are kept: a 100,000-shot volley keeps about 12,000. A count
// below them reads `below` and one above them, or past the shots, `above`:
// the values the full sums give there in a double (0 for a term, 1 and 0 for
// a tail).
class CountChances {
public:
    CountChances() = default;
    CountChances(std::size_t firstKept, std::vector<double> kept, std::size_t size, double below,
                 double above);
    [[nodiscard]] double operator[](std::size_t count) const;
    [[nodiscard]] std::size_t size() const { return size_; }
    [[nodiscard]] double front() const { return (*this)[0]; }
    [[nodiscard]] double back() const { return (*this)[size_ - 1]; }
    [[nodiscard]] std::size_t firstKept() const { return first_; }
    [[nodiscard]] std::span<const double> kept() const { return kept_; }

private:
    std::size_t first_ = 0;
    std::vector<double> kept_;
    std::size_t size_ = 0;
    double below_ = 0;
    double above_ = 0;
};

// The chance of exactly and of at least k successes, for every k from 0 to
// trials, from one pass over the binomial terms that are not negligible; each
// chance of at least is within a relative 1e-9 where it is at least 1e-12.
// exactly holds the terms whose sums from the top are atLeast, to the same
// accuracy, so that a tiny chance stays tiny instead of vanishing into the
// difference of two tails. Both keep the same counts. trials is from 0 to
// kMaxOddsTrials and chance from 0 to 1.
struct Chances {
    CountChances exactly;
    CountChances atLeast;
};
[[nodiscard]] Chances ChancesOf(int trials, double chance);

// The chance of a count from first to last, from exactly of ChancesOf: its
// terms summed smallest first, as the tails are, so that a range far out in
// a tail keeps its tiny chance instead of losing it in the difference of two
// tails near 1. The range is cut to the counts from 0 to the shots; a range
// that holds none of them has no chance.
[[nodiscard]] double ChanceOfRange(const CountChances& exactly, int first, int last);

// The smallest step of 1, 2 or 5 times a power of ten at which the multiples
// of it from the one at or below first up to last number at most `most`: the
// starts of the bars or rows that hold first to last. first and last are taken
// as counts from 0 to kMaxOddsTrials; a `most` of 0 is taken as 1.
[[nodiscard]] int RoundStep(int first, int last, std::size_t most);

// The counts worth showing run from the first whose chance of at most is not
// all but impossible to the last whose chance of at least is not all but
// impossible, the same 0.05 % on both sides. They go in the RoundStep that
// keeps them to kMostCountsShown; the counts of "at least k" worth listing
// beside the chance of none are the multiples of that step from first, or
// from 1, to last.
inline constexpr std::size_t kMostCountsShown = 12;
struct CountsShown {
    std::vector<int> counts;
    int step = 1;
    int first = 0;  // the first count worth showing, listed or not
    int last = 0;   // the last count worth showing, listed or not
};
[[nodiscard]] CountsShown CountsWorthShowing(std::span<const double> atLeast);
[[nodiscard]] CountsShown CountsWorthShowing(const CountChances& atLeast);
// The counts worth showing of two volleys side by side, each with its chances
// of at least: from the first of either to the last of either, in the one
// RoundStep that keeps them to kMostCountsShown, so that every listed count
// has a chance in both.
[[nodiscard]] CountsShown CountsWorthShowing(const CountChances& atLeast,
                                             const CountChances& other);

// The chance of none, straight from the chance of a miss, so that a tiny
// chance of none does not vanish into 1 - (1 - tiny).
[[nodiscard]] double ChanceOfNone(const Odds& odds);

// A chance as a percentage with one decimal: 0.619 -> "61.9". A chance that is
// neither certain nor impossible never shows as "100.0" or "0.0" but as
// "> 99.9" and "< 0.1"; possible says that an outcome can happen even where
// its chance has underflowed to 0. The first form takes 0 as impossible.
[[nodiscard]] std::string PercentText(double chance, std::string_view separator);
[[nodiscard]] std::string PercentText(double chance, bool possible, std::string_view separator);

// A chance as the plain percentage a spreadsheet reads, with the separator:
// `decimals` decimals (at least one), "11.2"; below 0.05 two significant
// digits, "0.0049", and below 0.000001 in the exponent form, "3.1E-12"; near
// 100 as many decimals as keep it below, "99.97". "100" and "0" only for a
// chance that is certain or impossible.
[[nodiscard]] std::string TableNumber(double chance, std::string_view separator, int decimals = 1);

}  // namespace tarvelin
