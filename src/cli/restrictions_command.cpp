#include "cli/restrictions_command.h"

#include <iostream>
#include <memory>
#include <ostream>
#include <utility>

#include <CLI/CLI.hpp>

#include "cli/command_table.h"
#include "cli/config_commands.h"
#include "cli/headless_services.h"
#include "config/text_codec.h"
#include "monitor/add_address_model.h"
#include "monitor/delegate_restrictions_model.h"
#include "platform/linux_platform.h"
#include "server/installation_paths.h"

namespace vantor {

namespace {

const std::vector<std::string> ListWords = {"except", "allow"};
constexpr char ReplaceDamagedHelp[] =
    "Replace a file that cannot be read, keeping it as FILE.damaged";

DelegateAccessMode ModeOf(const std::string& word) {
    return word == "allow" ? DelegateAccessMode::AllowedList : DelegateAccessMode::ExceptionList;
}

void PrintList(const DelegateRestrictionsModel& model, std::ostream& out) {
    out << ModeText(model.Mode()) << '\n';
    for (DelegateAccessMode list :
         {DelegateAccessMode::ExceptionList, DelegateAccessMode::AllowedList}) {
        for (const RestrictionsRow& row : model.Rows(list)) {
            out << ListNumber(list) << ' ' << Utf16ToUtf8(row.address) << '\n';
        }
    }
}

// Plays the user's clicks for one change; false when the dialog would not have taken it.
bool PlayChange(DelegateRestrictionsModel& model, const RestrictionsOptions& options,
                const std::u16string& address, Prompter& prompter, std::ostream& err) {
    const DelegateAccessMode loaded = model.Mode();
    const DelegateAccessMode list = options.list ? ModeOf(*options.list) : loaded;
    const std::size_t rowsBefore = model.Rows(list).size();
    switch (options.action) {
        case RestrictionsAction::Add:
            if (address.empty()) {
                err << NoAddressText << '\n';
                return false;
            }
            model.OnModeSelected(list);
            model.OnAdd();
            break;
        case RestrictionsAction::Remove: {
            const auto& rows = model.Rows(list);
            std::size_t row = 0;
            while (row < rows.size() && rows[row].address != address) {
                ++row;
            }
            if (row == rows.size()) {
                prompter.ShowMessage(
                    std::u16string(DelegateRestrictionsModel::kRemoveFailedMessage),
                    std::u16string(DelegateRestrictionsModel::kMessageCaption), MessageIcon::Error);
                return false;
            }
            model.OnRowSelected(list, row);
            model.OnRemove();
            break;
        }
        case RestrictionsAction::Mode:
            model.OnModeSelected(list);
            if (!model.State(RestrictionsControl::OkButton).enabled) {
                err << AllowedListEmptyText << '\n';
                return false;
            }
            return true;
        case RestrictionsAction::List:
            return false;
    }
    // The model has shown its message when the list did not change.
    if (model.Rows(list).size() == rowsBefore) {
        return false;
    }
    model.OnModeSelected(loaded);
    return true;
}

}  // namespace

CLI::App* AddRestrictionsCommand(CLI::App& app, RestrictionsOptions& options) {
    CLI::App* command = app.add_subcommand(
        "restrictions", "List or change which delegate media servers may connect");
    command->require_subcommand(1);
    command->add_option("--file", options.file,
                        "Restrictions file (default: the located VantorIPRestrictions.config)");
    command->add_subcommand("list", "Print the mode, then \"1 ADDRESS\" and \"2 ADDRESS\" lines")
        ->callback([&options] { options.action = RestrictionsAction::List; });
    for (const auto& [name, action, help] :
         {std::tuple{"add", RestrictionsAction::Add, "Add an address to a list"},
          std::tuple{"remove", RestrictionsAction::Remove, "Remove an address from a list"}}) {
        CLI::App* change = command->add_subcommand(name, help);
        change->add_option("--list", options.list, "The list (default: the current mode's)")
            ->check(CLI::IsMember(ListWords));
        change->add_option("ADDRESS", options.address, "The delegate server's address")->required();
        change->add_flag("--replace-damaged", options.replaceDamaged, ReplaceDamagedHelp);
        change->callback([&options, action = action] { options.action = action; });
    }
    CLI::App* mode = command->add_subcommand("mode",
                                             "Allow all but the exceptions, or none but "
                                             "the allowed");
    mode->add_option("MODE", options.list, "except or allow")
        ->required()
        ->check(CLI::IsMember(ListWords));
    mode->add_flag("--replace-damaged", options.replaceDamaged, ReplaceDamagedHelp);
    mode->callback([&options] { options.action = RestrictionsAction::Mode; });
    return command;
}

int RunRestrictions(const RestrictionsOptions& options, FileStore& files,
                    InstallationEnvironment& environment, AutomationFactory& automation,
                    std::ostream& out, std::ostream& err) {
    StreamPrompter prompter(err);
    const RestrictionsLocator locate =
        options.file ? FixedRestrictionsFile(*options.file)
                     : LocateRestrictions(environment, RestrictionsSelectorVantor);
    const std::u16string address = TrimAddress(Utf8ToUtf16(options.address));
    DelegateRestrictionsModel model(files, locate, prompter, [&address](std::u16string& typed) {
        typed = address;
        return true;
    });
    const bool change = options.action != RestrictionsAction::List;
    const std::string path = model.Path();
    // Taken before the read, so that the change is made to what the last writer left.
    if (change && model.HoldUpdateLock() == LockStatus::Busy) {
        err << RestrictionsBusyText << path << '\n';
        return ExitFailure;
    }
    RestrictionsSnapshot snapshot = ReadRestrictionsFile(path, files);
    if (snapshot.state == RestrictionsFileState::Unreadable &&
        !(change && options.replaceDamaged)) {
        err << "vantorctl: " << path << RestrictionsUnreadableText
            << (change ? RestrictionsRefusedText : "") << '\n';
        return ExitFailure;
    }
    if (!model.OnLoaded(std::move(snapshot))) {
        return ExitFailure;
    }
    if (!change) {
        PrintList(model, out);
        return ExitOk;
    }
    const bool changed = RunDelegateRestrictions(
        model,
        [&](DelegateRestrictionsModel& opened) {
            if (!PlayChange(opened, options, address, prompter, err) || !opened.OnOk()) {
                return false;
            }
            if (Failed(opened.SaveResult())) {
                err << RestrictionsNotWrittenText << path << '\n';
                return false;
            }
            if (!opened.KeptCopyPath().empty()) {
                err << RestrictionsKeptText << opened.KeptCopyPath() << '\n';
            }
            return true;
        },
        automation);
    return changed ? ExitOk : ExitFailure;
}

void AddRestrictionsCommands(CommandTable& table) {
    auto options = std::make_shared<RestrictionsOptions>();
    table.On(AddRestrictionsCommand(table.App(), *options), [options] {
        LinuxPlatform system;
        return RunRestrictions(*options, system.files, system.installation, system.automation,
                               std::cout, std::cerr);
    });
}

}  // namespace vantor
