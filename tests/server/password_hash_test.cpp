// The stored form of a password: SHA-1 of its Windows-1252 bytes, in lowercase hex. The expected
// digests were computed with `printf '%s' PASSWORD | iconv -t WINDOWS-1252 | sha1sum`, with '?'
// typed in place of the characters the code page cannot hold.

#include "server/password_hash.h"

#include <string>

#include <gtest/gtest.h>

namespace vantor {
namespace {

TEST(HashPassword, GivesTheDigestOfTheWindows1252Bytes) {
    const struct {
        std::u16string password;
        std::u16string hashText;
    } cases[] = {
        {u"abcde", u"03de6c570bfe24bfc328ccd7ca46b76eadaf4334"},
        {u"caf\u00e9!", u"70040efe31485dbc330de05155fc8db3f0a321c0"},  // é is 0xE9
        {u"\u20acuro5", u"f48b21f16dfcb3455a8148e28d56d1ba2aea102d"},  // € is 0x80
        // Beyond the code page: one '?' per character, a surrogate pair included.
        {u"\u65e5\u672c\u8a9e\u3067\u3059", u"8b71973e835cd0718827238b1cf89f0079e44dae"},
        {u"a\U0001F600bcd", u"dc79c582669ce5192471c0fe9fc1cacf5ff7d10d"},
    };
    for (const auto& c : cases) {
        std::u16string hashText = u"left over";
        EXPECT_TRUE(HashPassword(c.password, hashText));
        EXPECT_EQ(hashText, c.hashText);
    }
}

}  // namespace
}  // namespace vantor
