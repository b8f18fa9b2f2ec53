#pragma once

#include <iosfwd>
#include <optional>
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
// Followed by what was given, as " (user alice, address 10.0.0.1, resource news)".
inline constexpr char NoMatchingActiveUserText[] = "vantorctl: no active user matches";
inline constexpr char NoActiveUserNamedText[] =
    "vantorctl: name the user: ROW, or --user, --address and --resource as `activity users` "
    "printed them";
inline constexpr char SeveralResourcesMatchText[] =
    "vantorctl: the users that match play more than one resource; name it with --resource";

struct ActivityOptions {
    std::string page = "users";
    int sortColumn = -1;  // as a click on that column header of the window's page
};

struct DisconnectOptions {
    int row = -1;  // 0-based, in the order `vantorctl activity users` prints with the same sort
    int sortColumn = -1;
    bool all = false;  // every user of that row's resource, after the window's question
    // The user as `activity users` printed them (columns User ID, User IP, Resource): with ROW,
    // that row must still show them; without, every connection that shows them is meant.
    std::optional<std::string> user;
    std::optional<std::string> address;
    std::optional<std::string> resource;
};

// `vantorctl activity PAGE`: the page as the activity monitor fills it, one line of column titles
// and one line per row, tab-separated. ExitFailure, with a message, when the server does not run.
int RunActivity(const ActivityOptions& options, const ServerState& state,
                AutomationFactory& automation, std::ostream& out, std::ostream& err);

// `vantorctl disconnect [ROW] [--user ID] [--address IP] [--resource NAME] [--all]`: the Active
// Users context menu's two commands on the user named. The server's list is read again for the
// disconnect itself, so a user who left meanwhile is not replaced by whoever got the handle. The
// question of --all goes to the prompter (the caller's answer). ExitFailure, with a message, when
// nobody matches or some could not be disconnected; ExitUsage when no user is named.
int RunDisconnect(const DisconnectOptions& options, const ServerState& state,
                  AutomationFactory& automation, Prompter& prompter, Clock& clock,
                  std::ostream& err);

// Adds `activity` and `disconnect`.
void AddActivityCommands(CommandTable& table);

}  // namespace vantor
