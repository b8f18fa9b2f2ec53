#include "server/new_user_model.h"

#include <utility>

#include "server/password_entry.h"

namespace vantor {

namespace {

constexpr std::pair<NewUserControl, std::u16string_view> FixedTexts[] = {
    {NewUserControl::NameLabel, UserNameLabelText},
    {NewUserControl::PasswordLabel, UserPasswordText},
    {NewUserControl::ConfirmLabel, NewUserModel::ConfirmText},
    {NewUserControl::ConfirmSecondLine, UserPasswordText},
    {NewUserControl::InfoLabel, UserInfoLabelText},
    {NewUserControl::GroupBox, UserGroupBoxText},
    {NewUserControl::Basic, BasicGroupText},
    {NewUserControl::Medium, MediumGroupText},
    {NewUserControl::Advanced, AdvancedGroupText},
    {NewUserControl::OkButton, u"OK"},
    {NewUserControl::CancelButton, u"Cancel"},
};

}  // namespace

NewUserModel::NewUserModel() {
    for (const auto& [control, text] : FixedTexts) {
        At(control).text = text;
    }
    At(NewUserControl::Basic).checked = true;
}

void NewUserModel::SetText(NewUserControl edit, std::u16string text) {
    At(edit).text = std::move(text);
}

void NewUserModel::OnGroupSelected(std::int32_t group) {
    At(NewUserControl::Basic).checked = group == BasicGroup;
    At(NewUserControl::Medium).checked = group == MediumGroup;
    At(NewUserControl::Advanced).checked = group == AdvancedGroup;
}

std::u16string NewUserModel::OnOk() {
    if (State(NewUserControl::NameEdit).text.empty()) {
        return std::u16string(NoUserNameText);
    }
    if (State(NewUserControl::NameEdit).text.find_first_of(u" \t") != std::u16string::npos) {
        return std::u16string(BlankInUserNameText);
    }
    std::u16string message = CheckPasswordEntry(State(NewUserControl::PasswordEdit).text,
                                                State(NewUserControl::ConfirmEdit).text);
    if (!message.empty()) {
        At(NewUserControl::PasswordEdit).text.clear();
        At(NewUserControl::ConfirmEdit).text.clear();
        return message;
    }
    entry_.name = State(NewUserControl::NameEdit).text;
    entry_.password = State(NewUserControl::PasswordEdit).text;
    entry_.information = State(NewUserControl::InfoEdit).text;
    entry_.group = CheckedUserGroup(State(NewUserControl::Medium).checked,
                                    State(NewUserControl::Advanced).checked);
    return {};
}

}  // namespace vantor
