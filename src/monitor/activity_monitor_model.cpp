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

ActivityMonitorModel::ActivityMonitorModel(const ServerState& serverState, Prompter& prompter,
                                           Clock& clock)
    : serverState_(serverState), prompter_(prompter), clock_(clock) {}

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

std::optional<DisconnectRequest> ActivityMonitorModel::OnDisconnectUser(
    const std::optional<ActivityRow>& selected) {
    if (!selected || selected->cells.size() < 3) {
        return std::nullopt;
    }
    ActiveUserRecord shown;
    shown.user = selected->cells[0];
    shown.resource = selected->cells[1];
    shown.ip = selected->cells[2];
    shown.pointer = selected->handle;
    return DisconnectRequest{SameActiveUser(shown), DisconnectProgressText(shown.resource)};
}

std::optional<DisconnectRequest> ActivityMonitorModel::OnDisconnectAllUsers(
    const std::optional<ActivityRow>& selected) {
    if (!selected || selected->cells.size() < 2) {
        return std::nullopt;
    }
    const std::u16string& resource = selected->cells[1];
    const auto askedAt = static_cast<std::int64_t>(clock_.NowMs() / 1000);
    const std::u16string question =
        DisconnectAllQuestionStart + resource + DisconnectAllQuestionEnd;
    if (!prompter_.AskYesNo(question, DisconnectAllCaption, MessageIcon::Question)) {
        return std::nullopt;
    }
    // A clock set back gives a negative difference, which counts as in time.
    if (static_cast<std::int64_t>(clock_.NowMs() / 1000) - askedAt >
        DisconnectAllAnswerLimitSeconds) {
        return std::nullopt;
    }
    return DisconnectRequest{UsersOfResourceText(resource), DisconnectProgressText(resource)};
}

bool ActivityMonitorModel::OnDisconnectFinished(const DisconnectOutcome& outcome) {
    if (const std::u16string message = DisconnectOutcomeMessage(outcome); !message.empty()) {
        prompter_.ShowMessage(message, std::u16string(DisconnectReportCaption),
                              MessageIcon::Warning);
    }
    return outcome.reached;
}

bool ActivityMonitorModel::OffersContextMenu(ActivityPage page, int row) const {
    return page == ActivityPage::ActiveUsers && serverState_ == ServerState::Running &&
           ActiveUserAt(row).has_value();
}

}  // namespace vantor
