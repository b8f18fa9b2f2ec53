#include "cli/live_commands.h"

#include <array>
#include <iostream>
#include <memory>
#include <ostream>
#include <tuple>
#include <utility>

#include <CLI/CLI.hpp>

#include "cli/command_table.h"
#include "cli/config_commands.h"
#include "cli/headless_resource_host.h"
#include "cli/linux_session_platform.h"
#include "cli/live_editor_play.h"
#include "config/catalogue.h"
#include "config/text_codec.h"
#include "editors/delegate_editor_model.h"
#include "editors/live_type_chooser_model.h"
#include "platform/rebroadcast_support.h"
#include "ui/context_menu.h"
#include "ui/resource_commands.h"

namespace vantor {
namespace {

constexpr std::array<std::pair<const char*, LiveType>, 4> kTypes = {{
    {"static", LiveType::Static},
    {"dynamic", LiveType::Dynamic},
    {"mms", LiveType::MmsRebroadcast},
    {"delegate", LiveType::Delegate},
}};

LiveType TypeNamed(const std::string& word) {
    for (const auto& [name, type] : kTypes) {
        if (word == name) {
            return type;
        }
    }
    return LiveType::Static;
}

std::string TypeWord(LiveType type) {
    for (const auto& [name, each] : kTypes) {
        if (each == type) {
            return name;
        }
    }
    return {};
}

// The first source option given that belongs to another type's controls.
std::optional<std::string> OptionNotForType(const LiveCommandOptions& options, LiveType type) {
    const std::array<std::tuple<bool, LiveType, const char*>, 9> sourceOptions = {{
        {options.address.has_value(), LiveType::Static, "--address"},
        {options.id.has_value(), LiveType::Static, "--id"},
        {options.link.has_value(), LiveType::MmsRebroadcast, "--link"},
        {options.password, LiveType::Dynamic, "--password"},
        {options.passwordStdin, LiveType::Dynamic, "--password-stdin"},
        {options.remoteAlias.has_value(), LiveType::Delegate, "--remote-alias"},
        {options.remoteAddress.has_value(), LiveType::Delegate, "--remote-address"},
        {options.protocol.has_value(), LiveType::Delegate, "--protocol"},
        {options.port.has_value(), LiveType::Delegate, "--port"},
    }};
    for (const auto& [given, owner, option] : sourceOptions) {
        if (given && owner != type) {
            return option;
        }
    }
    return std::nullopt;
}

void AddSourceOptions(CLI::App& command, LiveCommandOptions& options) {
    std::vector<std::string> types;
    for (const auto& [name, type] : kTypes) {
        types.emplace_back(name);
    }
    command
        .add_option("--type", options.type,
                    "static (the default for add), dynamic, mms or delegate; edit checks it")
        ->check(CLI::IsMember(types));
    command.add_option("--address", options.address, "Static: live source IP address");
    command.add_option("--id", options.id, "Static: live source ID")->check(CLI::Range(1, 255));
    command.add_option("--link", options.link, "MMS rebroadcast: link starting with \"mms://\"");
    CLI::Option* twoLines = command.add_flag(
        "--password", options.password,
        "Dynamic: set the password, read with its confirmation as two lines of standard input");
    command
        .add_flag("--password-stdin", options.passwordStdin,
                  "Dynamic: set the password, read as one line of standard input")
        ->excludes(twoLines);
    command.add_option("--remote-alias", options.remoteAlias, "Delegate: remote broadcast Alias");
    command.add_option("--remote-address", options.remoteAddress,
                       "Delegate: remote Media Server IP address");
    command
        .add_option("--protocol", options.protocol,
                    "Delegate: connect using protocol tcp, http or https (proposes its port)")
        ->check(CLI::IsMember({"tcp", "http", "https"}, CLI::ignore_case));
    command.add_option("--port", options.port, "Delegate: remote port")
        ->check(CLI::Validator(
            [](std::string& value) -> std::string {
                return AcceptsEntry(DelegateEditorModel::Entry(DelegateControl::PortEdit),
                                    Utf8ToUtf16(value))
                           ? std::string()
                           : "the port is a number: " + value;
            },
            ""))
        ->type_name("N");
}

void AddSharedOptions(CLI::App& command, LiveCommandOptions& options) {
    command.add_option("--description", options.description, "Live broadcast description");
    AddSwitch(command, "unicast", options.unicast, "Unicast delivery", "No unicast delivery");
    AddSwitch(command, "multicast", options.multicast, "Multicast delivery",
              "No multicast delivery");
    command.add_option("--group", options.group, "Multicast group, ADDRESS:PORT");
    AddSwitch(command, "notify-archival", options.notifyArchival,
              "Notify Archival Server to record this broadcast when it's being played",
              "Do not notify the Archival Server");
    command.add_option("--meta-author", options.metaAuthor, "Metadata: Author");
    command.add_option("--meta-title", options.metaTitle, "Metadata: Title");
    command.add_option("--meta-copyright", options.metaCopyright, "Metadata: Copyright");
    AddAccessOptions(command, options.access, true);
    AddLimitsOptions(command, options.limits, true);
    AddConfigSessionOptions(command, options.session);
}

}  // namespace

CLI::App* AddLiveCommand(CLI::App& app, LiveCommandOptions& options) {
    CLI::App* command =
        app.add_subcommand("live", "Add or change a live broadcast as its dialog does");
    command->require_subcommand(1);
    CLI::App* add = command->add_subcommand("add", "New live broadcast");
    add->add_option("NAME", options.name, "Live broadcast Alias")->required();
    AddSourceOptions(*add, options);
    AddSharedOptions(*add, options);
    add->callback([&options] { options.edit = false; });

    CLI::App* edit = command->add_subcommand("edit", "Live broadcast settings");
    edit->add_option("NAME", options.name, "The live broadcast to change")->required();
    edit->add_option("--rename", options.rename, "New live broadcast Alias");
    AddSourceOptions(*edit, options);
    AddSharedOptions(*edit, options);
    edit->callback([&options] { options.edit = true; });
    return command;
}

int RunLiveCommand(const LiveCommandOptions& options, SessionPlatform& platform,
                   bool rebroadcastAvailable, std::istream& in, std::ostream& err) {
    ConfigSession session(options.session, platform, err);
    if (!session.Open()) {
        return ExitFailure;
    }
    HeadlessResourceHost host(session);
    LiveType type = options.type ? TypeNamed(*options.type) : LiveType::Static;
    bool chosen = true;
    if (options.edit) {
        CatalogueItem* item = session.FindResource(Utf8ToUtf16(options.name));
        if (item == nullptr) {
            return ExitFailure;
        }
        if (item->Record().kind != ResourceKind::LiveBroadcast) {
            err << "vantorctl: " << Utf16ToUtf8(item->Record().name) << NotALiveBroadcastText
                << '\n';
            return ExitFailure;
        }
        // As the window: the stored source decides which editor opens.
        const LiveType stored = LiveTypeOfSource(item->Record().source);
        if (options.type && type != stored) {
            err << "vantorctl: " << Utf16ToUtf8(item->Record().name) << " is a " << TypeWord(stored)
                << " live broadcast, not " << TypeWord(type) << TypeFixedText << '\n';
            return ExitFailure;
        }
        type = stored;
        host.Select(item);
    } else {
        host.liveTypeChooser = [&](LiveType& choice) {
            LiveTypeChooserModel chooser(rebroadcastAvailable);
            chooser.OnTypeSelected(type);
            choice = chooser.OnOk();
            // A disabled radio cannot be clicked: the chooser still says static.
            chosen = choice == type;
            return chosen;
        };
    }
    if (const std::optional<std::string> option = OptionNotForType(options, type)) {
        err << "vantorctl: " << *option << " does not apply to a " << TypeWord(type)
            << " live broadcast\n";
        return ExitFailure;
    }

    LiveEditorPlay play(options, session, in);
    host.liveEditor = [&play](LiveForm& form, bool updateMode) {
        return play.EditLive(form, updateMode);
    };
    host.delegateEditor = [&play](DelegateForm& form, bool updateMode) {
        return play.EditDelegate(form, updateMode);
    };
    ResourceCommands commands(session.Store(), session.State(), session.Automation(),
                              session.Prompter(), host);
    commands.NewOrEditLiveBroadcast(options.edit ? EditSelectedParameter : 0);
    if (!chosen) {
        err << RebroadcastUnavailableText << '\n';
        return ExitFailure;
    }
    return play.Accepted() ? session.ExitCode() : ExitFailure;
}

void AddLiveCommands(CommandTable& table) {
    auto options = std::make_shared<LiveCommandOptions>();
    table.On(AddLiveCommand(table.App(), *options), [options] {
        LinuxSessionPlatform platform;
        return RunLiveCommand(*options, platform.platform, MmsRebroadcastSupported(), std::cin,
                              std::cerr);
    });
}

}  // namespace vantor
