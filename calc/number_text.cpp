#include "calc/number_text.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
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

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

std::string_view trimBlanks(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isBlank(text.back())) {
        text.remove_suffix(1);
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

// Decimal exponent of the first significant digit, saturated far beyond the
// range of a double; only its sign matters to the caller. Assumes a nonzero
// mantissa.
std::int64_t leadingExponent(const Shape& shape) {
    constexpr std::int64_t kCap = 1'000'000;
    std::int64_t exponent = 0;
    for (const char c : shape.expDigits) {
        // cppcheck-suppress useStlAlgorithm ; a saturating step reads better as a loop
        exponent = std::min<std::int64_t>(exponent * 10 + (c - '0'), kCap);
    }
    if (shape.expNegative) {
        exponent = -exponent;
    }
    const std::size_t firstNonZero = shape.intDigits.find_first_not_of('0');
    if (firstNonZero != std::string_view::npos) {
        const auto wholeDigits = static_cast<std::int64_t>(
            std::min<std::size_t>(shape.intDigits.size() - firstNonZero, kCap));
        return exponent + wholeDigits - 1;
    }
    const std::size_t fracLead = shape.fracDigits.find_first_not_of('0');
    const auto zeros = static_cast<std::int64_t>(std::min<std::size_t>(fracLead, kCap));
    return exponent - zeros - 1;
}

bool allZero(std::string_view digits) {
    return digits.find_first_not_of('0') == std::string_view::npos;
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
    Shape shape;
    if (!scan(text, separator, shape)) {
        return TextProblem::NotANumber;
    }
    // from_chars knows only "." and no leading "+", so hand it the same number
    // spelt its way. The copy is as long as the text, which may be long, but
    // a reservation failure is the only way this can throw.
    std::string plain;
    try {
        plain.reserve(text.size() + 2);
    } catch (...) {
        return TextProblem::TooLarge;
    }
    if (shape.negative) {
        plain += '-';
    }
    plain += shape.intDigits.empty() ? std::string_view("0") : shape.intDigits;
    if (!shape.fracDigits.empty()) {
        plain += '.';
        plain += shape.fracDigits;
    }
    if (!shape.expDigits.empty()) {
        plain += shape.expNegative ? "e-" : "e";
        plain += shape.expDigits;
    }
    double value = 0.0;
    const auto [end, ec] = std::from_chars(plain.data(), plain.data() + plain.size(), value,
                                           std::chars_format::general);
    if (ec == std::errc::result_out_of_range) {
        if (allZero(shape.intDigits) && allZero(shape.fracDigits)) {
            return shape.negative ? -0.0 : 0.0;
        }
        if (leadingExponent(shape) < 0) {
            return shape.negative ? -0.0 : 0.0;
        }
        return TextProblem::TooLarge;
    }
    if (ec != std::errc{} || end != plain.data() + plain.size() || !std::isfinite(value)) {
        return TextProblem::NotANumber;
    }
    return value;
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

std::string withSeparator(std::string_view ascii, std::string_view separator) {
    if (separator.empty()) {
        separator = kDefaultSeparator;
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

std::string nonFinite(double value) {
    if (std::isnan(value)) {
        return "nan";
    }
    return value < 0 ? "-inf" : "inf";
}

}  // namespace

std::string TextFromNumber(double value, std::string_view separator) {
    if (!std::isfinite(value)) {
        return nonFinite(value);
    }
    if (value == 0.0) {
        return "0";
    }
    // Round to 15 significant digits first; everything after works on the
    // rounded digits, so a value like 2.0000000000000004 counts as whole.
    Buffer sci{};
    const auto sciEnd =
        std::to_chars(sci.data(), sci.data() + sci.size(), value, std::chars_format::scientific, 14)
            .ptr;
    const std::string_view s(sci.data(), static_cast<std::size_t>(sciEnd - sci.data()));
    const bool negative = s.front() == '-';
    const std::size_t mantStart = negative ? 1 : 0;
    const std::size_t ePos = s.find('e');
    std::string digits;
    digits += s[mantStart];
    digits += s.substr(mantStart + 2, ePos - mantStart - 2);
    while (digits.size() > 1 && digits.back() == '0') {
        digits.pop_back();
    }
    int exponent = 0;
    std::from_chars(s.data() + ePos + 1 + (s[ePos + 1] == '+' ? 1 : 0), s.data() + s.size(),
                    exponent);
    // Near the top of the range, rounding up would give a text that no longer
    // reads as a number; round those few values down instead.
    constexpr std::string_view kLargestDigits = "179769313486231";
    if (exponent == 308 && std::string_view(digits) > kLargestDigits) {
        digits = kLargestDigits;
    }

    std::string ascii;
    if (negative) {
        ascii += '-';
    }
    if (exponent >= 15 || exponent < -5) {
        ascii += digits.front();
        if (digits.size() > 1) {
            ascii += '.';
            ascii.append(digits, 1);
        }
        ascii += exponent < 0 ? "E-" : "E+";
        const int magnitude = exponent < 0 ? -exponent : exponent;
        if (magnitude < 10) {
            ascii += '0';
        }
        ascii += std::to_string(magnitude);
    } else if (exponent < 0) {
        ascii += "0.";
        ascii.append(static_cast<std::size_t>(-exponent - 1), '0');
        ascii += digits;
    } else {
        const auto wholeCount = static_cast<std::size_t>(exponent) + 1;
        if (digits.size() <= wholeCount) {
            ascii += digits;
            ascii.append(wholeCount - digits.size(), '0');
        } else {
            ascii.append(digits, 0, wholeCount);
            ascii += '.';
            ascii.append(digits, wholeCount);
        }
    }
    return withSeparator(ascii, separator);
}

std::string ResultText(double value, std::string_view separator) {
    if (!std::isfinite(value)) {
        return nonFinite(value);
    }
    std::string ascii;
    // A double lies exactly halfway between two tenths only when it ends in
    // .25 or .75, i.e. when four times it is an odd whole number. Those ties
    // go away from zero, as people round by hand; every other value is
    // rounded correctly by to_chars.
    const double quarters = std::fabs(value) * 4.0;
    if (quarters < 9007199254740992.0 && std::fmod(quarters, 2.0) == 1.0) {
        const double whole = std::floor(std::fabs(value));
        Buffer buf{};
        const auto end =
            std::to_chars(buf.data(), buf.data() + buf.size(), whole, std::chars_format::fixed, 0)
                .ptr;
        if (value < 0) {
            ascii += '-';
        }
        ascii.append(buf.data(), end);
        ascii += std::fabs(value) - whole == 0.25 ? ".3" : ".8";
    } else {
        Buffer buf{};
        const auto end =
            std::to_chars(buf.data(), buf.data() + buf.size(), value, std::chars_format::fixed, 1)
                .ptr;
        ascii.assign(buf.data(), end);
        if (ascii.ends_with(".0")) {
            ascii.pop_back();
        }
        if (ascii == "-0.") {
            ascii = "0.";
        }
    }
    return withSeparator(ascii, separator);
}

}  // namespace tarvelin
