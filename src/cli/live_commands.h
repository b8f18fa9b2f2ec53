#pragma once

#include <iosfwd>
#include <optional>
#include <string>

#include "cli/config_session.h"
#include "cli/panel_options.h"

namespace CLI {
class App;
}

namespace vantor {

class CommandTable;

// What `vantorctl live add|edit` takes: the live broadcast and delegate dialogs' controls. An
// option left out leaves its control as the dialog opened it (the record's value, or the new
// broadcast's default).
struct LiveCommandOptions {
    ConfigSessionOptions session;
    bool edit = false;
    std::string name;                 // add: the new alias; edit: the broadcast to change
    std::optional<std::string> type;  // static, dynamic, mms, delegate
    std::optional<std::string> rename;
    std::optional<std::string> description;
    // Static: "Live source IP address and ID".
    std::optional<std::string> address;
    std::optional<int> id;
    // MMS rebroadcast: the link starting with "mms://".
    std::optional<std::string> link;
    // Dynamic: "Set password..." with the password and its confirmation as two lines of
    // standard input, or one line that stands for both.
    bool password = false;
    bool passwordStdin = false;
    // Delegate: the remote broadcast.
    std::optional<std::string> remoteAlias;
    std::optional<std::string> remoteAddress;
    std::optional<std::string> protocol;  // tcp, http, https
    std::optional<std::string> port;
    std::optional<bool> unicast;
    std::optional<bool> multicast;
    std::optional<std::string> group;
    std::optional<bool> notifyArchival;
    // The "MMS / Flash Metadata" dialog's edits.
    std::optional<std::string> metaAuthor;
    std::optional<std::string> metaTitle;
    std::optional<std::string> metaCopyright;
    AccessOptions access;
    LimitsOptions limits;
};

inline constexpr char NotALiveBroadcastText[] = " is a virtual folder, not a live broadcast";
inline constexpr char TypeFixedText[] =
    "; a broadcast keeps its type (delete it and add it again to change it)";
inline constexpr char RebroadcastUnavailableText[] =
    "vantorctl: an MMS rebroadcast cannot be created on this system; stored ones can still be "
    "edited";

// Adds `live add NAME` and `live edit NAME` with their options to app, filling options.
CLI::App* AddLiveCommand(CLI::App& app, LiveCommandOptions& options);

// `vantorctl live add|edit`: opens the editor the window would open (the type chooser's choice,
// or the type of the stored source), plays the options into its form model as a user's clicks
// and typing, presses OK and lets the window's resource command commit the result: the same
// messages (on standard error, with their captions), save and reload. A password is read from
// in. ExitOk when the broadcast was saved; ExitFailure, with nothing written, when an option
// does not fit the broadcast, the editor refused OK, or the save failed.
int RunLiveCommand(const LiveCommandOptions& options, SessionPlatform& platform,
                   bool rebroadcastAvailable, std::istream& in, std::ostream& err);

// Adds `live` to the program's commands.
void AddLiveCommands(CommandTable& table);

}  // namespace vantor
