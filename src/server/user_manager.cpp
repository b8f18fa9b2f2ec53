#include "server/user_manager.h"

#include <string>
#include <utility>

#include "platform/prompter.h"
#include "server/automation.h"

namespace vantor {

UserManager::UserManager(AutomationFactory& automation, Prompter& prompter,
                         std::function<void()> waitForSettledState,
                         SubDialog<NewUserEntry> newUserDialog,
                         SubDialog<UserUpdateEntry> updateUserDialog)
    : automation_(automation),
      prompter_(prompter),
      waitForSettledState_(std::move(waitForSettledState)),
      newUserDialog_(std::move(newUserDialog)),
      updateUserDialog_(std::move(updateUserDialog)) {}

void UserManager::OnSelectionChanged(std::optional<std::size_t> row) {
    list_.Select(row);
    rowCommandsEnabled_ = list_.Selected().has_value();
}

void UserManager::Open() {
    if (waitForSettledState_) {
        waitForSettledState_();
    }
    std::unique_ptr<UsersAccessObject> object = automation_.CreateUsersAccess();
    LoadUserList(object.get());
}

void UserManager::LoadUserList(UsersAccessObject* object) {
    list_.Clear();
    if (object == nullptr) {
        prompter_.ShowMessage(std::u16string(UserManagerUnavailableText),
                              std::u16string(UserManagerCaption));
        return;
    }
    TextListResult users = object->GetUsers();
    if (users.result != SOk) {
        prompter_.ShowMessage(std::u16string(UsersNotLoadedText),
                              std::u16string(UserManagerCaption));
        return;
    }
    if (users.records) {
        list_.Append(*users.records);
    }
}

std::unique_ptr<UsersAccessObject> UserManager::Connect() {
    if (waitForSettledState_) {
        waitForSettledState_();
    }
    std::unique_ptr<UsersAccessObject> object = automation_.CreateUsersAccess();
    if (object == nullptr) {
        prompter_.ShowMessage(std::u16string(UserManagerUnavailableText),
                              std::u16string(UserManagerCaption));
    }
    return object;
}

void UserManager::ShowRefusal(bool success, const std::u16string& errorText) {
    if (!success) {
        prompter_.ShowMessage(errorText, std::u16string(UserRefusedCaption));
    }
}

void UserManager::AddUserCommand() {
    NewUserEntry entry;
    if (!RunSubDialog(newUserDialog_, entry)) {
        return;
    }
    std::unique_ptr<UsersAccessObject> object = Connect();
    if (object == nullptr) {
        return;
    }
    const UserCallResult added =
        object->AddUser(entry.name, entry.group, entry.password, entry.information);
    ShowRefusal(added.success, added.errorText);
    LoadUserList(object.get());
    if (!list_.Empty()) {
        list_.ShowRow(list_.Size() - 1);
    }
}

void UserManager::RemoveUserCommand() {
    const std::optional<std::size_t> selected = list_.Selected();
    if (!selected) {
        return;
    }
    const std::u16string name = list_.Rows()[*selected].name;
    std::unique_ptr<UsersAccessObject> object = Connect();
    if (object == nullptr) {
        return;
    }
    const UserCallResult removed = object->DeleteUser(name);
    ShowRefusal(removed.success, removed.errorText);
    LoadUserList(object.get());
    if (list_.Empty()) {
        OnSelectionChanged(std::nullopt);
        return;
    }
    // The row that took the removed one's place, or the new last row.
    const std::size_t row = *selected < list_.Size() ? *selected : list_.Size() - 1;
    OnSelectionChanged(row);
    list_.ShowRow(row);
}

void UserManager::UpdateUserCommand() {
    const std::optional<std::size_t> selected = list_.Selected();
    if (!selected) {
        return;
    }
    const UserRow& row = list_.Rows()[*selected];
    UserUpdateEntry entry;
    entry.name = row.name;
    entry.information = row.information;
    entry.group = UserGroupNumber(row.group);
    if (!RunSubDialog(updateUserDialog_, entry)) {
        return;
    }
    std::unique_ptr<UsersAccessObject> object = Connect();
    if (object == nullptr) {
        return;
    }
    const UserCallResult changed =
        entry.mode == UserUpdateMode::ChangePassword
            ? object->SetUserPassword(entry.name, entry.password)
            : object->UpdateUser(entry.name, entry.group, entry.information);
    ShowRefusal(changed.success, changed.errorText);
    LoadUserList(object.get());
}

}  // namespace vantor
