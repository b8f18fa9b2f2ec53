#include "config/decimal_reader.h"

#include <climits>
#include <cstdio>
#include <random>

#include <gtest/gtest.h>

using namespace vantor;

constexpr auto Fields = [](DecimalReading r) { return std::tuple(r.read, r.value, r.end); };

// The random comparison with sscanf below covers signs, blanks, octal- and hex-looking text and
// trailing junk; these are what it cannot reach: the other white space, non-ASCII text, overflow,
// and a text that ends in blanks inside a longer buffer.
TEST(DecimalReader, ReadsLikePercentDAndClampsOverflow) {
    using Row = std::tuple<std::u16string_view, bool, int, std::size_t>;
    // Clamped rather than wrapped: 4294972296 would wrap to 5000.
    for (auto [text, read, value, end] :
         {Row{u"\t\r\n\v\f +42", true, 42, 9}, Row{u"-2147483648", true, INT_MIN, 11},
          Row{u"-2147483649", true, INT_MIN, 11}, Row{u"4294972296", true, INT_MAX, 10},
          Row{u"99999999999999999999999x", true, INT_MAX, 23}, Row{u"", false, 0, 0},
          Row{u"+-5", false, 0, 0}, Row{u"\u00a05", false, 0, 0}, Row{u"\uff15", false, 0, 0},
          Row{std::u16string_view(u"  5", 1), false, 0, 0}}) {
        EXPECT_EQ(Fields(ReadDecimal(text)), std::tuple(read, value, end))
            << std::string(text.begin(), text.end());
    }
}

TEST(DecimalReader, AgreesWithSscanfAndReadsEditBoxNumbersLikeTheDialogManager) {
    const std::string alphabet = "0123456789 \t+-x";
    std::mt19937 random(99);
    for (int round = 0; round < 50000; ++round) {
        std::string text;
        for (std::size_t i = random() % 10; i > 0; --i) {  // at most 9 digits: no overflow
            text += alphabet[random() % alphabet.size()];
        }
        int value = 0, consumed = 0;
        // A failed scan leaves both at 0, which is what a failed reading holds.
        bool read = std::sscanf(text.c_str(), "%d%n", &value, &consumed) == 1;
        const auto expected = std::tuple(read, value, static_cast<std::size_t>(consumed));
        ASSERT_EQ(Fields(ReadDecimal(std::string_view(text))), expected) << '"' << text << '"';
        ASSERT_EQ(Fields(ReadDecimal(std::u16string(text.begin(), text.end()))), expected);
    }
    // No digits, only a minus sign taken, only blanks skipped, or beyond the signed 32-bit range
    // (never clamped, never wrapped: 4294967297 would wrap to 1): all read 0. Zeros do not
    // overflow.
    using Row = std::pair<std::u16string_view, int>;
    for (auto [text, value] :
         {Row{u"   42", 42}, Row{u" -17", -17}, Row{u"12abc", 12}, Row{u"-2147483648", INT_MIN},
          Row{u"0000000000002147483647", INT_MAX}, Row{u"", 0}, Row{u"-", 0}, Row{u"- 5", 0},
          Row{u"+5", 0}, Row{u"\t5", 0}, Row{u"\uff15", 0}, Row{u"2147483648", 0},
          Row{u"-2147483649", 0}, Row{u"4294967297", 0}, Row{u"99999999999999999999999x", 0}}) {
        EXPECT_EQ(ReadDialogInt(text), value) << std::string(text.begin(), text.end());
    }
}
