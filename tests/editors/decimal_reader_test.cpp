#include "editors/decimal_reader.h"

#include <climits>
#include <cstdio>
#include <random>
#include <string>

#include <gtest/gtest.h>

namespace vantor {
namespace {

void ExpectReads(std::u16string_view text, int value, std::size_t end) {
    DecimalReading reading = ReadDecimal(text);
    EXPECT_TRUE(reading.read);
    EXPECT_EQ(reading.value, value);
    EXPECT_EQ(reading.end, end);
}

void ExpectNothing(std::u16string_view text) {
    DecimalReading reading = ReadDecimal(text);
    EXPECT_FALSE(reading.read);
    EXPECT_EQ(reading.value, 0);
    EXPECT_EQ(reading.end, 0u);
}

TEST(DecimalReader, ReadsLikePercentD) {
    ExpectReads(u"5000", 5000, 4);
    ExpectReads(u" 5000", 5000, 5);
    ExpectReads(u"\t\r\n\v\f 42", 42, 8);
    ExpectReads(u"+5000", 5000, 5);
    ExpectReads(u"-1", -1, 2);
    ExpectReads(u"-0", 0, 2);
    ExpectReads(u"5000abc", 5000, 4);
    ExpectReads(u"007", 7, 3);   // decimal, never octal
    ExpectReads(u"0x10", 0, 1);  // nor hexadecimal
    ExpectReads(u"12 34", 12, 2);
}

TEST(DecimalReader, NoDigitReadsNothing) {
    ExpectNothing(u"");
    ExpectNothing(u"abc");
    ExpectNothing(u"   ");
    ExpectNothing(u"+");
    ExpectNothing(u"-");
    ExpectNothing(u"+-5");
    ExpectNothing(u"- 5");
    ExpectNothing(u"\u00a05");  // only ASCII white space is skipped
    ExpectNothing(u"\uff15");   // a full-width digit is not a digit
}

TEST(DecimalReader, ClampsOverflowToTheIntRange) {
    ExpectReads(u"2147483647", INT_MAX, 10);
    ExpectReads(u"-2147483648", INT_MIN, 11);
    ExpectReads(u"2147483648", INT_MAX, 10);
    ExpectReads(u"-2147483649", INT_MIN, 11);
    ExpectReads(u"4294972296", INT_MAX, 10);  // would wrap to 5000 if truncated
    ExpectReads(u"99999999999999999999999x", INT_MAX, 23);
}

TEST(DecimalReader, AgreesWithSscanfWithinTheIntRange) {
    const std::string alphabet = "0123456789 \t+-x";
    std::mt19937 random(99);
    for (int round = 0; round < 50000; ++round) {
        std::string text;
        std::size_t length = random() % 10;  // at most 9 digits: no overflow
        for (std::size_t i = 0; i < length; ++i) {
            text += alphabet[random() % alphabet.size()];
        }
        int expected = 0;
        int consumed = 0;
        bool expectedRead = std::sscanf(text.c_str(), "%d%n", &expected, &consumed) == 1;
        DecimalReading narrow = ReadDecimal(std::string_view(text));
        DecimalReading wide = ReadDecimal(std::u16string(text.begin(), text.end()));
        ASSERT_EQ(narrow.read, expectedRead) << '"' << text << '"';
        ASSERT_EQ(wide.read, expectedRead) << '"' << text << '"';
        if (expectedRead) {
            ASSERT_EQ(narrow.value, expected) << '"' << text << '"';
            ASSERT_EQ(wide.value, expected) << '"' << text << '"';
            ASSERT_EQ(narrow.end, static_cast<std::size_t>(consumed)) << '"' << text << '"';
        }
    }
}

TEST(DecimalReader, ReadsEditBoxNumbersLikeTheDialogManager) {
    EXPECT_EQ(ReadDialogInt(u"42"), 42);
    EXPECT_EQ(ReadDialogInt(u"   42"), 42);
    EXPECT_EQ(ReadDialogInt(u"-17"), -17);
    EXPECT_EQ(ReadDialogInt(u" -17"), -17);
    EXPECT_EQ(ReadDialogInt(u"0042"), 42);
    EXPECT_EQ(ReadDialogInt(u"12abc"), 12);
    EXPECT_EQ(ReadDialogInt(u"12 34"), 12);
    EXPECT_EQ(ReadDialogInt(u"2147483647"), INT_MAX);
    EXPECT_EQ(ReadDialogInt(u"-2147483648"), INT_MIN);
    EXPECT_EQ(ReadDialogInt(u"0000000000002147483647"), INT_MAX);  // leading zeros do not overflow

    // No digits, or beyond the signed 32-bit range: 0, never a clamped or wrapped value.
    EXPECT_EQ(ReadDialogInt(u""), 0);
    EXPECT_EQ(ReadDialogInt(u"   "), 0);
    EXPECT_EQ(ReadDialogInt(u"abc"), 0);
    EXPECT_EQ(ReadDialogInt(u"-"), 0);
    EXPECT_EQ(ReadDialogInt(u"- 5"), 0);
    EXPECT_EQ(ReadDialogInt(u"--5"), 0);
    EXPECT_EQ(ReadDialogInt(u"+5"), 0);      // only a minus sign is taken
    EXPECT_EQ(ReadDialogInt(u"\t5"), 0);     // only blanks are skipped
    EXPECT_EQ(ReadDialogInt(u"\uff15"), 0);  // a full-width digit is not a digit
    EXPECT_EQ(ReadDialogInt(u"2147483648"), 0);
    EXPECT_EQ(ReadDialogInt(u"-2147483649"), 0);
    EXPECT_EQ(ReadDialogInt(u"4294967297"), 0);  // would wrap to 1
    EXPECT_EQ(ReadDialogInt(u"99999999999999999999999x"), 0);
}

}  // namespace
}  // namespace vantor
