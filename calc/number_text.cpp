// SPDX-FileCopyrightText: 2026 The Tarvelin developers
// SPDX-License-Identifier: MIT
#include "calc/number_text.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <system_error>

namespace tarvelin {

const char* ConversionError::what() const noexcept {
    switch (problem_) {
    case TextProblem::Empty:
        return "the text is empty";
    case TextProblem::NotANumber:
        return "the text is not a number";
    case TextProblem::TooLarge:
        return "the number is too large";
    }
    return "the text is not a number";
}

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// A copied cell or line brings its line end, and text from word processors
// and the web brings no-break and other wide spaces; all of Unicode's white
// space counts as a blank around a number (never inside one).
bool isAsciiBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Every other White_Space character, in UTF-8: U+0085, U+00A0, U+1680,
// U+2000 to U+200A, U+2028, U+2029, U+202F, U+205F and U+3000.
constexpr std::array<std::string_view, 19> kWideBlanks{
    "\xC2\x85",     "\xC2\xA0",     "\xE1\x9A\x80", "\xE2\x80\x80", "\xE2\x80\x81",
    "\xE2\x80\x82", "\xE2\x80\x83", "\xE2\x80\x84", "\xE2\x80\x85", "\xE2\x80\x86",
    "\xE2\x80\x87", "\xE2\x80\x88", "\xE2\x80\x89", "\xE2\x80\x8A", "\xE2\x80\xA8",
    "\xE2\x80\xA9", "\xE2\x80\xAF", "\xE2\x81\x9F", "\xE3\x80\x80",
};

// Length in bytes of the blank that text starts with (front) or ends with, or 0.
// Every byte of a wide blank is outside ASCII, so a text that starts or ends
// in ASCII needs no look at the table.
bool isAscii(char c) {
    return static_cast<unsigned char>(c) < 0x80;
}

std::size_t leadingBlank(std::string_view text) {
    if (text.empty() || isAscii(text.front())) {
        return !text.empty() && isAsciiBlank(text.front()) ? 1 : 0;
    }
    for (const std::string_view blank : kWideBlanks) {
        if (text.starts_with(blank)) {
            return blank.size();
        }
    }
    return 0;
}
std::size_t trailingBlank(std::string_view text) {
    if (text.empty() || isAscii(text.back())) {
        return !text.empty() && isAsciiBlank(text.back()) ? 1 : 0;
    }
    for (const std::string_view blank : kWideBlanks) {
        if (text.ends_with(blank)) {
            return blank.size();
        }
    }
    return 0;
}

std::string_view trimBlanks(std::string_view text) {
    // Most texts start and end in a digit or a sign: nothing to look up.
    // Every blank, ASCII or wide, starts with a byte that this rules out.
    const auto plain = [](char c) { return c > ' ' && isAscii(c); };
    if (!text.empty() && plain(text.front()) && plain(text.back())) {
        return text;
    }
    for (std::size_t n = leadingBlank(text); n > 0; n = leadingBlank(text)) {
        text.remove_prefix(n);
    }
    for (std::size_t n = trailingBlank(text); n > 0; n = trailingBlank(text)) {
        text.remove_suffix(n);
    }
    return text;
}

// Where the parts of a well-formed number lie, as found by the grammar scan.
struct Shape {
    bool negative = false;
    std::string_view intDigits;
    std::string_view fracDigits;
    bool expNegative = false;
    std::string_view expDigits;
};

std::size_t countDigits(std::string_view text, std::size_t from) {
    std::size_t n = from;
    while (n < text.size() && isDigit(text[n])) {
        ++n;
    }
    return n - from;
}

// Checks the whole text against the strict grammar. The separator is matched
// as a byte string so that multi-byte separators work; it is checked before
// anything else at its position.
bool scan(std::string_view text, std::string_view separator, Shape& shape) {
    std::size_t pos = 0;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        shape.negative = text[pos] == '-';
        ++pos;
    }
    std::size_t n = countDigits(text, pos);
    shape.intDigits = text.substr(pos, n);
    pos += n;
    if (!separator.empty() && text.substr(pos).starts_with(separator)) {
        pos += separator.size();
        n = countDigits(text, pos);
        shape.fracDigits = text.substr(pos, n);
        pos += n;
    }
    if (shape.intDigits.empty() && shape.fracDigits.empty()) {
        return false;
    }
    if (pos < text.size() && (text[pos] == 'e' || text[pos] == 'E')) {
        ++pos;
        if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
            shape.expNegative = text[pos] == '-';
            ++pos;
        }
        n = countDigits(text, pos);
        if (n == 0) {
            return false;
        }
        shape.expDigits = text.substr(pos, n);
        pos += n;
    }
    return pos == text.size();
}

// Whether the exponent's digits, read as a whole number, are at most n. Any
// number of digits is compared exactly: an exponent that outgrows 64 bits is
// larger than every count of digits a text can hold.
bool exponentAtMost(std::string_view digits, std::uint64_t n) {
    std::uint64_t value = 0;
    for (const char c : digits) {
        const auto digit = static_cast<std::uint64_t>(c - '0');
        if (value > n / 10 || digit > n - value * 10) {
            return false;
        }
        value = value * 10 + digit;
    }
    return true;
}

// Whether a number of this shape is 1 or more in magnitude, which decides
// between too large and too small when it is out of range. The mantissa must
// not be zero. Decided on the digit counts and the exponent's digits, not on
// their sum, so that no length of text or exponent is capped.
bool atLeastOne(const Shape& shape) {
    const std::size_t firstNonZero = shape.intDigits.find_first_not_of('0');
    if (firstNonZero != std::string_view::npos) {
        // At least 10^(whole digits - 1 + exponent).
        const std::uint64_t wholeDigits = shape.intDigits.size() - firstNonZero;
        return !shape.expNegative || exponentAtMost(shape.expDigits, wholeDigits - 1);
    }
    // Below 10^(exponent - leading zeros of the fraction).
    const std::uint64_t zeros = shape.fracDigits.find_first_not_of('0');
    return !shape.expNegative && !exponentAtMost(shape.expDigits, zeros);
}

// The common case, a "." number within range, read by from_chars alone.
// from_chars reads the grammar's numbers once a leading "+" is dropped, and
// its own extras ("inf", "nan") start with a letter, which is ruled out
// first. Anything else, including why a text is not a number, is left to
// the full scan.
std::optional<double> readPlain(std::string_view text) {
    const bool plus = text.front() == '+';
    if (plus) {
        text.remove_prefix(1);
    }
    // After a "+" the number itself must follow, not another sign.
    const std::size_t first = !plus && text.front() == '-' ? 1 : 0;
    if (first >= text.size() || (!isDigit(text[first]) && text[first] != '.')) {
        return std::nullopt;
    }
    double value = 0.0;
    const auto [end, ec] =
        std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::general);
    if (ec != std::errc{} || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

// A scanned number respelt for from_chars, which knows only "." and no
// leading "+": the one separator that the grammar allows is written as ".",
// on the stack when the text is short.
class Respelling {
public:
    // Returns the respelt text, which lives as long as this; nullopt when
    // there is no memory for a long one.
    std::optional<std::string_view> of(std::string_view number,
                                       std::string_view separator) noexcept {
        if (number.front() == '+') {
            number.remove_prefix(1);
        }
        const std::size_t at = separator == "." ? std::string_view::npos : number.find(separator);
        if (at == std::string_view::npos) {
            return number;
        }
        const std::string_view before = number.substr(0, at);
        const std::string_view after = number.substr(at + separator.size());
        const std::size_t length = before.size() + 1 + after.size();
        char* out = shortCopy_.data();
        if (length > shortCopy_.size()) {
            try {
                longCopy_.resize(length);
            } catch (...) {
                return std::nullopt;
            }
            out = longCopy_.data();
        }
        before.copy(out, before.size());
        out[before.size()] = '.';
        after.copy(out + before.size() + 1, after.size());
        return std::string_view(out, length);
    }

private:
    std::array<char, 64> shortCopy_{};
    std::string longCopy_;
};

// Reads a respelt number of this shape.
std::variant<double, TextProblem> readScanned(std::string_view number,
                                              const Shape& shape) noexcept {
    double value = 0.0;
    const auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), value,
                                           std::chars_format::general);
    // from_chars reads a zero mantissa as zero whatever its exponent, so out
    // of range means a nonzero number too small or too large for a double.
    if (ec == std::errc::result_out_of_range) {
        if (atLeastOne(shape)) {
            return TextProblem::TooLarge;
        }
        return shape.negative ? -0.0 : 0.0;
    }
    if (ec != std::errc{} || end != number.data() + number.size() || !std::isfinite(value)) {
        return TextProblem::NotANumber;
    }
    return value;
}

}  // namespace

std::variant<double, TextProblem> ParseNumber(std::string_view text,
                                              std::string_view separator) noexcept {
    if (separator.empty()) {
        separator = kDefaultSeparator;
    }
    text = trimBlanks(text);
    if (text.empty()) {
        return TextProblem::Empty;
    }
    if (separator == ".") {
        if (const auto value = readPlain(text)) {
            return *value;
        }
    }
    Shape shape;
    if (!scan(text, separator, shape)) {
        return TextProblem::NotANumber;
    }
    Respelling respelling;
    const auto number = respelling.of(text, separator);
    if (!number) {
        return TextProblem::TooLarge;
    }
    return readScanned(*number, shape);
}

double NumberFromText(std::string_view text, std::string_view separator) {
    const auto parsed = ParseNumber(text, separator);
    if (const auto* problem = std::get_if<TextProblem>(&parsed)) {
        throw ConversionError(*problem);
    }
    return std::get<double>(parsed);
}

namespace {

// Large enough for any double in fixed notation with one decimal.
using Buffer = std::array<char, 400>;

std::string nonFinite(double value) {
    if (std::isnan(value)) {
        return "nan";
    }
    return value < 0 ? "-inf" : "inf";
}

}  // namespace

std::string WithSeparator(std::string_view ascii, std::string_view separator) {
    if (separator.empty() || separator == ".") {
        return std::string(ascii);
    }
    std::string out;
    out.reserve(ascii.size() + separator.size());
    for (const char c : ascii) {
        if (c == '.') {
            out += separator;
        } else {
            out += c;
        }
    }
    return out;
}

std::string TextFromNumber(double value, std::string_view separator) {
    if (!std::isfinite(value)) {
        return nonFinite(value);
    }
    if (value == 0.0) {
        return "0";
    }
    // Near the top of the range, rounding up to 15 digits would give a text
    // that no longer reads as a number; those few values round down instead.
    constexpr double kLargestShown = 1.79769313486231e308;
    if (std::fabs(value) > kLargestShown) {
        value = std::copysign(kLargestShown, value);
    }
    // "general" with 15 digits is the shortest plain form: rounded to 15
    // significant digits, trailing zeros dropped, an exponent only below
    // 1e-4 or from 1e15 up.
    Buffer buf{};
    const char* const end =
        std::to_chars(buf.data(), buf.data() + buf.size(), value, std::chars_format::general, 15)
            .ptr;
    std::string_view ascii(buf.data(), static_cast<std::size_t>(end - buf.data()));
    const std::size_t e = ascii.find('e');
    if (e != std::string_view::npos) {
        buf[e] = 'E';
    }
    return WithSeparator(ascii, separator);
}

std::string ResultText(double value, std::string_view separator) {
    if (!std::isfinite(value)) {
        return nonFinite(value);
    }
    Buffer buf{};
    char* end = nullptr;
    // A double lies exactly halfway between two tenths only when it ends in
    // .25 or .75, i.e. when four times it is an odd whole number. Those ties
    // go away from zero, as people round by hand; every other value is
    // rounded correctly by to_chars.
    const double quarters = std::fabs(value) * 4.0;
    constexpr double kExactIntegers = 9007199254740992.0;  // 2^53
    if (quarters < kExactIntegers && quarters == std::floor(quarters) &&
        (static_cast<std::int64_t>(quarters) & 1) == 1) {
        const double whole = std::floor(std::fabs(value));
        // A negative tie below one writes "-0" here, keeping its sign.
        end = std::to_chars(buf.data(), buf.data() + buf.size(), std::copysign(whole, value),
                            std::chars_format::fixed, 0)
                  .ptr;
        *end++ = '.';
        *end++ = std::fabs(value) - whole == 0.25 ? '3' : '8';
    } else {
        end = std::to_chars(buf.data(), buf.data() + buf.size(), value, std::chars_format::fixed, 1)
                  .ptr;
        // The decimal digit is shown only when it is not zero.
        if (end[-1] == '0') {
            --end;
        }
    }
    std::string_view ascii(buf.data(), static_cast<std::size_t>(end - buf.data()));
    if (ascii == "-0.") {
        ascii.remove_prefix(1);
    }
    return WithSeparator(ascii, separator);
}

std::string AverageText(double value, std::string_view separator) {
    std::string number = ResultText(value, separator);
    if (number.ends_with(separator)) {
        number.resize(number.size() - separator.size());
    }
    return number;
}

}  // namespace tarvelin
