// vantorctl as an administrator runs it, against vantor-sim on the private bus: what main()
// wires to the real platform layer.

#include <tuple>

#include <QFile>
#include <QProcessEnvironment>
#include <gtest/gtest.h>

#include "config/config_file.h"
#include "platform/linux_file_store.h"
#include "platform/linux_installation_environment.h"
#include "sim/sim_control_names.h"
#include "sim_fixture.h"

namespace vantor::integration {
namespace {

const QString Unreloadable = "Unable to update media server with the new configuration\n";

ProgramRun Vantorctl(const QString& arguments, const QProcessEnvironment& environment =
                                                   QProcessEnvironment::systemEnvironment()) {
    return RunProgram(VANTOR_CTL_PATH, arguments.split(u' '), environment, 30000);
}

using VantorctlCommand = SimTest;

TEST_F(VantorctlCommand, StatusStartReloadAndAHungStopAsTheStatePaneShowsThem) {
    ASSERT_TRUE(StartSim());
    ASSERT_TRUE(LinuxFileStore().ReplaceFile(  // a configuration for the server to reload
        ConfigPath(), WriteConfigFile(ServerConfig{}, AuthMethod::Anonymous,
                                      std::span<const ResourceRecord* const>())));
    ProgramRun run = Vantorctl("status");
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.outLines, QStringList{"Media Server is stopped"});
    run = Vantorctl("start --timeout 10000");
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.outLines, (QStringList{"Media Server is starting", "Media Server is running"}));
    EXPECT_EQ(Vantorctl("reload").exitCode, 0);
    EXPECT_EQ(CountCalls("Vantor.VTRConfig.ReloadConfiguration"), 1);
    // A stop that does not finish in time ends in failure with the state found.
    Control(sim::control::SetStopHangs, {true});
    run = Vantorctl("stop --timeout 1500");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.outLines,
              (QStringList{"Media Server is stopping", "Media Server is changing state"}));
    EXPECT_TRUE(run.err.contains("did not reach the new state in time")) << run.err.toStdString();
}

TEST_F(VantorctlCommand, WithoutABusNothingResponds) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=" + DataDir() + "/no-bus");
    // Each command's exit code, then its last line on standard output or error.
    const std::tuple<const char*, int, QString> cases[] = {
        {"status", 0, "Media Server does not respond"},
        {"start", 1, "Media Server does not respond"},
        {"stop", 1, "Media Server does not respond"},
        {"reload", 1, Unreloadable.trimmed()}};
    for (const auto& [command, exitCode, lastLine] : cases) {
        const ProgramRun run = Vantorctl(command, environment);
        EXPECT_EQ(run.exitCode, exitCode) << command;
        EXPECT_EQ(run.outLines.value(run.outLines.size() - 1, run.err.trimmed()), lastLine)
            << command;
    }
}

// On the path the restrictions dialog's OK takes too: the file located in the common data
// folder, and the server told while it runs.
TEST_F(VantorctlCommand, RestrictionsChangeTheLocatedFileAndTellTheRunningServer) {
    ASSERT_TRUE(StartSim({QStringLiteral("--running")}));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(CommonAppDataVariable, DataDir());
    const QString changedCall = "Vantor.RestrictionsNotification.RestrictionsChanged";
    EXPECT_EQ(Vantorctl("restrictions add --list allow relay.example", environment).exitCode, 0);
    EXPECT_EQ(Vantorctl("restrictions mode allow", environment).exitCode, 0);
    ProgramRun run = Vantorctl("restrictions list", environment);
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.outLines, (QStringList{"AllowedList", "2 relay.example"}));
    EXPECT_TRUE(QFile::exists(DataDir() + "/Quorvane/VantorIPRestrictions.config"));
    EXPECT_EQ(CountCalls(changedCall), 2);
}

}  // namespace
}  // namespace vantor::integration
