#include "cli/activity_commands.h"

#include <cstdio>
#include <iostream>
#include <iterator>

#include "cli/config_commands.h"
#include "cli/headless_services.h"
#include "config/text_codec.h"
#include "monitor/activity_monitor_model.h"
#include "platform/clock.h"

namespace vantor {

namespace {

// Fills the model's current page as the window's refresh does, on this thread.
bool FillPage(ActivityMonitorModel& model, AutomationFactory& automation, int page,
              int sortColumn) {
    model.OnTabChanged(page);
    model.OnColumnClicked(model.CurrentPage(), sortColumn);
    const std::uint64_t ticket = model.BeginRefresh();
    const std::optional<ActivityFetch> fetch = model.FetchFor(ticket);
    return fetch && model.ApplyFetched(ticket, FetchActivityPage(automation, *fetch));
}

struct StillClock : Clock {
    std::uint64_t NowMs() override { return 0; }
    void SleepMs(std::uint32_t) override {}
};

int PageIndex(const std::string& name) {
    for (std::size_t i = 0; i < std::size(ActivityPageNames); ++i) {
        if (name == ActivityPageNames[i]) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

}  // namespace

int RunActivity(const ActivityOptions& options, const ServerState& state,
                AutomationFactory& automation, std::ostream& out, std::ostream& err) {
    const int page = PageIndex(options.page);
    if (page < 0) {
        err << "vantorctl: unknown page \"" << options.page << "\"\n";
        return ExitUsage;
    }
    // Listing asks nothing and waits for nothing.
    StreamPrompter prompter(err);
    StillClock clock;
    ActivityMonitorModel model(state, automation, prompter, clock);
    if (!FillPage(model, automation, page, options.sortColumn)) {
        err << ActivityNotRunningText << '\n';
        return ExitFailure;
    }
    const auto activityPage = static_cast<ActivityPage>(page);
    const char* separator = "";
    for (const ActivityColumn& column : ActivityColumns(activityPage)) {
        out << separator << Utf16ToUtf8(column.title);
        separator = "\t";
    }
    out << '\n';
    for (const ActivityRow& row : model.Rows(activityPage)) {
        separator = "";
        for (const std::u16string& cell : row.cells) {
            out << separator << Utf16ToUtf8(cell);
            separator = "\t";
        }
        out << '\n';
    }
    return ExitOk;
}

int RunDisconnect(const DisconnectOptions& options, const ServerState& state,
                  AutomationFactory& automation, Prompter& prompter, Clock& clock,
                  std::ostream& err) {
    ActivityMonitorModel model(state, automation, prompter, clock);
    if (!FillPage(model, automation, static_cast<int>(ActivityPage::ActiveUsers),
                  options.sortColumn)) {
        err << ActivityNotRunningText << '\n';
        return ExitFailure;
    }
    const std::optional<ActivityRow> row = model.ActiveUserAt(options.row);
    if (!row) {
        char text[sizeof UnknownActivityRowText + 16];
        std::snprintf(text, sizeof text, UnknownActivityRowText, options.row);
        err << text << '\n';
        return ExitFailure;
    }
    const bool done = options.all ? model.OnDisconnectAllUsers(row) : model.OnDisconnectUser(row);
    return done ? ExitOk : ExitFailure;
}

}  // namespace vantor
