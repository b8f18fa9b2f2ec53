#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "editors/control_state.h"
#include "server/user_list.h"

namespace vantor {

enum class UserUpdateMode { ChangePassword, ChangeSettings };

// The "Update user" dialog's value: opened with the row's name, information and group number;
// accepted with the mode and what that mode changes (the new password as typed, or the
// information and group).
struct UserUpdateEntry {
    std::u16string name;
    UserUpdateMode mode = UserUpdateMode::ChangePassword;
    std::u16string password;
    std::u16string information;
    std::int32_t group = BasicGroup;

    bool operator==(const UserUpdateEntry&) const = default;
};

enum class UpdateUserControl {
    NameLabel,       // "Username"
    NameEdit,        // read-only
    ChangePassword,  // radio
    ChangeSettings,  // radio
    NewLabel,        // "New", with "Password" on a second line
    NewSecondLine,
    NewEdit,          // masked
    ConfirmNewLabel,  // "Confirm new", with "Password" on a second line
    ConfirmNewSecondLine,
    ConfirmNewEdit,  // masked
    InfoLabel,
    InfoEdit,
    GroupBox,
    Basic,
    Medium,
    Advanced,
    OkButton,
    CancelButton,
    Count,
};

inline constexpr std::size_t UpdateUserControlCount =
    static_cast<std::size_t>(UpdateUserControl::Count);

// The "Update user" dialog: either a new password (typed twice, the entry rules of a new user)
// or new settings (information and group), chosen by two radios that enable one side and
// disable the other.
class UpdateUserModel {
public:
    static constexpr std::u16string_view Title = u"Update user";
    static constexpr std::u16string_view ChangePasswordText = u"Change password";
    static constexpr std::u16string_view ChangeSettingsText = u"Change settings";
    static constexpr std::u16string_view NewText = u"New";
    static constexpr std::u16string_view ConfirmNewText = u"Confirm new";

    // entry: the row's name, information and group number.
    explicit UpdateUserModel(const UserUpdateEntry& entry);

    const ControlState& State(UpdateUserControl control) const {
        return states_[static_cast<std::size_t>(control)];
    }
    static bool Masked(UpdateUserControl control) {
        return control == UpdateUserControl::NewEdit ||
               control == UpdateUserControl::ConfirmNewEdit;
    }
    static bool ReadOnly(UpdateUserControl control) {
        return control == UpdateUserControl::NameEdit;
    }

    void SetText(UpdateUserControl edit, std::u16string text);
    void OnModeSelected(UserUpdateMode mode);
    void OnGroupSelected(std::int32_t group);
    // Empty: accepted, Entry() holds the result. Otherwise the message to show with
    // UserDialogErrorCaption; the dialog stays open.
    std::u16string OnOk();
    const UserUpdateEntry& Entry() const { return entry_; }

private:
    ControlState& At(UpdateUserControl control) {
        return states_[static_cast<std::size_t>(control)];
    }

    std::array<ControlState, UpdateUserControlCount> states_;
    UserUpdateEntry entry_;
};

}  // namespace vantor
