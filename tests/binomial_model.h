// SPDX-FileCopyrightText: 2026 The Tarvelin developers
// SPDX-License-Identifier: MIT
// A model of the binomial chances of its own, for the tests to hold the
// program's odds against: each term in long double from its logarithm.
// Standard C++ only; how close a shown figure must come is each test's own.
#pragma once

#include <cmath>

namespace binomial_model {

// The chance of exactly j successes among n tries that each succeed with chance p.
inline long double term(int n, int j, long double p) {
    return std::exp(std::lgamma(n + 1.0L) - std::lgamma(j + 1.0L) - std::lgamma(n - j + 1.0L) +
                    j * std::log(p) + (n - j) * std::log1p(-p));
}

// The chance of a count from `from` to `to`, term by term.
inline double chanceOfCounts(int n, int from, int to, double p) {
    long double sum = 0;
    for (int k = from; k <= to; ++k) {
        sum += term(n, k, p);
    }
    return static_cast<double>(sum);
}

}  // namespace binomial_model
