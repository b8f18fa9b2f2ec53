#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "config/name_collator.h"
#include "monitor/activity_record.h"

namespace vantor {

// The activity monitor's four pages, in tab order.
enum class ActivityPage { ActiveUsers = 0, LiveConnections = 1, MediaUsage = 2, Throughput = 3 };
inline constexpr int ActivityPageCount = 4;

inline constexpr char16_t ActiveUsersTabText[] = u"Active Users";
inline constexpr char16_t LiveConnectionsTabText[] = u"Live Server Connections";
inline constexpr char16_t MediaUsageTabText[] = u"Media Usage Summary";
inline constexpr char16_t ThroughputTabText[] = u"Current Throughput";

// A column's title and its width as a fraction of the pane's width when the columns are made.
struct ActivityColumn {
    std::u16string_view title;
    int numerator;
    int denominator;
};

std::u16string_view ActivityTabText(ActivityPage page);
std::span<const ActivityColumn> ActivityColumns(ActivityPage page);
// clientWidth times the numerator first, then divided, as integers.
int ActivityColumnWidth(int clientWidth, const ActivityColumn& column);

// The protocols of the throughput figures, in the server's order.
inline constexpr std::array<std::u16string_view, 5> ThroughputProtocols = {
    u"VTR-TCP", u"VTR-HTTP(S)", u"VTR-RTP Multicast", u"MMS-HTTP", u"RTMP (FLASH)"};
inline constexpr char16_t ThroughputDashesText[] = u"-----";
inline constexpr char16_t ThroughputTotalText[] = u"TOTAL";

// A row's picture: an index into the tree's icon strip, or none (Current Throughput).
inline constexpr int NoRowIcon = -1;

// One row of a page: its cells by column, its picture, and on Active Users the server's handle
// of the connection, which DisconnectUser takes back.
struct ActivityRow {
    std::vector<std::u16string> cells;
    int icon = NoRowIcon;
    std::int32_t handle = 0;
};

// "hh:mm:ss" with at least two digits each; 100 hours and more take more digits.
std::u16string ActivityTimeText(std::int64_t seconds);
// A file of a virtual folder is listed as a path ("folder\file"); anything else is a broadcast.
bool IsFolderPath(std::u16string_view resource);

ActivityRow ActiveUserRow(const ActiveUserRecord& user);
ActivityRow LiveConnectionRow(const LiveConnectionRecord& connection);
// A folder is listed with a trailing separator, which the page drops.
ActivityRow MediaUsageRow(const MediaUsageRecord& usage);
// Five protocol rows, the dashes and the totals, from the ten figures of GetThroughput.
std::vector<ActivityRow> ThroughputRows(const std::array<std::int32_t, 10>& values);

// Parses the records of a list page (not Current Throughput) into rows, in the server's order.
std::vector<ActivityRow> ActivityRowsFromRecords(ActivityPage page,
                                                 std::span<const std::u16string> records);

// Whether clicking the page's column headers sorts it.
bool IsSortablePage(ActivityPage page);
// Ascending by the column: by text in the collator's order (letter case ignored, by default the
// user's collation locale), except the two number columns of Media Usage Summary, which go by
// their value. Equal rows keep their order. Other pages are left alone.
void SortActivityRows(ActivityPage page, int column, std::vector<ActivityRow>& rows,
                      const NameCollator& collator = NameCollator());

}  // namespace vantor
