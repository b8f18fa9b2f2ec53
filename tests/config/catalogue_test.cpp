#include "config/catalogue.h"

#include <algorithm>
#include <array>
#include <initializer_list>
#include <random>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "config/resource_texts.h"

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

// Short texts, often equal or equal but for case or accent, from several scripts, with a
// character ICU ignores and halves of a surrogate pair; half start with a shared
// prefix whose collation key is about as long as the loader's sort handles hold, give or take.
std::u16string RandomText(std::mt19937& random) {
    static constexpr char16_t alphabet[] =
        u" 1AaZz_\u00c9\u00e9\u00d7\u0141\u0142\u03a3\u03c3\u03c2\u0416\u0436\u0401\u0451\u0130i"
        u"\u8001\uffe5\u0001\U0001F600\0";
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

// One by one, each before the first greater sibling.
std::vector<std::u16string> Inserted(Catalogue& catalogue,
                                     std::initializer_list<const char16_t*> names) {
    for (const char16_t* name : names) {
        catalogue.InsertResourceItem(Folder(name));
    }
    return Texts(catalogue.FileResources());
}

TEST(Catalogue, SortsAsTheCollationLocaleDoesIgnoringCaseCountingAccents) {
    // Accented letters sort with their base letter; an accent decides only after the letters,
    // and case not at all ("emile" and "EMILE" keep their order).
    Catalogue root{NameCollator("C")};
    EXPECT_THAT(Inserted(root, {u"Zoo", u"été", u"Émile", u"Eta", u"emile", u"Ete", u"EMILE",
                                u"Øre", u"ole", u"Новости", u"новая", u"Ábc"}),
                ElementsAre(u"Ábc", u"emile", u"EMILE", u"Émile", u"Eta", u"Ete", u"été", u"ole",
                            u"Øre", u"Zoo", u"новая", u"Новости"));
    EXPECT_TRUE(root.CompareDisplayText(u"Émile", u"Zoo") < 0);
    EXPECT_TRUE(root.CompareDisplayText(u"été", u"Eta") > 0);
    EXPECT_TRUE(root.CompareDisplayText(u"MUSIC", u"music") == 0);

    // The language decides: Swedish puts Å, Ä and Ö after Z, German does not.
    Catalogue swedish{NameCollator("sv_SE.UTF-8")};
    EXPECT_THAT(Inserted(swedish, {u"Örebro", u"Zoo", u"Åre", u"Arvika", u"Ängby"}),
                ElementsAre(u"Arvika", u"Zoo", u"Åre", u"Ängby", u"Örebro"));
    Catalogue german{NameCollator("de_DE@euro")};
    EXPECT_THAT(Inserted(german, {u"Örebro", u"Zoo", u"Åre", u"Arvika", u"Ängby"}),
                ElementsAre(u"Ängby", u"Åre", u"Arvika", u"Örebro", u"Zoo"));

    // C and POSIX are the root order, where case is ignored too (ICU's own POSIX order would
    // put every capital before every small letter).
    for (const char* name : {"C", "POSIX", "C.UTF-8", "", "en_US_POSIX"}) {
        Catalogue posix{NameCollator(name)};
        EXPECT_THAT(Inserted(posix, {u"b", u"B", u"a", u"A", u"é"}),
                    ElementsAre(u"a", u"A", u"b", u"B", u"é"))
            << name;
    }
}

// Files far larger than the one-by-one comparison above can afford: the loader against a stable
// sort by the tree's order, with long shared prefixes and with keys made by several workers.
TEST(Catalogue, LoadingAManyThousandsOfRecordsSortsThemStably) {
    std::mt19937 random(7);
    std::vector<ResourceRecord> records;
    for (int i = 0; i < 40000; ++i) {
        records.push_back(Folder(RandomText(random), std::u16string(1, char16_t(0x4E00 + i))));
        records.back().enabled = random() % 4 != 0;
    }
    Catalogue loaded{NameCollator("fr_FR.UTF-8")};
    loaded.InsertLoaded(records);
    std::vector<std::pair<std::u16string, std::u16string>> expected;
    for (const ResourceRecord& record : records) {
        expected.emplace_back(DisplayText(record), record.source);
    }
    std::stable_sort(expected.begin(), expected.end(), [&loaded](const auto& a, const auto& b) {
        return loaded.CompareDisplayText(a.first, b.first) < 0;
    });
    std::vector<std::pair<std::u16string, std::u16string>> got;
    for (const auto& child : loaded.FileResources().Children()) {
        got.emplace_back(child->Text(), child->Record().source);
    }
    EXPECT_TRUE(got == expected);
}

}  // namespace
}  // namespace vantor
