#pragma once

#include <functional>
#include <memory>
#include <string_view>

#include "editors/sub_dialog.h"
#include "server/new_user_model.h"
#include "server/update_user_model.h"
#include "server/user_list.h"

namespace vantor {

class AutomationFactory;
class Prompter;
class UsersAccessObject;

inline constexpr std::u16string_view UserManagerUnavailableText = u"Unable to access user manager.";
inline constexpr std::u16string_view UsersNotLoadedText = u"Unable to load users.";
// The two messages above have no caption; the server's own refusals come with this one.
inline constexpr std::u16string_view UserManagerCaption = u"";
inline constexpr std::u16string_view UserRefusedCaption = u"Error";

// The server's users as the server properties show them, and the three commands on them. Every
// command acts on the server at once: it waits for a settled server state, creates the users
// object, calls it, lets it go and reloads the list from the server. Messages go through the
// prompter; the dialogs run through their sub-dialog seams, so nothing here waits on a user.
class UserManager {
public:
    // waitForSettledState returns once the server's state has settled (or its wait gave up).
    UserManager(AutomationFactory& automation, Prompter& prompter,
                std::function<void()> waitForSettledState, SubDialog<NewUserEntry> newUserDialog,
                SubDialog<UserUpdateEntry> updateUserDialog);

    UserList& List() { return list_; }
    const UserList& List() const { return list_; }

    // Remove and Update are offered when a row is selected; both start offered.
    bool RowCommandsEnabled() const { return rowCommandsEnabled_; }
    // The user selected a row, or nothing.
    void OnSelectionChanged(std::optional<std::size_t> row);
    void OnColumnClicked(UserColumn column) { list_.SortBy(column); }

    // The dialog opens: waits, creates the object and fills the list (a failed creation shows
    // its message and leaves the list empty).
    void Open();
    // Refills the list from object (nullptr: the object could not be created).
    void LoadUserList(UsersAccessObject* object);

    void AddUserCommand();
    // Without a selected row these two do nothing.
    void RemoveUserCommand();
    void UpdateUserCommand();

private:
    // Waits and creates the object; shows the message and returns nullptr when it cannot.
    std::unique_ptr<UsersAccessObject> Connect();
    void ShowRefusal(bool success, const std::u16string& errorText);

    AutomationFactory& automation_;
    Prompter& prompter_;
    std::function<void()> waitForSettledState_;
    SubDialog<NewUserEntry> newUserDialog_;
    SubDialog<UserUpdateEntry> updateUserDialog_;
    UserList list_;
    bool rowCommandsEnabled_ = true;
};

}  // namespace vantor
