#include "editors/ipv4_text.h"

#include <arpa/inet.h>
#include <initializer_list>
#include <optional>
#include <random>
#include <string>

#include <gtest/gtest.h>

namespace vantor {
namespace {

TEST(Ipv4Text, ReadsEveryNumberFormAndPartCountAndRejectsStrayText) {
    // Octal, hexadecimal with either x, fewer parts (the last one fills the rest), and text after
    // white space (or a NUL) ignored.
    for (std::string_view text : std::initializer_list<std::string_view>{
             "224.0.0.1", "0340.0.0.01", "0xE0.0X0.0x00.0x1", "224.0.1", "224.1", "3758096385",
             "0xE0000001", "224.0.0.1\tx", "224.0.0.1 anything",
             std::string_view("224.0.0.1\0x", 11)}) {
        EXPECT_EQ(ParseIpv4(text), 0xE0000001u) << text;
    }
    EXPECT_EQ(ParseIpv4("230.001.001.001"), 0xE6010101u);
    EXPECT_EQ(ParseIpv4("224.0.257"), 0xE0000101u);     // c fills 16 bits
    EXPECT_EQ(ParseIpv4("224.0xFFFFFF"), 0xE0FFFFFFu);  // b fills 24 bits
    EXPECT_EQ(ParseIpv4("255.255.255.255"), 0xFFFFFFFFu);
    // Parts out of their range, stray characters (0xA0 is no white space, 8 no octal digit).
    for (std::string_view text :
         {"256.0.0.1", "1.2.65536", "1.16777216", "4294967296", "99999999999999999999999",
          "0x100.0.0.1", "230.1.1.1x", "230.1.1.1\xA0", " 230.1.1.1", "+230.1.1.1", "-1", "",
          "1..2", "1.2.", "1.2.3.4.5", "08", "0x", "0x1G"}) {
        EXPECT_EQ(ParseIpv4(text), std::nullopt) << '"' << text << '"';
    }
}

// The C library's inet_addr is what the server reads addresses with; the two must agree on
// every text, including the odd ones.
TEST(Ipv4Text, AgreesWithTheCLibraryOnRandomTexts) {
    const std::string alphabet = "0123456789.....xXaFg \t-+\xA0";
    std::mt19937 random(1234);
    for (int round = 0; round < 200000; ++round) {
        std::string text;
        for (std::size_t i = random() % 18; i > 0; --i) {
            text += alphabet[random() % alphabet.size()];
        }
        // inet_addr folds failure into 255.255.255.255.
        ASSERT_EQ(ParseIpv4(text).value_or(0xFFFFFFFF), ntohl(inet_addr(text.c_str())))
            << '"' << text << '"';
    }
}

TEST(Ipv4Text, FormatsDottedDecimalLikeInetNtoa) {
    for (std::uint32_t value : {0u, 0xE1000000u, 0xEFFFFFFFu, 0x0A00FF01u, 0xFFFFFFFEu}) {
        EXPECT_EQ(FormatIpv4(value), inet_ntoa(in_addr{htonl(value)}));
        EXPECT_EQ(ParseIpv4(FormatIpv4(value)), value);
    }
}

}  // namespace
}  // namespace vantor
