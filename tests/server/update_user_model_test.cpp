#include "server/update_user_model.h"

#include <gtest/gtest.h>

#include "server/password_entry.h"

using namespace vantor;
namespace {

using enum UpdateUserControl;

// The enabled controls, in control order, as one line.
std::string Enabled(const UpdateUserModel& model) {
    const std::pair<UpdateUserControl, const char*> named[] = {
        {NewEdit, "new"}, {ConfirmNewEdit, "confirm"}, {InfoEdit, "info"},
        {Basic, "basic"}, {Medium, "medium"},          {Advanced, "advanced"}};
    std::string text;
    for (const auto& [control, name] : named) {
        if (model.State(control).enabled) {
            text += std::string(text.empty() ? "" : " ") + name;
        }
    }
    return text;
}

TEST(UpdateUserModel, OpensOnPasswordWithTheRowsSettingsAndTheModesSwapWhatIsEnabled) {
    UpdateUserModel model({u"ann", UserUpdateMode::ChangePassword, u"", u"desk", MediumGroup});
    EXPECT_EQ(model.State(NameEdit).text, u"ann");
    EXPECT_EQ(model.State(InfoEdit).text, u"desk");
    EXPECT_TRUE(model.State(Medium).checked);
    EXPECT_TRUE(model.State(ChangePassword).checked);
    EXPECT_FALSE(model.State(ChangeSettings).checked);
    EXPECT_EQ(Enabled(model), "new confirm");

    model.OnModeSelected(UserUpdateMode::ChangeSettings);
    EXPECT_FALSE(model.State(ChangePassword).checked);
    EXPECT_TRUE(model.State(ChangeSettings).checked);
    EXPECT_EQ(Enabled(model), "info basic medium advanced");
}

TEST(UpdateUserModel, PasswordModeAppliesTheEntryRulesSettingsModeTakesInfoAndGroup) {
    UpdateUserModel model({u"ann", UserUpdateMode::ChangePassword, u"", u"desk", BasicGroup});
    // (The entry rules themselves are the Set password dialog's, tested there.)
    model.SetText(NewEdit, u"secret");
    model.SetText(ConfirmNewEdit, u"Secret");
    EXPECT_EQ(model.OnOk(), PasswordNotConfirmedText);
    EXPECT_EQ(model.State(NewEdit).text, u"");
    EXPECT_EQ(model.State(ConfirmNewEdit).text, u"");
    model.SetText(NewEdit, u"secret");
    model.SetText(ConfirmNewEdit, u"secret");
    ASSERT_EQ(model.OnOk(), u"");
    EXPECT_EQ(model.Entry(),
              (UserUpdateEntry{u"ann", UserUpdateMode::ChangePassword, u"secret", u"desk", 1}));

    // Settings mode ignores whatever the password edits hold.
    UpdateUserModel settings({u"bob", UserUpdateMode::ChangePassword, u"", u"old", BasicGroup});
    settings.SetText(NewEdit, u"x");
    settings.OnModeSelected(UserUpdateMode::ChangeSettings);
    settings.SetText(InfoEdit, u"new info");
    settings.OnGroupSelected(AdvancedGroup);
    ASSERT_EQ(settings.OnOk(), u"");
    EXPECT_EQ(settings.Entry(), (UserUpdateEntry{u"bob", UserUpdateMode::ChangeSettings, u"",
                                                 u"new info", AdvancedGroup}));
}

}  // namespace
