// vantorctl as an administrator runs it, against vantor-sim on the private bus.

#include <QDir>
#include <QProcessEnvironment>
#include <gtest/gtest.h>

#include "cli/headless_services.h"
#include "config/config_store.h"
#include "editors/multicast_table.h"
#include "platform/linux_file_store.h"
#include "sim/sim_control_names.h"
#include "sim_fixture.h"

namespace vantor::integration {
namespace {

constexpr int RunTimeoutMs = 30000;
constexpr char ReloadCall[] = "Vantor.VTRConfig.ReloadConfiguration";

ProgramRun Vantorctl(const QStringList& arguments, const QProcessEnvironment& environment =
                                                       QProcessEnvironment::systemEnvironment()) {
    return RunProgram(QStringLiteral(VANTOR_CTL_PATH), arguments, environment, RunTimeoutMs);
}

QString LastLine(const ProgramRun& run) {
    return run.outLines.value(run.outLines.size() - 1);
}

using VantorctlCommand = SimTest;

TEST_F(VantorctlCommand, StatusStartReloadStopAsTheStatePaneShowsThem) {
    ASSERT_TRUE(StartSim());
    // A configuration for the server to reload, written while it is stopped.
    {
        AuthMethod defaultAuthMethod = AuthMethod::Anonymous;
        MulticastTable multicastTable;
        const ServerState stopped = ServerState::Stopped;
        LinuxFileStore files;
        NoAutomation automation;
        RecordingPrompter prompter;
        ConfigStore store(defaultAuthMethod, multicastTable, stopped, files, automation, prompter,
                          ConfigPath());
        store.SaveConfiguration();
        ASSERT_TRUE(prompter.messages.empty());
    }

    ProgramRun run = Vantorctl({QStringLiteral("status")});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.outLines, QStringList{QStringLiteral("Media Server is stopped")});

    // Stopped: the server's object cannot be created, exactly as after a save.
    run = Vantorctl({QStringLiteral("reload")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err,
              QStringLiteral("Unable to update media server with the new configuration\n"));

    run =
        Vantorctl({QStringLiteral("start"), QStringLiteral("--timeout"), QStringLiteral("10000")});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.outLines, (QStringList{QStringLiteral("Media Server is starting"),
                                         QStringLiteral("Media Server is running")}));

    run = Vantorctl({QStringLiteral("status")});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(LastLine(run), QStringLiteral("Media Server is running"));

    run = Vantorctl({QStringLiteral("reload")});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.err.isEmpty());
    EXPECT_EQ(Control(sim::control::GetLoadedConfig).value(0).toUInt(), 1u);
    EXPECT_EQ(CountCalls(QString::fromLatin1(ReloadCall)), 1);

    // A start while it runs changes nothing and still ends where it was asked to.
    run = Vantorctl({QStringLiteral("start")});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(LastLine(run), QStringLiteral("Media Server is running"));
    EXPECT_FALSE(run.err.isEmpty());  // the refused start is reported

    run = Vantorctl({QStringLiteral("stop")});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(LastLine(run), QStringLiteral("Media Server is stopped"));

    run = Vantorctl({QStringLiteral("status")});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.outLines, QStringList{QStringLiteral("Media Server is stopped")});
}

TEST_F(VantorctlCommand, StopThatHangsEndsInFailureWithTheStateFound) {
    ASSERT_TRUE(StartSim({QStringLiteral("--running"), QStringLiteral("--stop-hangs")}));
    const ProgramRun run =
        Vantorctl({QStringLiteral("stop"), QStringLiteral("--timeout"), QStringLiteral("1500")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.outLines, (QStringList{QStringLiteral("Media Server is stopping"),
                                         QStringLiteral("Media Server is changing state")}));
    EXPECT_TRUE(run.err.contains(QStringLiteral("did not reach the new state in time")))
        << run.err.toStdString();
}

TEST_F(VantorctlCommand, WithoutABusNothingResponds) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(
        QStringLiteral("DBUS_SYSTEM_BUS_ADDRESS"),
        QStringLiteral("unix:path=") + QDir(DataDir()).filePath(QStringLiteral("no-bus")));

    ProgramRun run = Vantorctl({QStringLiteral("status")}, environment);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.outLines, QStringList{QStringLiteral("Media Server does not respond")});

    run = Vantorctl({QStringLiteral("start")}, environment);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(LastLine(run), QStringLiteral("Media Server does not respond"));

    run = Vantorctl({QStringLiteral("stop")}, environment);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(LastLine(run), QStringLiteral("Media Server does not respond"));

    run = Vantorctl({QStringLiteral("reload")}, environment);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err,
              QStringLiteral("Unable to update media server with the new configuration\n"));
}

}  // namespace
}  // namespace vantor::integration
