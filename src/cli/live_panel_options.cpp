#include "cli/live_panel_options.h"

#include <array>
#include <sstream>
#include <utility>

#include <CLI/CLI.hpp>

#include "config/text_codec.h"
#include "editors/access_panel.h"
#include "editors/limits_panel.h"

namespace vantor {
namespace {

constexpr std::array<std::pair<const char*, AuthMethod>, 4> kMethods = {{
    {"inherit", AuthMethod::InheritDefault},
    {"anonymous", AuthMethod::Anonymous},
    {"internal", AuthMethod::Internal},
    {"session", AuthMethod::SessionBased},
}};

constexpr std::array<std::pair<const char*, AccessControl>, 3> kGroupBoxes = {{
    {"basic", AccessControl::BasicUsers},
    {"medium", AccessControl::MediumUsers},
    {"advanced", AccessControl::AdvancedUsers},
}};

// The group boxes a --groups value checks; nothing when a word is unknown.
std::optional<std::array<bool, 3>> GroupsChecked(const std::string& value) {
    std::array<bool, 3> checked{};
    if (value == "all") {
        return std::array<bool, 3>{true, true, true};
    }
    if (value == "none") {
        return checked;
    }
    std::istringstream words(value);
    std::string word;
    while (std::getline(words, word, ',')) {
        std::size_t i = 0;
        while (i < kGroupBoxes.size() && word != kGroupBoxes[i].first) {
            ++i;
        }
        if (i == kGroupBoxes.size()) {
            return std::nullopt;
        }
        checked[i] = true;
    }
    return checked;
}

// A limit's value: "off", or what its edit box lets be typed.
CLI::Validator LimitValue(EditEntry entry) {
    return CLI::Validator(
        [entry](std::string& value) -> std::string {
            if (value == LimitOffWord || AcceptsEntry(entry, Utf8ToUtf16(value))) {
                return {};
            }
            return "the box takes digits only, or \"off\": " + value;
        },
        "");
}

EditEntry EntryOf(LimitPair pair) {
    return LimitsPanel::DigitsOnly(LimitsPanel::EditOf(pair)) ? EditEntry::Digits
                                                              : EditEntry::AnyText;
}

void PlayLimit(const std::optional<std::string>& value, LimitPair pair, LimitsPanel& limits) {
    if (!value) {
        return;
    }
    const bool on = *value != LimitOffWord;
    if (limits.State(LimitsPanel::CheckBoxOf(pair)).checked != on) {
        limits.OnPairToggled(pair, on);
    }
    if (on) {
        limits.SetEditText(pair, Utf8ToUtf16(*value));
    }
}

// Clicks a check box of the panel when the option asks for the other state; false when the box
// is disabled then.
bool ClickBox(const std::optional<bool>& wanted, const ControlState& box,
              const std::function<void(bool)>& click) {
    if (!wanted || box.checked == *wanted) {
        return true;
    }
    if (!box.enabled) {
        return false;
    }
    click(*wanted);
    return true;
}

}  // namespace

bool AcceptsEntry(EditEntry entry, std::u16string_view text) {
    if (entry == EditEntry::AnyText) {
        return true;
    }
    if (entry == EditEntry::SignedNumber && text.starts_with(u'-')) {
        text.remove_prefix(1);
    }
    for (char16_t unit : text) {
        if (unit < u'0' || unit > u'9') {
            return false;
        }
    }
    return true;
}

std::string DisabledControlText(const std::string& option, const std::u16string& label) {
    return "vantorctl: " + option + ": \"" + Utf16ToUtf8(label) +
           "\" cannot be changed with these settings (the window disables it)";
}

void AddPanelOptions(CLI::App& command, PanelOptions& options, bool broadcastVariant) {
    std::vector<std::string> methods;
    for (const auto& [word, method] : kMethods) {
        methods.emplace_back(word);
    }
    command.add_option("--auth", options.auth, "User authentication method")
        ->check(CLI::IsMember(methods));
    command
        .add_option("--groups", options.groups,
                    "User groups allowed under internal authentication: basic,medium,advanced, "
                    "all or none")
        ->check(CLI::Validator(
            [](std::string& value) -> std::string {
                return GroupsChecked(value) ? std::string() : "unknown user group in " + value;
            },
            ""))
        ->type_name("LIST");
    command
        .add_option("--player-option", options.playerOption,
                    broadcastVariant ? "Allow MMS / Flash players" : "Allow MMS players")
        ->type_name("on|off");
    if (broadcastVariant) {
        command
            .add_option("--allow-delegates", options.allowDelegates,
                        "Allow delegate Media Servers to connect")
            ->type_name("on|off");
        command
            .add_option("--play-time", options.playTime, "Limit per-user playback time, in minutes")
            ->check(LimitValue(EntryOf(LimitPair::PlayTime)))
            ->type_name("N|off");
    }
    command
        .add_option("--max-connections", options.maxConnections,
                    "Limit total concurrent connections number")
        ->check(LimitValue(EntryOf(LimitPair::TotalConnections)))
        ->type_name("N|off");
    command
        .add_option("--max-connections-per-user", options.maxConnectionsPerUser,
                    "Limit concurrent connections per each authenticated user")
        ->check(LimitValue(EntryOf(LimitPair::ConnectionsPerUser)))
        ->type_name("TEXT|off");
    command
        .add_option("--max-throughput", options.maxThroughput,
                    "Do not accept new connections if throughput exceeds (kByte/sec)")
        ->check(LimitValue(EntryOf(LimitPair::Throughput)))
        ->type_name("N|off");
}

std::string PlayAccessOptions(const PanelOptions& options, AccessPanel& access) {
    if (options.auth) {
        for (const auto& [word, method] : kMethods) {
            if (*options.auth == word) {
                access.OnMethodSelected(method);
            }
        }
    }
    if (options.groups) {
        // Disabled boxes keep their state and are read all the same, so a mask is stored for
        // every method: the boxes are set whichever method is selected.
        const std::optional<std::array<bool, 3>> checked = GroupsChecked(*options.groups);
        for (std::size_t i = 0; checked && i < kGroupBoxes.size(); ++i) {
            access.OnGroupToggled(kGroupBoxes[i].second, (*checked)[i]);
        }
    }
    if (!ClickBox(options.playerOption, access.State(AccessControl::PlayerOption),
                  [&access](bool checked) { access.OnPlayerOptionToggled(checked); })) {
        return DisabledControlText("--player-option",
                                   access.State(AccessControl::PlayerOption).text);
    }
    if (!ClickBox(options.allowDelegates, access.State(AccessControl::AllowDelegates),
                  [&access](bool checked) { access.OnAllowDelegatesToggled(checked); })) {
        return DisabledControlText("--allow-delegates",
                                   access.State(AccessControl::AllowDelegates).text);
    }
    return {};
}

void PlayLimitsOptions(const PanelOptions& options, LimitsPanel& limits) {
    PlayLimit(options.playTime, LimitPair::PlayTime, limits);
    PlayLimit(options.maxConnections, LimitPair::TotalConnections, limits);
    PlayLimit(options.maxConnectionsPerUser, LimitPair::ConnectionsPerUser, limits);
    PlayLimit(options.maxThroughput, LimitPair::Throughput, limits);
}

}  // namespace vantor
