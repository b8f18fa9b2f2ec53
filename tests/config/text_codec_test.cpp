#include "config/text_codec.h"

#include <string>
#include <utility>

#include <gtest/gtest.h>

namespace vantor {
namespace {

TEST(TextCodec, Utf8AndUtf16ConvertBothWaysAtEveryLengthBoundary) {
    // The last and first code points of each UTF-8 length, and around the surrogates.
    const std::pair<std::u16string, std::string> same[] = {
        {u"A\u00e9\u20ac\U0001F3B5z", "A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x8E\xB5z"},
        {u"\u007f\u0080", "\x7F\xC2\x80"},
        {u"\u07ff\u0800", "\xDF\xBF\xE0\xA0\x80"},
        {u"\ud7ff\ue000\uffff", "\xED\x9F\xBF\xEE\x80\x80\xEF\xBF\xBF"},
        {u"\U00010000\U0010FFFF", "\xF0\x90\x80\x80\xF4\x8F\xBF\xBF"},
    };
    for (const auto& [utf16, utf8] : same) {
        EXPECT_EQ(Utf16ToUtf8(utf16), utf8);
        EXPECT_EQ(Utf8ToUtf16(utf8), utf16);
    }
}

TEST(TextCodec, IllFormedInputBecomesReplacementCharacters) {
    const std::string r = "\xEF\xBF\xBD";  // U+FFFD in UTF-8
    // Lone surrogates, at the end, before a letter, in the wrong order, and a high one before
    // a whole pair.
    const std::pair<std::u16string, std::string> utf16[] = {
        {std::u16string{0xD800}, r},
        {std::u16string{0xDBFF, u'x'}, r + "x"},
        {std::u16string{0xDC00, u'x'}, r + "x"},
        {std::u16string{0xDFFF, 0xD800}, r + r},
        {std::u16string{0xD800, 0xD83C, 0xDFB5}, r + "\xF0\x9F\x8E\xB5"},
    };
    for (const auto& [text, expected] : utf16) {
        EXPECT_EQ(Utf16ToUtf8(text), expected);
    }
    // One replacement per maximal ill-formed sequence: truncated, overlong, an encoded
    // surrogate, beyond U+10FFFF, bytes that never lead.
    const std::pair<std::string, std::u16string> utf8[] = {
        {"\xE2\x82", u"\uFFFD"},
        {std::string("\xE2\x82") + "A", u"\uFFFDA"},
        {"\xC0\xAFok", u"\uFFFD\uFFFDok"},
        {"\xE0\x9F\xBF", u"\uFFFD"},
        {"\xF0\x8F\xBF\xBF", u"\uFFFD"},
        {"\xED\xA0\x80", u"\uFFFD"},
        {"\xF4\x90\x80\x80", u"\uFFFD"},
        {"\xF5\x80", u"\uFFFD\uFFFD"},
        {"\xC3\xA9\x80x", u"\u00e9\uFFFDx"},  // a stray one after a complete sequence
    };
    for (const auto& [text, expected] : utf8) {
        EXPECT_EQ(Utf8ToUtf16(text), expected);
    }
}

TEST(TextCodec, AnsiIsWindows1252WithQuestionMarksForWhatItCannotHold) {
    // Every byte comes back as itself.
    std::string bytes;
    for (int byte = 0; byte < 256; ++byte) {
        bytes += static_cast<char>(byte);
    }
    EXPECT_EQ(Utf16ToAnsi(AnsiToUtf16(bytes)), bytes);
    EXPECT_EQ(AnsiToUtf16("\x7F\x80\x81\x9F\xA0\xFF"), u"\u007f\u20ac\u0081\u0178\u00a0\u00ff");
    EXPECT_EQ(Utf16ToAnsi(u"caf\u00e9 \u20ac\u2122"), "caf\xE9 \x80\x99");
    // U+0080 is not byte 0x80; a pair is one character, lone surrogates one each.
    EXPECT_EQ(Utf16ToAnsi(u"\u0080\u0100\u0416\U0001F3B5!"), "\?\?\?\?!");
    EXPECT_EQ(Utf16ToAnsi(std::u16string{0xD800, u'A', 0x416, 0xDC00, u'B', 0xDC00, 0xD800}),
              "?A??B??");
}

}  // namespace
}  // namespace vantor
