#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vantor {

inline constexpr std::size_t MinimumPasswordLength = 5;
inline constexpr std::u16string_view PasswordTooShortText =
    u"The minimal password length is 5 characters";
inline constexpr std::u16string_view PasswordNotConfirmedText = u"Confirmed password is incorrect!";

// The two rules every password entry follows: at least MinimumPasswordLength UTF-16 units, then
// the confirmation equal to it, letter case included. Empty when both pass, else the first
// failure's message; the dialog then clears both edits.
std::u16string CheckPasswordEntry(std::u16string_view password, std::u16string_view confirmation);

}  // namespace vantor
