#include "config/catalogue.h"

#include <array>
#include <clocale>
#include <cwctype>
#include <random>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace vantor {
namespace {

using ::testing::ElementsAre;

ResourceRecord Folder(std::u16string name, std::u16string source = u"", bool on = true,
                      ResourceKind kind = ResourceKind::VirtualFolder) {
    ResourceRecord r;
    std::tie(r.kind, r.name, r.source, r.enabled) = std::tuple(kind, name, source, on);
    return r;
}

ResourceRecord Live(std::u16string name) {
    return Folder(name, u"1@10.0.0.1", true, ResourceKind::LiveBroadcast);
}

// A branch's item texts, or its records' sources; each item must know its parent.
std::vector<std::u16string> Texts(const CatalogueItem& parent, bool sources = false) {
    std::vector<std::u16string> texts;
    for (const auto& child : parent.Children()) {
        texts.push_back(sources ? child->Record().source : child->Text());
        EXPECT_EQ(child->Parent(), &parent);
    }
    return texts;
}

std::vector<ResourceRecord> Records(const CatalogueItem& parent) {
    std::vector<ResourceRecord> records;
    for (const auto& child : parent.Children()) {
        records.push_back(child->Record());
    }
    return records;
}

// Short texts, often equal or equal but for case, with code units on both sides of 0x8000 (the
// top bit of a sort key's unit); half start with a prefix as long as the loader's sort keys hold
// (twelve units), give or take one.
std::u16string RandomText(std::mt19937& random) {
    static constexpr char16_t alphabet[] =
        u" 1AaZz_\u00c9\u00e9\u00d7\u0141\u0142\u03a3\u03c3\u03c2\u0416\u0436\u0401\u0451\u0130i"
        u"\u8001\uffe5\0";
    static const std::u16string prefixes[] = {
        u"", u"", u"", u"Concert 201", u"CONCERT 2019", u"concert 2019 "};
    std::u16string text(random() % 4, u' ');
    for (char16_t& c : text) {
        c = alphabet[random() % (std::size(alphabet) - 1)];
    }
    return prefixes[random() % std::size(prefixes)] + text;
}

// Only the root "Media Server" and its two branches (record fields in declaration order).
void ExpectOnlyFixedItems(const Catalogue& catalogue) {
    const CatalogueItem& root = catalogue.Root();
    ASSERT_THAT(Texts(root), ElementsAre(u"File resources", u"Live broadcasts"));
    const CatalogueItem* items[] = {&root, root.Children()[0].get(), root.Children()[1].get()};
    for (std::uint32_t i = 0; i < 3; ++i) {
        const std::u16string name = i == 0 ? u"Media Server" : Texts(root)[i - 1];
        using enum AuthMethod;
        const auto kind = static_cast<ResourceKind>(3 + i);
        const std::uint32_t image = std::array{2u, 0u, 6u}[i];
        const ResourceRecord expected{kind, true, None, 0, name, u"", u"", image, 0,  false,
                                      u"",  0,    0,    0, 0,    0,   u"", u"",   u""};
        EXPECT_EQ(std::pair(items[i]->Record(), items[i]->Text()), std::pair(expected, name));
        EXPECT_EQ(items[i]->Children().size(), i == 0 ? 2u : 0u);
    }
}

TEST(Catalogue, KeepsTheThreeFixedItemsAndRemovesResourcesOnly) {
    Catalogue c, other;
    ExpectOnlyFixedItems(c);
    for (const char16_t* name : {u"a", u"b", u"c"}) {
        c.InsertResourceItem(Folder(name));
    }
    c.InsertResourceItem(Live(u"b"));
    c.RemoveItem(*c.FileResources().Children()[1]);
    EXPECT_THAT(Texts(c.FileResources()), ElementsAre(u"a", u"c"));
    EXPECT_EQ(c.FileResources().Children()[1]->Row(), 1u);
    // Fixed items, and items of another catalogue, stay.
    for (CatalogueItem* item : {&c.Root(), &c.FileResources(), &c.LiveBroadcasts(),
                                other.InsertResourceItem(Folder(u"a"))}) {
        c.RemoveItem(*item);
    }
    ASSERT_EQ(c.Root().Children().size(), 2u);
    EXPECT_THAT(Texts(c.FileResources()), ElementsAre(u"a", u"c"));
    EXPECT_THAT(Texts(c.LiveBroadcasts()), ElementsAre(u"b"));
    EXPECT_THAT(Texts(other.FileResources()), ElementsAre(u"a"));
    c.Clear();
    ExpectOnlyFixedItems(c);
}

TEST(Catalogue, InsertsResourcesSortedByDisplayText) {
    // Names equal but for case keep their insertion order.
    Catalogue cased;
    const char16_t* names[] = {u"music", u"MUSIC", u"Music", u"Mus"};
    for (char16_t i = 0; i < 4; ++i) {
        cased.InsertResourceItem(Folder(names[i], std::u16string(1, u'1' + i)));
    }
    EXPECT_THAT(Texts(cased.FileResources(), true), ElementsAre(u"4", u"1", u"2", u"3"));

    // A disabled resource sorts by its marked text, and gets its branch's picture.
    ResourceRecord off = Folder(u"Music", u"", false);
    off.imageIndex = 77;
    CatalogueItem* item = cased.InsertResourceItem(off);
    ASSERT_NE(item, nullptr);
    off.imageIndex = VirtualFolderImage;
    EXPECT_EQ(std::tuple(item->Text(), item->Record()), std::tuple(u"Music (disabled)", off));
    cased.InsertResourceItem(Folder(u"Music2"));
    cased.InsertResourceItem(Folder(u"a b"));
    EXPECT_THAT(
        Texts(cased.FileResources()),
        ElementsAre(u"a b", u"Mus", u"music", u"MUSIC", u"Music", u"Music (disabled)", u"Music2"));
    EXPECT_EQ(item->Row(), 5u);
    EXPECT_EQ(cased.InsertResourceItem(Live(u"News"))->Record().imageIndex, LiveBroadcastImage);

    // Records of the fixed kinds or of no kind go nowhere, one by one or loaded.
    for (int kind : {3, 4, 5, 0, 9}) {
        const ResourceRecord record = Folder(u"odd", u"", true, static_cast<ResourceKind>(kind));
        EXPECT_EQ(cased.InsertResourceItem(record), nullptr);
        cased.InsertLoaded({record});
    }
    EXPECT_EQ(Texts(cased.FileResources()).size(), 7u);
    EXPECT_THAT(Texts(cased.LiveBroadcasts()), ElementsAre(u"News"));
    EXPECT_EQ(cased.Root().Children().size(), 2u);
}

TEST(Catalogue, TextChangesDoNotMoveItemsAndLaterInsertionsScanFromTheStart) {
    Catalogue catalogue;
    for (const char16_t* name : {u"b", u"c", u"d", u"e", u"f"}) {
        catalogue.InsertResourceItem(Folder(name));
    }
    CatalogueItem& renamed = *catalogue.FileResources().Children()[1];
    catalogue.SetItemText(renamed, u"z");
    EXPECT_THAT(Texts(catalogue.FileResources()), ElementsAre(u"b", u"z", u"d", u"e", u"f"));
    EXPECT_EQ(renamed.Record().name, u"c");  // the text only

    // "e2" goes before the first greater sibling, "z", not where a binary search would put it.
    for (const char16_t* name : {u"e2", u"a", u"zz"}) {
        catalogue.InsertResourceItem(Folder(name));
    }
    EXPECT_THAT(Texts(catalogue.FileResources()),
                ElementsAre(u"a", u"b", u"e2", u"z", u"d", u"e", u"f", u"zz"));
}

TEST(Catalogue, LoadingAllAtOnceMatchesInsertingOneByOne) {
    std::mt19937 random(20240611);
    std::vector<ResourceRecord> records;
    // Enough for both branches to be sorted the way large files are; the source tells records
    // apart, and some are of a kind that is never inserted.
    for (int i = 0; i < 11000; ++i) {
        const int kind = random() % 10;
        records.push_back(Folder(RandomText(random), std::u16string(1, u'A' + i)));
        records.back().enabled = random() % 4 != 0;
        records.back().kind = static_cast<ResourceKind>(kind < 5 ? 1 : kind < 9 ? 2 : 3);
    }
    // Into empty branches, and (the first thousand) into branches that already hold items, one
    // renamed out of order.
    const std::vector<ResourceRecord> some(records.begin(), records.begin() + 1000);
    Catalogue oneByOne, loaded, startedA, startedB;
    for (Catalogue* started : {&startedA, &startedB}) {
        started->InsertResourceItem(Folder(u"m", u"old m"));
        started->InsertResourceItem(Folder(u"n", u"old n"));
        started->SetItemText(*started->FileResources().Children()[0], u"zz");
    }
    for (const ResourceRecord& record : records) {
        oneByOne.InsertResourceItem(record);
    }
    for (const ResourceRecord& record : some) {
        startedA.InsertResourceItem(record);
    }
    loaded.InsertLoaded(records);
    startedB.InsertLoaded(some);
    for (auto [expected, actual, least] :
         {std::tuple(&oneByOne, &loaded, 4096u), {&startedA, &startedB, 300u}}) {
        for (std::size_t branch = 0; branch < 2; ++branch) {
            const CatalogueItem& want = *expected->Root().Children()[branch];
            const CatalogueItem& got = *actual->Root().Children()[branch];
            ASSERT_GE(want.Children().size(), least);
            EXPECT_EQ(std::pair(Records(got), Texts(got)), std::pair(Records(want), Texts(want)));
        }
    }
    // A file of broadcasts only.
    Catalogue liveOnly;
    liveOnly.InsertLoaded({Live(u"news")});
    EXPECT_EQ(liveOnly.LiveBroadcasts().Children().size(), 1u);
}

TEST(Catalogue, NamesAreUniqueAcrossBranchesIgnoringAsciiCase) {
    Catalogue catalogue;
    EXPECT_FALSE(catalogue.ResourceNameExists(u"Music"));
    catalogue.InsertResourceItem(Folder(u"Music", u"", false));
    catalogue.InsertResourceItem(Live(u"News"));
    catalogue.InsertResourceItem(Folder(u"\u00c9t\u00e9"));
    // A name of the other branch counts (the first three); only ASCII letters fold; the display
    // text of a disabled resource and the fixed items are no names.
    const std::vector<std::u16string> names({u"mUSIC", u"news", u"\u00c9T\u00e9", u"\u00e9t\u00e9",
                                             u"Music (disabled)", u"Musi", u"Music ",
                                             u"Media Server", u""});
    for (std::size_t i = 0; i < names.size(); ++i) {
        EXPECT_EQ(catalogue.ResourceNameExists(names[i]), i < 3) << i;
    }
}

int Order(std::u16string_view a, std::u16string_view b) {
    const std::weak_ordering order = CompareDisplayText(a, b);
    return order < 0 ? -1 : order > 0 ? 1 : 0;
}

// The C library's lower case over the scripts that fold (Latin-1, Latin Extended-A, Greek up to
// final sigma, which sorts as sigma, Cyrillic up to U+04BF); capital I with dot stays itself.
char16_t ExpectedFold(char16_t c) {
    const bool folds = c < 0x180 || (c >= 0x386 && c <= 0x3C2) || (c >= 0x400 && c <= 0x4BF);
    if (!folds || c == 0x130) {
        return c;
    }
    return c == 0x3C2 ? 0x3C3 : static_cast<char16_t>(std::towlower(c));
}

TEST(CompareDisplayText, OrdersEveryCodeUnitUpToCyrillicByItsFoldedValue) {
    const std::string previous = std::setlocale(LC_CTYPE, nullptr);
    ASSERT_NE(std::setlocale(LC_CTYPE, "C.UTF-8"), nullptr);
    std::vector<char16_t> folded(0x500);
    for (char16_t c = 0; c < folded.size(); ++c) {
        folded[c] = ExpectedFold(c);
    }
    std::setlocale(LC_CTYPE, previous.c_str());
    ASSERT_EQ(folded[0x416], 0x436);  // the tables were there

    int wrong = 0;
    for (char16_t a = 0; a < folded.size(); ++a) {
        for (char16_t b = 0; b < folded.size(); ++b) {
            const int expected = folded[a] < folded[b] ? -1 : folded[a] > folded[b] ? 1 : 0;
            if (Order(std::u16string(1, a), std::u16string(1, b)) != expected && ++wrong < 10) {
                ADD_FAILURE() << std::hex << "U+" << int(a) << " against U+" << int(b);
            }
        }
    }
    EXPECT_EQ(wrong, 0);
    // Beyond the table code units stand for themselves.
    EXPECT_EQ(Order(u"\u0531", u"\u0561"), -1);
    EXPECT_EQ(Order(u"\uff21", u"\uff41"), -1);
}

}  // namespace
}  // namespace vantor
