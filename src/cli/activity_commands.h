#pragma once

#include <iosfwd>
#include <string>

#include "cli/headless_services.h"
#include "server/server_state.h"

namespace vantor {

class CommandTable;

class AutomationFactory;
class Clock;

// The page names `vantorctl activity` takes, in tab order.
inline constexpr const char* ActivityPageNames[] = {"users", "live", "usage", "throughput"};
// Reported when the pages cannot be filled: the activity is asked only while the server runs.
inline constexpr char ActivityNotRunningText[] = "vantorctl: the media server is not running";
inline constexpr char UnknownActivityRowText[] = "vantorctl: there is no active user %d";

struct ActivityOptions {
    std::string page = "users";
    int sortColumn = -1;  // as a click on that column header of the window's page
};

struct DisconnectOptions {
    int row = -1;  // 0-based, in the order `vantorctl activity users` prints with the same sort
    int sortColumn = -1;
    bool all = false;  // every user of that row's resource, after the window's question
};

// `vantorctl activity PAGE`: the page as the activity monitor fills it, one line of column titles
// and one line per row, tab-separated. ExitFailure, with a message, when the server does not run.
int RunActivity(const ActivityOptions& options, const ServerState& state,
                AutomationFactory& automation, std::ostream& out, std::ostream& err);

// `vantorctl disconnect ROW [--all]`: the Active Users context menu's two commands on that row.
// The question of --all goes to the prompter (the caller's answer); ExitFailure when nothing was
// done.
int RunDisconnect(const DisconnectOptions& options, const ServerState& state,
                  AutomationFactory& automation, Prompter& prompter, Clock& clock,
                  std::ostream& err);

// Adds `activity` and `disconnect`.
void AddActivityCommands(CommandTable& table);

}  // namespace vantor
