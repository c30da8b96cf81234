// SPDX-FileCopyrightText: 2026 The Tarvelin developers
// SPDX-License-Identifier: MIT
#include "calc/odds.h"

#include "calc/number_text.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <numeric>

namespace tarvelin {

bool Possible(const Odds& odds, int count) {
    return count >= 0 && count <= odds.trials && (count == 0 || odds.chance > 0) &&
           (count == odds.trials || odds.chance < 1);
}

bool PossibleAtLeast(const Odds& odds, int count) {
    return count <= 0 || (count <= odds.trials && odds.chance > 0);
}

CountChances::CountChances(std::size_t firstKept, std::vector<double> kept, std::size_t size,
                           double below, double above)
    : first_(firstKept), kept_(std::move(kept)), size_(size), below_(below), above_(above) {}

double CountChances::operator[](std::size_t count) const {
    if (count < first_) {
        return below_;
    }
    return count - first_ < kept_.size() ? kept_[count - first_] : above_;
}

namespace {

// Weights proportional to the chance of each count from first on, for a
// chance strictly between 0 and 1. Factorials and powers of the chance
// overflow long before 100,000 shots. Instead each count gets a weight
// relative to the most likely count, spread outwards by the ratio of
// neighbouring binomial terms, which loses only a few roundings per step. The
// spread stops at the first weight at or below kNegligible on each side: the
// counts beyond are far beneath anything a percentage can show, and leaving
// them out keeps a large volley's cost to the counts that matter.
struct Weights {
    std::size_t first = 0;
    std::vector<double> kept;
};

Weights relativeWeights(std::size_t n, double chance) {
    constexpr double kNegligible = 1e-300;
    const double miss = 1 - chance;
    const auto mode = std::min(n, static_cast<std::size_t>(static_cast<double>(n + 1) * chance));
    std::vector<double> below;  // from the count under the mode downwards
    double weight = 1;
    for (std::size_t k = mode; k > 0 && weight > kNegligible; --k) {
        weight =
            weight * (static_cast<double>(k) * miss) / (static_cast<double>(n - k + 1) * chance);
        below.push_back(weight);
    }
    Weights weights{mode - below.size(), {}};
    // The upper side is about as long as the lower one, unless the mode is near the end.
    weights.kept.reserve(2 * below.size() + 64);
    weights.kept.assign(below.rbegin(), below.rend());
    weight = 1;
    weights.kept.push_back(weight);
    for (std::size_t k = mode; k < n && weight > kNegligible; ++k) {
        weight =
            weight * (static_cast<double>(n - k) * chance) / (static_cast<double>(k + 1) * miss);
        weights.kept.push_back(weight);
    }
    return weights;
}

}  // namespace

Chances ChancesOf(int trials, double chance) {
    const auto n = static_cast<std::size_t>(std::clamp(trials, 0, kMaxOddsTrials));
    Weights weights;
    if (chance > 0 && chance < 1) {
        weights = relativeWeights(n, chance);
    } else {
        weights = {chance >= 1 ? n : 0, {1.0}};
    }
    std::vector<double>& exactly = weights.kept;
    // Summed from the top, so that each tail adds its smallest terms first;
    // the sum of all the weights then scales both to chances. Below the kept
    // counts every tail holds the whole sum, so it reads 1 there.
    std::vector<double> atLeast(exactly.size());
    std::partial_sum(exactly.rbegin(), exactly.rend(), atLeast.rbegin());
    const double sum = atLeast.front();
    for (std::size_t i = 0; i < exactly.size(); ++i) {
        exactly[i] /= sum;
        atLeast[i] /= sum;
    }
    return {CountChances(weights.first, std::move(exactly), n + 1, 0, 0),
            CountChances(weights.first, std::move(atLeast), n + 1, 1, 0)};
}

int RoundStep(int first, int last, std::size_t most) {
    const int from = std::clamp(first, 0, kMaxOddsTrials);
    const int to = std::clamp(last, from, kMaxOddsTrials);
    const std::size_t atMost = std::max<std::size_t>(most, 1);
    const auto rows = [from, to](int step) {
        return static_cast<std::size_t>(to / step) - static_cast<std::size_t>(from / step) + 1;
    };
    // Ends once a step passes to: then one row holds everything.
    for (int scale = 1;; scale *= 10) {
        for (const int mantissa : {1, 2, 5}) {
            if (rows(mantissa * scale) <= atMost) {
                return mantissa * scale;
            }
        }
    }
}

namespace {

// The counts from first to last in the round step that keeps them few.
CountsShown listed(int first, int last) {
    CountsShown shown{{}, RoundStep(first, last, kMostCountsShown), first, last};
    // "At least none" is certain and says nothing; the chance of none stands apart.
    const int listedFrom = std::max(first, 1);
    for (int k = (listedFrom + shown.step - 1) / shown.step * shown.step; k <= last;
         k += shown.step) {
        shown.counts.push_back(k);
    }
    return shown;
}

// at(k) is the chance of at least k for k below size; only the counts from
// `from` to before `to` are looked at, the caller knowing that none outside
// them can be an end.
template <typename AtLeast>
CountsShown countsWorthShowing(const AtLeast& at, std::size_t size, std::size_t from,
                               std::size_t to) {
    constexpr double kAllButImpossible = 0.0005;
    // The chance of at most k is the complement of the tail above k, which is
    // what is kept; compared as that tail against its complement, it keeps a
    // share of exactly 0.05 % on the right side of the line.
    constexpr double kAllButCertain = 1 - kAllButImpossible;
    CountsShown shown;
    bool started = false;
    for (std::size_t k = from; k < to; ++k) {
        if (!started && (k + 1 < size ? at(k + 1) : 0.0) <= kAllButCertain) {
            shown.first = static_cast<int>(k);
            started = true;
        }
        if (at(k) >= kAllButImpossible) {
            shown.last = static_cast<int>(k);
        }
    }
    shown.last = std::max(shown.last, shown.first);
    return listed(shown.first, shown.last);
}

}  // namespace

CountsShown CountsWorthShowing(std::span<const double> atLeast) {
    const auto at = [atLeast](std::size_t k) { return atLeast[k]; };
    return countsWorthShowing(at, atLeast.size(), 0, atLeast.size());
}

CountsShown CountsWorthShowing(const CountChances& atLeast) {
    // Below the kept counts every tail is 1 and above them 0, so the ends lie
    // among the kept counts or next to them.
    const std::size_t first = atLeast.firstKept();
    const std::size_t from = first > 0 ? first - 1 : 0;
    const std::size_t to = std::min(first + atLeast.kept().size() + 1, atLeast.size());
    const auto at = [&atLeast](std::size_t k) { return atLeast[k]; };
    return countsWorthShowing(at, atLeast.size(), from, to);
}

CountsShown CountsWorthShowing(const CountChances& atLeast, const CountChances& other) {
    const CountsShown one = CountsWorthShowing(atLeast);
    const CountsShown two = CountsWorthShowing(other);
    return listed(std::min(one.first, two.first), std::max(one.last, two.last));
}

std::string PercentText(double chance, std::string_view separator) {
    return PercentText(chance, chance > 0, separator);
}

std::string PercentText(double chance, bool possible, std::string_view separator) {
    std::array<char, 16> buf{};
    const double percent = std::clamp(chance, 0.0, 1.0) * 100;
    const char* const end =
        std::to_chars(buf.data(), buf.data() + buf.size(), percent, std::chars_format::fixed, 1)
            .ptr;
    std::string_view text(buf.data(), static_cast<std::size_t>(end - buf.data()));
    if (chance < 1 && text == "100.0") {
        text = "> 99.9";
    } else if ((possible || chance > 0) && text == "0.0") {
        text = "< 0.1";
    }
    return WithSeparator(text, separator);
}

}  // namespace tarvelin
