#include "config/text_codec.h"

#include <gtest/gtest.h>

namespace vantor {
namespace {

TEST(TextCodec, ConvertsUtf8AndAnsiReplacingWhatCannotBeConverted) {
    std::u16string text = u"A\u00e9\u20ac\U0001F3B5z";
    std::string utf8 = Utf16ToUtf8(text);
    EXPECT_EQ(utf8, "A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x8E\xB5z");
    EXPECT_EQ(Utf8ToUtf16(utf8), text);
    // Ill-formed input becomes replacement characters.
    EXPECT_EQ(Utf16ToUtf8(std::u16string(1, char16_t(0xD800)) + u"x"), "\xEF\xBF\xBDx");
    // A truncated three-byte sequence, an overlong encoding and an encoded surrogate.
    EXPECT_EQ(Utf8ToUtf16("\xE2\x82"), u"\uFFFD");
    EXPECT_EQ(Utf8ToUtf16("\xC0\xAFok"), u"\uFFFD\uFFFDok");
    EXPECT_EQ(Utf8ToUtf16("\xED\xA0\x80"), u"\uFFFD");
    // ANSI is Windows-1252, with question marks for what it cannot hold.
    EXPECT_EQ(Utf16ToAnsi(u"caf\u00e9 \u20ac\u2122"), "caf\xE9 \x80\x99");
    EXPECT_EQ(Utf16ToAnsi(u"\u0416\U0001F3B5!"), "\?\?!");
    EXPECT_EQ(AnsiToUtf16("\x80\x81\xFF"), u"\u20ac\u0081\u00ff");
}

}  // namespace
}  // namespace vantor
