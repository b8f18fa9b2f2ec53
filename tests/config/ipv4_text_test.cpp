#include "config/ipv4_text.h"

#include <arpa/inet.h>
#include <random>

#include <gtest/gtest.h>

using namespace vantor;

// The random comparison below covers the number forms, part counts and stray text; these are
// what it cannot tell: inet_addr's failure and 255.255.255.255 look the same, a NUL ends its text,
// and its texts are short.
TEST(Ipv4Text, ReadsLikeTheCLibrary) {
    EXPECT_EQ(ParseIpv4("255.255.255.255"), 0xFFFFFFFFu);
    EXPECT_EQ(ParseIpv4(std::string_view("224.0.0.1\0x", 11)), 0xE0000001u);
    for (std::string_view text : {"-1", "", "0x", "99999999999999999999999", "1.2.3.4.5"}) {
        EXPECT_EQ(ParseIpv4(text), std::nullopt) << '"' << text << '"';
    }
    // The C library's inet_addr is what the server reads addresses with; the two must agree on
    // every text, including the odd ones.
    const std::string alphabet = "0123456789.....xXaFg \t\n\v\f\r-+\xA0";
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
