#include "server/update_user_model.h"

#include <utility>

#include "server/new_user_model.h"
#include "server/password_entry.h"

namespace vantor {

UpdateUserModel::UpdateUserModel(const UserUpdateEntry& entry) : entry_(entry) {
    At(UpdateUserControl::NameLabel).text = UserNameLabelText;
    At(UpdateUserControl::NameEdit).text = entry.name;
    At(UpdateUserControl::ChangePassword).text = ChangePasswordText;
    At(UpdateUserControl::ChangeSettings).text = ChangeSettingsText;
    At(UpdateUserControl::NewLabel).text = NewText;
    At(UpdateUserControl::NewSecondLine).text = UserPasswordText;
    At(UpdateUserControl::ConfirmNewLabel).text = ConfirmNewText;
    At(UpdateUserControl::ConfirmNewSecondLine).text = UserPasswordText;
    At(UpdateUserControl::InfoLabel).text = UserInfoLabelText;
    At(UpdateUserControl::InfoEdit).text = entry.information;
    At(UpdateUserControl::GroupBox).text = UserGroupBoxText;
    At(UpdateUserControl::Basic).text = BasicGroupText;
    At(UpdateUserControl::Medium).text = MediumGroupText;
    At(UpdateUserControl::Advanced).text = AdvancedGroupText;
    At(UpdateUserControl::OkButton).text = u"OK";
    At(UpdateUserControl::CancelButton).text = u"Cancel";
    OnGroupSelected(entry.group);
    OnModeSelected(UserUpdateMode::ChangePassword);
}

void UpdateUserModel::SetText(UpdateUserControl edit, std::u16string text) {
    At(edit).text = std::move(text);
}

void UpdateUserModel::OnModeSelected(UserUpdateMode mode) {
    const bool password = mode == UserUpdateMode::ChangePassword;
    At(UpdateUserControl::ChangePassword).checked = password;
    At(UpdateUserControl::ChangeSettings).checked = !password;
    for (UpdateUserControl control :
         {UpdateUserControl::NewEdit, UpdateUserControl::ConfirmNewEdit}) {
        At(control).enabled = password;
    }
    for (UpdateUserControl control : {UpdateUserControl::InfoEdit, UpdateUserControl::Basic,
                                      UpdateUserControl::Medium, UpdateUserControl::Advanced}) {
        At(control).enabled = !password;
    }
}

void UpdateUserModel::OnGroupSelected(std::int32_t group) {
    At(UpdateUserControl::Basic).checked = group != MediumGroup && group != AdvancedGroup;
    At(UpdateUserControl::Medium).checked = group == MediumGroup;
    At(UpdateUserControl::Advanced).checked = group == AdvancedGroup;
}

std::u16string UpdateUserModel::OnOk() {
    if (State(UpdateUserControl::ChangePassword).checked) {
        std::u16string message = CheckPasswordEntry(State(UpdateUserControl::NewEdit).text,
                                                    State(UpdateUserControl::ConfirmNewEdit).text);
        if (!message.empty()) {
            At(UpdateUserControl::NewEdit).text.clear();
            At(UpdateUserControl::ConfirmNewEdit).text.clear();
            return message;
        }
        entry_.mode = UserUpdateMode::ChangePassword;
        entry_.password = State(UpdateUserControl::NewEdit).text;
        return {};
    }
    entry_.mode = UserUpdateMode::ChangeSettings;
    entry_.information = State(UpdateUserControl::InfoEdit).text;
    entry_.group = CheckedUserGroup(State(UpdateUserControl::Medium).checked,
                                    State(UpdateUserControl::Advanced).checked);
    return {};
}

}  // namespace vantor
