// The server's users and settings as the server properties change them, against vantor-sim:
// the user manager over the bus objects, the logging component test, and OK saving and having
// the server reload.

#include <gtest/gtest.h>

#include "config/config_store.h"
#include "config/multicast_table.h"
#include "platform/automation_bus.h"
#include "platform/linux_dbus_automation.h"
#include "platform/linux_dbus_logging_component_probe.h"
#include "platform/linux_file_store.h"
#include "server/server_properties_model.h"
#include "server/user_manager.h"
#include "sim/sim_control_names.h"
#include "sim_fixture.h"

namespace vantor::integration {
namespace {

class ServerProperties : public SimTest {
protected:
    void SetUp() override {
        SimTest::SetUp();
        ASSERT_TRUE(StartSim({QStringLiteral("--running")}));
    }
    QStringList Accounts() {
        return Control(sim::control::GetUserAccounts).value(0).toStringList();
    }
    std::vector<UserRow> Rows() const { return users.List().Rows(); }

    LinuxDbusAutomationFactory automation;
    RecordingPrompter prompter;
    NewUserEntry newUser;
    UserUpdateEntry update;
    UserManager users{automation,
                      prompter,
                      {},
                      [this](NewUserEntry& entry) {
                          entry = newUser;
                          return true;
                      },
                      [this](UserUpdateEntry& entry) {
                          entry.mode = update.mode;
                          entry.password = update.password;
                          entry.information = update.information;
                          entry.group = update.group;
                          return true;
                      }};
};

TEST_F(ServerProperties, UsersAreAddedChangedAndRemovedOnTheServer) {
    users.Open();
    EXPECT_TRUE(users.List().Empty());
    newUser = {u"anna", u"pässwört", u"front desk", MediumGroup};
    users.AddUserCommand();
    newUser = {u"bob", u"secret", u"", BasicGroup};
    users.AddUserCommand();
    EXPECT_EQ(Rows(),
              (std::vector<UserRow>{{u"anna", u"Medium", u"front desk"}, {u"bob", u"Basic", u""}}));

    users.OnSelectionChanged(0);
    update = {u"", UserUpdateMode::ChangePassword, u"n3w pass", u"", BasicGroup};
    users.UpdateUserCommand();
    users.OnSelectionChanged(1);
    update = {u"", UserUpdateMode::ChangeSettings, u"", u"stage door", AdvancedGroup};
    users.UpdateUserCommand();
    EXPECT_EQ(Accounts(), (QStringList{QStringLiteral("anna\t2\tn3w pass\tfront desk"),
                                       QStringLiteral("bob\t3\tsecret\tstage door")}));

    users.OnSelectionChanged(0);
    users.RemoveUserCommand();
    EXPECT_EQ(Accounts(), QStringList{QStringLiteral("bob\t3\tsecret\tstage door")});
    EXPECT_EQ(Rows(), (std::vector<UserRow>{{u"bob", u"Advanced", u"stage door"}}));
    EXPECT_EQ(users.List().Selected(), std::optional<std::size_t>(0));
    EXPECT_TRUE(prompter.shown.empty());
}

TEST_F(ServerProperties, RefusalsShowTheServersTextAndTheListIsReloaded) {
    newUser = {u"anna", u"secret", u"", BasicGroup};
    users.AddUserCommand();
    Control(sim::control::ClearCallLog);
    newUser.name = u"ANNA";
    users.AddUserCommand();
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].text, u"A user with this name already exists");
    EXPECT_EQ(prompter.shown[0].caption, u"Error");
    EXPECT_EQ(CallLog().last(), QStringLiteral("Vantor.UsersAccess.GetUsers"));
    EXPECT_EQ(users.List().Size(), 1u);

    // The user went away behind the list's back.
    Control(sim::control::SetUnreachable, {QString::fromLatin1(bus::UsersAccessName), true});
    users.OnSelectionChanged(0);
    users.RemoveUserCommand();
    ASSERT_EQ(prompter.shown.size(), 2u);
    EXPECT_EQ(prompter.shown[1].text, u"Unable to access user manager.");
    EXPECT_EQ(prompter.shown[1].caption, u"");
    Control(sim::control::SetUnreachable, {QString::fromLatin1(bus::UsersAccessName), false});
    const std::unique_ptr<UsersAccessObject> direct = automation.CreateUsersAccess();
    ASSERT_NE(direct, nullptr);
    ASSERT_TRUE(direct->DeleteUser(u"anna").success);
    users.RemoveUserCommand();
    EXPECT_EQ(prompter.shown.back().text, u"No such user");
    EXPECT_TRUE(users.List().Empty());
}

TEST_F(ServerProperties, LoggingComponentPassesOnlyWithTheLoggingInterface) {
    LinuxDbusLoggingComponentProbe probe;
    EXPECT_FALSE(probe.CanCreate(u"Acme.Logger"));  // nobody owns it
    Control(sim::control::SetLoggingComponent, {QStringLiteral("Acme.Logger"), true});
    Control(sim::control::SetLoggingComponent, {QStringLiteral("Acme.Other"), false});
    EXPECT_TRUE(probe.CanCreate(u"Acme.Logger"));
    EXPECT_FALSE(probe.CanCreate(u"Acme.Other"));        // reachable, but no logging interface
    EXPECT_FALSE(probe.CanCreate(u"Vantor.VTRConfig"));  // the server's own object
    EXPECT_FALSE(probe.CanCreate(u"not a bus name"));
    Control(sim::control::RemoveLoggingComponent, {QStringLiteral("Acme.Logger")});
    EXPECT_FALSE(probe.CanCreate(u"Acme.Logger"));
}

TEST_F(ServerProperties, OkWithChangedSettingsSavesAndTheServerReloads) {
    AuthMethod defaultAuthMethod = AuthMethod::Anonymous;
    MulticastTable multicastTable;
    const ServerState running = ServerState::Running;
    LinuxFileStore files;
    ConfigStore store(defaultAuthMethod, multicastTable, running, files, automation, prompter,
                      ConfigPath());
    const auto save = [&] { store.SaveConfiguration(); };

    ServerPropertiesForm form{store.Server(), AuthMethod::Anonymous};
    EXPECT_EQ(CommitServerProperties(form, store.Server(), defaultAuthMethod, prompter, save),
              ServerPropertiesChange::None);
    EXPECT_EQ(Control(sim::control::GetLoadedConfig).value(0).toUInt(), 0u);

    form.settings.playerPort = u"6001";
    form.defaultAuthMethod = AuthMethod::Internal;
    EXPECT_EQ(CommitServerProperties(form, store.Server(), defaultAuthMethod, prompter, save),
              ServerPropertiesChange::Settings);
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].text, u"New settings will only be used when Media Server restarts");
    EXPECT_EQ(Control(sim::control::GetLoadedConfig).value(0).toUInt(), 1u);

    // What the server reads back is what was saved.
    ConfigStore reread(defaultAuthMethod, multicastTable, running, files, automation, prompter,
                       ConfigPath());
    defaultAuthMethod = AuthMethod::Anonymous;
    reread.LoadConfiguration();
    EXPECT_EQ(reread.Server().playerPort, u"6001");
    EXPECT_EQ(defaultAuthMethod, AuthMethod::Internal);
}

}  // namespace
}  // namespace vantor::integration
