#include "cli/resource_commands_cli.h"

#include <algorithm>
#include <iostream>
#include <memory>
#include <ostream>
#include <vector>

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include "cli/command_table.h"
#include "cli/config_commands.h"
#include "cli/folder_commands.h"
#include "cli/headless_resource_host.h"
#include "cli/linux_session_platform.h"
#include "config/catalogue.h"
#include "config/text_codec.h"
#include "ui/context_menu.h"
#include "ui/resource_commands.h"

namespace vantor {
namespace {

// The window's resource commands on the named resource, as if it were selected in the tree.
struct SelectedResource {
    SelectedResource(const ConfigSessionOptions& options, SessionPlatform& platform,
                     std::ostream& err)
        : session(options, platform, err), host(session) {}

    // Loads the configuration and selects the resource; false, with a message, when either fails.
    bool Open(const std::string& name) {
        if (!session.Open()) {
            return false;
        }
        // The store exists only once the session is open.
        commands = std::make_unique<ResourceCommands>(
            session.Store(), session.State(), session.Automation(), session.Prompter(), host);
        item = session.FindResource(Utf8ToUtf16(name));
        host.Select(item);
        return item != nullptr;
    }

    ConfigSession session;
    HeadlessResourceHost host;
    std::unique_ptr<ResourceCommands> commands;
    CatalogueItem* item = nullptr;
};

int Delete(SelectedResource& selected, bool yes) {
    ConfigSession& session = selected.session;
    // The window saves even after a refusal or No, rewriting the catalogue it had; a refused
    // command here writes nothing, so the server is not made to reload either.
    const MulticastState multicast = selected.commands->QueryMulticastStatus();
    if (multicast != MulticastState::Idle) {
        session.Prompter().ShowMessage(
            std::u16string(multicast == MulticastState::Multicasting ? DeleteWhileMulticastingText
                                                                     : MulticastUnknownText),
            std::u16string(ResourceWarningCaption));
    } else if (!yes) {
        session.Prompter().AskYesNo(DeleteQuestion(selected.item->Record()),
                                    std::u16string(DeleteConfirmationCaption));
    } else {
        selected.commands->Delete();
    }
    return session.ExitCode();
}

bool OffersMulticastItem(const std::vector<ContextMenuEntry>& menu) {
    return std::any_of(menu.begin(), menu.end(), [](const ContextMenuEntry& entry) {
        return !entry.separator && entry.id == StartStopMulticastCommand;
    });
}

}  // namespace

int RunResourceAction(const ResourceActionOptions& options, SessionPlatform& platform,
                      std::ostream& err) {
    SelectedResource selected(options.session, platform, err);
    if (!selected.Open(options.name)) {
        return ExitFailure;
    }
    if (options.action == ResourceAction::Delete) {
        return Delete(selected, options.session.yes);
    }
    if (selected.item->Record().enabled == (options.action == ResourceAction::Enable)) {
        return ExitOk;  // already so: nothing to toggle, nothing to save
    }
    selected.commands->ToggleEnabled();
    return selected.session.ExitCode();
}

int RunMulticast(const MulticastOptions& options, SessionPlatform& platform, std::ostream& out,
                 std::ostream& err) {
    SelectedResource selected(options.session, platform, err);
    if (!selected.Open(options.folder)) {
        return ExitFailure;
    }
    if (selected.item->Record().kind != ResourceKind::VirtualFolder) {
        err << "vantorctl: " << options.folder << NotAFolderText << '\n';
        return ExitFailure;
    }
    // The menu asks the server and decides which way the command goes, as in the window.
    ResourceCommands& commands = *selected.commands;
    if (!OffersMulticastItem(commands.ContextMenuItems(*selected.item))) {
        if (options.session.file) {
            err << MulticastNeedsFileAloneText << '\n';
        } else if (selected.session.State() != ServerState::Running) {
            err << MulticastNeedsServerText << '\n';
        } else {
            err << "vantorctl: " << options.folder << NotMulticastableText << '\n';
        }
        return ExitFailure;
    }
    if (commands.StartRequested() == options.start) {
        commands.StartStopMulticast();
    }
    const std::u16string& status = commands.StatusText();
    const bool multicasting = status.starts_with(CurrentlyMulticastingText);
    if (options.json) {
        out << nlohmann::json{{"folder", options.folder},
                              {"multicasting", multicasting},
                              {"status", Utf16ToUtf8(status)}}
                   .dump(2)
            << '\n';
    } else {
        out << Utf16ToUtf8(status) << '\n';
    }
    if (multicasting != options.start) {
        err << "vantorctl: " << options.folder
            << (options.start ? MulticastNotStartedText : MulticastNotStoppedText) << '\n';
        return ExitFailure;
    }
    return ExitOk;
}

void AddResourceCommands(CommandTable& table) {
    AddFolderCommands(table);
    CLI::App* resource =
        table.App().add_subcommand("resource", "Delete, enable or disable a resource");
    resource->require_subcommand(1);
    for (const auto& [word, action, help] :
         {std::tuple{"delete", ResourceAction::Delete,
                     "Delete a virtual folder or live broadcast, after the window's question"},
          std::tuple{"enable", ResourceAction::Enable, "Enable a virtual folder or live broadcast"},
          std::tuple{"disable", ResourceAction::Disable,
                     "Disable a virtual folder or live broadcast"}}) {
        auto options = std::make_shared<ResourceActionOptions>();
        options->action = action;
        CLI::App* command = resource->add_subcommand(word, help);
        command->add_option("NAME", options->name, "The resource")->required();
        AddConfigSessionOptions(*command, options->session);
        table.On(command, [options] {
            LinuxSessionPlatform system;
            return RunResourceAction(*options, system.platform, std::cerr);
        });
    }

    CLI::App* multicast =
        table.App().add_subcommand("multicast", "Start or stop multicasting a virtual folder");
    multicast->require_subcommand(1);
    for (const bool start : {true, false}) {
        auto options = std::make_shared<MulticastOptions>();
        options->start = start;
        CLI::App* command = multicast->add_subcommand(
            start ? "start" : "stop",
            start ? "Start multicasting a virtual folder" : "Stop multicasting a virtual folder");
        command->add_option("FOLDER", options->folder, "The virtual folder")->required();
        command->add_flag("--json", options->json, "Print the status as one JSON object");
        command->add_option("--file", options->session.file,
                            "config.vtr to read (default: the located one); the server is not "
                            "asked, so nothing can be multicast");
        table.On(command, [options] {
            LinuxSessionPlatform system;
            return RunMulticast(*options, system.platform, std::cout, std::cerr);
        });
    }
}

}  // namespace vantor
