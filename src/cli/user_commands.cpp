#include "cli/user_commands.h"

#include <algorithm>
#include <cstdint>
#include <iostream>
#include <istream>
#include <memory>
#include <ostream>
#include <tuple>
#include <vector>

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include "cli/command_table.h"
#include "cli/config_commands.h"
#include "cli/config_session.h"
#include "cli/password_command.h"
#include "config/ascii_case.h"
#include "config/text_codec.h"
#include "platform/linux_dbus_automation.h"
#include "server/user_manager.h"

namespace vantor {
namespace {

const std::vector<std::pair<std::string, std::int32_t>> GroupWords = {
    {"basic", BasicGroup}, {"medium", MediumGroup}, {"advanced", AdvancedGroup}};

std::int32_t GroupOf(const std::string& word) {
    for (const auto& [name, group] : GroupWords) {
        if (name == word) {
            return group;
        }
    }
    return BasicGroup;
}

// The exact name first, else one that differs only in letter case: the server does not tell
// those apart.
std::optional<std::size_t> FindUser(const UserList& list, const std::u16string& name) {
    const std::vector<UserRow>& rows = list.Rows();
    const auto found =
        FindByName(rows.begin(), rows.end(), name,
                   [](const UserRow& row) -> const std::u16string& { return row.name; });
    if (found == rows.end()) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(found - rows.begin());
}

void PrintList(const UserList& list, bool json, std::ostream& out) {
    if (json) {
        nlohmann::ordered_json rows = nlohmann::ordered_json::array();
        for (const UserRow& row : list.Rows()) {
            rows.push_back({{"name", Utf16ToUtf8(row.name)},
                            {"group", Utf16ToUtf8(row.group)},
                            {"information", Utf16ToUtf8(row.information)}});
        }
        out << rows.dump(2) << '\n';
        return;
    }
    // The column titles, then a row per user, as the other list commands print them.
    for (std::size_t column = 0; column < UserColumnCount; ++column) {
        out << (column == 0 ? "" : "\t") << Utf16ToUtf8(std::u16string(UserColumnTitles[column]));
    }
    out << '\n';
    for (const UserRow& row : list.Rows()) {
        out << Utf16ToUtf8(row.name) << '\t' << Utf16ToUtf8(row.group) << '\t'
            << Utf16ToUtf8(row.information) << '\n';
    }
}

// The two user dialogs typed into from the options; a refused OK shows its message and the
// administrator cancels.
struct TypedUserDialogs {
    const UserOptions& options;
    std::u16string password;
    std::u16string confirmation;
    Prompter& prompter;

    bool Accepted(const std::u16string& message) const {
        if (!message.empty()) {
            prompter.ShowMessage(message, std::u16string(UserDialogErrorCaption),
                                 MessageIcon::Error);
        }
        return message.empty();
    }

    bool NewUser(NewUserEntry& entry) const {
        NewUserModel dialog;
        dialog.SetText(NewUserControl::NameEdit, Utf8ToUtf16(options.name));
        dialog.SetText(NewUserControl::PasswordEdit, password);
        dialog.SetText(NewUserControl::ConfirmEdit, confirmation);
        dialog.SetText(NewUserControl::InfoEdit, Utf8ToUtf16(options.info.value_or("")));
        if (options.group) {
            dialog.OnGroupSelected(GroupOf(*options.group));
        }
        if (!Accepted(dialog.OnOk())) {
            return false;
        }
        entry = dialog.Entry();
        return true;
    }

    bool UpdateUser(UserUpdateEntry& entry) const {
        UpdateUserModel dialog(entry);
        if (options.action == UserAction::Passwd) {
            dialog.OnModeSelected(UserUpdateMode::ChangePassword);
            dialog.SetText(UpdateUserControl::NewEdit, password);
            dialog.SetText(UpdateUserControl::ConfirmNewEdit, confirmation);
        } else {
            dialog.OnModeSelected(UserUpdateMode::ChangeSettings);
            if (options.info) {
                dialog.SetText(UpdateUserControl::InfoEdit, Utf8ToUtf16(*options.info));
            }
            if (options.group) {
                dialog.OnGroupSelected(GroupOf(*options.group));
            }
        }
        if (!Accepted(dialog.OnOk())) {
            return false;
        }
        entry = dialog.Entry();
        return true;
    }
};

}  // namespace

int RunUser(const UserOptions& options, AutomationFactory& automation, std::istream& in,
            std::ostream& out, std::ostream& err) {
    // Every message of the user manager is a refusal or a failure; none of them asks.
    SessionPrompter prompter(false, err);
    TypedUserDialogs dialogs{options, {}, {}, prompter};
    if (options.action == UserAction::Add || options.action == UserAction::Passwd) {
        dialogs.password = ReadPasswordLine(in);
        dialogs.confirmation = ReadPasswordLine(in);
    }
    // No start or stop of the tool's own can be under way here, so there is nothing to wait for.
    UserManager users(
        automation, prompter, {},
        [&dialogs](NewUserEntry& entry) { return dialogs.NewUser(entry); },
        [&dialogs](UserUpdateEntry& entry) { return dialogs.UpdateUser(entry); });

    if (options.action == UserAction::Add) {
        users.AddUserCommand();
        return prompter.MessagesShown() == 0 ? ExitOk : ExitFailure;
    }
    users.Open();
    if (prompter.MessagesShown() > 0) {
        return ExitFailure;
    }
    if (options.action == UserAction::List) {
        if (options.sortColumn) {
            users.OnColumnClicked(static_cast<UserColumn>(*options.sortColumn));
        }
        PrintList(users.List(), options.json, out);
        return ExitOk;
    }
    const std::u16string name = Utf8ToUtf16(options.name);
    const std::optional<std::size_t> row = FindUser(users.List(), name);
    if (!row) {
        err << NoSuchUserText << options.name << '\n';
        return ExitFailure;
    }
    users.OnSelectionChanged(*row);
    if (options.action == UserAction::Remove) {
        users.RemoveUserCommand();
    } else {
        users.UpdateUserCommand();
    }
    return prompter.MessagesShown() == 0 ? ExitOk : ExitFailure;
}

void AddUserCommands(CommandTable& table) {
    auto options = std::make_shared<UserOptions>();
    CLI::App* user = table.App().add_subcommand("user", "List or change the server's users");
    user->require_subcommand(1);

    const auto groupWords = [] {
        std::vector<std::string> names;
        for (const auto& [name, group] : GroupWords) {
            names.push_back(name);
        }
        return names;
    }();
    const auto action = [&table, user, options](const char* name, UserAction value,
                                                const char* help) {
        CLI::App* command = user->add_subcommand(name, help);
        command->callback([options, value] { options->action = value; });
        table.On(command, [options] {
            LinuxDbusAutomationFactory automation;
            return RunUser(*options, automation, std::cin, std::cout, std::cerr);
        });
        return command;
    };

    CLI::App* list =
        action("list", UserAction::List, "Print the users as the users list shows them");
    list->add_flag("--json", options->json, "Print a JSON array");
    list->add_option("--sort", options->sortColumn,
                     "Sort by this column, from 0 (Username, Group, Information)")
        ->check(CLI::Range(0, static_cast<int>(UserColumnCount) - 1));

    const std::tuple<const char*, UserAction, const char*> named[] = {
        {"add", UserAction::Add,
         "Add a user; the password and its confirmation are two lines on standard input"},
        {"update", UserAction::Update, "Change a user's group or information"},
        {"passwd", UserAction::Passwd,
         "Change a user's password, read with its confirmation as two lines on standard input"},
        {"remove", UserAction::Remove, "Remove a user"},
    };
    for (const auto& [name, value, help] : named) {
        CLI::App* command = action(name, value, help);
        command->add_option("NAME", options->name, "The user's name")->required();
        if (value == UserAction::Add || value == UserAction::Update) {
            command->add_option("--group", options->group, "User group (add: basic)")
                ->check(CLI::IsMember(groupWords));
            command->add_option("--info", options->info, "User information");
        }
    }
    // An update without a change is most likely a mistake in a script.
    user->get_subcommand("update")->callback([options] {
        if (!options->group && !options->info) {
            throw CLI::RequiredError("--group or --info");
        }
        options->action = UserAction::Update;
    });
}

}  // namespace vantor
