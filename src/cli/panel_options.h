#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "editors/control_state.h"

namespace CLI {
class App;
}

namespace vantor {

class AccessPanel;
class LimitsPanel;
struct ControlState;

// What the access panel's controls take on the command line. Each option left out leaves its
// control as the dialog opened it.
struct AccessOptions {
    // --auth inherit|anonymous|internal|session: the method radio to click.
    std::optional<std::string> auth;
    // --groups basic,medium,advanced (any of them, comma-separated) or none: the user-group
    // boxes that end up checked.
    std::optional<std::string> groups;
    // --mms-players / --no-mms-players: the player option ("Allow MMS players", or "Allow MMS /
    // Flash players" in the broadcast editors).
    std::optional<bool> players;
    // --allow-delegates / --no-allow-delegates, broadcast editors only.
    std::optional<bool> allowDelegates;
};

// What the limits panel's pairs take: a number typed into the pair's edit box with its check box
// checked, or "off" to uncheck it. The text goes to the panel as typed, so its checks and
// messages apply ("0" is refused with the pair's minimum message, "" with its "not specified").
struct LimitsOptions {
    std::optional<std::string> maxConnections;         // --max-connections
    std::optional<std::string> maxConnectionsPerUser;  // --max-connections-per-user
    std::optional<std::string> maxThroughput;          // --max-throughput (kByte/sec)
    std::optional<std::string> playTime;               // --play-time (minutes), broadcasts only
};

// The word that unchecks a limit pair.
inline constexpr char LimitOffWord[] = "off";

// Adds --NAME and --no-NAME, which exclude each other, setting value to true or false.
void AddSwitch(CLI::App& command, const std::string& name, std::optional<bool>& value,
               const std::string& onHelp, const std::string& offHelp);

// Adds --auth, --groups, --mms-players/--no-mms-players and, for the broadcast editors,
// --allow-delegates/--no-allow-delegates.
void AddAccessOptions(CLI::App& command, AccessOptions& options, bool broadcastVariant);
// Adds --max-connections, --max-connections-per-user, --max-throughput and, for the broadcast
// editors, --play-time. Boxes that take digits only refuse anything else but "off" as a usage
// error, as their edit boxes would not let it be typed.
void AddLimitsOptions(CLI::App& command, LimitsOptions& options, bool broadcastVariant);

// Plays the options into a loaded panel as the administrator's clicks would, in the order the
// dialog offers them: the method, then the groups, then the player option. The editor's own
// "Unicast delivery" box is played before this. Empty when the panel took every option;
// otherwise the refusal to print (a control the dialog shows disabled with these settings).
std::string PlayAccessOptions(const AccessOptions& options, AccessPanel& panel);
void PlayLimitsOptions(const LimitsOptions& options, LimitsPanel& panel);

// Clicks a check box (or radio) to the wanted state when it is not there already, as the
// administrator would. False when it is not there and the dialog shows it disabled.
bool ClickCheckBox(const ControlState& box, bool wanted, const std::function<void(bool)>& click);

// Plays a `--NAME/--no-NAME` switch (AddSwitch) into its check box: empty when it was taken or
// not given, else the refusal naming the option as typed.
std::string PlaySwitch(const std::string& name, const std::optional<bool>& wanted,
                       const ControlState& box, const std::function<void(bool)>& click);

// The refusal for an option whose control, with this caption, the dialog shows disabled.
std::string DisabledControlText(const std::string& option, std::u16string_view caption);

// Whether an edit box of that kind lets the text be typed into it whole: digits, or a minus sign
// first and then digits (what the views' input filters let through).
bool AcceptsEntry(EditEntry entry, std::u16string_view text);

}  // namespace vantor
