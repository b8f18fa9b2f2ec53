#include "cli/folder_commands.h"

#include <filesystem>
#include <iostream>
#include <memory>
#include <ostream>
#include <system_error>

#include <CLI/CLI.hpp>

#include "cli/command_table.h"
#include "cli/config_commands.h"
#include "cli/headless_resource_host.h"
#include "cli/linux_session_platform.h"
#include "config/catalogue.h"
#include "config/text_codec.h"
#include "editors/folder_editor_model.h"
#include "ui/context_menu.h"
#include "ui/resource_commands.h"

namespace vantor {
namespace {

// The folder browser hands back absolute paths; a relative one is taken from where the command
// runs.
std::u16string BrowsedPath(const std::string& typed) {
    std::error_code ec;
    const std::filesystem::path absolute = std::filesystem::absolute(typed, ec);
    return Utf8ToUtf16(ec || typed.empty() ? typed : absolute.string());
}

void ShowError(Prompter& prompter, const std::u16string& message) {
    if (!message.empty()) {
        prompter.ShowMessage(message, std::u16string(FolderEditorModel::kErrorCaption));
    }
}

// Adds the options both subcommands share.
void AddFolderOptions(CLI::App& command, FolderOptions& options) {
    command.add_option("--path", options.path, "Folder containing media files for streaming");
    command.add_option("--description", options.description, "Description");
    AddSwitch(command, "unicast", options.unicast, "Unicast delivery", "No unicast delivery");
    AddSwitch(command, "multicast", options.multicast, "Multicast delivery (also a playlist)",
              "No multicast delivery");
    CLI::Option* group = command.add_option(
        "--group", options.group, "Multicast group as ADDRESS:PORT (default: a free one)");
    AddSwitch(command, "playlist", options.playlist, "Allow to treat folder as a Playlist",
              "Not a playlist (also no multicast delivery)");
    command.add_option("--order", options.order, "Playlist order: alphabetical or random")
        ->check(CLI::IsMember({"alphabetical", "random"}));
    // Multicast delivery plays the folder as a playlist; the editor allows no other way.
    command.get_option("--multicast")->excludes("--no-playlist");
    group->excludes("--no-multicast");
    AddAccessOptions(command, options.access, false);
    AddLimitsOptions(command, options.limits, false);
    AddConfigSessionOptions(command, options.session);
}

}  // namespace

std::string PlayFolderOptions(const FolderOptions& options, FolderEditorModel& model,
                              Prompter& prompter) {
    if (!options.update) {
        model.SetNameText(Utf8ToUtf16(options.name));
    } else if (options.newName) {
        model.SetNameText(Utf8ToUtf16(*options.newName));
    }
    if (options.path) {
        model.OnBrowseResult(BrowsedPath(*options.path));
    }
    if (options.description) {
        model.SetDescriptionText(Utf8ToUtf16(*options.description));
    }
    // The group edit and the order radios follow the playlist and multicast boxes, so those are
    // played first.
    if (std::string refusal =
            PlaySwitch("unicast", options.unicast, model.State(FolderControl::Unicast),
                       [&](bool checked) { model.OnUnicastClicked(checked); });
        !refusal.empty()) {
        return refusal;
    }
    if (std::string refusal =
            PlaySwitch("playlist", options.playlist, model.State(FolderControl::Playlist),
                       [&](bool checked) { model.OnPlaylistClicked(checked); });
        !refusal.empty()) {
        return refusal;
    }
    if (std::string refusal = PlaySwitch(
            "multicast", options.multicast, model.State(FolderControl::Multicast),
            [&](bool checked) { ShowError(prompter, model.OnMulticastClicked(checked)); });
        !refusal.empty()) {
        return refusal;
    }
    if (options.group) {
        if (!model.State(FolderControl::GroupEdit).enabled) {
            return GroupNeedsMulticastText;
        }
        model.SetGroupText(Utf8ToUtf16(*options.group));
    }
    if (options.order) {
        const bool random = *options.order == "random";
        const FolderControl radio = random ? FolderControl::Random : FolderControl::Alphabetical;
        if (!ClickCheckBox(model.State(radio), true,
                           [&](bool) { model.OnOrderSelected(random); })) {
            return DisabledControlText("--order", model.State(radio).text);
        }
    }
    if (std::string refusal = PlayAccessOptions(options.access, model.Access()); !refusal.empty()) {
        return refusal;
    }
    PlayLimitsOptions(options.limits, model.Limits());
    return {};
}

int RunFolderCommand(const FolderOptions& options, SessionPlatform& platform, std::ostream& err) {
    ConfigSession session(options.session, platform, err);
    if (!session.Open()) {
        return ExitFailure;
    }
    HeadlessResourceHost host(session);
    if (options.update) {
        CatalogueItem* item = session.FindResource(Utf8ToUtf16(options.name));
        if (item == nullptr) {
            return ExitFailure;
        }
        if (item->Record().kind != ResourceKind::VirtualFolder) {
            err << "vantorctl: " << options.name << NotAFolderText << '\n';
            return ExitFailure;
        }
        host.Select(item);
    }

    Prompter& prompter = session.Prompter();
    std::string refusal;
    host.folderEditor = [&](FolderForm& form, bool updateMode) {
        FolderEditorModel model(updateMode ? FolderEditorMode::Update : FolderEditorMode::Create,
                                form, session.Multicast(), session.Store().Resources(),
                                session.DefaultAuthMethod());
        ShowError(prompter, model.OnOpen());
        refusal = PlayFolderOptions(options, model, prompter);
        const std::u16string message = refusal.empty() ? model.OnOk() : std::u16string();
        if (!refusal.empty() || !message.empty()) {
            // The administrator gives up after the message: the dialog is cancelled.
            ShowError(prompter, message);
            model.OnCancel();
            return false;
        }
        form = model.Form();
        return true;
    };
    ResourceCommands commands(session.Store(), session.State(), session.Automation(), prompter,
                              host);
    commands.NewOrEditFolder(options.update ? EditSelectedParameter : NewResourceParameter);
    if (!refusal.empty()) {
        err << refusal << '\n';
        return ExitFailure;
    }
    return session.ExitCode();
}

void AddFolderCommands(CommandTable& table) {
    CLI::App* folder = table.App().add_subcommand("folder", "Create or change a virtual folder");
    folder->require_subcommand(1);
    for (const bool update : {false, true}) {
        auto options = std::make_shared<FolderOptions>();
        options->update = update;
        CLI::App* command = folder->add_subcommand(
            update ? "edit" : "add", update ? "Change a virtual folder's settings, as its "
                                              "\"Virtual folder settings...\" dialog does"
                                            : "Create a virtual folder, as the \"New virtual "
                                              "folder...\" dialog does");
        command
            ->add_option("NAME", options->name,
                         update ? "The folder to change" : "The new folder's name")
            ->required();
        if (update) {
            command->add_option("--rename", options->newName, "Rename the folder");
        }
        AddFolderOptions(*command, *options);
        table.On(command, [options] {
            LinuxSessionPlatform system;
            return RunFolderCommand(*options, system.platform, std::cerr);
        });
    }
}

}  // namespace vantor
