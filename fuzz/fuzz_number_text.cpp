// SPDX-FileCopyrightText: 2026 The Tarvelin developers
// SPDX-License-Identifier: MIT
// Feeds any bytes to the three conversions. The first byte picks the decimal
// separator; the rest is a field's text, and its first eight bytes also make
// a double for the writers.
//
// What must hold:
//  - the reader gives a finite double or a TextProblem, never anything else;
//  - it accepts exactly what the regular expression below describes (a
//    second, independent statement of the grammar), and its value agrees
//    with strtod on the same number;
//  - a finite double written with TextFromNumber reads back within 15
//    significant digits and writes the same text again;
//  - ResultText always has the result pattern and lies within half a tenth.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <regex>
#include <string>
#include <variant>

#include "calc/number_text.h"

namespace {

void check(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "invariant broken: %s\n", what);
        std::abort();
    }
}

// Unicode's white space in UTF-8, spelt out byte by byte and apart from the
// reader's own list.
const std::string kBlank =
    "(?:[ \t\n\v\f\r]|\xC2\x85|\xC2\xA0|\xE1\x9A\x80|\xE2\x80[\x80-\x8A]|\xE2\x80\xA8|"
    "\xE2\x80\xA9|\xE2\x80\xAF|\xE2\x81\x9F|\xE3\x80\x80)";

const std::regex& numberGrammar(bool comma) {
    static const std::regex dot(
        "^" + kBlank + R"(*([+-]?([0-9]+(\.[0-9]*)?|\.[0-9]+)([eE][+-]?[0-9]+)?))" + kBlank + "*$");
    static const std::regex com(
        "^" + kBlank + R"(*([+-]?([0-9]+(,[0-9]*)?|,[0-9]+)([eE][+-]?[0-9]+)?))" + kBlank + "*$");
    return comma ? com : dot;
}

const std::regex& resultPattern(bool comma) {
    static const std::regex dot(R"(^-?[0-9]+\.[1-9]?$)");
    static const std::regex com(R"(^-?[0-9]+,[1-9]?$)");
    return comma ? com : dot;
}

bool onlyBlanks(const std::string& text) {
    static const std::regex blanks("^" + kBlank + "*$");
    return std::regex_match(text, blanks);
}

// libstdc++'s regex recurses per character, so very long texts are checked
// for crashes only, not against the grammar.
constexpr std::size_t kRegexLimit = 2000;

void checkReader(const std::string& text, bool comma) {
    const std::string_view separator = comma ? "," : ".";
    const auto parsed = tarvelin::ParseNumber(text, separator);
    if (const auto* value = std::get_if<double>(&parsed)) {
        check(std::isfinite(*value), "reader gave a non-finite value");
    }
    if (text.size() > kRegexLimit) {
        return;
    }
    std::smatch number;
    const bool grammatical = std::regex_match(text, number, numberGrammar(comma));
    if (!grammatical) {
        const auto* problem = std::get_if<tarvelin::TextProblem>(&parsed);
        check(problem != nullptr, "reader accepted a text outside the grammar");
        check(*problem == (onlyBlanks(text) ? tarvelin::TextProblem::Empty
                                            : tarvelin::TextProblem::NotANumber),
              "wrong reason for a text outside the grammar");
        return;
    }
    // In the grammar: a number, unless it is beyond the range of a double.
    // strtod knows only ASCII blanks, so it gets the number alone.
    std::string c = number[1].str();
    if (comma) {
        std::replace(c.begin(), c.end(), ',', '.');
    }
    const double expected = std::strtod(c.c_str(), nullptr);
    if (const auto* value = std::get_if<double>(&parsed)) {
        check(*value == expected, "value differs from strtod");
    } else {
        check(std::get<tarvelin::TextProblem>(parsed) == tarvelin::TextProblem::TooLarge,
              "grammatical text rejected for a reason other than size");
        check(std::isinf(expected), "rejected as too large but strtod reads it");
    }
}

void checkWriters(double x, bool comma) {
    const std::string_view separator = comma ? "," : ".";
    if (!std::isfinite(x)) {
        return;
    }
    const std::string plain = tarvelin::TextFromNumber(x, separator);
    const auto back = tarvelin::ParseNumber(plain, separator);
    check(std::holds_alternative<double>(back), "TextFromNumber wrote an unreadable text");
    const double y = std::get<double>(back);
    check(std::fabs(y - x) <= 1e-14 * std::fabs(x) + std::numeric_limits<double>::denorm_min(),
          "TextFromNumber lost more than 15 significant digits");
    check(tarvelin::TextFromNumber(y, separator) == plain, "TextFromNumber is not stable");

    const std::string result = tarvelin::ResultText(x, separator);
    check(std::regex_match(result, resultPattern(comma)), "ResultText breaks the pattern");
    const double shown = std::get<double>(tarvelin::ParseNumber(result, separator));
    check(std::fabs(shown - x) <= 0.05 + 1e-15 * std::fabs(x),
          "ResultText is off by more than 0.05");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const bool comma = (data[0] & 1) != 0;
    const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
    checkReader(text, comma);
    if (text.size() >= sizeof(double)) {
        double x = 0;
        std::memcpy(&x, text.data(), sizeof x);
        checkWriters(x, comma);
    }
    // Values that people actually see: a quotient of two small numbers.
    if (size >= 3) {
        checkWriters(static_cast<double>(data[1]) / (1 + data[2] % 18) - 64, comma);
    }
    return 0;
}
