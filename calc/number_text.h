// SPDX-FileCopyrightText: 2026 The Tarvelin developers
// SPDX-License-Identifier: MIT
// Conversions between the text of a field and the doubles the calculator works
// with: a strict reader, a plain writer and the one-decimal result writer.
// All are locale-free inside; the caller passes the decimal separator (UTF-8,
// possibly several bytes) that the user's regional settings call for.
#pragma once

#include <exception>
#include <string>
#include <string_view>
#include <variant>

namespace tarvelin {

// Why a text is not a number. Kept apart so the window can say "empty" and
// "not a number" differently.
enum class TextProblem {
    Empty,       // nothing but blanks
    NotANumber,  // any character outside the strict decimal grammar
    TooLarge,    // a well-formed number beyond the range of a double
};

class ConversionError : public std::exception {
public:
    explicit ConversionError(TextProblem problem) : problem_(problem) {}
    [[nodiscard]] TextProblem problem() const noexcept { return problem_; }
    [[nodiscard]] const char* what() const noexcept override;

private:
    TextProblem problem_;
};

inline constexpr std::string_view kDefaultSeparator = ".";

// The reader without exceptions: a finite double, or why there is none.
// Accepts blanks around an optional sign, digits with at most one separator
// (at least one digit in all), and an optional exponent "e"/"E", sign, digits.
// Blanks are the white space of Unicode in UTF-8: space, tab, the line and
// page breaks, no-break and the other wide spaces.
// Magnitudes too small for a double read as a zero of the same sign.
[[nodiscard]] std::variant<double, TextProblem> ParseNumber(
    std::string_view text, std::string_view separator = kDefaultSeparator) noexcept;

// As ParseNumber, but raises ConversionError when the text is not a number.
[[nodiscard]] double NumberFromText(std::string_view text,
                                    std::string_view separator = kDefaultSeparator);

// Shortest plain form with at most 15 significant digits: 6 -> "6",
// 10/3 -> "3.33333333333333". Magnitudes from 1e15 up and below 1e-4 use an
// exponent ("1E+15", "1.5E-07"), which ParseNumber reads back. Zero has no sign.
[[nodiscard]] std::string TextFromNumber(double value,
                                         std::string_view separator = kDefaultSeparator);

// The result pattern: rounded to one decimal, the separator always written,
// the decimal digit only when it is not zero: 5 -> "5.", 10/3 -> "3.3".
// Exact ties (x.25, x.75) round away from zero; a value that rounds to zero
// has no sign.
[[nodiscard]] std::string ResultText(double value, std::string_view separator = kDefaultSeparator);

// An average as a result field rounds it, without the field's trailing
// separator: 6 -> "6", 2.5 -> "2.5", 10/3 -> "3.3".
[[nodiscard]] std::string AverageText(double value, std::string_view separator = kDefaultSeparator);

// An ASCII number with "." spelt with the user's separator instead.
[[nodiscard]] std::string WithSeparator(std::string_view ascii, std::string_view separator);

}  // namespace tarvelin
