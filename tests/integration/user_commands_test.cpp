// vantorctl user and server set against vantor-sim: the users object's calls, the dialogs'
// refusals before any call, the server's own refusals, and a save that the server reloads.

#include <QProcessEnvironment>
#include <gtest/gtest.h>

#include "platform/automation_bus.h"
#include "sim/sim_control_names.h"
#include "sim_fixture.h"

namespace vantor::integration {
namespace {

// vantorctl with input on standard input (a password and its confirmation).
ProgramRun Vantorctl(const QStringList& arguments, const QString& input = {},
                     QProcessEnvironment environment = QProcessEnvironment::systemEnvironment()) {
    environment.insert("VANTOR_TEST_INPUT", input);
    return RunProgram("/bin/sh",
                      QStringList{"-c", "printf '%s' \"$VANTOR_TEST_INPUT\" | exec \"$0\" \"$@\"",
                                  VANTOR_CTL_PATH} +
                          arguments,
                      environment, 30000);
}

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

TEST_F(UserCommands, AScriptOfUserCommandsActsOnTheServerAsTheUserManagerDoes) {
    const QString titles = "Username\tGroup\tInformation";
    const struct {
        QStringList arguments;
        QString input;
        int exitCode;
        QStringList out;
        QString err;
        bool callsServer = true;  // false: the dialog refused before any call
    } steps[] = {
        {{"user", "list"}, "", 0, {titles}, ""},
        {{"user", "add", "anna", "--group", "medium", "--info", "front desk"},
         "p\u00e4ssw\u00f6rt\np\u00e4ssw\u00f6rt\n",
         0,
         {},
         ""},
        {{"user", "add", "bob"}, "secret\r\nsecret\r\n", 0, {}, ""},
        // The server's own refusal.
        {{"user", "add", "ANNA"},
         "secret\nsecret\n",
         1,
         {},
         "Error: A user with this name already exists\n"},
        // The "New user" dialog's refusal comes before any call.
        {{"user", "add", "carl"},
         "secret\nsecreT\n",
         1,
         {},
         "Error: Confirmed password is incorrect!\n",
         false},
        // The row differs in letter case only; the password goes as typed.
        {{"user", "passwd", "Anna"}, "n3w pass\nn3w pass\n", 0, {}, ""},
        {{"user", "update", "bob", "--group", "advanced", "--info", "stage door"}, "", 0, {}, ""},
        // What is left out keeps the row's value.
        {{"user", "update", "anna", "--group", "basic"}, "", 0, {}, ""},
        {{"user", "update", "zed", "--info", "x"},
         "",
         1,
         {},
         "vantorctl: there is no user named zed\n"},
        {{"user", "list", "--sort", "1"},
         "",
         0,
         {titles, "bob\tAdvanced\tstage door", "anna\tBasic\tfront desk"},
         ""},
        {{"user", "remove", "bob"}, "", 0, {}, ""},
    };
    for (const auto& step : steps) {
        const qsizetype callsBefore = CallLog().size();
        const ProgramRun run = Vantorctl(step.arguments, step.input);
        const std::string name = step.arguments.join(' ').toStdString();
        EXPECT_EQ(run.exitCode, step.exitCode) << name << ": " << run.err.toStdString();
        EXPECT_EQ(run.outLines, step.out) << name;
        EXPECT_EQ(run.err, step.err) << name;
        if (!step.callsServer) {
            EXPECT_EQ(CallLog().size(), callsBefore) << name;
        }
    }
    EXPECT_EQ(Accounts(), QStringList{"anna\t1\tn3w pass\tfront desk"});
}

TEST_F(UserCommands, AServerThatCannotBeReachedOrListedFailsWithTheUserManagersMessage) {
    Control(sim::control::SetResult, {QStringLiteral("Vantor.UsersAccess.GetUsers"), 0x80004005u});
    ProgramRun run = Vantorctl({"user", "list"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, "Unable to load users.\n");
    EXPECT_TRUE(run.outLines.isEmpty());

    Control(sim::control::SetUnreachable, {QString::fromLatin1(bus::UsersAccessName), true});
    for (const QStringList& arguments :
         {QStringList{"user", "list"}, QStringList{"user", "add", "anna"},
          QStringList{"user", "remove", "anna"}}) {
        run = Vantorctl(arguments, "secret\nsecret\n");
        EXPECT_EQ(run.exitCode, 1) << arguments.join(' ').toStdString();
        EXPECT_EQ(run.err, "Unable to access user manager.\n") << arguments.join(' ').toStdString();
    }
    EXPECT_TRUE(Accounts().isEmpty());
}

// server set on the located configuration: saved, reloaded by the running server, the restart
// warning on standard error; a logging component that the bus offers passes its test.
TEST_F(UserCommands, ServerSetSavesAndTheRunningServerReloads) {
    Control(sim::control::SetLoggingComponent, {QStringLiteral("Acme.Logger"), true});
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("VANTOR_COMMON_APPDATA", DataDir());
    const ProgramRun run = Vantorctl({"server", "set", "--player-port", "7001", "--logging",
                                      "custom", "--logging-component", "Acme.Logger"},
                                     {}, environment);
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.err, "Warning: New settings will only be used when Media Server restarts\n");
    EXPECT_EQ(CountCalls("Vantor.VTRConfig.ReloadConfiguration"), 1);
    EXPECT_EQ(Control(sim::control::GetLoadedConfig).value(0).toUInt(), 1u);

    const ProgramRun shown = Vantorctl({"server", "show"}, {}, environment);
    EXPECT_TRUE(shown.outLines.contains("TCP port for player connections: 7001"));
    EXPECT_TRUE(shown.outLines.contains("ProgID of Logging component: Acme.Logger"));
}

}  // namespace
}  // namespace vantor::integration
