#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "server/set_password_model.h"

namespace vantor {

// The same rules and texts as the "Set password" dialog's.
inline constexpr std::size_t MinimumPasswordLength = SetPasswordModel::kMinimumLength;
inline constexpr std::u16string_view PasswordTooShortText = SetPasswordModel::kTooShortMessage;
inline constexpr std::u16string_view PasswordNotConfirmedText = SetPasswordModel::kMismatchMessage;

// The two rules every password entry follows: at least MinimumPasswordLength UTF-16 units, then
// the confirmation equal to it, letter case included. Empty when both pass, else the first
// failure's message; the dialog then clears both edits.
std::u16string CheckPasswordEntry(std::u16string_view password, std::u16string_view confirmation);

}  // namespace vantor
