#include "config/catalogue.h"

#include <random>
#include <string>
#include <utility>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "config/resource_texts.h"

namespace vantor {
namespace {

using ::testing::ElementsAre;

ResourceRecord Folder(std::u16string name, std::u16string source = u"") {
    ResourceRecord record;
    record.kind = ResourceKind::VirtualFolder;
    record.name = std::move(name);
    record.source = std::move(source);
    return record;
}

ResourceRecord Live(std::u16string name, std::u16string source = u"1@10.0.0.1") {
    ResourceRecord record = Folder(std::move(name), std::move(source));
    record.kind = ResourceKind::LiveBroadcast;
    return record;
}

std::vector<std::u16string> Texts(const CatalogueItem& parent) {
    std::vector<std::u16string> texts;
    for (const auto& child : parent.Children()) {
        texts.push_back(child->Text());
    }
    return texts;
}

std::vector<std::u16string> Sources(const CatalogueItem& parent) {
    std::vector<std::u16string> sources;
    for (const auto& child : parent.Children()) {
        sources.push_back(child->Record().source);
    }
    return sources;
}

TEST(Catalogue, StartsWithTheThreeFixedItems) {
    Catalogue catalogue;
    const CatalogueItem& root = catalogue.Root();
    EXPECT_EQ(root.Parent(), nullptr);
    EXPECT_EQ(root.Row(), 0u);
    ASSERT_EQ(root.Children().size(), 2u);
    EXPECT_EQ(root.Children()[0].get(), &catalogue.FileResources());
    EXPECT_EQ(root.Children()[1].get(), &catalogue.LiveBroadcasts());
    EXPECT_EQ(catalogue.FileResources().Row(), 0u);
    EXPECT_EQ(catalogue.LiveBroadcasts().Row(), 1u);
    EXPECT_EQ(catalogue.FileResources().Parent(), &root);
    EXPECT_TRUE(catalogue.FileResources().Children().empty());
    EXPECT_TRUE(catalogue.LiveBroadcasts().Children().empty());

    const std::pair<const CatalogueItem*, ResourceKind> fixed[] = {
        {&root, ResourceKind::ServerRoot},
        {&catalogue.FileResources(), ResourceKind::FileResourcesBranch},
        {&catalogue.LiveBroadcasts(), ResourceKind::LiveBroadcastsBranch}};
    const char16_t* names[] = {u"Media Server", u"File resources", u"Live broadcasts"};
    const std::uint32_t images[] = {2, 0, 6};
    for (int i = 0; i < 3; ++i) {
        // Everything but kind, name, image, enabled and the -1 method is empty or zero.
        ResourceRecord expected;
        expected.kind = fixed[i].second;
        expected.enabled = true;
        expected.authMethod = AuthMethod::None;
        expected.name = names[i];
        expected.imageIndex = images[i];
        expected.playTimeLimit = 0;
        EXPECT_EQ(fixed[i].first->Record(), expected) << i;
        EXPECT_EQ(fixed[i].first->Text(), names[i]);
    }

    EXPECT_EQ(catalogue.BranchFor(ResourceKind::VirtualFolder), &catalogue.FileResources());
    EXPECT_EQ(catalogue.BranchFor(ResourceKind::LiveBroadcast), &catalogue.LiveBroadcasts());
    EXPECT_EQ(catalogue.BranchFor(ResourceKind::ServerRoot), nullptr);
    EXPECT_EQ(std::as_const(catalogue).BranchFor(static_cast<ResourceKind>(0)), nullptr);
}

TEST(Catalogue, InsertsResourcesSortedByDisplayText) {
    Catalogue catalogue;
    for (const char16_t* name : {u"ab", u"Zulu", u"a1", u"a b", u"beta"}) {
        catalogue.InsertResourceItem(Folder(name));
    }
    EXPECT_THAT(Texts(catalogue.FileResources()),
                ElementsAre(u"a b", u"a1", u"ab", u"beta", u"Zulu"));

    // Names equal but for case keep their insertion order.
    Catalogue cased;
    cased.InsertResourceItem(Folder(u"music", u"first"));
    cased.InsertResourceItem(Folder(u"MUSIC", u"second"));
    cased.InsertResourceItem(Folder(u"Music", u"third"));
    cased.InsertResourceItem(Folder(u"Mus", u"shorter"));
    EXPECT_THAT(Sources(cased.FileResources()),
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
    EXPECT_THAT(Texts(cased.FileResources()),
                ElementsAre(u"Mus", u"music", u"MUSIC", u"Music", u"Music (disabled)", u"Music2"));
    EXPECT_EQ(item->Row(), 4u);

    CatalogueItem* live = cased.InsertResourceItem(Live(u"News"));
    ASSERT_NE(live, nullptr);
    EXPECT_EQ(live->Parent(), &cased.LiveBroadcasts());
    EXPECT_EQ(live->Record().imageIndex, 3u);
    EXPECT_EQ(cased.FileResources().Children().size(), 6u);
}

TEST(Catalogue, RefusesRecordsOfOtherKinds) {
    Catalogue catalogue;
    for (auto kind : {ResourceKind::ServerRoot, ResourceKind::FileResourcesBranch,
                      ResourceKind::LiveBroadcastsBranch, static_cast<ResourceKind>(0),
                      static_cast<ResourceKind>(9)}) {
        ResourceRecord record = Folder(u"odd");
        record.kind = kind;
        EXPECT_EQ(catalogue.InsertResourceItem(record), nullptr);
        catalogue.InsertLoaded({record});
    }
    EXPECT_TRUE(catalogue.FileResources().Children().empty());
    EXPECT_TRUE(catalogue.LiveBroadcasts().Children().empty());
    EXPECT_EQ(catalogue.Root().Children().size(), 2u);
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
    EXPECT_EQ(renamed.Row(), 1u);

    // "e2" goes before the first greater sibling, "z", not where a binary search would put it.
    CatalogueItem* e2 = catalogue.InsertResourceItem(Folder(u"e2"));
    EXPECT_EQ(e2->Row(), 1u);
    catalogue.InsertResourceItem(Folder(u"a"));
    catalogue.InsertResourceItem(Folder(u"zz"));
    EXPECT_THAT(Texts(catalogue.FileResources()),
                ElementsAre(u"a", u"b", u"e2", u"z", u"d", u"e", u"f", u"zz"));
}

// Names drawn from a small pool so that duplicates and case variants are common.
std::vector<ResourceRecord> RandomRecords(std::mt19937& random, int count) {
    const char16_t* pool[] = {u"Music",
                              u"music",
                              u"MUSIC",
                              u"News",
                              u"news",
                              u"a b",
                              u"a1",
                              u"ab",
                              u"Ab",
                              u"",
                              u"Zed",
                              u"\u00c9t\u00e9",
                              u"\u00e9t\u00e9",
                              u"\u0416",
                              u"\u0436",
                              u"\u03a3",
                              u"\u03c2",
                              u"Mus",
                              u"Music (disabled)"};
    std::uniform_int_distribution<int> pick(0, std::size(pool) - 1);
    std::uniform_int_distribution<int> kind(0, 9);
    std::vector<ResourceRecord> records;
    for (int i = 0; i < count; ++i) {
        ResourceRecord record =
            Folder(pool[pick(random)], std::u16string(u"#") + std::u16string(1, u'A' + i % 26) +
                                           std::u16string(1, u'A' + i / 26));
        const int k = kind(random);
        record.kind = k < 5   ? ResourceKind::VirtualFolder
                      : k < 9 ? ResourceKind::LiveBroadcast
                              : ResourceKind::ServerRoot;
        record.enabled = random() % 4 != 0;
        records.push_back(record);
    }
    return records;
}

TEST(Catalogue, LoadingAllAtOnceMatchesInsertingOneByOne) {
    std::mt19937 random(20240611);
    const std::vector<ResourceRecord> records = RandomRecords(random, 1000);

    Catalogue oneByOne;
    for (const ResourceRecord& record : records) {
        oneByOne.InsertResourceItem(record);
    }
    Catalogue loaded;
    loaded.InsertLoaded(records);
    for (std::size_t branch = 0; branch < 2; ++branch) {
        const CatalogueItem& expected = *oneByOne.Root().Children()[branch];
        const CatalogueItem& actual = *loaded.Root().Children()[branch];
        ASSERT_GT(expected.Children().size(), 300u);
        EXPECT_EQ(Sources(actual), Sources(expected));
        EXPECT_EQ(Texts(actual), Texts(expected));
        for (const auto& child : actual.Children()) {
            EXPECT_EQ(child->Parent(), &actual);
        }
    }

    // Into branches that already hold items, some renamed out of order.
    Catalogue startedA;
    Catalogue startedB;
    for (Catalogue* catalogue : {&startedA, &startedB}) {
        catalogue->InsertResourceItem(Folder(u"m", u"old m"));
        catalogue->InsertResourceItem(Folder(u"n", u"old n"));
        catalogue->SetItemText(*catalogue->FileResources().Children()[0], u"zz");
    }
    const std::vector<ResourceRecord> more = RandomRecords(random, 200);
    for (const ResourceRecord& record : more) {
        startedA.InsertResourceItem(record);
    }
    startedB.InsertLoaded(more);
    EXPECT_EQ(Sources(startedB.FileResources()), Sources(startedA.FileResources()));
    EXPECT_EQ(Sources(startedB.LiveBroadcasts()), Sources(startedA.LiveBroadcasts()));
}

TEST(Catalogue, RemovesResourceItemsOnly) {
    Catalogue catalogue;
    catalogue.InsertResourceItem(Folder(u"a"));
    CatalogueItem* b = catalogue.InsertResourceItem(Folder(u"b"));
    catalogue.InsertResourceItem(Folder(u"c"));
    catalogue.InsertResourceItem(Live(u"b"));

    catalogue.RemoveItem(*b);
    EXPECT_THAT(Texts(catalogue.FileResources()), ElementsAre(u"a", u"c"));
    EXPECT_EQ(catalogue.FileResources().Children()[1]->Row(), 1u);
    EXPECT_EQ(catalogue.LiveBroadcasts().Children().size(), 1u);

    catalogue.RemoveItem(catalogue.Root());
    catalogue.RemoveItem(catalogue.FileResources());
    catalogue.RemoveItem(catalogue.LiveBroadcasts());
    Catalogue other;
    CatalogueItem* stranger = other.InsertResourceItem(Folder(u"a"));
    catalogue.RemoveItem(*stranger);
    ASSERT_EQ(catalogue.Root().Children().size(), 2u);
    EXPECT_EQ(catalogue.FileResources().Children().size(), 2u);
    EXPECT_EQ(other.FileResources().Children().size(), 1u);

    catalogue.Clear();
    EXPECT_TRUE(catalogue.FileResources().Children().empty());
    EXPECT_TRUE(catalogue.LiveBroadcasts().Children().empty());
    EXPECT_EQ(catalogue.Root().Children().size(), 2u);
    EXPECT_EQ(catalogue.Root().Text(), u"Media Server");
}

TEST(Catalogue, NamesAreUniqueAcrossBranchesIgnoringAsciiCase) {
    Catalogue catalogue;
    EXPECT_FALSE(catalogue.ResourceNameExists(u"Music"));
    ResourceRecord off = Folder(u"Music");
    off.enabled = false;
    catalogue.InsertResourceItem(off);
    catalogue.InsertResourceItem(Live(u"News"));
    catalogue.InsertResourceItem(Folder(u"\u00c9t\u00e9"));

    EXPECT_TRUE(catalogue.ResourceNameExists(u"Music"));
    EXPECT_TRUE(catalogue.ResourceNameExists(u"mUSIC"));
    EXPECT_TRUE(catalogue.ResourceNameExists(u"news"));  // the other branch
    EXPECT_TRUE(catalogue.ResourceNameExists(u"\u00c9t\u00e9"));
    EXPECT_TRUE(catalogue.ResourceNameExists(u"\u00c9T\u00e9"));
    EXPECT_FALSE(catalogue.ResourceNameExists(u"\u00e9t\u00e9"));  // only ASCII letters fold
    EXPECT_FALSE(catalogue.ResourceNameExists(u"Music (disabled)"));
    EXPECT_FALSE(catalogue.ResourceNameExists(u"Musi"));
    EXPECT_FALSE(catalogue.ResourceNameExists(u"Music "));
    EXPECT_FALSE(catalogue.ResourceNameExists(u"Media Server"));
    EXPECT_FALSE(catalogue.ResourceNameExists(u"File resources"));
    EXPECT_FALSE(catalogue.ResourceNameExists(u""));
}

class RecordingObserver : public CatalogueObserver {
public:
    explicit RecordingObserver(const Catalogue& catalogue) : catalogue_(catalogue) {}
    void BeforeInsert(const CatalogueItem& parent, std::size_t row) override {
        Log("BeforeInsert " + Name(parent) + " " + std::to_string(row));
    }
    void AfterInsert() override { Log("AfterInsert"); }
    void BeforeRemove(const CatalogueItem& parent, std::size_t row) override {
        Log("BeforeRemove " + Name(parent) + " " + std::to_string(row));
    }
    void AfterRemove() override { Log("AfterRemove"); }
    void TextChanged(const CatalogueItem& item) override { Log("TextChanged " + Name(item)); }
    void BeforeReset() override { Log("BeforeReset"); }
    void AfterReset() override { Log("AfterReset"); }

    std::vector<std::string> calls;

private:
    static std::string Name(const CatalogueItem& item) {
        std::string name;
        for (char16_t c : item.Text()) {
            name += static_cast<char>(c);
        }
        return name;
    }
    // Each call notes how many resources exist at that moment, so the log shows whether it came
    // before or after the change.
    void Log(std::string call) {
        call += " [" + std::to_string(catalogue_.FileResources().Children().size()) + "+" +
                std::to_string(catalogue_.LiveBroadcasts().Children().size()) + "]";
        calls.push_back(std::move(call));
    }
    const Catalogue& catalogue_;
};

TEST(Catalogue, TellsTheObserverAboutEveryChange) {
    Catalogue catalogue;
    RecordingObserver observer(catalogue);
    catalogue.SetObserver(&observer);

    catalogue.InsertResourceItem(Folder(u"b"));
    catalogue.InsertResourceItem(Folder(u"a"));
    CatalogueItem* live = catalogue.InsertResourceItem(Live(u"x"));
    ResourceRecord fixedKind = Folder(u"r");
    fixedKind.kind = ResourceKind::ServerRoot;
    catalogue.InsertResourceItem(fixedKind);
    catalogue.SetItemText(*live, u"x (disabled)");
    catalogue.RemoveItem(*catalogue.FileResources().Children()[1]);
    catalogue.RemoveItem(catalogue.FileResources());
    catalogue.InsertLoaded({Folder(u"c"), Live(u"y")});
    catalogue.InsertLoaded({});
    catalogue.Clear();

    EXPECT_THAT(observer.calls,
                ElementsAre("BeforeInsert File resources 0 [0+0]", "AfterInsert [1+0]",
                            "BeforeInsert File resources 0 [1+0]", "AfterInsert [2+0]",
                            "BeforeInsert Live broadcasts 0 [2+0]", "AfterInsert [2+1]",
                            "TextChanged x (disabled) [2+1]", "BeforeRemove File resources 1 [2+1]",
                            "AfterRemove [1+1]", "BeforeReset [1+1]", "AfterReset [2+2]",
                            "BeforeReset [2+2]", "AfterReset [0+0]"));

    catalogue.SetObserver(nullptr);
    catalogue.InsertResourceItem(Folder(u"quiet"));
    EXPECT_EQ(observer.calls.size(), 13u);
}

int Order(std::u16string_view a, std::u16string_view b) {
    const std::weak_ordering order = CompareDisplayText(a, b);
    return order < 0 ? -1 : order > 0 ? 1 : 0;
}

TEST(CompareDisplayText, FoldsAsciiCaseAndComparesCodeUnits) {
    EXPECT_EQ(Order(u"a b", u"a1"), -1);
    EXPECT_EQ(Order(u"a1", u"ab"), -1);
    EXPECT_EQ(Order(u"ab", u"a b"), 1);
    EXPECT_EQ(Order(u"Music", u"music"), 0);
    EXPECT_EQ(Order(u"alpha", u"Beta"), -1);
    EXPECT_EQ(Order(u"", u"a"), -1);
    EXPECT_EQ(Order(u"Mus", u"music"), -1);
    EXPECT_EQ(Order(u"music2", u"Music (disabled)"), 1);
    // Folding is to lower case, so the punctuation between 'Z' and 'a' sorts before letters.
    EXPECT_EQ(Order(u"_x", u"Ax"), -1);
    EXPECT_EQ(Order(u"[", u"a"), -1);
}

TEST(CompareDisplayText, FoldsLettersOfOtherScriptsToo) {
    const std::pair<const char16_t*, const char16_t*> same[] = {
        {u"\u00c9mile", u"\u00e9mile"},                    // Latin-1
        {u"\u00de", u"\u00fe"},                            // thorn, the last folded Latin-1 capital
        {u"\u0178", u"\u00ff"},                            // Y with diaeresis
        {u"\u0141\u00f3d\u017a", u"\u0142\u00d3D\u0179"},  // Latin Extended-A, odd and even pairs
        {u"\u0100\u0139\u0160", u"\u0101\u013a\u0161"},
        {u"\u0391\u039b\u03a6\u0391", u"\u03b1\u03bb\u03c6\u03b1"},  // Greek
        {u"\u0386\u0388\u038c\u038f", u"\u03ac\u03ad\u03cc\u03ce"},
        {u"\u03c2", u"\u03a3"},  // final sigma
        {u"\u041f\u0440\u0438\u0432\u0435\u0442", u"\u043f\u0440\u0418\u0432\u0435\u0442"},
        {u"\u0401\u0416", u"\u0451\u0436"},  // Cyrillic Io and Zhe
        {u"\u0490\u0460", u"\u0491\u0461"},  // Ukrainian Ghe with upturn, omega
    };
    for (const auto& [a, b] : same) {
        EXPECT_EQ(Order(a, b), 0) << testing::PrintToString(std::u16string(a));
    }

    // Not letters, or no case: left alone and compared by code point.
    EXPECT_EQ(Order(u"\u00d7", u"\u00f7"), -1);  // multiplication and division signs
    EXPECT_EQ(Order(u"\u00df", u"\u00e0"), -1);  // sharp s has no capital here
    EXPECT_EQ(Order(u"\u0130", u"\u0131"), -1);  // dotted and dotless i stay apart
    // Accented letters come after the plain alphabet; scripts follow one another.
    EXPECT_EQ(Order(u"Zebra", u"\u00c9mile"), -1);
    EXPECT_EQ(Order(u"\u00c9mile", u"\u0100"), -1);
    EXPECT_EQ(Order(u"\u03a9", u"\u0410"), -1);  // Omega before Cyrillic A
    EXPECT_EQ(Order(u"\u0410", u"\u0431"), -1);  // A before be, across case
    EXPECT_EQ(Order(u"\u0415", u"\u0401"), -1);  // Ie before Io
}

TEST(CompareDisplayText, IsAStrictWeakOrdering) {
    const char16_t alphabet[] =
        u" 1AaZz_\u00c9\u00e9\u00d7\u0141\u0142\u03a3\u03c3\u03c2"
        u"\u0416\u0436\u0401\u0451\u0130i";
    std::mt19937 random(7);
    std::uniform_int_distribution<int> letter(0, std::size(alphabet) - 2);
    std::uniform_int_distribution<int> length(0, 3);
    auto word = [&] {
        std::u16string text;
        for (int n = length(random); n > 0; --n) {
            text += alphabet[letter(random)];
        }
        return text;
    };
    for (int i = 0; i < 20000; ++i) {
        const std::u16string a = word(), b = word(), c = word();
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
