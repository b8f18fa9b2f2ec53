#include "server/new_user_model.h"

#include <gtest/gtest.h>

#include "server/password_entry.h"

using namespace vantor;
namespace {

using enum NewUserControl;

TEST(NewUserModel, OkChecksNameThenLengthThenConfirmationClearingRefusedPasswords) {
    const struct {
        std::u16string name, password, confirm;
        std::u16string_view message;
    } cases[] = {
        {u"", u"x", u"y", u"No username is provided"},
        // The users list separates a name from its group with a blank.
        {u"ann lee", u"x", u"y", u"A username cannot contain blanks (spaces or tabs)"},
        {u"ann\tlee", u"x", u"y", u"A username cannot contain blanks (spaces or tabs)"},
        {u" ann", u"abcde", u"abcde", u"A username cannot contain blanks (spaces or tabs)"},
        {u"ann", u"abcde", u"abcdE", PasswordNotConfirmedText},
        {u"ann", u"abcde", u"abcde", u""},
    };
    for (const auto& [name, password, confirm, message] : cases) {
        NewUserModel model;
        model.SetText(NameEdit, name);
        model.SetText(PasswordEdit, password);
        model.SetText(ConfirmEdit, confirm);
        EXPECT_EQ(model.OnOk(), message) << message.size();
        // A missing name keeps the passwords; a refused password clears both.
        const bool cleared = message == PasswordNotConfirmedText;
        EXPECT_EQ(model.State(PasswordEdit).text, cleared ? u"" : password);
        EXPECT_EQ(model.State(ConfirmEdit).text, cleared ? u"" : confirm);
    }
}

TEST(NewUserModel, AcceptedEntryHasThePasswordAsTypedAndTheCheckedGroup) {
    NewUserModel model;
    EXPECT_TRUE(model.State(Basic).checked);
    model.SetText(NameEdit, u"ann");
    model.SetText(PasswordEdit, u" p w ");
    model.SetText(ConfirmEdit, u" p w ");
    model.SetText(InfoEdit, u"sound desk");
    model.OnGroupSelected(MediumGroup);
    EXPECT_FALSE(model.State(Basic).checked);
    ASSERT_EQ(model.OnOk(), u"");
    EXPECT_EQ(model.Entry(), (NewUserEntry{u"ann", u" p w ", u"sound desk", MediumGroup}));
}

}  // namespace
