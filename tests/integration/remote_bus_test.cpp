// The server's service and automation objects on another machine: the system bus reached with
// D-Bus's unixexec transport through ssh and systemd-stdio-bridge, against a real sshd on
// 127.0.0.1 with the sim's private bus as the far side's system bus.

#include <cstdlib>
#include <filesystem>
#include <string>

#include <QDir>
#include <QProcessEnvironment>
#include <gtest/gtest.h>

#include "cli/ssh_server.h"
#include "platform/linux_ssh_command.h"
#include "server/remote_host.h"
#include "sim_fixture.h"

namespace vantor::integration {
namespace {

using RemoteBus = SimTest;

TEST_F(RemoteBus, VantorctlAnswersFromAServerBehindSsh) {
    ASSERT_TRUE(StartSim());
    QTemporaryDir folder;
    QDir(folder.path()).mkpath("ssh");
    // The far side names its own bus, as a machine's sshd passes it on (AcceptEnv).
    test::SshServer server(folder.filePath("ssh").toStdString());
    const std::string localBus = std::getenv("DBUS_SYSTEM_BUS_ADDRESS");
    ASSERT_EQ(server.Start("DBUS_SYSTEM_BUS_ADDRESS=" + localBus), "");
    setenv("VANTOR_SSH_COMMAND", server.SshCommand().c_str(), 1);
    // Short, so that the master connection's socket path fits.
    std::string runtime = "/tmp/vr-XXXXXX";
    ASSERT_NE(mkdtemp(runtime.data()), nullptr);
    setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    const std::string address = RemoteSystemBusAddress(*ParseRemoteHost("test-host"));

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("DBUS_SYSTEM_BUS_ADDRESS", QString::fromStdString(address));
    const auto run = [&](const QString& arguments) {
        return RunProgram(VANTOR_CTL_PATH, arguments.split(u' '), environment, 30000, {});
    };
    ProgramRun status = run("status");
    EXPECT_EQ(status.outLines, QStringList{"Media Server is stopped"}) << status.err.toStdString();
    ProgramRun started = run("start --timeout 10000");
    EXPECT_EQ(started.exitCode, 0) << started.err.toStdString();
    EXPECT_EQ(started.outLines,
              (QStringList{"Media Server is starting", "Media Server is running"}));
    EXPECT_EQ(CountCalls("org.freedesktop.systemd1.Manager.StartUnit"), 1);

    const std::string exit = server.SshCommand() + " -o 'ControlPath=" + SshControlFolder() +
                             "/%C' -O exit test-host 2>/dev/null";
    std::system(exit.c_str());
    unsetenv("VANTOR_SSH_COMMAND");
    unsetenv("XDG_RUNTIME_DIR");
    std::filesystem::remove_all(runtime);
}

}  // namespace
}  // namespace vantor::integration
