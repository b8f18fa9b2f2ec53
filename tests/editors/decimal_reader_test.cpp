#include "editors/decimal_reader.h"

#include <climits>
#include <cstdio>
#include <random>
#include <string>

#include <gtest/gtest.h>

namespace vantor {
namespace {

std::string Narrow(std::u16string_view text) {
    return std::string(text.begin(), text.end());
}

// The random comparison with sscanf below covers signs, blanks, octal- and hex-looking text and
// trailing junk; these are what it cannot reach: the other white space, non-ASCII text, overflow.
TEST(DecimalReader, ReadsLikePercentDAndClampsOverflow) {
    struct Case {
        std::u16string_view text;
        int value;
        std::size_t end;
    };
    // Clamped rather than wrapped: 4294972296 would wrap to 5000.
    for (Case c : {Case{u"\t\r\n\v\f +42", 42, 9}, Case{u"-2147483648", INT_MIN, 11},
                   Case{u"-2147483649", INT_MIN, 11}, Case{u"4294972296", INT_MAX, 10},
                   Case{u"99999999999999999999999x", INT_MAX, 23}}) {
        DecimalReading reading = ReadDecimal(c.text);
        EXPECT_TRUE(reading.read && reading.value == c.value && reading.end == c.end)
            << Narrow(c.text) << " read " << reading.value << " up to " << reading.end;
    }
    for (std::u16string_view text : {u"", u"-", u"+-5", u"\u00a05", u"\uff15"}) {
        DecimalReading reading = ReadDecimal(text);
        EXPECT_FALSE(reading.read || reading.value != 0 || reading.end != 0) << Narrow(text);
    }
}

TEST(DecimalReader, AgreesWithSscanfWithinTheIntRange) {
    const std::string alphabet = "0123456789 \t+-x";
    std::mt19937 random(99);
    for (int round = 0; round < 50000; ++round) {
        std::string text;
        for (std::size_t i = random() % 10; i > 0; --i) {  // at most 9 digits: no overflow
            text += alphabet[random() % alphabet.size()];
        }
        int expected = 0;
        int consumed = 0;
        bool read = std::sscanf(text.c_str(), "%d%n", &expected, &consumed) == 1;
        for (DecimalReading reading : {ReadDecimal(std::string_view(text)),
                                       ReadDecimal(std::u16string(text.begin(), text.end()))}) {
            ASSERT_EQ(reading.read, read) << '"' << text << '"';
            if (read) {
                ASSERT_EQ(reading.value, expected) << '"' << text << '"';
                ASSERT_EQ(reading.end, static_cast<std::size_t>(consumed)) << '"' << text << '"';
            }
        }
    }
}

TEST(DecimalReader, ReadsEditBoxNumbersLikeTheDialogManager) {
    EXPECT_EQ(ReadDialogInt(u"   42"), 42);
    EXPECT_EQ(ReadDialogInt(u" -17"), -17);
    EXPECT_EQ(ReadDialogInt(u"0042 7"), 42);
    EXPECT_EQ(ReadDialogInt(u"12abc"), 12);
    EXPECT_EQ(ReadDialogInt(u"-2147483648"), INT_MIN);
    EXPECT_EQ(ReadDialogInt(u"0000000000002147483647"), INT_MAX);  // zeros do not overflow
    // No digits, only a minus sign taken, only blanks skipped, or beyond the signed 32-bit range
    // (never clamped, never wrapped: 4294967297 would wrap to 1): all read 0.
    for (std::u16string_view text :
         {u"", u"abc", u"-", u"- 5", u"--5", u"+5", u"\t5", u"\uff15", u"2147483648",
          u"-2147483649", u"4294967297", u"99999999999999999999999x"}) {
        EXPECT_EQ(ReadDialogInt(text), 0) << Narrow(text);
    }
}

}  // namespace
}  // namespace vantor
