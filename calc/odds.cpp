// SPDX-FileCopyrightText: 2026 The Tarvelin developers
// SPDX-License-Identifier: MIT
#include "calc/odds.h"

#include "calc/number_text.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
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
// neighbouring binomial terms, which loses only a few roundings per step.
// Each ratio is worked out apart from the weights, so that only a product,
// not a division, waits for the weight before it. The spread stops at the
// first weight at or below kNegligible on each side: the counts beyond are
// far beneath anything a percentage can show, and leaving them out keeps a
// large volley's cost to the counts that matter.
struct Weights {
    std::size_t first = 0;
    std::vector<double> kept;
};

Weights relativeWeights(std::size_t n, double chance) {
    constexpr double kNegligible = 1e-300;
    const double miss = 1 - chance;
    const auto mode = std::min(n, static_cast<std::size_t>(static_cast<double>(n + 1) * chance));
    // Weights stay above kNegligible for about 37 standard deviations either
    // side of the mode, fewer on the short side of a skewed count.
    const double spread = 38 * std::sqrt(static_cast<double>(n) * chance * miss) + 16;
    std::vector<double> kept;
    kept.reserve(std::min(n + 1, static_cast<std::size_t>(2 * spread)));
    double weight = 1;
    kept.push_back(weight);
    for (std::size_t k = mode; k > 0 && weight > kNegligible; --k) {
        weight *= (static_cast<double>(k) * miss) / (static_cast<double>(n - k + 1) * chance);
        kept.push_back(weight);
    }
    // Spread downwards from the mode, then turned round to run by count.
    std::reverse(kept.begin(), kept.end());
    Weights weights{mode + 1 - kept.size(), std::move(kept)};
    weight = 1;
    for (std::size_t k = mode; k < n && weight > kNegligible; ++k) {
        weight *= (static_cast<double>(n - k) * chance) / (static_cast<double>(k + 1) * miss);
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
    // One division, not one per count; the whole tail is then 1 by definition.
    const double inverse = 1 / atLeast.front();
    for (std::size_t i = 0; i < exactly.size(); ++i) {
        exactly[i] *= inverse;
        atLeast[i] *= inverse;
    }
    atLeast.front() = 1;
    return {CountChances(weights.first, std::move(exactly), n + 1, 0, 0),
            CountChances(weights.first, std::move(atLeast), n + 1, 1, 0)};
}

double ChanceOfRange(const CountChances& exactly, int first, int last) {
    const auto size = static_cast<long>(exactly.size());
    const long from = std::max(first, 0);
    const long to = std::min<long>(last, size - 1);
    if (from > to) {
        return 0;
    }
    // Outside the kept counts every term reads the same, so those are
    // counted rather than added one by one: a range of a far tail may hold
    // tens of thousands of them.
    const auto kept = static_cast<long>(exactly.firstKept());
    const long keptEnd = kept + static_cast<long>(exactly.kept().size());  // one past the last
    const auto outside = [&exactly](long begin, long end, long at) {
        return end > begin
                   ? static_cast<double>(end - begin) * exactly[static_cast<std::size_t>(at)]
                   : 0.0;
    };
    double sum = outside(std::max(from, keptEnd), to + 1, to);
    for (long k = std::min(to, keptEnd - 1); k >= std::max(from, kept); --k) {
        sum += exactly[static_cast<std::size_t>(k)];
    }
    return sum + outside(from, std::min(to + 1, kept), from);
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

// Whether a chance of at least k is all but certain, so that the chance of
// at most k - 1 is all but impossible; and whether the chance of at least k
// is still worth showing. The first is compared as the tail against the
// complement of the share, so that a share of exactly 0.05 % stays on the
// right side of the line.
constexpr double kAllButImpossible = 0.0005;
bool allButCertain(double atLeast) {
    return atLeast > 1 - kAllButImpossible;
}
bool worthShowing(double atLeast) {
    return atLeast >= kAllButImpossible;
}

// The step and the counts listed, once the ends are known.
CountsShown listed(int first, int last) {
    CountsShown shown;
    shown.first = first;
    shown.last = last;
    shown.step = RoundStep(shown.first, shown.last, kMostCountsShown);
    // "At least none" is certain and says nothing; the chance of none stands apart.
    const int from = std::max(shown.first, 1);
    for (int k = (from + shown.step - 1) / shown.step * shown.step; k <= shown.last;
         k += shown.step) {
        shown.counts.push_back(k);
    }
    return shown;
}

}  // namespace

CountsShown CountsWorthShowing(std::span<const double> atLeast) {
    int first = 0;
    int last = 0;
    bool started = false;
    for (std::size_t k = 0; k < atLeast.size(); ++k) {
        if (!started && !allButCertain(k + 1 < atLeast.size() ? atLeast[k + 1] : 0.0)) {
            first = static_cast<int>(k);
            started = true;
        }
        if (worthShowing(atLeast[k])) {
            last = static_cast<int>(k);
        }
    }
    return listed(first, last);
}

CountsShown CountsWorthShowing(const CountChances& atLeast) {
    if (atLeast.size() == 0) {
        return listed(0, 0);
    }
    // The tails of ChancesOf never rise with the count, being sums of terms
    // that are not negative, so each end is found by halving among the kept
    // counts. Below them every tail is 1 and above them 0; at least none is
    // 1 too, so the first end is never below none.
    const std::span<const double> kept = atLeast.kept();
    const auto count = [&](std::span<const double>::iterator at) {
        return static_cast<int>(atLeast.firstKept()) + static_cast<int>(at - kept.begin());
    };
    const auto certain = std::partition_point(kept.begin(), kept.end(), allButCertain);
    const auto possible = std::partition_point(kept.begin(), kept.end(), worthShowing);
    return listed(count(certain) - 1, count(possible) - 1);
}

CountsShown CountsWorthShowing(const CountChances& atLeast, const CountChances& other) {
    const CountsShown one = CountsWorthShowing(atLeast);
    const CountsShown two = CountsWorthShowing(other);
    return listed(std::min(one.first, two.first), std::max(one.last, two.last));
}

double ChanceOfNone(const Odds& odds) {
    return std::pow(1 - odds.chance, odds.trials);
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

std::string TableNumber(double chance, std::string_view separator, int decimals) {
    if (chance <= 0) {
        return "0";
    }
    if (chance >= 1) {
        return "100";
    }
    const double percent = chance * 100;
    std::array<char, 48> buf{};
    const auto write = [&buf](double value, std::chars_format format, int digits) {
        const char* end =
            std::to_chars(buf.data(), buf.data() + buf.size(), value, format, digits).ptr;
        return std::string(buf.data(), static_cast<std::size_t>(end - buf.data()));
    };
    if (percent < 1e-6) {
        // Two significant digits, in the form spreadsheets read as a number.
        std::string text = write(percent, std::chars_format::scientific, 1);
        std::replace(text.begin(), text.end(), 'e', 'E');
        return WithSeparator(text, separator);
    }
    if (percent < 0.05) {
        // Two significant digits: 0.0049, 0.012.
        const int digits = 1 - static_cast<int>(std::floor(std::log10(percent)));
        return WithSeparator(write(percent, std::chars_format::fixed, digits), separator);
    }
    // As many decimals as asked, or as many more as it takes not to round up to 100.
    for (int shown = std::max(decimals, 1); shown <= 12; ++shown) {
        const std::string text = write(percent, std::chars_format::fixed, shown);
        double back = 0;
        std::from_chars(text.data(), text.data() + text.size(), back);
        if (back < 100) {
            return WithSeparator(text, separator);
        }
    }
    return WithSeparator(write(percent, std::chars_format::general, 17), separator);
}

}  // namespace tarvelin
