#include "config/catalogue.h"

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

ResourceRecord Folder(std::u16string name, std::u16string source = u"") {
    ResourceRecord record;  // a virtual folder
    record.name = std::move(name);
    record.source = std::move(source);
    return record;
}

ResourceRecord Live(std::u16string name) {
    ResourceRecord record = Folder(std::move(name), u"1@10.0.0.1");
    record.kind = ResourceKind::LiveBroadcast;
    return record;
}

// The item texts of a branch in tree order, or with sources set the records' sources.
std::vector<std::u16string> Texts(const CatalogueItem& parent, bool sources = false) {
    std::vector<std::u16string> texts;
    for (const auto& child : parent.Children()) {
        texts.push_back(sources ? child->Record().source : child->Text());
    }
    return texts;
}

// Up to three characters from a mix of cases, scripts and punctuation, so that equal texts and
// texts equal but for case are common.
std::u16string RandomText(std::mt19937& random) {
    static constexpr char16_t alphabet[] =
        u" 1AaZz_\u00c9\u00e9\u00d7\u0141\u0142\u03a3\u03c3\u03c2\u0416\u0436\u0401\u0451\u0130i";
    std::u16string text(random() % 4, u' ');
    for (char16_t& c : text) {
        c = alphabet[random() % (std::size(alphabet) - 1)];
    }
    return text;
}

// Only the root "Media Server" and its two branches; their records hold nothing but kind,
// name, image, enabled and the -1 method.
void ExpectOnlyFixedItems(const Catalogue& catalogue) {
    const CatalogueItem& root = catalogue.Root();
    ASSERT_EQ(root.Children().size(), 2u);
    const std::tuple<const CatalogueItem*, ResourceKind, const char16_t*, std::uint32_t> fixed[] = {
        {&root, ResourceKind::ServerRoot, u"Media Server", 2},
        {root.Children()[0].get(), ResourceKind::FileResourcesBranch, u"File resources", 0},
        {root.Children()[1].get(), ResourceKind::LiveBroadcastsBranch, u"Live broadcasts", 6}};
    for (const auto& [item, kind, name, image] : fixed) {
        ResourceRecord expected;  // enabled
        expected.kind = kind;
        expected.authMethod = AuthMethod::None;
        expected.name = name;
        expected.imageIndex = image;
        expected.playTimeLimit = 0;
        EXPECT_EQ(item->Record(), expected) << static_cast<int>(kind);
        EXPECT_EQ(item->Text(), name);
        EXPECT_EQ(item->Children().size(), item == &root ? 2u : 0u);
        EXPECT_EQ(item->Parent(), item == &root ? nullptr : &root);
    }
}

TEST(Catalogue, KeepsTheThreeFixedItemsAndRemovesResourcesOnly) {
    Catalogue catalogue;
    ExpectOnlyFixedItems(catalogue);
    EXPECT_EQ(catalogue.BranchFor(ResourceKind::VirtualFolder), &catalogue.FileResources());
    EXPECT_EQ(catalogue.BranchFor(ResourceKind::LiveBroadcast), &catalogue.LiveBroadcasts());
    EXPECT_EQ(catalogue.BranchFor(ResourceKind::ServerRoot), nullptr);
    EXPECT_EQ(std::as_const(catalogue).BranchFor(static_cast<ResourceKind>(0)), nullptr);

    catalogue.InsertResourceItem(Folder(u"a"));
    CatalogueItem* b = catalogue.InsertResourceItem(Folder(u"b"));
    catalogue.InsertResourceItem(Folder(u"c"));
    catalogue.InsertResourceItem(Live(u"b"));
    catalogue.RemoveItem(*b);
    EXPECT_THAT(Texts(catalogue.FileResources()), ElementsAre(u"a", u"c"));
    EXPECT_EQ(catalogue.FileResources().Children()[1]->Row(), 1u);
    EXPECT_EQ(catalogue.LiveBroadcasts().Children().size(), 1u);

    // Fixed items, and items of another catalogue, stay.
    catalogue.RemoveItem(catalogue.Root());
    catalogue.RemoveItem(catalogue.FileResources());
    catalogue.RemoveItem(catalogue.LiveBroadcasts());
    Catalogue other;
    catalogue.RemoveItem(*other.InsertResourceItem(Folder(u"a")));
    ASSERT_EQ(catalogue.Root().Children().size(), 2u);
    EXPECT_EQ(catalogue.FileResources().Children().size(), 2u);
    EXPECT_EQ(other.FileResources().Children().size(), 1u);

    catalogue.Clear();
    ExpectOnlyFixedItems(catalogue);
}

TEST(Catalogue, InsertsResourcesSortedByDisplayText) {
    // Names equal but for case keep their insertion order.
    Catalogue cased;
    cased.InsertResourceItem(Folder(u"music", u"first"));
    cased.InsertResourceItem(Folder(u"MUSIC", u"second"));
    cased.InsertResourceItem(Folder(u"Music", u"third"));
    cased.InsertResourceItem(Folder(u"Mus", u"shorter"));
    EXPECT_THAT(Texts(cased.FileResources(), true),
                ElementsAre(u"shorter", u"first", u"second", u"third"));

    // A disabled resource sorts by its marked text, and gets its branch's picture.
    ResourceRecord off = Folder(u"Music");
    off.enabled = false;
    off.imageIndex = 77;
    CatalogueItem* item = cased.InsertResourceItem(off);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->Text(), u"Music (disabled)");
    EXPECT_EQ(item->Record().name, u"Music");
    EXPECT_EQ(item->Record().imageIndex, 1u);
    EXPECT_EQ(item->Parent(), &cased.FileResources());
    cased.InsertResourceItem(Folder(u"Music2"));
    cased.InsertResourceItem(Folder(u"a b"));
    EXPECT_THAT(
        Texts(cased.FileResources()),
        ElementsAre(u"a b", u"Mus", u"music", u"MUSIC", u"Music", u"Music (disabled)", u"Music2"));
    EXPECT_EQ(item->Row(), 5u);

    CatalogueItem* live = cased.InsertResourceItem(Live(u"News"));
    ASSERT_NE(live, nullptr);
    EXPECT_EQ(live->Parent(), &cased.LiveBroadcasts());
    EXPECT_EQ(live->Record().imageIndex, 3u);

    // Records of the fixed kinds or of no kind go nowhere, one by one or loaded.
    for (auto kind : {ResourceKind::ServerRoot, ResourceKind::FileResourcesBranch,
                      ResourceKind::LiveBroadcastsBranch, static_cast<ResourceKind>(0),
                      static_cast<ResourceKind>(9)}) {
        ResourceRecord record = Folder(u"odd");
        record.kind = kind;
        EXPECT_EQ(cased.InsertResourceItem(record), nullptr);
        cased.InsertLoaded({record});
    }
    EXPECT_EQ(cased.FileResources().Children().size(), 7u);
    EXPECT_EQ(cased.LiveBroadcasts().Children().size(), 1u);
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
    EXPECT_EQ(catalogue.InsertResourceItem(Folder(u"e2"))->Row(), 1u);
    catalogue.InsertResourceItem(Folder(u"a"));
    catalogue.InsertResourceItem(Folder(u"zz"));
    EXPECT_THAT(Texts(catalogue.FileResources()),
                ElementsAre(u"a", u"b", u"e2", u"z", u"d", u"e", u"f", u"zz"));
}

TEST(Catalogue, LoadingAllAtOnceMatchesInsertingOneByOne) {
    std::mt19937 random(20240611);
    std::vector<ResourceRecord> records;
    for (int i = 0; i < 1000; ++i) {
        // The source tells records apart; some are of a kind that is never inserted.
        ResourceRecord record = Folder(RandomText(random), std::u16string(1, u'A' + i));
        const int kind = random() % 10;
        record.kind = kind < 5   ? ResourceKind::VirtualFolder
                      : kind < 9 ? ResourceKind::LiveBroadcast
                                 : ResourceKind::ServerRoot;
        record.enabled = random() % 4 != 0;
        records.push_back(record);
    }

    // Into empty branches, and into branches that already hold items, one renamed out of order.
    Catalogue oneByOne, loaded, startedA, startedB;
    for (Catalogue* started : {&startedA, &startedB}) {
        started->InsertResourceItem(Folder(u"m", u"old m"));
        started->InsertResourceItem(Folder(u"n", u"old n"));
        started->SetItemText(*started->FileResources().Children()[0], u"zz");
    }
    for (const ResourceRecord& record : records) {
        oneByOne.InsertResourceItem(record);
        startedA.InsertResourceItem(record);
    }
    loaded.InsertLoaded(records);
    startedB.InsertLoaded(records);
    for (auto [expected, actual] : {std::pair(&oneByOne, &loaded), {&startedA, &startedB}}) {
        for (std::size_t branch = 0; branch < 2; ++branch) {
            const CatalogueItem& want = *expected->Root().Children()[branch];
            const CatalogueItem& got = *actual->Root().Children()[branch];
            ASSERT_GT(want.Children().size(), 300u);
            EXPECT_EQ(Texts(got, true), Texts(want, true));
            EXPECT_EQ(Texts(got), Texts(want));
            for (const auto& child : got.Children()) {
                EXPECT_EQ(child->Parent(), &got);
            }
        }
    }
}

TEST(Catalogue, NamesAreUniqueAcrossBranchesIgnoringAsciiCase) {
    Catalogue catalogue;
    EXPECT_FALSE(catalogue.ResourceNameExists(u"Music"));
    ResourceRecord off = Folder(u"Music");
    off.enabled = false;
    catalogue.InsertResourceItem(off);
    catalogue.InsertResourceItem(Live(u"News"));
    catalogue.InsertResourceItem(Folder(u"\u00c9t\u00e9"));

    // A name of the other branch counts; only ASCII letters fold; the display text of a
    // disabled resource and the fixed items are no names.
    for (const char16_t* name : {u"mUSIC", u"news", u"\u00c9T\u00e9"}) {
        EXPECT_TRUE(catalogue.ResourceNameExists(name))
            << testing::PrintToString(std::u16string(name));
    }
    for (const char16_t* name :
         {u"\u00e9t\u00e9", u"Music (disabled)", u"Musi", u"Music ", u"Media Server", u""}) {
        EXPECT_FALSE(catalogue.ResourceNameExists(name))
            << testing::PrintToString(std::u16string(name));
    }
}

int Order(std::u16string_view a, std::u16string_view b) {
    const std::weak_ordering order = CompareDisplayText(a, b);
    return order < 0 ? -1 : order > 0 ? 1 : 0;
}

TEST(CompareDisplayText, FoldsLettersToLowerCaseAndComparesCodeUnits) {
    const std::tuple<const char16_t*, const char16_t*, int> cases[] = {
        {u"a b", u"a1", -1},
        {u"Music", u"music", 0},
        {u"alpha", u"Beta", -1},
        {u"", u"a", -1},
        {u"music2", u"Music (disabled)", 1},
        // Folding is to lower case, so the punctuation between 'Z' and 'a' sorts before letters.
        {u"_x", u"Ax", -1},
        // Letters of other scripts fold too (Latin-1, Latin Extended-A, Greek with its final
        // sigma, Cyrillic); signs and caseless letters are compared as they are.
        {u"\u00c9mile\u0141", u"\u00e9mile\u0142", 0},
        {u"\u03a3\u03c2", u"\u03c3\u03a3", 0},
        {u"\u00d7", u"\u00f7", -1},
        // Accented letters come after the plain alphabet; scripts follow one another.
        {u"Zebra", u"\u00c9mile", -1},
        {u"\u03a9", u"\u0410", -1}};
    for (const auto& [a, b, order] : cases) {
        EXPECT_EQ(Order(a, b), order) << testing::PrintToString(std::u16string(a)) << " "
                                      << testing::PrintToString(std::u16string(b));
    }
}

TEST(CompareDisplayText, IsAStrictWeakOrdering) {
    std::mt19937 random(7);
    for (int i = 0; i < 20000; ++i) {
        const std::u16string a = RandomText(random), b = RandomText(random), c = RandomText(random);
        const int ab = Order(a, b);
        ASSERT_EQ(Order(b, a), -ab);
        const int bc = Order(b, c);
        if (ab <= 0 && bc <= 0) {
            ASSERT_LE(Order(a, c), 0);
            if (ab == 0 && bc == 0) {
                ASSERT_EQ(Order(a, c), 0);
            }
        }
    }
}

}  // namespace
}  // namespace vantor
