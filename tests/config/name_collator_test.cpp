#include "config/name_collator.h"

#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <unicode/uloc.h>

#include "config/catalogue.h"

namespace vantor {
namespace {

TEST(NameCollator, TakesTheLocaleOfACollationLocaleName) {
    const std::pair<const char*, const char*> cases[] = {
        {"fr_FR.UTF-8", "fr_FR"},
        {"de_DE@euro", "de_DE"},
        {"sv_SE.ISO-8859-1@x", "sv_SE"},
        {"sv_SE", "sv_SE"},
        {"C", "root"},
        {"POSIX", "root"},
        {"C.UTF-8", "root"},
        {"", "root"},
        {"en_US_POSIX", "root"},
    };
    for (const auto& [name, id] : cases) {
        EXPECT_EQ(CollationLocaleId(name), id) << name;
        EXPECT_EQ(NameCollator(name).LocaleId(), id) << name;
    }
}

// Sorting by keys made once must give what comparing the texts gives, whatever the texts hold.
TEST(NameCollator, SortKeysOrderTextsAsTheComparisonDoes) {
    static constexpr char16_t alphabet[] =
        u"aAeE\u00e9\u00c9\u00e8 -1\u0416\u0436\u00df\u0001\u0300"
        u"\xd83d\xde00\u4e00\uffff";
    std::mt19937 random(11);
    for (const char* locale : {"C", "sv_SE", "de_DE"}) {
        const NameCollator collator(locale);
        const NameCollator copy = collator;
        int wrong = 0;
        for (int round = 0; round < 20000; ++round) {
            std::u16string text[2];
            for (std::u16string& one : text) {
                one.resize(random() % 6);
                for (char16_t& c : one) {
                    c = alphabet[random() % (std::size(alphabet) - 1)];
                }
            }
            std::string keys;
            const std::size_t first = collator.AppendSortKey(text[0], keys);
            const std::size_t second = copy.AppendSortKey(text[1], keys);
            ASSERT_EQ(first + second, keys.size());
            const int byKeys = std::string_view(keys).substr(0, first).compare(
                std::string_view(keys).substr(first));
            const std::weak_ordering order = collator.Compare(text[0], text[1]);
            if ((byKeys < 0) != (order < 0) || (byKeys == 0) != (order == 0)) {
                ++wrong;
            }
        }
        EXPECT_EQ(wrong, 0) << locale;
    }
}

// main() makes the user's LC_COLLATE ICU's default, which every default collator follows.
TEST(NameCollator, DefaultCollatorsFollowTheCollationLocaleMainSets) {
    const std::string previous = uloc_getDefault();
    UseCollationLocale("sv_SE.UTF-8");
    const NameCollator swedish;
    Catalogue catalogue;
    UseCollationLocale("C");
    const NameCollator root;
    UErrorCode status = U_ZERO_ERROR;
    uloc_setDefault(previous.c_str(), &status);

    EXPECT_EQ(swedish.LocaleId(), "sv_SE");
    EXPECT_EQ(root.LocaleId(), "root");
    EXPECT_TRUE(swedish.Compare(u"\u00c5re", u"Zoo") > 0);
    EXPECT_TRUE(root.Compare(u"\u00c5re", u"Zoo") < 0);
    // The catalogue keeps the order it was made with.
    EXPECT_TRUE(catalogue.CompareDisplayText(u"\u00d6rebro", u"zoo") > 0);
}

}  // namespace
}  // namespace vantor
