#include "monitor/activity_pages.h"

#include <algorithm>
#include <cstdio>
#include <numeric>
#include <utility>

#include "config/decimal_reader.h"
#include "config/resource_record.h"

namespace vantor {

namespace {

constexpr ActivityColumn kActiveUserColumns[] = {{u"User ID", 1, 6},
                                                 {u"Resource", 4, 15},
                                                 {u"User IP", 1, 5},
                                                 {u"Protocol", 1, 5},
                                                 {u"Time", 2, 15}};
constexpr ActivityColumn kLiveConnectionColumns[] = {{u"Live Server IP", 1, 5},
                                                     {u"Live Broadcast", 1, 5},
                                                     {u"Initiated By", 1, 5},
                                                     {u"Activity Status", 1, 5}};
constexpr ActivityColumn kMediaUsageColumns[] = {
    {u"Resource", 1, 4}, {u"Number of Users", 1, 4}, {u"Throughput, kByte/sec", 1, 4}};
constexpr ActivityColumn kThroughputColumns[] = {
    {u"Protocol", 1, 4}, {u"Number of Users", 1, 4}, {u"kByte/sec", 1, 4}};

std::u16string Widen(const char* text) {
    std::u16string wide;
    for (; *text != '\0'; ++text) {
        wide.push_back(static_cast<char16_t>(*text));
    }
    return wide;
}

std::u16string NumberText(std::int64_t value) {
    return Widen(std::to_string(value).c_str());
}

// "%.2d": at least two digits, a minus sign before them.
std::u16string TwoDigits(std::int64_t value) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.2lld", static_cast<long long>(value));
    return Widen(buffer);
}

// Reorders rows by keys, keeping equal rows in their order; the keys are made once per row
// rather than once per comparison.
template <typename Key>
void SortByKeys(std::vector<ActivityRow>& rows, std::vector<Key> keys) {
    std::vector<std::size_t> order(rows.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&keys](std::size_t a, std::size_t b) { return keys[a] < keys[b]; });
    std::vector<ActivityRow> sorted;
    sorted.reserve(rows.size());
    for (std::size_t index : order) {
        sorted.push_back(std::move(rows[index]));
    }
    rows = std::move(sorted);
}

std::u16string_view Cell(const ActivityRow& row, int column) {
    const auto index = static_cast<std::size_t>(column);
    return index < row.cells.size() ? std::u16string_view(row.cells[index]) : u"";
}

}  // namespace

std::u16string_view ActivityTabText(ActivityPage page) {
    switch (page) {
        case ActivityPage::ActiveUsers:
            return ActiveUsersTabText;
        case ActivityPage::LiveConnections:
            return LiveConnectionsTabText;
        case ActivityPage::MediaUsage:
            return MediaUsageTabText;
        case ActivityPage::Throughput:
            return ThroughputTabText;
    }
    return {};
}

std::span<const ActivityColumn> ActivityColumns(ActivityPage page) {
    switch (page) {
        case ActivityPage::ActiveUsers:
            return kActiveUserColumns;
        case ActivityPage::LiveConnections:
            return kLiveConnectionColumns;
        case ActivityPage::MediaUsage:
            return kMediaUsageColumns;
        case ActivityPage::Throughput:
            return kThroughputColumns;
    }
    return {};
}

int ActivityColumnWidth(int clientWidth, const ActivityColumn& column) {
    return clientWidth * column.numerator / column.denominator;
}

std::u16string ActivityTimeText(std::int64_t seconds) {
    const std::int64_t hours = seconds / 3600;
    const std::int64_t minutes = seconds / 60 - hours * 60;
    const std::int64_t rest = seconds - (seconds / 60) * 60;
    return TwoDigits(hours) + u':' + TwoDigits(minutes) + u':' + TwoDigits(rest);
}

bool IsFolderPath(std::u16string_view resource) {
    return resource.find_first_of(u"/\\") != std::u16string_view::npos;
}

ActivityRow ActiveUserRow(const ActiveUserRecord& user) {
    ActivityRow row;
    row.cells = {user.user, user.resource, user.ip, user.protocol, ActivityTimeText(user.time)};
    row.icon = IsFolderPath(user.resource) ? FileImage : LiveBroadcastImage;
    row.handle = user.pointer;
    return row;
}

ActivityRow LiveConnectionRow(const LiveConnectionRecord& connection) {
    ActivityRow row;
    row.cells = {connection.liveIp, connection.resourceName, connection.initiator,
                 connection.activity};
    row.icon = LiveBroadcastImage;
    return row;
}

ActivityRow MediaUsageRow(const MediaUsageRecord& usage) {
    ActivityRow row;
    std::u16string name = usage.resourceName;
    if (IsFolderPath(name)) {
        name.pop_back();
        row.icon = VirtualFolderImage;
    } else {
        row.icon = LiveBroadcastImage;
    }
    row.cells = {std::move(name), usage.users, usage.throughput};
    return row;
}

std::vector<ActivityRow> ThroughputRows(const std::array<std::int32_t, 10>& values) {
    std::vector<ActivityRow> rows;
    std::int64_t users = 0;
    std::int64_t throughput = 0;
    for (std::size_t i = 0; i < ThroughputProtocols.size(); ++i) {
        const std::int32_t protocolUsers = values[i];
        const std::int32_t protocolThroughput = values[i + ThroughputProtocols.size()];
        users += protocolUsers;
        throughput += protocolThroughput;
        rows.push_back({{std::u16string(ThroughputProtocols[i]), NumberText(protocolUsers),
                         NumberText(protocolThroughput)}});
    }
    rows.push_back({{ThroughputDashesText, ThroughputDashesText, ThroughputDashesText}});
    rows.push_back({{ThroughputTotalText, NumberText(users), NumberText(throughput)}});
    return rows;
}

std::vector<ActivityRow> ActivityRowsFromRecords(ActivityPage page,
                                                 std::span<const std::u16string> records) {
    std::vector<ActivityRow> rows;
    rows.reserve(records.size());
    for (const std::u16string& record : records) {
        switch (page) {
            case ActivityPage::ActiveUsers:
                rows.push_back(ActiveUserRow(ParseActiveUser(record)));
                break;
            case ActivityPage::LiveConnections:
                rows.push_back(LiveConnectionRow(ParseLiveConnection(record)));
                break;
            case ActivityPage::MediaUsage:
                rows.push_back(MediaUsageRow(ParseMediaUsage(record)));
                break;
            case ActivityPage::Throughput:
                return {};
        }
    }
    return rows;
}

bool IsSortablePage(ActivityPage page) {
    return page == ActivityPage::ActiveUsers || page == ActivityPage::MediaUsage;
}

void SortActivityRows(ActivityPage page, int column, std::vector<ActivityRow>& rows,
                      const NameCollator& collator) {
    if (!IsSortablePage(page) || column < 0) {
        return;
    }
    if (page == ActivityPage::MediaUsage && column > 0) {
        std::vector<int> values;
        values.reserve(rows.size());
        for (const ActivityRow& row : rows) {
            values.push_back(ReadDecimal(Cell(row, column)).value);
        }
        SortByKeys(rows, std::move(values));
        return;
    }
    std::vector<std::string> keys(rows.size());
    for (std::size_t row = 0; row < rows.size(); ++row) {
        collator.AppendSortKey(Cell(rows[row], column), keys[row]);
    }
    SortByKeys(rows, std::move(keys));
}

}  // namespace vantor
