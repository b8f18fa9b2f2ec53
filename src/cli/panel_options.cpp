#include "cli/panel_options.h"

#include <array>
#include <cctype>
#include <sstream>
#include <utility>

#include <CLI/CLI.hpp>

#include "config/text_codec.h"
#include "editors/access_panel.h"
#include "editors/control_state.h"
#include "editors/limits_panel.h"

namespace vantor {
namespace {

constexpr std::array<std::pair<const char*, AuthMethod>, 4> kMethodWords = {{
    {"inherit", AuthMethod::InheritDefault},
    {"anonymous", AuthMethod::Anonymous},
    {"internal", AuthMethod::Internal},
    {"session", AuthMethod::SessionBased},
}};

struct GroupWord {
    const char* word;
    AccessControl box;
};
constexpr std::array<GroupWord, 3> kGroupWords = {{
    {"basic", AccessControl::BasicUsers},
    {"medium", AccessControl::MediumUsers},
    {"advanced", AccessControl::AdvancedUsers},
}};
constexpr char kNoGroupsWord[] = "none";

// The boxes named in a --groups value; nothing when a word is not one of them.
std::optional<std::array<bool, 3>> ParseGroups(const std::string& text) {
    std::array<bool, 3> checked{};
    if (text == kNoGroupsWord) {
        return checked;
    }
    std::istringstream words(text);
    std::string word;
    bool any = false;
    while (std::getline(words, word, ',')) {
        bool known = false;
        for (std::size_t i = 0; i < kGroupWords.size(); ++i) {
            if (word == kGroupWords[i].word) {
                checked[i] = known = true;
            }
        }
        if (!known) {
            return std::nullopt;
        }
        any = true;
    }
    return any ? std::make_optional(checked) : std::nullopt;
}

bool DigitsOrOff(const std::string& text) {
    if (text == LimitOffWord) {
        return true;
    }
    for (char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c))) {
            return false;
        }
    }
    return true;
}

}  // namespace

bool ClickCheckBox(const ControlState& box, bool wanted, const std::function<void(bool)>& click) {
    if (box.checked == wanted) {
        return true;
    }
    if (!box.enabled) {
        return false;
    }
    click(wanted);
    return true;
}

std::string PlaySwitch(const std::string& name, const std::optional<bool>& wanted,
                       const ControlState& box, const std::function<void(bool)>& click) {
    if (!wanted || ClickCheckBox(box, *wanted, click)) {
        return {};
    }
    return DisabledControlText((*wanted ? "--" : "--no-") + name, box.text);
}

void AddSwitch(CLI::App& command, const std::string& name, std::optional<bool>& value,
               const std::string& onHelp, const std::string& offHelp) {
    CLI::Option* on = command.add_flag_callback(
        "--" + name, [&value] { value = true; }, onHelp);
    CLI::Option* off = command.add_flag_callback(
        "--no-" + name, [&value] { value = false; }, offHelp);
    on->excludes(off);
}

void AddAccessOptions(CLI::App& command, AccessOptions& options, bool broadcastVariant) {
    std::vector<std::string> methods;
    for (const auto& [word, method] : kMethodWords) {
        methods.emplace_back(word);
    }
    command
        .add_option("--auth", options.auth,
                    "User authentication method: inherit (the server's default), anonymous, "
                    "internal or session")
        ->check(CLI::IsMember(methods));
    command
        .add_option("--groups", options.groups,
                    "User groups allowed under internal authentication: basic,medium,advanced "
                    "(any of them) or none")
        ->check(CLI::Validator(
            [](std::string& text) {
                return ParseGroups(text) ? std::string()
                                         : "expected basic, medium, advanced, a comma-separated "
                                           "list of them, or none";
            },
            "GROUPS"));
    AddSwitch(command, "mms-players", options.players, "Allow MMS (/ Flash) players",
              "Do not allow MMS (/ Flash) players");
    if (broadcastVariant) {
        AddSwitch(command, "allow-delegates", options.allowDelegates,
                  "Allow delegate media servers to rebroadcast", "Do not allow delegates");
    }
}

void AddLimitsOptions(CLI::App& command, LimitsOptions& options, bool broadcastVariant) {
    const CLI::Validator digits(
        [](std::string& text) {
            return DigitsOrOff(text) ? std::string() : "expected a number or off";
        },
        "N|off");
    command
        .add_option("--max-connections", options.maxConnections,
                    "Limit total concurrent connections number, or off")
        ->check(digits);
    command.add_option("--max-connections-per-user", options.maxConnectionsPerUser,
                       "Limit concurrent connections per each authenticated user, or off");
    command
        .add_option("--max-throughput", options.maxThroughput,
                    "Do not accept new connections if throughput exceeds (kByte/sec), or off")
        ->check(digits);
    if (broadcastVariant) {
        command
            .add_option("--play-time", options.playTime,
                        "Limit per-user playback time (minutes), or off")
            ->check(digits);
    }
}

std::string DisabledControlText(const std::string& option, std::u16string_view caption) {
    return "vantorctl: " + option + ": \"" + Utf16ToUtf8(caption) +
           "\" cannot be changed with these settings (the window disables it)";
}

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

std::string PlayAccessOptions(const AccessOptions& options, AccessPanel& panel) {
    if (options.auth) {
        for (const auto& [word, method] : kMethodWords) {
            if (*options.auth == word) {
                panel.OnMethodSelected(method);
            }
        }
    }
    if (options.groups) {
        const std::array<bool, 3> wanted = *ParseGroups(*options.groups);
        for (std::size_t i = 0; i < kGroupWords.size(); ++i) {
            const AccessControl box = kGroupWords[i].box;
            if (!ClickCheckBox(panel.State(box), wanted[i],
                               [&](bool checked) { panel.OnGroupToggled(box, checked); })) {
                return DisabledControlText("--groups", panel.State(box).text);
            }
        }
    }
    if (options.players) {
        const ControlState& box = panel.State(AccessControl::PlayerOption);
        if (!box.enabled && box.checked != *options.players && !options.auth) {
            // As an administrator would: click the selected method again, which enables the
            // option when unicast delivery and the method allow it.
            panel.OnMethodSelected(panel.ReadMethod());
        }
        if (std::string refusal =
                PlaySwitch("mms-players", options.players, box,
                           [&](bool checked) { panel.OnPlayerOptionToggled(checked); });
            !refusal.empty()) {
            return refusal;
        }
    }
    return PlaySwitch("allow-delegates", options.allowDelegates,
                      panel.State(AccessControl::AllowDelegates),
                      [&](bool checked) { panel.OnAllowDelegatesToggled(checked); });
}

void PlayLimitsOptions(const LimitsOptions& options, LimitsPanel& panel) {
    const std::pair<const std::optional<std::string>&, LimitPair> pairs[] = {
        {options.maxConnections, LimitPair::TotalConnections},
        {options.maxConnectionsPerUser, LimitPair::ConnectionsPerUser},
        {options.maxThroughput, LimitPair::Throughput},
        {options.playTime, LimitPair::PlayTime},
    };
    for (const auto& [value, pair] : pairs) {
        if (!value) {
            continue;
        }
        // "off" unchecks the pair and leaves the text its box showed, as a click would.
        const bool on = *value != LimitOffWord;
        panel.OnPairToggled(pair, on);
        if (on) {
            panel.SetEditText(pair, Utf8ToUtf16(*value));
        }
    }
}

}  // namespace vantor
