#include "cli/activity_commands.h"

#include <algorithm>
#include <cstdio>
#include <iostream>
#include <iterator>
#include <memory>

#include <CLI/CLI.hpp>

#include "cli/command_table.h"
#include "cli/config_commands.h"
#include "cli/headless_services.h"
#include "config/text_codec.h"
#include "monitor/activity_monitor_model.h"
#include "platform/clock.h"
#include "platform/linux_platform.h"
#include "server/service_controller.h"

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
    ActivityMonitorModel model(state, prompter, clock);
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

namespace {

bool Shows(const ActivityRow& row, const DisconnectOptions& options) {
    const auto same = [](const std::optional<std::string>& given, const std::u16string& cell) {
        return !given || Utf8ToUtf16(*given) == cell;
    };
    return row.cells.size() >= 3 && same(options.user, row.cells[0]) &&
           same(options.resource, row.cells[1]) && same(options.address, row.cells[2]);
}

std::string GivenUser(const DisconnectOptions& options) {
    std::string given;
    const std::pair<const char*, const std::optional<std::string>&> parts[] = {
        {"user", options.user}, {"address", options.address}, {"resource", options.resource}};
    for (const auto& [name, value] : parts) {
        if (value) {
            given += (given.empty() ? " (" : ", ") + std::string(name) + ' ' + *value;
        }
    }
    return given.empty() ? given : given + ')';
}

}  // namespace

int RunDisconnect(const DisconnectOptions& options, const ServerState& state,
                  AutomationFactory& automation, Prompter& prompter, Clock& clock,
                  std::ostream& err) {
    if (options.row < 0 && !options.user && !options.address && !options.resource) {
        err << NoActiveUserNamedText << '\n';
        return ExitUsage;
    }
    ActivityMonitorModel model(state, prompter, clock);
    if (!FillPage(model, automation, static_cast<int>(ActivityPage::ActiveUsers),
                  options.sortColumn)) {
        err << ActivityNotRunningText << '\n';
        return ExitFailure;
    }
    std::vector<ActivityRow> chosen;
    if (options.row >= 0) {
        const std::optional<ActivityRow> row = model.ActiveUserAt(options.row);
        if (!row) {
            char text[sizeof UnknownActivityRowText + 16];
            std::snprintf(text, sizeof text, UnknownActivityRowText, options.row);
            err << text << '\n';
            return ExitFailure;
        }
        chosen.push_back(*row);
    } else {
        chosen = model.Rows(ActivityPage::ActiveUsers);
    }
    std::erase_if(chosen, [&options](const ActivityRow& row) { return !Shows(row, options); });
    if (chosen.empty()) {
        err << NoMatchingActiveUserText << GivenUser(options) << '\n';
        return ExitFailure;
    }

    std::optional<DisconnectRequest> request;
    if (options.all) {
        for (const ActivityRow& row : chosen) {
            if (row.cells[1] != chosen.front().cells[1]) {
                err << SeveralResourcesMatchText << '\n';
                return ExitFailure;
            }
        }
        request = model.OnDisconnectAllUsers(chosen.front());
    } else {
        std::vector<ActiveUserMatch> matches;
        for (const ActivityRow& row : chosen) {
            matches.push_back(model.OnDisconnectUser(row)->match);
        }
        request = DisconnectRequest{
            [matches](const ActiveUserRecord& user) {
                return std::any_of(matches.begin(), matches.end(),
                                   [&user](const ActiveUserMatch& match) { return match(user); });
            },
            {}};
    }
    if (!request) {
        return ExitFailure;  // No, or a Yes too late
    }
    const DisconnectOutcome outcome = DisconnectMatchingUsers(automation, request->match, &clock);
    model.OnDisconnectFinished(outcome);  // what could not be done goes to the prompter
    if (!outcome.reached || !DisconnectOutcomeMessage(outcome).empty()) {
        return ExitFailure;
    }
    // Gone between the listing and the disconnect: nobody else is touched, and it is said.
    if (!options.all && outcome.disconnected.empty()) {
        err << NoMatchingActiveUserText << GivenUser(options) << '\n';
        return ExitFailure;
    }
    return ExitOk;
}

namespace {

// The pages are filled only while the server runs, as in the window.
ServerState QueryState(LinuxPlatform& system) {
    ServiceController controller(system.serviceManager, system.clock);
    return controller.QueryServerState();
}

}  // namespace

void AddActivityCommands(CommandTable& table) {
    auto activity = std::make_shared<ActivityOptions>();
    CLI::App* activityCommand = table.Add(
        "activity", "Print a page of the server's activity as the activity monitor fills it",
        [activity] {
            LinuxPlatform system;
            const ServerState state = QueryState(system);
            return RunActivity(*activity, state, system.automation, std::cout, std::cerr);
        });
    activityCommand->add_option("PAGE", activity->page, "users, live, usage or throughput")
        ->capture_default_str();
    activityCommand->add_option("--sort", activity->sortColumn,
                                "Sort by this column, from 0 (users and usage pages)");

    auto disconnect = std::make_shared<DisconnectOptions>();
    auto answerYes = std::make_shared<bool>(false);
    CLI::App* disconnectCommand = table.Add(
        "disconnect", "Disconnect an active user, or with --all every user of its resource",
        [disconnect, answerYes] {
            LinuxPlatform system;
            const ServerState state = QueryState(system);
            SessionPrompter prompter(*answerYes, std::cerr);
            return RunDisconnect(*disconnect, state, system.automation, prompter, system.clock,
                                 std::cerr);
        });
    disconnectCommand->add_option("ROW", disconnect->row,
                                  "The user's row as `activity users` lists it, from 0");
    disconnectCommand->add_option("--user", disconnect->user, "The user's User ID as listed")
        ->type_name("ID");
    disconnectCommand->add_option("--address", disconnect->address, "The user's User IP as listed")
        ->type_name("IP");
    disconnectCommand
        ->add_option("--resource", disconnect->resource, "The user's Resource as listed")
        ->type_name("NAME");
    disconnectCommand->add_option("--sort", disconnect->sortColumn,
                                  "The column `activity users --sort` was given");
    disconnectCommand->add_flag("--all", disconnect->all,
                                "Every user of that row's resource, after the question");
    disconnectCommand->add_flag("--yes", *answerYes, "Answer Yes to the question of --all");
}

}  // namespace vantor
