#include "monitor/activity_monitor_model.h"

#include <memory>
#include <utility>

#include "platform/clock.h"
#include "platform/prompter.h"
#include "server/automation.h"

namespace vantor {

namespace {

constexpr std::size_t PageIndex(ActivityPage page) {
    return static_cast<std::size_t>(page);
}

}  // namespace

std::vector<ActivityRow> FetchActivityPage(AutomationFactory& automation,
                                           const ActivityFetch& fetch) {
    std::unique_ptr<ResourcesInUseObject> object = automation.CreateResourcesInUse();
    if (object == nullptr) {
        return {};
    }
    TextListResult list;
    switch (fetch.page) {
        case ActivityPage::ActiveUsers:
            list = object->GetActiveUsers();
            break;
        case ActivityPage::LiveConnections:
            list = object->GetLiveConnections();
            break;
        case ActivityPage::MediaUsage:
            list = object->GetMediaUsage();
            break;
        case ActivityPage::Throughput:
            return ThroughputRows(object->GetThroughput().values);
    }
    if (!list.records) {
        return {};
    }
    std::vector<ActivityRow> rows = ActivityRowsFromRecords(fetch.page, *list.records);
    SortActivityRows(fetch.page, fetch.sortColumn, rows);
    return rows;
}

ActivityMonitorModel::ActivityMonitorModel(const ServerState& serverState,
                                           AutomationFactory& automation, Prompter& prompter,
                                           Clock& clock)
    : serverState_(serverState), automation_(automation), prompter_(prompter), clock_(clock) {}

int ActivityMonitorModel::SortColumn(ActivityPage page) const {
    switch (page) {
        case ActivityPage::ActiveUsers:
            return activeUsersSort_;
        case ActivityPage::MediaUsage:
            return mediaUsageSort_;
        default:
            return -1;
    }
}

const std::vector<ActivityRow>& ActivityMonitorModel::Rows(ActivityPage page) const {
    return pages_[PageIndex(page)];
}

std::uint64_t ActivityMonitorModel::BeginRefresh() {
    pages_[PageIndex(currentPage_)].clear();
    return ++ticket_;
}

std::optional<ActivityFetch> ActivityMonitorModel::FetchFor(std::uint64_t ticket) const {
    if (ticket != ticket_ || serverState_ != ServerState::Running) {
        return std::nullopt;
    }
    return ActivityFetch{currentPage_, SortColumn(currentPage_)};
}

bool ActivityMonitorModel::ApplyFetched(std::uint64_t ticket, std::vector<ActivityRow> rows) {
    if (ticket != ticket_) {
        return false;
    }
    pages_[PageIndex(currentPage_)] = std::move(rows);
    return true;
}

bool ActivityMonitorModel::OnTabChanged(int index) {
    if (index < 0 || index >= ActivityPageCount) {
        return false;
    }
    currentPage_ = static_cast<ActivityPage>(index);
    return true;
}

bool ActivityMonitorModel::OnColumnClicked(ActivityPage page, int column) {
    int* sortColumn = page == ActivityPage::ActiveUsers  ? &activeUsersSort_
                      : page == ActivityPage::MediaUsage ? &mediaUsageSort_
                                                         : nullptr;
    if (sortColumn == nullptr || column < 0 ||
        column >= static_cast<int>(ActivityColumns(page).size()) || *sortColumn == column) {
        return false;
    }
    *sortColumn = column;
    return true;
}

std::optional<ActivityRow> ActivityMonitorModel::ActiveUserAt(int row) const {
    const std::vector<ActivityRow>& rows = Rows(ActivityPage::ActiveUsers);
    if (row < 0 || static_cast<std::size_t>(row) >= rows.size()) {
        return std::nullopt;
    }
    return rows[static_cast<std::size_t>(row)];
}

bool ActivityMonitorModel::OnDisconnectUser(const std::optional<ActivityRow>& selected) {
    if (!selected) {
        return false;
    }
    std::unique_ptr<ResourcesInUseObject> object = automation_.CreateResourcesInUse();
    if (object == nullptr) {
        return false;
    }
    object->DisconnectUser(selected->handle);
    return true;
}

bool ActivityMonitorModel::OnDisconnectAllUsers(const std::optional<ActivityRow>& selected) {
    if (!selected || selected->cells.size() < 2) {
        return false;
    }
    const std::u16string& resource = selected->cells[1];
    const auto askedAt = static_cast<std::int64_t>(clock_.NowMs() / 1000);
    const std::u16string question =
        DisconnectAllQuestionStart + resource + DisconnectAllQuestionEnd;
    if (!prompter_.AskYesNo(question, DisconnectAllCaption, MessageIcon::Question)) {
        return false;
    }
    // A clock set back gives a negative difference, which counts as in time.
    if (static_cast<std::int64_t>(clock_.NowMs() / 1000) - askedAt >
        DisconnectAllAnswerLimitSeconds) {
        return false;
    }
    std::unique_ptr<ResourcesInUseObject> object = automation_.CreateResourcesInUse();
    if (object == nullptr) {
        return false;
    }
    for (const ActivityRow& row : Rows(ActivityPage::ActiveUsers)) {
        if (row.cells.size() > 1 && row.cells[1] == resource) {
            object->DisconnectUser(row.handle);
        }
    }
    return true;
}

bool ActivityMonitorModel::OffersContextMenu(ActivityPage page, int row) const {
    return page == ActivityPage::ActiveUsers && serverState_ == ServerState::Running &&
           ActiveUserAt(row).has_value();
}

}  // namespace vantor
