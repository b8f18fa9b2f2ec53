#include "server/set_password_model.h"

#include <utility>

#include "server/password_entry.h"

namespace vantor {

SetPasswordModel::SetPasswordModel(PasswordHasher hasher) : hasher_(std::move(hasher)) {
    At(PasswordControl::PasswordLabel).text = kPasswordLabelText;
    At(PasswordControl::ConfirmLabel).text = kConfirmLabelText;
    At(PasswordControl::OkButton).text = kOkText;
    At(PasswordControl::CancelButton).text = kCancelText;
}

void SetPasswordModel::SetPasswordText(std::u16string text) {
    At(PasswordControl::PasswordEdit).text = std::move(text);
}

void SetPasswordModel::SetConfirmText(std::u16string text) {
    At(PasswordControl::ConfirmEdit).text = std::move(text);
}

PasswordMessage SetPasswordModel::Refuse(std::u16string_view message, bool clearEdits) {
    if (clearEdits) {
        At(PasswordControl::PasswordEdit).text.clear();
        At(PasswordControl::ConfirmEdit).text.clear();
    }
    return {std::u16string(message), kErrorCaption, MessageIcon::None};
}

PasswordMessage SetPasswordModel::OnOk() {
    const std::u16string& password = State(PasswordControl::PasswordEdit).text;
    if (const std::u16string message =
            CheckPasswordEntry(password, State(PasswordControl::ConfirmEdit).text);
        !message.empty()) {
        return Refuse(message, true);
    }
    std::u16string hashText;
    if (!hasher_ || !hasher_(password, hashText)) {
        return Refuse(EncryptPasswordFailedText, false);
    }
    hashText_ = std::move(hashText);
    return {};
}

}  // namespace vantor
