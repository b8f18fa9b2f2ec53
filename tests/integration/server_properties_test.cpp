// The server properties' two bus clients against vantor-sim: the user manager over the users
// object, and the logging component test. Saving and reloading is in automation_objects_test.

#include <gtest/gtest.h>

#include "platform/linux_dbus_automation.h"
#include "platform/linux_dbus_logging_component_probe.h"
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

}  // namespace
}  // namespace vantor::integration
