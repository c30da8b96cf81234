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

namespace {

// Weights proportional to the chance of each count from 0 to n, for a chance
// strictly between 0 and 1. Factorials and powers of the chance overflow long
// before 100,000 shots. Instead each count gets a weight relative to the most
// likely count, spread outwards by the ratio of neighbouring binomial terms,
// which loses only a few roundings per step. Weights below kNegligible stay
// zero: they are far beneath anything a percentage can show.
std::vector<double> relativeWeights(std::size_t n, double chance) {
    constexpr double kNegligible = 1e-300;
    const double miss = 1 - chance;
    std::vector<double> weight(n + 1, 0.0);
    const auto mode = std::min(n, static_cast<std::size_t>(static_cast<double>(n + 1) * chance));
    weight[mode] = 1;
    for (std::size_t k = mode; k < n && weight[k] > kNegligible; ++k) {
        weight[k + 1] =
            weight[k] * (static_cast<double>(n - k) * chance) / (static_cast<double>(k + 1) * miss);
    }
    for (std::size_t k = mode; k > 0 && weight[k] > kNegligible; --k) {
        weight[k - 1] =
            weight[k] * (static_cast<double>(k) * miss) / (static_cast<double>(n - k + 1) * chance);
    }
    return weight;
}

}  // namespace

Chances ChancesOf(int trials, double chance) {
    const auto n = static_cast<std::size_t>(std::clamp(trials, 0, kMaxOddsTrials));
    Chances chances;
    std::vector<double>& exactly = chances.exactly;
    if (chance > 0 && chance < 1) {
        exactly = relativeWeights(n, chance);
    } else {
        exactly.assign(n + 1, 0.0);
        exactly[chance >= 1 ? n : 0] = 1;
    }
    // Summed from the top, so that each tail adds its smallest terms first;
    // the sum of all the weights then scales both to chances.
    std::vector<double>& atLeast = chances.atLeast;
    atLeast.resize(n + 1);
    std::partial_sum(exactly.rbegin(), exactly.rend(), atLeast.rbegin());
    const double sum = atLeast.front();
    const auto scale = [sum](double w) { return w / sum; };
    std::transform(exactly.begin(), exactly.end(), exactly.begin(), scale);
    std::transform(atLeast.begin(), atLeast.end(), atLeast.begin(), scale);
    return chances;
}

CountsShown CountsWorthShowing(std::span<const double> atLeast) {
    constexpr double kAllButCertain = 0.9995;
    constexpr double kAllButImpossible = 0.0005;
    CountsShown shown;
    int first = 1;
    int last = 0;
    for (std::size_t k = 1; k < atLeast.size(); ++k) {
        if (atLeast[k] > kAllButCertain) {
            first = static_cast<int>(k);
        }
        if (atLeast[k] >= kAllButImpossible) {
            last = static_cast<int>(k);
        }
    }
    if (last < first) {
        return shown;
    }
    shown.last = last;
    // Steps of 1, 2, 5, 10, 20, 50, ... read better than an odd step such as 87.
    const int span = last - first;
    constexpr int kMost = static_cast<int>(kMostCountsShown);
    for (int scale = 1; span / shown.step + 1 > kMost; scale *= 10) {
        for (const int mantissa : {1, 2, 5}) {
            shown.step = mantissa * scale;
            if (span / shown.step + 1 <= kMost) {
                break;
            }
        }
    }
    for (int k = first; k <= last; k += shown.step) {
        shown.counts.push_back(k);
    }
    return shown;
}

std::string PercentText(double chance, std::string_view separator) {
    std::array<char, 16> buf{};
    const double percent = std::clamp(chance, 0.0, 1.0) * 100;
    const char* const end =
        std::to_chars(buf.data(), buf.data() + buf.size(), percent, std::chars_format::fixed, 1)
            .ptr;
    std::string_view text(buf.data(), static_cast<std::size_t>(end - buf.data()));
    if (chance < 1 && text == "100.0") {
        text = "> 99.9";
    } else if (chance > 0 && text == "0.0") {
        text = "< 0.1";
    }
    return WithSeparator(text, separator);
}

}  // namespace tarvelin
