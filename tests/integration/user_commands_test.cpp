// vantorctl user against vantor-sim: each call of the users object once, the server's own
// refusal, and a server that cannot be reached or listed.

#include <gtest/gtest.h>

#include "platform/automation_bus.h"
#include "sim/sim_control_names.h"
#include "sim_fixture.h"

namespace vantor::integration {
namespace {

class UserCommands : public SimTest {
protected:
    void SetUp() override {
        SimTest::SetUp();
        ASSERT_TRUE(StartSim({QStringLiteral("--running")}));
    }
    QStringList Accounts() {
        return Control(sim::control::GetUserAccounts).value(0).toStringList();
    }
};

TEST_F(UserCommands, AScriptOfUserCommandsActsOnTheServer) {
    const struct {
        QString arguments, input;
        int exitCode;
        QStringList out;
        QString err;
    } steps[] = {
        {"user add anna --group medium --info reception",
         "p\u00e4ssw\u00f6rt\np\u00e4ssw\u00f6rt\n",
         0,
         {},
         ""},
        {"user add bob", "secret\r\nsecret\r\n", 0, {}, ""},
        // The arguments are split at spaces here, so the blank in the name is a tab.
        {"user add ann\tlee",
         "secret\nsecret\n",
         1,
         {},
         "Error: A username cannot contain blanks (spaces or tabs)\n"},
        {"user add ANNA",
         "secret\nsecret\n",
         1,
         {},
         "Error: A user with this name already exists\n"},
        // The row differs in letter case only; the password goes as typed.
        {"user passwd Anna", "n3w pass\nn3w pass\n", 0, {}, ""},
        {"user update anna --group basic", "", 0, {}, ""},
        {"user remove bob", "", 0, {}, ""},
        {"user list", "", 0, {"Username\tGroup\tInformation", "anna\tBasic\treception"}, ""},
    };
    for (const auto& step : steps) {
        const ProgramRun run = Vantorctl(step.arguments, step.input);
        const std::string name = step.arguments.toStdString();
        EXPECT_EQ(run.exitCode, step.exitCode) << name << ": " << run.err.toStdString();
        EXPECT_EQ(run.outLines, step.out) << name;
        EXPECT_EQ(run.err, step.err) << name;
    }
    EXPECT_EQ(Accounts(), QStringList{"anna\t1\tn3w pass\treception"});
}

TEST_F(UserCommands, AServerThatCannotBeReachedOrListedFailsWithTheUserManagersMessage) {
    Control(sim::control::SetResult, {QStringLiteral("Vantor.UsersAccess.GetUsers"), 0x80004005u});
    ProgramRun run = Vantorctl("user list");
    EXPECT_EQ(std::pair(run.exitCode, run.err), std::pair(1, QString("Unable to load users.\n")));
    Control(sim::control::SetUnreachable, {QString::fromLatin1(bus::UsersAccessName), true});
    run = Vantorctl("user add anna", "secret\nsecret\n");
    EXPECT_EQ(std::pair(run.exitCode, run.err),
              std::pair(1, QString("Unable to access user manager.\n")));
    EXPECT_TRUE(Accounts().isEmpty());
}

}  // namespace
}  // namespace vantor::integration
