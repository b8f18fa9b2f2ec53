#include "ui/contents_list.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace vantor {
namespace {

// Records every call with the row count the observer sees at that moment, which is what a Qt
// model relies on (begin* before the change, end* after it).
class RecordingObserver : public ContentsListObserver {
public:
    explicit RecordingObserver(const ContentsList& list) : list_(list) {}

    void BeforeReset() override { Log("BeforeReset"); }
    void AfterReset() override { Log("AfterReset"); }
    void BeforeInsert(std::size_t first, std::size_t count) override {
        Log("BeforeInsert " + std::to_string(first) + "+" + std::to_string(count));
    }
    void AfterInsert() override { Log("AfterInsert"); }
    void TextChanged(std::size_t row, ContentsColumn column) override {
        Log("TextChanged " + std::to_string(row) + ":" +
            std::to_string(static_cast<std::size_t>(column)));
    }

    std::vector<std::string> calls;

private:
    void Log(const std::string& call) {
        calls.push_back(call + " @" + std::to_string(list_.RowCount()));
    }
    const ContentsList& list_;
};

ContentsRow NamedRow(std::u16string name, ContentsRowKind kind = ContentsRowKind::File) {
    ContentsRow row;
    row.kind = kind;
    row.Text(ContentsColumn::Name) = std::move(name);
    return row;
}

TEST(ContentsList, ReplaceIsOneResetAndAppendIsOneInsert) {
    ContentsList list;
    RecordingObserver observer(list);
    list.SetObserver(&observer);

    std::vector<ContentsRow> rows;
    for (int i = 0; i < 1000; ++i) {
        rows.push_back(NamedRow(u"f" + std::u16string(1, static_cast<char16_t>(u'a' + i % 26))));
    }
    list.Replace(std::move(rows));
    list.Append(NamedRow(u"last", ContentsRowKind::Subfolder));
    list.Clear();

    EXPECT_EQ(observer.calls, (std::vector<std::string>{
                                  "BeforeReset @0", "AfterReset @1000", "BeforeInsert 1000+1 @1000",
                                  "AfterInsert @1001", "BeforeReset @1001", "AfterReset @0"}));

    list.SetObserver(nullptr);
    list.Append(NamedRow(u"quiet"));
    EXPECT_EQ(observer.calls.size(), 6u);
    ASSERT_EQ(list.RowCount(), 1u);
    EXPECT_EQ(list.Row(0).Text(ContentsColumn::Name), u"quiet");
}

TEST(ContentsList, TextsAreWrittenOnlyIntoTheirOwnListing) {
    ContentsList list;
    RecordingObserver observer(list);
    list.SetObserver(&observer);

    list.Replace({NamedRow(u"a.avi"), NamedRow(u"b.mp3")});
    const std::uint64_t first = list.Listing();
    EXPECT_TRUE(list.SetText(first, 1, ContentsColumn::Description, u"Size: 1.00 MB; "));
    EXPECT_EQ(list.Row(1).Text(ContentsColumn::Description), u"Size: 1.00 MB; ");
    EXPECT_EQ(observer.calls.back(), "TextChanged 1:3 @2");

    // Appending keeps the listing: a worker may still write into it.
    list.Append(NamedRow(u"c.wmv"));
    EXPECT_EQ(list.Listing(), first);
    EXPECT_TRUE(list.SetText(first, 2, ContentsColumn::Description, u"x"));

    // Beyond the rows, or an unknown column: refused, nothing announced.
    const std::size_t callsBefore = observer.calls.size();
    EXPECT_FALSE(list.SetText(first, 3, ContentsColumn::Description, u"y"));
    EXPECT_FALSE(list.SetText(first, 0, static_cast<ContentsColumn>(4), u"y"));

    // A result computed for the old listing must not land in the new one, even at a row that
    // exists in both.
    list.Replace({NamedRow(u"other.avi"), NamedRow(u"more.avi")});
    EXPECT_NE(list.Listing(), first);
    EXPECT_FALSE(list.SetText(first, 0, ContentsColumn::Description, u"stale"));
    EXPECT_TRUE(list.Row(0).Text(ContentsColumn::Description).empty());
    const std::uint64_t second = list.Listing();
    list.Clear();
    list.Append(NamedRow(u"new.avi"));
    EXPECT_FALSE(list.SetText(second, 0, ContentsColumn::Description, u"stale"));
    EXPECT_TRUE(list.SetText(list.Listing(), 0, ContentsColumn::Description, u"fresh"));
    // Two resets, one insert and the one accepted text.
    EXPECT_EQ(observer.calls.size(), callsBefore + 7);
    EXPECT_EQ(observer.calls.back(), "TextChanged 0:3 @1");
}

}  // namespace
}  // namespace vantor
