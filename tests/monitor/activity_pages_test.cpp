#include "monitor/activity_pages.h"

#include <gtest/gtest.h>

#include "config/resource_record.h"
#include "monitor/activity_fakes.h"

using namespace vantor;
using namespace std::string_literals;
namespace {

using Cells = std::vector<std::u16string>;

std::vector<Cells> CellsOf(const std::vector<ActivityRow>& rows) {
    std::vector<Cells> cells;
    for (const ActivityRow& row : rows) {
        cells.push_back(row.cells);
    }
    return cells;
}

TEST(ActivityPages, TimeTextHasTwoDigitsEachAndMoreForLongTimes) {
    for (const auto& [seconds, text] : {std::pair<std::int64_t, std::u16string>{0, u"00:00:00"},
                                        {3725, u"01:02:05"},
                                        {59, u"00:00:59"},
                                        {360000, u"100:00:00"},
                                        {2147483647, u"596523:14:07"},
                                        {-61, u"00:-01:-01"},
                                        {8640000000, u"2400000:00:00"}}) {
        EXPECT_EQ(ActivityTimeText(seconds), text) << seconds;
    }
}

TEST(ActivityPages, RowsFromRecordsCarryIconsCellsAndHandles) {
    const std::vector<std::u16string> users = {
        test::UserRecord(u"Movies\\clip.wmv", u"17", u"bob", u"3725"),
        test::UserRecord(u"news", u"x", u"ann", u"huge"), test::UserRecord(u"a/b", u"-5")};
    const std::vector<ActivityRow> userRows =
        ActivityRowsFromRecords(ActivityPage::ActiveUsers, users);
    EXPECT_EQ(
        CellsOf(userRows),
        (std::vector<Cells>{{u"bob", u"Movies\\clip.wmv", u"10.0.0.1", u"MMS-HTTP", u"01:02:05"},
                            {u"ann", u"news", u"10.0.0.1", u"MMS-HTTP", u"00:00:00"},
                            {u"u", u"a/b", u"10.0.0.1", u"MMS-HTTP", u"00:00:01"}}));
    EXPECT_EQ(userRows[0].icon, FileImage);
    EXPECT_EQ(userRows[1].icon, LiveBroadcastImage);
    EXPECT_EQ(userRows[2].icon, FileImage);
    EXPECT_EQ(userRows[0].handle, 17);
    EXPECT_EQ(userRows[1].handle, 0);  // not a number
    EXPECT_EQ(userRows[2].handle, -5);

    // A folder's usage ends in a separator, which goes; a broadcast's name stays whole.
    const std::vector<std::u16string> usage = {test::UsageRecord(u"Movies/", u"3", u"120"),
                                               test::UsageRecord(u"Old\\", u"1", u"5"),
                                               test::UsageRecord(u"news", u"2", u"64")};
    const std::vector<ActivityRow> usageRows =
        ActivityRowsFromRecords(ActivityPage::MediaUsage, usage);
    EXPECT_EQ(CellsOf(usageRows),
              (std::vector<Cells>{
                  {u"Movies", u"3", u"120"}, {u"Old", u"1", u"5"}, {u"news", u"2", u"64"}}));
    EXPECT_EQ(usageRows[0].icon, VirtualFolderImage);
    EXPECT_EQ(usageRows[2].icon, LiveBroadcastImage);

    const std::vector<std::u16string> live = {
        FieldTag(u"LiveIP") + u"10.1.1.1" + FieldTag(u"ResourceName") + u"news" +
        FieldTag(u"Initiator") + u"Server" + FieldTag(u"Activity") + u"Receiving"};
    const std::vector<ActivityRow> liveRows =
        ActivityRowsFromRecords(ActivityPage::LiveConnections, live);
    EXPECT_EQ(CellsOf(liveRows),
              (std::vector<Cells>{{u"10.1.1.1", u"news", u"Server", u"Receiving"}}));
    EXPECT_EQ(liveRows[0].icon, LiveBroadcastImage);
}

TEST(ActivityPages, ThroughputHasFiveProtocolsDashesAndTotals) {
    EXPECT_EQ(CellsOf(ThroughputRows({})), (std::vector<Cells>{{u"VTR-TCP", u"0", u"0"},
                                                               {u"VTR-HTTP(S)", u"0", u"0"},
                                                               {u"VTR-RTP Multicast", u"0", u"0"},
                                                               {u"MMS-HTTP", u"0", u"0"},
                                                               {u"RTMP (FLASH)", u"0", u"0"},
                                                               {u"-----", u"-----", u"-----"},
                                                               {u"TOTAL", u"0", u"0"}}));
    const auto rows = ThroughputRows({1, 2, 3, 4, -5, 10, 20, 30, 40, 2147483647});
    EXPECT_EQ(rows[3].cells, (Cells{u"MMS-HTTP", u"4", u"40"}));
    EXPECT_EQ(rows[4].cells, (Cells{u"RTMP (FLASH)", u"-5", u"2147483647"}));
    EXPECT_EQ(rows[6].cells, (Cells{u"TOTAL", u"5", u"2147483747"}));
    EXPECT_EQ(rows[6].icon, NoRowIcon);
}

TEST(ActivityPages, SortsByTextIgnoringCaseOrUsageNumbersByValue) {
    auto rows = [](std::initializer_list<Cells> cells) {
        std::vector<ActivityRow> made;
        for (const Cells& c : cells) {
            made.push_back({c});
        }
        return made;
    };
    // Active Users: every column by text, case aside; equal keys keep their order.
    auto users = rows({{u"bob", u"b"},
                       {u"Anna", u"c"},
                       {u"\u00e9mile", u"a"},
                       {u"anna", u"d"},
                       {u"\u00c9MILE", u"e"},
                       {u"Zed", u"f"},
                       {u"\u00c0b", u"g"},
                       {u"\u00e0a", u"h"}});
    SortActivityRows(ActivityPage::ActiveUsers, 0, users);
    EXPECT_EQ(CellsOf(users), CellsOf(rows({{u"Anna", u"c"},
                                            {u"anna", u"d"},
                                            {u"bob", u"b"},
                                            {u"Zed", u"f"},
                                            {u"\u00e0a", u"h"},
                                            {u"\u00c0b", u"g"},
                                            {u"\u00e9mile", u"a"},
                                            {u"\u00c9MILE", u"e"}})));
    SortActivityRows(ActivityPage::ActiveUsers, 1, users);
    EXPECT_EQ(users.front().cells[1], u"a");
    EXPECT_EQ(users.back().cells[1], u"h");

    // Media usage: the name by text, the two numbers by value (text that is no number is 0).
    auto usage = rows({{u"b", u"10", u"5"}, {u"A", u"9", u"-3"}, {u"c", u"x", u"100"}});
    SortActivityRows(ActivityPage::MediaUsage, 1, usage);
    EXPECT_EQ(CellsOf(usage),
              CellsOf(rows({{u"c", u"x", u"100"}, {u"A", u"9", u"-3"}, {u"b", u"10", u"5"}})));
    SortActivityRows(ActivityPage::MediaUsage, 0, usage);
    EXPECT_EQ(usage.front().cells[0], u"A");
    EXPECT_EQ(usage.back().cells[0], u"c");
    SortActivityRows(ActivityPage::MediaUsage, 2, usage);
    EXPECT_EQ(usage.front().cells[0], u"A");
    EXPECT_EQ(usage.back().cells[0], u"c");

    // The other pages and "not sorted" keep the server's order.
    auto live = rows({{u"b"}, {u"a"}});
    SortActivityRows(ActivityPage::LiveConnections, 0, live);
    SortActivityRows(ActivityPage::ActiveUsers, -1, live);
    EXPECT_EQ(live.front().cells[0], u"b");
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
