// SPDX-FileCopyrightText: 2026 The Tarvelin developers
// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <new>
#include <string>
#include <variant>

#include "calc/number_text.h"

namespace {

// Heap allocations so far in this program, so that a row can show that a
// short number is respelt on the stack. Every form of new and delete that a
// program can call is replaced, all on malloc and free, so that no library's
// allocation is freed by a different allocator than made it.
std::size_t heapAllocations = 0;

// An over-aligned block is carved out of a larger malloc, which is kept just
// before it for the aligned delete to free: aligned_alloc is not everywhere.
void* allocate(std::size_t size, std::align_val_t alignment = std::align_val_t{0}) noexcept {
    ++heapAllocations;
    const auto align = static_cast<std::size_t>(alignment);
    const std::size_t bytes = size == 0 ? 1 : size;
    if (align <= alignof(std::max_align_t)) {
        return std::malloc(bytes);
    }
    void* const whole = std::malloc(bytes + align + sizeof(void*));
    if (whole == nullptr) {
        return nullptr;
    }
    const std::uintptr_t after = reinterpret_cast<std::uintptr_t>(whole) + sizeof(void*);
    void** const block = reinterpret_cast<void**>((after + align - 1) / align * align);
    block[-1] = whole;
    return block;
}

void releaseAligned(void* block) noexcept {
    if (block != nullptr) {
        std::free(static_cast<void**>(block)[-1]);
    }
}

void* allocateOrThrow(std::size_t size, std::align_val_t alignment = std::align_val_t{0}) {
    if (void* const memory = allocate(size, alignment)) {
        return memory;
    }
    throw std::bad_alloc();
}

}  // namespace

void* operator new(std::size_t size) {
    return allocateOrThrow(size);
}
void* operator new[](std::size_t size) {
    return allocateOrThrow(size);
}
void* operator new(std::size_t size, std::align_val_t alignment) {
    return allocateOrThrow(size, alignment);
}
void* operator new[](std::size_t size, std::align_val_t alignment) {
    return allocateOrThrow(size, alignment);
}
void* operator new(std::size_t size, const std::nothrow_t& /*tag*/) noexcept {
    return allocate(size);
}
void* operator new[](std::size_t size, const std::nothrow_t& /*tag*/) noexcept {
    return allocate(size);
}
void* operator new(std::size_t size, std::align_val_t alignment,
                   const std::nothrow_t& /*tag*/) noexcept {
    return allocate(size, alignment);
}
void* operator new[](std::size_t size, std::align_val_t alignment,
                     const std::nothrow_t& /*tag*/) noexcept {
    return allocate(size, alignment);
}

// What plain new gave back to free, what aligned new gave back to its own.
void operator delete(void* memory) noexcept {
    std::free(memory);
}
void operator delete[](void* memory) noexcept {
    std::free(memory);
}
void operator delete(void* memory, std::size_t /*size*/) noexcept {
    std::free(memory);
}
void operator delete[](void* memory, std::size_t /*size*/) noexcept {
    std::free(memory);
}
void operator delete(void* memory, std::align_val_t /*alignment*/) noexcept {
    releaseAligned(memory);
}
void operator delete[](void* memory, std::align_val_t /*alignment*/) noexcept {
    releaseAligned(memory);
}
void operator delete(void* memory, std::size_t /*size*/, std::align_val_t /*alignment*/) noexcept {
    releaseAligned(memory);
}
void operator delete[](void* memory, std::size_t /*size*/,
                       std::align_val_t /*alignment*/) noexcept {
    releaseAligned(memory);
}
void operator delete(void* memory, const std::nothrow_t& /*tag*/) noexcept {
    std::free(memory);
}
void operator delete[](void* memory, const std::nothrow_t& /*tag*/) noexcept {
    std::free(memory);
}
void operator delete(void* memory, std::align_val_t /*alignment*/,
                     const std::nothrow_t& /*tag*/) noexcept {
    releaseAligned(memory);
}
void operator delete[](void* memory, std::align_val_t /*alignment*/,
                       const std::nothrow_t& /*tag*/) noexcept {
    releaseAligned(memory);
}

namespace tarvelin {
namespace {

struct ReadRow {
    std::string text;
    std::string separator;
    double expected;
};

TEST(NumberFromText, ReadsStrictDecimalNumbers) {
    const ReadRow rows[] = {
        {"4", ".", 4},
        {" 4 ", ".", 4},
        {"4.0", ".", 4},
        {"+4", ".", 4},
        {"-1", ".", -1},
        {"0.5", ".", 0.5},
        {"1e1", ".", 10},
        {"1E+1", ".", 10},
        {"25e-1", ".", 2.5},
        {".5", ".", 0.5},
        {"4.", ".", 4},
        {"\t12\t", ".", 12},
        {"007", ".", 7},
        {"4,5", ",", 4.5},
        {"-0,25", ",", -0.25},
        {"1e-400", ".", 0},
        {"2\xd9\xab"
         "5",
         "\xd9\xab", 2.5},
        {"1.7976931348623157e308", ".", std::numeric_limits<double>::max()},
        {"+4,5", ",", 4.5},
        {"1,5e1", ",", 15},
        // Leading zeros move the edge between too small (zero) and too large.
        {"0,001e-320", ",", 1e-323},
        {"0.0001e-320", ".", 0},
        {"0.1e309", ".", 1e308},
        // A paste brings line ends and wide spaces around the number.
        {"10\n", ".", 10},
        {"10\r\n", ".", 10},
        {"\v\f 3 \r", ".", 3},
        {"\xC2\xA0"
         "2,5\xE2\x80\xAF",
         ",", 2.5},
        {"\xE2\x80\xA8\xE3\x80\x80"
         "7\xE2\x80\x89\xE2\x80\xA9\xC2\x85",
         ".", 7},
        // Respelt with a "." it just fills the copy kept on the stack.
        {"1," + std::string(62, '0'), ",", 1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE("text \"" + row.text + "\" separator \"" + row.separator + "\"");
        const std::size_t before = heapAllocations;
        const double read = NumberFromText(row.text, row.separator);
        EXPECT_EQ(heapAllocations, before) << "a short number is read without the heap";
        EXPECT_EQ(read, row.expected);
    }
}

TEST(NumberFromText, NegativeZeroAndUnderflowKeepTheirSign) {
    EXPECT_TRUE(std::signbit(NumberFromText("-0")));
    EXPECT_TRUE(std::signbit(NumberFromText("-1e-999")));
    EXPECT_FALSE(std::signbit(NumberFromText("0e99999999999")));
}

struct RejectRow {
    std::string text;
    std::string separator;
    TextProblem problem;
};

TEST(NumberFromText, RejectsEverythingElseWithTheReason) {
    const RejectRow rows[] = {
        {"", ".", TextProblem::Empty},
        {"   ", ".", TextProblem::Empty},
        {"\t \t", ".", TextProblem::Empty},
        {"\r\n\xC2\xA0\xE2\x80\x8A", ".", TextProblem::Empty},
        {"four", ".", TextProblem::NotANumber},
        {"4 shots", ".", TextProblem::NotANumber},
        {"4 4", ".", TextProblem::NotANumber},
        {".", ".", TextProblem::NotANumber},
        {"-", ".", TextProblem::NotANumber},
        {"+-4", ".", TextProblem::NotANumber},
        {"1.2.3", ".", TextProblem::NotANumber},
        {"1e", ".", TextProblem::NotANumber},
        {"1e+", ".", TextProblem::NotANumber},
        {"e5", ".", TextProblem::NotANumber},
        {"nan", ".", TextProblem::NotANumber},
        {"inf", ".", TextProblem::NotANumber},
        {"-infinity", ".", TextProblem::NotANumber},
        {"0x10", ".", TextProblem::NotANumber},
        {"1,000", ".", TextProblem::NotANumber},
        {"1 000", ".", TextProblem::NotANumber},
        {"4.5", ",", TextProblem::NotANumber},
        {"$4", ".", TextProblem::NotANumber},
        {"(4)", ".", TextProblem::NotANumber},
        {std::string("4\0", 2), ".", TextProblem::NotANumber},
        {"4\n5", ".", TextProblem::NotANumber},
        {"1\xC2\xA0"
         "000",
         ".", TextProblem::NotANumber},
        {"4\xE2\x80", ".", TextProblem::NotANumber},
        {"10e308", ".", TextProblem::TooLarge},
        {"\xff", ".", TextProblem::NotANumber},
        {"1e309", ".", TextProblem::TooLarge},
        {"-1e309", ".", TextProblem::TooLarge},
        {"1e99999999999999999999", ".", TextProblem::TooLarge},
        {std::string(400, '9'), ".", TextProblem::TooLarge},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE("text \"" + row.text + "\" separator \"" + row.separator + "\"");
        try {
            (void)NumberFromText(row.text, row.separator);
            ADD_FAILURE() << "read as a number";
        } catch (const ConversionError& error) {
            EXPECT_EQ(error.problem(), row.problem);
        }
    }
}

TEST(NumberFromText, AMegabyteOfDigitsIsReadWithoutHarm) {
    const std::string digits(1 << 20, '7');
    const auto parsed = ParseNumber(digits);
    ASSERT_TRUE(std::holds_alternative<TextProblem>(parsed));
    EXPECT_EQ(std::get<TextProblem>(parsed), TextProblem::TooLarge);

    const std::string tiny = "0." + std::string(1 << 20, '0') + "1";
    EXPECT_EQ(NumberFromText(tiny), 0.0);
}

// Long texts move the edge between too small, a number and too large by their
// digit counts as much as by their exponent. Where the C library's strtod is
// exact at any length (glibc), it confirms each expected reading.
TEST(NumberFromText, LongTextsAreTooLargeExactlyByTheirMagnitude) {
    using Reading = std::variant<double, TextProblem>;
    const Reading tooLarge = TextProblem::TooLarge;
    // Each text is before, then count times fill, then after.
    const struct {
        std::string_view before;
        std::size_t count;
        char fill;
        std::string_view after;
        Reading expected;
    } rows[] = {
        {"1", 1'000'399, '0', "e-1000000", tooLarge},  // 10^399
        {"1", 1'000'000, '0', "e-1000400", 0.0},       // 10^-400
        {"1", 1'000'000, '0', "e-999692", 1e308},
        {"1", 1'000'000, '0', "e-999691", tooLarge},
        {"-1", 1'000'000, '0', "e-999691", tooLarge},
        {"0.", 400, '0', "1e5", 0.0},  // 10^-396
        {"", 400, '0', "1e-400", 0.0},
        {"0.", 1'000'000, '0', "1e1000309", 1e308},
        {"0.", 1'000'000, '0', "1e1000310", tooLarge},
        {"0.", 1'000'000, '0', "1e1000", 0.0},
        {"1e-", 1'000'000, '0', "400", 0.0},
        {"1e+", 1'000'000, '0', "308", 1e308},
        {"", 400, '9', "e-92", 1e308},                             // just below 10^308
        {"0.", 1000, '0', "1e99999999999999999999999", tooLarge},  // beyond 64 bits
        {"123", 1'000'000, '0', "e-999694", 1.23e308},
        {"0,", 323, '0', "4941", std::numeric_limits<double>::denorm_min()},
    };
    for (const auto& row : rows) {
        std::string text(row.before);
        text.append(row.count, row.fill).append(row.after);
        const std::string separator = text.find(',') == std::string::npos ? "." : ",";
        SCOPED_TRACE(text.substr(0, 40) + "... (" + std::to_string(text.size()) + " bytes)");
        EXPECT_EQ(ParseNumber(text, separator), row.expected);
#ifdef __GLIBC__
        std::string ascii = text;
        std::replace(ascii.begin(), ascii.end(), ',', '.');
        errno = 0;
        const double exact = std::strtod(ascii.c_str(), nullptr);
        EXPECT_EQ(errno == ERANGE && std::isinf(exact) ? tooLarge : Reading(exact), row.expected);
#endif
    }
}

struct WriteRow {
    double value;
    std::string separator;
    std::string plain;
    std::string result;
};

TEST(TextFromNumberAndResultText, WriteTheDocumentedForms) {
    const WriteRow rows[] = {
        {6, ".", "6", "6."},
        {-1, ".", "-1", "-1."},
        {0, ".", "0", "0."},
        {-0.0, ".", "0", "0."},
        {17, ".", "17", "17."},
        {5, ".", "5", "5."},
        {10.0 / 3, ".", "3.33333333333333", "3.3"},
        {2.5, ".", "2.5", "2.5"},
        {0.5, ".", "0.5", "0.5"},
        {1 / 1.2, ".", "0.833333333333333", "0.8"},
        {7.96, ".", "7.96", "8."},
        {-1.5, ".", "-1.5", "-1.5"},
        {1234567, ".", "1234567", "1234567."},
        {2.0000000000000004, ".", "2", "2."},
        {0.1 + 0.2, ".", "0.3", "0.3"},
        {123456789012345.6, ".", "123456789012346", "123456789012345.6"},
        {1e15, ".", "1E+15", "1000000000000000."},
        {1.5e20, ".", "1.5E+20", "150000000000000000000."},
        {0.0001, ".", "0.0001", "0."},
        {0.00001, ".", "1E-05", "0."},
        {1.5e-7, ".", "1.5E-07", "0."},
        {-0.04, ".", "-0.04", "0."},
        {2.5, ",", "2,5", "2,5"},
        {10.0 / 3, ",", "3,33333333333333", "3,3"},
        {5, ",", "5", "5,"},
        {2.5, "\xd9\xab",
         "2\xd9\xab"
         "5",
         "2\xd9\xab"
         "5"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE("value " + std::to_string(row.value) + " separator \"" + row.separator + "\"");
        EXPECT_EQ(TextFromNumber(row.value, row.separator), row.plain);
        EXPECT_EQ(ResultText(row.value, row.separator), row.result);
        // An average reads as the result without its closing separator.
        const std::string result = row.result;
        EXPECT_EQ(AverageText(row.value, row.separator) +
                      (result.ends_with(row.separator) ? row.separator : ""),
                  result);
    }
}

TEST(ResultText, ExactTiesRoundAwayFromZeroAndNearTiesRoundToNearest) {
    const std::pair<double, std::string> rows[] = {
        {0.25, "0.3"}, {0.75, "0.8"}, {2.25, "2.3"},   {-2.25, "-2.3"},
        {0.35, "0.3"},  // 0.35 is stored just below the tie
        {0.05, "0.1"},  // and 0.05 just above it
        {9.95, "9.9"}, {9.96, "10."}, {-0.05, "-0.1"}, {0.04, "0."},
    };
    for (const auto& [value, expected] : rows) {
        SCOPED_TRACE(value);
        EXPECT_EQ(ResultText(value), expected);
    }
}

TEST(TextFromNumber, ModifierArithmeticOnWholeRollsShowsNoSeparator) {
    EXPECT_EQ(TextFromNumber(NumberFromText("-1") + 1), "0");
    EXPECT_EQ(TextFromNumber(NumberFromText("4") + 1), "5");
    EXPECT_EQ(TextFromNumber(NumberFromText("4,0", ",") + 2, ","), "6");
}

TEST(TextFromNumber, ReadsBackWithinFifteenDigitsAndWritesTheSameText) {
    const double values[] = {std::numeric_limits<double>::max(),
                             std::numeric_limits<double>::denorm_min(),
                             -std::numeric_limits<double>::min(),
                             1.0 / 7,
                             -123.456e-9,
                             999999999999999.9,
                             0.1};
    for (const double value : values) {
        for (const std::string separator : {".", ","}) {
            SCOPED_TRACE(std::to_string(value) + " " + separator);
            const std::string text = TextFromNumber(value, separator);
            const double back = NumberFromText(text, separator);
            EXPECT_LE(std::fabs(back - value), std::fabs(value) * 1e-14) << text;
            EXPECT_EQ(TextFromNumber(back, separator), text);
        }
    }
}

}  // namespace
}  // namespace tarvelin
