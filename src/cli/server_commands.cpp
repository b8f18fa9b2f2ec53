#include "cli/server_commands.h"

#include <algorithm>
#include <cstdint>
#include <iostream>
#include <istream>
#include <memory>
#include <ostream>
#include <utility>
#include <vector>

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include "cli/command_table.h"
#include "cli/config_commands.h"
#include "cli/headless_services.h"
#include "cli/linux_session_platform.h"
#include "cli/password_command.h"
#include "cli/user_commands.h"
#include "config/decimal_reader.h"
#include "config/text_codec.h"
#include "server/server_properties_model.h"
#include "server/user_manager.h"

namespace vantor {
namespace {

using Json = nlohmann::ordered_json;

// Swallows the user manager's messages: the users are `vantorctl user`'s business, and a server
// that does not answer must not make a settings command fail.
class QuietPrompter : public Prompter {
public:
    void ShowMessage(const std::u16string&, const std::u16string&, MessageIcon) override {}
    bool AskYesNo(const std::u16string&, const std::u16string&, MessageIcon) override {
        return false;
    }
};

// The dialog as it opens over the session's settings, its users list left empty.
class OpenedDialog {
public:
    OpenedDialog(ConfigSession& session, ServerPropertiesPlatform& platform, Prompter& prompter,
                 SubDialog<std::u16string> setPassword = {})
        : users_(noServer_, quiet_, {}, {}, {}),
          model_(session.Store().Server(), session.DefaultAuthMethod(),
                 platform.adapters.Ipv4Addresses(), users_, platform.loggingProbe, prompter,
                 std::move(setPassword)) {
        model_.OnOpen();
    }
    ServerPropertiesModel& Model() { return model_; }

private:
    NoAutomation noServer_;
    QuietPrompter quiet_;
    UserManager users_;
    ServerPropertiesModel model_;
};

struct EditOption {
    ServerControl edit;
    const char* name;
    std::optional<std::string> ServerSetOptions::*value;
    const char* key;  // in `server show --json`
    const char* typeName;
    const char* help;
};

// In the dialog's order; the limits and the logging radios come between the ports and the
// component, the password button between the component and the archival server.
constexpr EditOption EditOptions[] = {
    {ServerControl::PlayerPortEdit, "--player-port", &ServerSetOptions::playerPort, "playerPort",
     "PORT", "TCP port for player connections"},
    {ServerControl::LiveSourcePortEdit, "--live-source-port", &ServerSetOptions::liveSourcePort,
     "liveSourcePort", "PORT", "TCP port for dynamic live sources"},
    {ServerControl::ProgIdEdit, "--logging-component", &ServerSetOptions::loggingComponent,
     "loggingProgId", "PROGID", "ProgID of the custom logging component (a bus name)"},
    {ServerControl::ArchivalAddressEdit, "--archival-address", &ServerSetOptions::archivalAddress,
     "archivalServerAddress", "ADDRESS", "IP address of the archival server to notify"},
    {ServerControl::ArchivalPortEdit, "--archival-port", &ServerSetOptions::archivalPort,
     "archivalServerPort", "PORT", "Port of the archival server"},
};

struct LimitOption {
    ServerLimit limit;
    const char* name;
    std::optional<std::string> ServerSetOptions::*value;
    const char* flagKey;
    const char* numberKey;
    const char* help;
};

constexpr LimitOption LimitOptions[] = {
    {ServerLimit::TotalConnections, "--max-connections", &ServerSetOptions::maxConnections,
     "limitConnections", "maxConnections", "Limit of concurrent connections, or none"},
    {ServerLimit::ConnectionsPerUser, "--max-connections-per-user",
     &ServerSetOptions::maxConnectionsPerUser, "limitConnectionsPerUser", "maxConnectionsPerUser",
     "Limit of concurrent connections per authenticated user, or none"},
    {ServerLimit::AnonymousConnections, "--max-anonymous-connections",
     &ServerSetOptions::maxAnonymousConnections, "limitAnonymousConnections",
     "maxAnonymousConnections", "Limit of concurrent connections of all anonymous users, or none"},
    {ServerLimit::Throughput, "--max-throughput", &ServerSetOptions::maxThroughput,
     "limitThroughput", "maxThroughputKBps",
     "Refuse new connections above this throughput (kByte/sec), or none"},
};

template <class Value>
using Words = std::vector<std::pair<std::string, Value>>;

const Words<LoggingMode> LoggingWords = {{"disabled", LoggingMode::Disabled},
                                         {"standard", LoggingMode::Standard},
                                         {"custom", LoggingMode::Custom}};
const Words<AuthMethod> AuthWords = {{"anonymous", AuthMethod::Anonymous},
                                     {"internal", AuthMethod::Internal},
                                     {"session", AuthMethod::SessionBased}};

template <class Value>
std::vector<std::string> Names(const Words<Value>& words) {
    std::vector<std::string> names;
    for (const auto& [name, value] : words) {
        names.push_back(name);
    }
    return names;
}

template <class Value>
Value ValueOf(const Words<Value>& words, const std::string& name) {
    const auto found = std::find_if(words.begin(), words.end(),
                                    [&name](const auto& word) { return word.first == name; });
    return found != words.end() ? found->second : words.front().second;
}

// The radios of one group with the word of each: the checked one's.
struct Radio {
    ServerControl control;
    const char* word;
};
constexpr Radio LoggingRadios[] = {{ServerControl::DisableLogging, "disabled"},
                                   {ServerControl::StandardLogging, "standard"},
                                   {ServerControl::CustomLogging, "custom"}};
constexpr Radio AuthRadios[] = {{ServerControl::AnonymousAccess, "anonymous"},
                                {ServerControl::InternalAuthentication, "internal"},
                                {ServerControl::SessionAuthentication, "session"}};

template <std::size_t N>
const Radio& Checked(const ServerPropertiesModel& model, const Radio (&radios)[N]) {
    for (const Radio& radio : radios) {
        if (model.State(radio.control).checked) {
            return radio;
        }
    }
    return radios[0];
}

// What the digits-only edit boxes let a user type.
std::string DigitsOnly(const std::string& value) {
    return std::all_of(value.begin(), value.end(), [](char c) { return c >= '0' && c <= '9'; })
               ? std::string()
               : "takes digits only";
}

// A digits-only limit: its number, or the word that clears its check box.
std::string DigitsOrNoLimit(const std::string& value) {
    return value == NoLimitWord || DigitsOnly(value).empty() ? std::string()
                                                             : "takes digits only, or none";
}

std::string U8(const std::u16string& text) {
    return Utf16ToUtf8(text);
}

std::string LimitLabel(const ServerPropertiesModel& model, ServerLimit limit) {
    std::string label = U8(model.State(ServerPropertiesModel::CheckBoxOf(limit)).text);
    if (limit == ServerLimit::ConnectionsPerUser) {
        label += " " + U8(model.State(ServerControl::PerUserSecondLine).text);
    } else if (limit == ServerLimit::AnonymousConnections) {
        label += " " + U8(model.State(ServerControl::AnonymousSecondLine).text);
    }
    return label;
}

void NoteReplacedInterface(const ServerPropertiesModel& model, const std::u16string& stored,
                           std::ostream& err) {
    const std::u16string& shown = model.State(ServerControl::InterfaceCombo).text;
    if (shown != stored) {
        err << InterfaceReplacedText << U8(stored) << "; \"" << U8(shown) << "\" is used\n";
    }
}

Json ShowJson(const ServerPropertiesModel& model) {
    const auto text = [&model](ServerControl control) { return U8(model.State(control).text); };
    Json json;
    json["networkInterface"] = text(ServerControl::InterfaceCombo);
    Json offered = Json::array();
    for (const std::u16string& entry : model.InterfaceEntries()) {
        offered.push_back(U8(entry));
    }
    json["networkInterfaces"] = std::move(offered);
    for (const EditOption& option : EditOptions) {
        json[option.key] = text(option.edit);
    }
    for (const LimitOption& option : LimitOptions) {
        json[option.flagKey] = model.State(ServerPropertiesModel::CheckBoxOf(option.limit)).checked;
        json[option.numberKey] =
            ReadDialogInt(model.State(ServerPropertiesModel::EditOf(option.limit)).text);
    }
    json["logging"] = Checked(model, LoggingRadios).word;
    json["archivalPasswordSet"] = !model.Form().settings.archivalPassword.empty();
    json["auth"] = Checked(model, AuthRadios).word;
    return json;
}

void ShowText(const ServerPropertiesModel& model, std::ostream& out) {
    const auto text = [&model](ServerControl control) { return U8(model.State(control).text); };
    const auto line = [&out](const std::string& label, const std::string& value) {
        out << label << ": " << value << '\n';
    };
    line(text(ServerControl::InterfaceLabel), text(ServerControl::InterfaceCombo));
    std::string offered;
    for (const std::u16string& entry : model.InterfaceEntries()) {
        offered += (offered.empty() ? "" : ", ") + U8(entry);
    }
    line("Network interfaces offered", offered);
    line(text(ServerControl::PlayerPortLabel), text(ServerControl::PlayerPortEdit));
    line(text(ServerControl::LiveSourcePortLabel), text(ServerControl::LiveSourcePortEdit));
    for (const LimitOption& option : LimitOptions) {
        const std::string number = text(ServerPropertiesModel::EditOf(option.limit));
        line(LimitLabel(model, option.limit),
             model.State(ServerPropertiesModel::CheckBoxOf(option.limit)).checked
                 ? number
                 : std::string(NoLimitWord) + " (" + number + ")");
    }
    line(text(ServerControl::LoggingGroup), text(Checked(model, LoggingRadios).control));
    line(text(ServerControl::ProgIdLabel), text(ServerControl::ProgIdEdit));
    const std::string archival = text(ServerControl::ArchivalGroup) + " ";
    line(archival + "password", model.Form().settings.archivalPassword.empty() ? "not set" : "set");
    line(archival + text(ServerControl::ArchivalAddressLabel),
         text(ServerControl::ArchivalAddressEdit));
    line(archival + text(ServerControl::ArchivalPortLabel), text(ServerControl::ArchivalPortEdit));
    line(text(ServerControl::AuthLabel), text(Checked(model, AuthRadios).control));
}

// The clicks and typing that the options stand for. False, with a message, when the dialog
// offers no way to do what was asked.
bool PlayOptions(ServerPropertiesModel& model, const ServerSetOptions& options, std::ostream& err) {
    if (options.networkInterface) {
        const std::vector<std::u16string>& entries = model.InterfaceEntries();
        const auto found =
            std::find(entries.begin(), entries.end(), Utf8ToUtf16(*options.networkInterface));
        if (found == entries.end()) {
            err << InterfaceNotOfferedText;
            for (const std::u16string& entry : entries) {
                err << (&entry == &entries.front() ? "" : ", ") << U8(entry);
            }
            err << '\n';
            return false;
        }
        model.OnInterfaceSelected(static_cast<std::size_t>(found - entries.begin()));
    }
    for (const EditOption& option : EditOptions) {
        if (const std::optional<std::string>& value = options.*option.value) {
            model.SetEditText(option.edit, Utf8ToUtf16(*value));
        }
    }
    for (const LimitOption& option : LimitOptions) {
        if (const std::optional<std::string>& value = options.*option.value) {
            const bool limited = *value != NoLimitWord;
            model.OnLimitToggled(option.limit, limited);
            if (limited) {
                model.SetEditText(ServerPropertiesModel::EditOf(option.limit), Utf8ToUtf16(*value));
            }
        }
    }
    if (options.logging) {
        model.OnLoggingSelected(ValueOf(LoggingWords, *options.logging));
    }
    if (options.auth) {
        model.OnAuthMethodSelected(ValueOf(AuthWords, *options.auth));
    }
    return true;
}

}  // namespace

int RunServerShow(const ServerShowOptions& options, SessionPlatform& platform,
                  ServerPropertiesPlatform& dialogPlatform, std::ostream& out, std::ostream& err) {
    ConfigSession session(options.session, platform, err);
    if (!NamedFileExists(options.session, platform.files, err) || !session.Open()) {
        return ExitFailure;
    }
    StreamPrompter shown(err);
    OpenedDialog dialog(session, dialogPlatform, shown);
    NoteReplacedInterface(dialog.Model(), session.Store().Server().networkInterface, err);
    if (options.json) {
        out << ShowJson(dialog.Model()).dump(2) << '\n';
    } else {
        ShowText(dialog.Model(), out);
    }
    return ExitOk;
}

int RunServerSet(const ServerSetOptions& options, SessionPlatform& platform,
                 ServerPropertiesPlatform& dialogPlatform, std::istream& in, std::ostream& err) {
    ConfigSession session(options.session, platform, err);
    if (!session.Open()) {
        return ExitFailure;
    }
    std::u16string password, confirmation;
    if (options.archivalPassword) {
        password = ReadPasswordLine(in);
        confirmation = ReadPasswordLine(in);
    }
    // The dialog's own boxes (the logging test, the restart warning, a refused OK) are printed
    // but not counted: only the save's failures, which go to the session, fail the command.
    StreamPrompter shown(err);
    bool passwordRefused = false;
    OpenedDialog dialog(session, dialogPlatform, shown, [&](std::u16string& hash) {
        SetPasswordModel typed(dialogPlatform.hasher);
        typed.SetPasswordText(password);
        typed.SetConfirmText(confirmation);
        const PasswordMessage message = typed.OnOk();
        if (!message.text.empty()) {
            // The administrator reads the message and cancels the password dialog.
            shown.ShowMessage(message.text, std::u16string(message.caption), message.icon);
            passwordRefused = true;
            return false;
        }
        hash = typed.HashText();
        return true;
    });
    ServerPropertiesModel& model = dialog.Model();
    if (!PlayOptions(model, options, err)) {
        return ExitFailure;
    }
    if (options.archivalPassword) {
        model.OnSetPassword();
        if (passwordRefused) {
            return ExitFailure;
        }
    }
    if (const std::u16string message = model.OnOk(); !message.empty()) {
        shown.ShowMessage(message, std::u16string(ServerPropertiesErrorCaption),
                          MessageIcon::Error);
        return ExitFailure;
    }
    if (!options.networkInterface) {
        NoteReplacedInterface(model, session.Store().Server().networkInterface, err);
    }
    CommitServerProperties(model.Form(), session.Store().Server(), session.DefaultAuthMethod(),
                           shown, [&session] { session.Store().SaveConfiguration(); });
    return session.ExitCode();
}

void AddServerCommands(CommandTable& table) {
    CLI::App* server = table.App().add_subcommand("server", "Show or change the server properties");
    server->require_subcommand(1);
    const auto run = [](auto&& command) {
        return [command] {
            LinuxSessionPlatform session;
            ServerPropertiesPlatform dialog{session.system.adapters, session.system.logging};
            return command(session.platform, dialog);
        };
    };

    auto show = std::make_shared<ServerShowOptions>();
    CLI::App* showCommand =
        server->add_subcommand("show", "Print the server properties as the dialog opens on them");
    showCommand->add_flag("--json", show->json, "Print one JSON object");
    showCommand
        ->add_option("--file", show->session.file, "config.vtr to read (default: the located one)")
        ->type_name("FILE");
    table.On(showCommand, run([show](SessionPlatform& platform, ServerPropertiesPlatform& dialog) {
                 return RunServerShow(*show, platform, dialog, std::cout, std::cerr);
             }));

    auto set = std::make_shared<ServerSetOptions>();
    CLI::App* setCommand = server->add_subcommand(
        "set", "Change the server properties as the dialog's OK does; the rest stays");
    setCommand
        ->add_option("--file", set->session.file,
                     "config.vtr to change (default: the located one); the server is not "
                     "told")
        ->type_name("FILE");
    // In the dialog's order.
    setCommand
        ->add_option("--interface", set->networkInterface,
                     "Network interface: \"Any available\" or an address of this machine")
        ->type_name("ADDRESS");
    const CLI::Validator digits(DigitsOnly, "");
    const auto addEdit = [&](const EditOption& option) {
        CLI::Option* added =
            setCommand->add_option(option.name, set.get()->*option.value, option.help)
                ->type_name(option.typeName);
        if (ServerPropertiesModel::DigitsOnly(option.edit)) {
            added->check(digits);
        }
    };
    addEdit(EditOptions[0]);
    addEdit(EditOptions[1]);
    for (const LimitOption& option : LimitOptions) {
        CLI::Option* added =
            setCommand->add_option(option.name, set.get()->*option.value, option.help)
                ->type_name("N|none");
        if (ServerPropertiesModel::DigitsOnly(ServerPropertiesModel::EditOf(option.limit))) {
            added->check(CLI::Validator(DigitsOrNoLimit, ""));
        }
    }
    setCommand->add_option("--logging", set->logging, "User logging")
        ->check(CLI::IsMember(Names(LoggingWords)));
    addEdit(EditOptions[2]);
    setCommand->add_flag("--archival-password", set->archivalPassword,
                         "Set the archival server's password from two lines on standard input "
                         "(password and confirmation)");
    addEdit(EditOptions[3]);
    addEdit(EditOptions[4]);
    setCommand->add_option("--auth", set->auth, "Default authentication method")
        ->check(CLI::IsMember(Names(AuthWords)));
    table.On(setCommand, run([set](SessionPlatform& platform, ServerPropertiesPlatform& dialog) {
                 return RunServerSet(*set, platform, dialog, std::cin, std::cerr);
             }));
    // The users list lives in the same dialog.
    AddUserCommands(table);
}

}  // namespace vantor
