#include "editors/ipv4_text.h"

#include <random>
#include <string>

#include <arpa/inet.h>
#include <gtest/gtest.h>

namespace vantor {
namespace {

TEST(Ipv4Text, ReadsEveryNumberFormAndPartCount) {
    EXPECT_EQ(ParseIpv4("224.0.0.1"), 0xE0000001u);
    EXPECT_EQ(ParseIpv4("0340.0.0.01"), 0xE0000001u);        // octal
    EXPECT_EQ(ParseIpv4("0xE0.0X0.0x00.0x1"), 0xE0000001u);  // hexadecimal, either x
    EXPECT_EQ(ParseIpv4("230.001.001.001"), 0xE6010101u);
    EXPECT_EQ(ParseIpv4("224.0.257"), 0xE0000101u);  // a.b.c: c fills 16 bits
    EXPECT_EQ(ParseIpv4("224.65535"), 0xE000FFFFu);  // a.b: b fills 24 bits
    EXPECT_EQ(ParseIpv4("224.0xFFFFFF"), 0xE0FFFFFFu);
    EXPECT_EQ(ParseIpv4("3758096385"), 0xE0000001u);  // a: all 32 bits
    EXPECT_EQ(ParseIpv4("0xE0000001"), 0xE0000001u);
    EXPECT_EQ(ParseIpv4("0"), 0u);
    EXPECT_EQ(ParseIpv4("255.255.255.255"), 0xFFFFFFFFu);
    EXPECT_EQ(ParseIpv4("4294967295"), 0xFFFFFFFFu);
}

TEST(Ipv4Text, RejectsPartsOutOfTheirRange) {
    EXPECT_EQ(ParseIpv4("256.0.0.1"), std::nullopt);
    EXPECT_EQ(ParseIpv4("1.2.3.256"), std::nullopt);
    EXPECT_EQ(ParseIpv4("1.2.65536"), std::nullopt);
    EXPECT_EQ(ParseIpv4("1.16777216"), std::nullopt);
    EXPECT_EQ(ParseIpv4("4294967296"), std::nullopt);
    EXPECT_EQ(ParseIpv4("99999999999999999999999"), std::nullopt);
    EXPECT_EQ(ParseIpv4("0x100.0.0.1"), std::nullopt);
}

TEST(Ipv4Text, StopsAtWhiteSpaceAndRejectsOtherStrayCharacters) {
    EXPECT_EQ(ParseIpv4("230.1.1.1 "), 0xE6010101u);
    EXPECT_EQ(ParseIpv4("230.1.1.1\t"), 0xE6010101u);
    EXPECT_EQ(ParseIpv4("230.1.1.1 anything"), 0xE6010101u);
    EXPECT_EQ(ParseIpv4(std::string_view("230.1.1.1\0x", 11)), 0xE6010101u);
    EXPECT_EQ(ParseIpv4("230.1.1.1x"), std::nullopt);
    EXPECT_EQ(ParseIpv4("230.1.1.1\xA0"), std::nullopt);  // not ASCII white space
    EXPECT_EQ(ParseIpv4(" 230.1.1.1"), std::nullopt);
    EXPECT_EQ(ParseIpv4("+230.1.1.1"), std::nullopt);
    EXPECT_EQ(ParseIpv4("-1"), std::nullopt);
    EXPECT_EQ(ParseIpv4(""), std::nullopt);
    EXPECT_EQ(ParseIpv4("abc"), std::nullopt);
    EXPECT_EQ(ParseIpv4("1..2"), std::nullopt);
    EXPECT_EQ(ParseIpv4("1.2."), std::nullopt);
    EXPECT_EQ(ParseIpv4("1.2.3.4.5"), std::nullopt);
    EXPECT_EQ(ParseIpv4("1.2.3.4."), std::nullopt);
    EXPECT_EQ(ParseIpv4("08"), std::nullopt);  // 8 is no octal digit
    EXPECT_EQ(ParseIpv4("0x"), std::nullopt);  // a lone 0 followed by a stray x
    EXPECT_EQ(ParseIpv4("0x1G"), std::nullopt);
}

// The C library's inet_addr is what the server reads addresses with; the two must agree on
// every text, including the odd ones.
TEST(Ipv4Text, AgreesWithTheCLibraryOnRandomTexts) {
    const std::string alphabet = "0123456789.....xXaFg \t-+\xA0";
    std::mt19937 random(1234);
    for (int round = 0; round < 200000; ++round) {
        std::string text;
        std::size_t length = random() % 18;
        for (std::size_t i = 0; i < length; ++i) {
            text += alphabet[random() % alphabet.size()];
        }
        std::uint32_t expected = ntohl(inet_addr(text.c_str()));
        std::optional<std::uint32_t> parsed = ParseIpv4(text);
        // inet_addr folds failure into 255.255.255.255.
        ASSERT_EQ(parsed.value_or(0xFFFFFFFF), expected) << '"' << text << '"';
    }
}

TEST(Ipv4Text, FormatsDottedDecimal) {
    EXPECT_EQ(FormatIpv4(0xE1000000), "225.0.0.0");
    EXPECT_EQ(FormatIpv4(0xEFFFFFFF), "239.255.255.255");
    EXPECT_EQ(FormatIpv4(0x0A00FF01), "10.0.255.1");
    for (std::uint32_t value : {0u, 0x7F000001u, 0xC0A80164u, 0xFFFFFFFEu}) {
        in_addr address{htonl(value)};
        EXPECT_EQ(FormatIpv4(value), inet_ntoa(address));
        EXPECT_EQ(ParseIpv4(FormatIpv4(value)), value);
    }
}

}  // namespace
}  // namespace vantor
