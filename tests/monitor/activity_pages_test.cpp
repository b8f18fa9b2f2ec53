#include "monitor/activity_pages.h"

#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "config/resource_record.h"
#include "monitor/activity_fakes.h"

using namespace vantor;
namespace {

using Cells = std::vector<std::u16string>;

// Each row as its icon, its handle and its cells.
using Row = std::tuple<int, std::int32_t, Cells>;
std::vector<Row> RowsOf(ActivityPage page, const std::vector<std::u16string>& records) {
    std::vector<Row> rows;
    for (const ActivityRow& row : ActivityRowsFromRecords(page, records)) {
        rows.emplace_back(row.icon, row.handle, row.cells);
    }
    return rows;
}

TEST(ActivityPages, TimeTextHasTwoDigitsEachAndMoreForLongTimes) {
    for (const auto& [seconds, text] : {std::pair<std::int64_t, std::u16string>{0, u"00:00:00"},
                                        {3725, u"01:02:05"},
                                        {2147483647, u"596523:14:07"},
                                        {-61, u"00:-01:-01"},
                                        {8640000000, u"2400000:00:00"}}) {
        EXPECT_EQ(ActivityTimeText(seconds), text) << seconds;
    }
}

TEST(ActivityPages, RowsFromRecordsCarryIconsCellsAndHandles) {
    const std::u16string ip = u"10.0.0.1", mms = u"MMS-HTTP";
    // A handle that is no number is 0.
    EXPECT_EQ(
        RowsOf(ActivityPage::ActiveUsers,
               {test::UserRecord(u"Movies\\clip.wmv", u"17", u"bob", u"3725"),
                test::UserRecord(u"news", u"x", u"ann", u"huge"), test::UserRecord(u"a/b", u"-5")}),
        (std::vector<Row>{{FileImage, 17, {u"bob", u"Movies\\clip.wmv", ip, mms, u"01:02:05"}},
                          {LiveBroadcastImage, 0, {u"ann", u"news", ip, mms, u"00:00:00"}},
                          {FileImage, -5, {u"u", u"a/b", ip, mms, u"00:00:01"}}}));

    // A folder's usage ends in a separator, which goes; a broadcast's name stays whole.
    EXPECT_EQ(RowsOf(ActivityPage::MediaUsage, {test::UsageRecord(u"Movies/", u"3", u"120"),
                                                test::UsageRecord(u"Old\\", u"1", u"5"),
                                                test::UsageRecord(u"news", u"2", u"64")}),
              (std::vector<Row>{{VirtualFolderImage, 0, {u"Movies", u"3", u"120"}},
                                {VirtualFolderImage, 0, {u"Old", u"1", u"5"}},
                                {LiveBroadcastImage, 0, {u"news", u"2", u"64"}}}));

    EXPECT_EQ(RowsOf(ActivityPage::LiveConnections,
                     {FieldTag(u"LiveIP") + u"10.1.1.1" + FieldTag(u"ResourceName") + u"news" +
                      FieldTag(u"Initiator") + u"Server" + FieldTag(u"Activity") + u"Receiving"}),
              (std::vector<Row>{
                  {LiveBroadcastImage, 0, {u"10.1.1.1", u"news", u"Server", u"Receiving"}}}));
}

TEST(ActivityPages, ThroughputHasFiveProtocolsDashesAndTotals) {
    const auto rows = ThroughputRows({1, 2, 3, 4, -5, 10, 20, 30, 40, 2147483647});
    ASSERT_EQ(rows.size(), 7u);
    EXPECT_EQ(rows[3].cells, (Cells{u"MMS-HTTP", u"4", u"40"}));
    EXPECT_EQ(rows[4].cells, (Cells{u"RTMP (FLASH)", u"-5", u"2147483647"}));
    EXPECT_EQ(rows[5].cells, (Cells{u"-----", u"-----", u"-----"}));
    EXPECT_EQ(rows[6].cells, (Cells{u"TOTAL", u"5", u"2147483747"}));
    EXPECT_EQ(rows[6].icon, NoRowIcon);
}

Cells Column(const std::vector<ActivityRow>& rows, std::size_t column) {
    Cells cells;
    for (const ActivityRow& row : rows) {
        cells.push_back(row.cells[column]);
    }
    return cells;
}

TEST(ActivityPages, SortsByTextIgnoringCaseOrUsageNumbersByValue) {
    // Active Users: every column by text in the locale's order, case aside; equal keys keep
    // their order. The second column sorts the rows back into the order of its letters.
    const NameCollator root("C");
    std::vector<ActivityRow> users;
    for (const char16_t* name : {u"bob", u"Anna", u"émile", u"anna", u"ÉMILE", u"Zed", u"Àb", u"àa",
                                 u"Новости", u"новая"}) {
        users.push_back({{name, std::u16string(1, u"bcadefghij"[users.size()])}});
    }
    SortActivityRows(ActivityPage::ActiveUsers, 0, users, root);
    EXPECT_EQ(Column(users, 0), (Cells{u"àa", u"Àb", u"Anna", u"anna", u"bob", u"émile", u"ÉMILE",
                                       u"Zed", u"новая", u"Новости"}));
    SortActivityRows(ActivityPage::ActiveUsers, 1, users, root);
    EXPECT_EQ(Column(users, 1),
              (Cells{u"a", u"b", u"c", u"d", u"e", u"f", u"g", u"h", u"i", u"j"}));

    // Times sort by their text, which is by time below 100 hours.
    std::vector<ActivityRow> times = {{{u"10:00:00"}}, {{u"09:59:59"}}, {{u"00:00:01"}}};
    SortActivityRows(ActivityPage::ActiveUsers, 0, times, root);
    EXPECT_EQ(Column(times, 0), (Cells{u"00:00:01", u"09:59:59", u"10:00:00"}));

    // The language decides: Swedish puts Å after Z.
    std::vector<ActivityRow> swedish = {{{u"Åre"}}, {{u"Zoo"}}, {{u"Arvika"}}};
    SortActivityRows(ActivityPage::ActiveUsers, 0, swedish, NameCollator("sv_SE"));
    EXPECT_EQ(Column(swedish, 0), (Cells{u"Arvika", u"Zoo", u"Åre"}));

    // Media usage: the name by text, the two numbers by value (text that is no number is 0).
    std::vector<ActivityRow> usage = {
        {{u"b", u"10", u"5"}}, {{u"A", u"9", u"-3"}}, {{u"c", u"x", u"100"}}};
    SortActivityRows(ActivityPage::MediaUsage, 1, usage, root);
    EXPECT_EQ(Column(usage, 0), (Cells{u"c", u"A", u"b"}));
    SortActivityRows(ActivityPage::MediaUsage, 0, usage, root);
    EXPECT_EQ(Column(usage, 0), (Cells{u"A", u"b", u"c"}));
    SortActivityRows(ActivityPage::MediaUsage, 2, usage, root);
    EXPECT_EQ(Column(usage, 0), (Cells{u"A", u"b", u"c"}));

    // The other pages and "not sorted" keep the server's order.
    std::vector<ActivityRow> live = {{{u"b"}}, {{u"a"}}};
    SortActivityRows(ActivityPage::LiveConnections, 0, live);
    SortActivityRows(ActivityPage::ActiveUsers, -1, live);
    EXPECT_EQ(Column(live, 0), (Cells{u"b", u"a"}));
}

TEST(ActivityPages, ColumnsAndWidthsAreFractionsOfThePane) {
    std::vector<int> widths;
    for (int page = 0; page < ActivityPageCount; ++page) {
        for (const ActivityColumn& column : ActivityColumns(static_cast<ActivityPage>(page))) {
            widths.push_back(ActivityColumnWidth(600, column));
        }
    }
    EXPECT_EQ(widths, (std::vector<int>{100, 160, 120, 120, 80, 120, 120, 120, 120, 150, 150, 150,
                                        150, 150, 150}));
    EXPECT_EQ(ActivityColumnWidth(601, {u"", 4, 15}), 160);  // 2404 / 15, the product first
    EXPECT_EQ(ActivityColumns(ActivityPage::MediaUsage)[2].title, u"Throughput, kByte/sec");
}

}  // namespace
