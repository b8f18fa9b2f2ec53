#include "server/password_entry.h"

namespace vantor {

std::u16string CheckPasswordEntry(std::u16string_view password, std::u16string_view confirmation) {
    if (password.size() < MinimumPasswordLength) {
        return std::u16string(PasswordTooShortText);
    }
    if (password != confirmation) {
        return std::u16string(PasswordNotConfirmedText);
    }
    return {};
}

}  // namespace vantor
