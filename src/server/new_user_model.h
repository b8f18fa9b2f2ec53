#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "editors/control_state.h"
#include "server/user_list.h"

namespace vantor {

// What the "New user" dialog hands back: the password exactly as typed (the server keeps it).
struct NewUserEntry {
    std::u16string name;
    std::u16string password;
    std::u16string information;
    std::int32_t group = BasicGroup;

    bool operator==(const NewUserEntry&) const = default;
};

enum class NewUserControl {
    NameLabel,  // "Username"
    NameEdit,
    PasswordLabel,
    PasswordEdit,  // masked
    ConfirmLabel,  // "Confirm", with "Password" on a second line
    ConfirmSecondLine,
    ConfirmEdit,  // masked
    InfoLabel,
    InfoEdit,
    GroupBox,  // "User group"
    Basic,     // radio
    Medium,    // radio
    Advanced,  // radio
    OkButton,
    CancelButton,
    Count,
};

inline constexpr std::size_t NewUserControlCount = static_cast<std::size_t>(NewUserControl::Count);

// Texts the user dialogs share.
inline constexpr std::u16string_view UserNameLabelText = u"Username";
inline constexpr std::u16string_view UserPasswordText = u"Password";
inline constexpr std::u16string_view UserInfoLabelText = u"User Info";
inline constexpr std::u16string_view UserGroupBoxText = u"User group";
inline constexpr std::u16string_view UserDialogErrorCaption = u"Error";

// The "New user" dialog: a name, a password typed twice, an information text and a group
// ("Basic" at first). OK checks the name (given, without blanks), then the password rules; a
// refused password clears both password edits. The view binds it as the folder editor's view binds
// its model.
class NewUserModel {
public:
    static constexpr std::u16string_view Title = u"New user";
    static constexpr std::u16string_view ConfirmText = u"Confirm";
    static constexpr std::u16string_view NoUserNameText = u"No username is provided";
    // The server's list of users separates a name from its group by a blank, so a name with one
    // could not be told apart there, nor updated or removed afterwards.
    static constexpr std::u16string_view BlankInUserNameText =
        u"A username cannot contain blanks (spaces or tabs)";

    NewUserModel();

    const ControlState& State(NewUserControl control) const {
        return states_[static_cast<std::size_t>(control)];
    }
    static bool Masked(NewUserControl control) {
        return control == NewUserControl::PasswordEdit || control == NewUserControl::ConfirmEdit;
    }

    void SetText(NewUserControl edit, std::u16string text);
    // group: BasicGroup, MediumGroup or AdvancedGroup.
    void OnGroupSelected(std::int32_t group);
    // Empty: accepted, Entry() holds the result. Otherwise the message to show with
    // UserDialogErrorCaption; the dialog stays open.
    std::u16string OnOk();
    const NewUserEntry& Entry() const { return entry_; }

private:
    ControlState& At(NewUserControl control) { return states_[static_cast<std::size_t>(control)]; }

    std::array<ControlState, NewUserControlCount> states_;
    NewUserEntry entry_;
};

}  // namespace vantor
