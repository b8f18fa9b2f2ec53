#pragma once

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

// The word that unchecks a limit's check box instead of typing a value into its edit box.
inline constexpr char LimitOffWord[] = "off";

// The access and limits panels' controls as options. Each option left out leaves its control as
// the editor opened it; a limit given as a value checks its box and types the value, "off"
// unchecks it.
struct PanelOptions {
    std::optional<std::string> auth;    // inherit, anonymous, internal, session
    std::optional<std::string> groups;  // comma-separated basic, medium, advanced; all; none
    std::optional<bool> playerOption;
    std::optional<bool> allowDelegates;   // broadcast editors
    std::optional<std::string> playTime;  // broadcast editors
    std::optional<std::string> maxConnections;
    std::optional<std::string> maxConnectionsPerUser;
    std::optional<std::string> maxThroughput;
};

// Adds --auth, --groups, --player-option, the three connection limits and, for the broadcast
// editors, --allow-delegates and --play-time. Words and the digits-only edit boxes are checked
// while parsing (a wrong one is a usage error).
void AddPanelOptions(CLI::App& command, PanelOptions& options, bool broadcastVariant);

// The clicks on the access panel, in the order a user would make them: method, groups, player
// option, delegates. The editor's "Unicast delivery" box must be set already. Empty when all
// were taken; otherwise why not (an option that would change a control the panel has disabled).
std::string PlayAccessOptions(const PanelOptions& options, AccessPanel& access);

// The limit pairs: check box first, then the text typed.
void PlayLimitsOptions(const PanelOptions& options, LimitsPanel& limits);

// Whether an edit box of that kind lets the text be typed into it whole: digits, or a minus sign
// first and then digits (what the views' input filters let through).
bool AcceptsEntry(EditEntry entry, std::u16string_view text);

// The refusal for an option whose control is disabled at that point, naming its label.
std::string DisabledControlText(const std::string& option, const std::u16string& label);

}  // namespace vantor
