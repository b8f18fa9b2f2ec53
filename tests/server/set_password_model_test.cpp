// The "Set password" dialog's rules, without widgets.

#include "server/set_password_model.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "editors/control_texts.h"

namespace vantor {
namespace {

struct Attempt {
    std::u16string password, confirm;
    std::u16string_view message;  // empty: accepted
    bool editsEmptied;
};

TEST(SetPasswordModel, ChecksLengthThenConfirmationAndClearsBothEditsWhenRefused) {
    const Attempt attempts[] = {
        {u"abcd", u"abcd", u"The minimal password length is 5 characters", true},
        // Length comes first, and counts UTF-16 units: one character beyond the BMP is two.
        {u"abc", u"xyz", u"The minimal password length is 5 characters", true},
        {u"ab\U0001F600c", u"ab\U0001F600c", u"", false},
        {u"abcde", u"abcdE", u"Confirmed password is incorrect!", true},
        {u"abcde", u"abcde", u"", false},
    };
    using enum PasswordControl;
    EXPECT_EQ(test::ControlTexts<PasswordControl>(SetPasswordModel(), kPasswordControlCount,
                                                  {PasswordEdit, ConfirmEdit}),
              (std::vector<std::u16string>{u"Password", u"Confirm", u"OK", u"Cancel"}));
    for (const Attempt& a : attempts) {
        SetPasswordModel model;
        model.SetPasswordText(a.password);
        model.SetConfirmText(a.confirm);
        const PasswordMessage message = model.OnOk();
        EXPECT_EQ(message.text, a.message) << std::string(a.password.begin(), a.password.end());
        const bool emptied = model.State(PasswordControl::PasswordEdit).text.empty() &&
                             model.State(PasswordControl::ConfirmEdit).text.empty();
        EXPECT_EQ(emptied, a.editsEmptied);
        EXPECT_EQ(std::tuple(model.HashText().size(), message.caption, message.icon),
                  a.message.empty() ? std::tuple(40u, u"", MessageIcon::None)
                                    : std::tuple(0u, u"Error", MessageIcon::None));
    }
}

TEST(SetPasswordModel, AcceptedPasswordYieldsItsHashAndAFailedDigestKeepsTheEdits) {
    std::vector<std::u16string> hashed;
    bool digestWorks = false;
    SetPasswordModel model([&](std::u16string_view password, std::u16string& hashText) {
        hashed.emplace_back(password);
        hashText = digestWorks ? u"0123456789abcdef0123456789abcdef01234567" : u"";
        return digestWorks;
    });
    model.SetPasswordText(u"Secret");
    model.SetConfirmText(u"Secret");
    const PasswordMessage failed = model.OnOk();
    EXPECT_EQ(std::tuple(failed.text, failed.caption, model.HashText(),
                         model.State(PasswordControl::PasswordEdit).text,
                         model.State(PasswordControl::ConfirmEdit).text),
              std::tuple(u"Error encrypting password. Reinstall the program!", u"Error", u"",
                         u"Secret", u"Secret"));

    digestWorks = true;
    EXPECT_TRUE(model.OnOk().text.empty());
    EXPECT_EQ(model.HashText(), u"0123456789abcdef0123456789abcdef01234567");
    EXPECT_EQ(hashed, (std::vector<std::u16string>{u"Secret", u"Secret"}));
}

}  // namespace
}  // namespace vantor
