#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "editors/control_state.h"
#include "platform/prompter.h"
#include "server/password_hash.h"

namespace vantor {

enum class PasswordControl {
    PasswordLabel,  // "Password"
    PasswordEdit,   // masked
    ConfirmLabel,   // "Confirm"
    ConfirmEdit,    // masked
    OkButton,
    CancelButton,
    Count,
};

inline constexpr std::size_t kPasswordControlCount =
    static_cast<std::size_t>(PasswordControl::Count);

// Turns a password into its stored hash text; false when it cannot (HashPassword's contract).
using PasswordHasher = std::function<bool(std::u16string_view password, std::u16string& hashText)>;

// A message box the dialog wants shown; no text means none.
struct PasswordMessage {
    std::u16string text;
    std::u16string_view caption;
    MessageIcon icon = MessageIcon::None;
};

// The model of the "Set password" dialog, which asks for a password twice and yields its hash
// text. Binding as for the other editors: the view copies every State() into its widgets after
// each handler and reports typed text through the Set*Text calls; OnOk returning no message
// means the dialog closes accepted with HashText() as its result.
class SetPasswordModel {
public:
    static constexpr std::u16string_view kTitle = u"Set password";
    static constexpr std::u16string_view kPasswordLabelText = u"Password";
    static constexpr std::u16string_view kConfirmLabelText = u"Confirm";
    static constexpr std::u16string_view kOkText = u"OK";
    static constexpr std::u16string_view kCancelText = u"Cancel";
    static constexpr std::u16string_view kErrorCaption = u"Error";
    static constexpr std::u16string_view kTooShortMessage =
        u"The minimal password length is 5 characters";
    static constexpr std::u16string_view kMismatchMessage = u"Confirmed password is incorrect!";
    // In UTF-16 units.
    static constexpr std::size_t kMinimumLength = 5;

    explicit SetPasswordModel(PasswordHasher hasher = HashPassword);

    const ControlState& State(PasswordControl control) const {
        return states_[static_cast<std::size_t>(control)];
    }
    static bool Masked(PasswordControl control) {
        return control == PasswordControl::PasswordEdit || control == PasswordControl::ConfirmEdit;
    }
    // Empty until OK was accepted.
    const std::u16string& HashText() const { return hashText_; }

    void SetPasswordText(std::u16string text);
    void SetConfirmText(std::u16string text);
    // A too short or unconfirmed password empties both edits; a failed digest keeps them.
    PasswordMessage OnOk();

private:
    ControlState& At(PasswordControl control) { return states_[static_cast<std::size_t>(control)]; }
    PasswordMessage Refuse(std::u16string_view message, bool clearEdits);

    PasswordHasher hasher_;
    std::array<ControlState, kPasswordControlCount> states_;
    std::u16string hashText_;
};

}  // namespace vantor
