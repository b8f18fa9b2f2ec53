#include "ui/contents_list.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace vantor {
namespace {

// Each notification with the row count the list had when it came.
class RecordingObserver : public ContentsListObserver {
public:
    explicit RecordingObserver(const ContentsList& list) : list(list) {}
    void BeforeReset() override { Note("before reset"); }
    void AfterReset() override { Note("after reset"); }
    void BeforeInsert(std::size_t first, std::size_t count) override {
        Note("before insert " + std::to_string(first) + "+" + std::to_string(count));
    }
    void AfterInsert() override { Note("after insert"); }
    void TextChanged(std::size_t row, ContentsColumn column) override {
        Note("text " + std::to_string(row) + "," + std::to_string(static_cast<int>(column)));
    }
    void Note(const std::string& what) {
        calls.push_back(what + " (" + std::to_string(list.RowCount()) + ")");
    }

    const ContentsList& list;
    std::vector<std::string> calls;
};

ContentsRow Named(std::u16string name) {
    ContentsRow row;
    row.Text(ContentsColumn::Name) = std::move(name);
    return row;
}

TEST(ContentsList, TellsItsObserverAroundEveryChangeAndDropsStaleTexts) {
    ContentsList list;
    list.Append(Named(u"before any observer"));
    RecordingObserver observer(list);
    list.SetObserver(&observer);
    list.Replace({Named(u"a"), Named(u"b")});
    const std::uint64_t listing = list.Listing();
    list.Append(Named(u"c"));
    EXPECT_TRUE(list.SetText(listing, 2, ContentsColumn::Description, u"about c"));
    // A row past the end, a column past the last, an older listing: nothing is written.
    EXPECT_FALSE(list.SetText(listing, 3, ContentsColumn::Name, u"x"));
    EXPECT_FALSE(list.SetText(listing, 0, static_cast<ContentsColumn>(ContentsColumnCount), u"x"));
    EXPECT_FALSE(list.SetText(listing - 1, 0, ContentsColumn::Name, u"x"));
    EXPECT_EQ(list.Row(2).Text(ContentsColumn::Description), u"about c");
    EXPECT_EQ(list.Row(0).Text(ContentsColumn::Name), u"a");
    list.Clear();
    EXPECT_EQ(list.Listing(), listing + 1);
    EXPECT_FALSE(list.SetText(listing, 0, ContentsColumn::Name, u"x"));
    EXPECT_EQ(observer.calls,
              (std::vector<std::string>{"before reset (1)", "after reset (2)",
                                        "before insert 2+1 (2)", "after insert (3)", "text 2,3 (3)",
                                        "before reset (3)", "after reset (0)"}));
}

}  // namespace
}  // namespace vantor
