#include "server/update_user_model.h"

#include <utility>

#include "server/new_user_model.h"
#include "server/password_entry.h"

namespace vantor {

namespace {

constexpr std::pair<UpdateUserControl, std::u16string_view> FixedTexts[] = {
    {UpdateUserControl::NameLabel, UserNameLabelText},
    {UpdateUserControl::ChangePassword, UpdateUserModel::ChangePasswordText},
    {UpdateUserControl::ChangeSettings, UpdateUserModel::ChangeSettingsText},
    {UpdateUserControl::NewLabel, UpdateUserModel::NewText},
    {UpdateUserControl::NewSecondLine, UserPasswordText},
    {UpdateUserControl::ConfirmNewLabel, UpdateUserModel::ConfirmNewText},
    {UpdateUserControl::ConfirmNewSecondLine, UserPasswordText},
    {UpdateUserControl::InfoLabel, UserInfoLabelText},
    {UpdateUserControl::GroupBox, UserGroupBoxText},
    {UpdateUserControl::Basic, BasicGroupText},
    {UpdateUserControl::Medium, MediumGroupText},
    {UpdateUserControl::Advanced, AdvancedGroupText},
    {UpdateUserControl::OkButton, u"OK"},
    {UpdateUserControl::CancelButton, u"Cancel"},
};

}  // namespace

UpdateUserModel::UpdateUserModel(const UserUpdateEntry& entry) : entry_(entry) {
    for (const auto& [control, text] : FixedTexts) {
        At(control).text = text;
    }
    At(UpdateUserControl::NameEdit).text = entry.name;
    At(UpdateUserControl::InfoEdit).text = entry.information;
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
