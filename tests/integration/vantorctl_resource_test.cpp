// vantorctl's folder, resource and multicast commands against vantor-sim running the server:
// the real multicast calls, a refusal while a folder is multicast, the reload (not with --file)
// and the disconnects.

#include <span>
#include <vector>

#include <QProcessEnvironment>
#include <gtest/gtest.h>

#include "config/config_file.h"
#include "platform/linux_file_store.h"
#include "sim/sim_control_names.h"
#include "sim_fixture.h"

namespace vantor::integration {
namespace {

using VantorctlResources = SimTest;

TEST_F(VantorctlResources, MulticastStartRefusalsWhileMulticastingStopAndDelete) {
    ResourceRecord films;
    films.kind = ResourceKind::VirtualFolder;
    films.name = u"Films";
    films.source = u"/srv/films";
    films.unicast = films.multicast = films.playlist = true;
    films.playlistOrder = 1;
    films.multicastGroup = u"226.0.0.1:6000";
    const ResourceRecord* records[] = {&films};
    LinuxFileStore files;
    ASSERT_TRUE(files.ReplaceFile(
        ConfigPath(), WriteConfigFile(ServerConfig{}, AuthMethod::Anonymous, std::span(records))));
    ASSERT_TRUE(StartSim({QStringLiteral("--running")}));
    Control(sim::control::ClearCallLog);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("VANTOR_COMMON_APPDATA", DataDir());
    const auto vantorctl = [&](const QString& arguments) {
        return RunProgram(VANTOR_CTL_PATH, arguments.split(u' '), environment, 30000);
    };

    ProgramRun run = vantorctl("multicast start Films");
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.outLines, QStringList{"Currently multicasting: 226.0.0.1:6000"});
    EXPECT_TRUE(CallLog().contains(
        "Vantor.FileMCastTrigger.StartMulticast Films /srv/films 226.0.0.1 6000 true"));
    EXPECT_EQ(vantorctl("multicast start Films --json").exitCode, 0);  // already: nothing to do
    EXPECT_EQ(CountCalls("Vantor.FileMCastTrigger.StartMulticast"), 1);

    // While it is multicast, the window's refusal, with the status the server gave; a
    // description alone may change, and with --file the server is left alone.
    const std::vector<std::uint8_t> before = files.ReadFile(ConfigPath()).value();
    run = vantorctl("resource disable Films");
    EXPECT_EQ(std::pair(run.exitCode, run.err),
              std::pair(1, QString("Warning: Folder can not be disabled because it is currently "
                                   "being multicasted. Please stop multicasting first\n")));
    EXPECT_EQ(files.ReadFile(ConfigPath()).value(), before);
    EXPECT_EQ(vantorctl("folder edit Films --description Cinema").exitCode, 0);
    EXPECT_EQ(vantorctl("folder edit Films --description x --file " +
                        QString::fromStdString(ConfigPath()))
                  .exitCode,
              0);
    EXPECT_EQ(CountCalls("Vantor.VTRConfig.ReloadConfiguration"), 1);

    run = vantorctl("multicast stop Films");
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.outLines, QStringList{"Not multicasting"});
    EXPECT_EQ(CountCalls("Vantor.FileMCastTrigger.StopMulticast Films"), 1);

    // Only the folder's own users, its subfolders' too, go before the server reloads.
    const QString user = QStringLiteral("<\x01Resource\x01>%1<\x01User\x01>u<\x01Pointer\x01>%2");
    Control(sim::control::FeedActiveUsers,
            {QStringList{user.arg("films\\a.wmv", "7"), user.arg("filmsx\\b.wmv", "8"),
                         user.arg("films\\sub\\c.wmv", "9")}});
    run = vantorctl("resource delete Films --yes");
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QStringList log = CallLog();
    const QString disconnect = "Vantor.ResourcesInUse.DisconnectUser";
    EXPECT_EQ(log.filter(disconnect), (QStringList{disconnect + " 7", disconnect + " 9"}));
    EXPECT_LT(log.lastIndexOf(disconnect + " 9"),
              log.lastIndexOf("Vantor.VTRConfig.ReloadConfiguration"));
    EXPECT_EQ(CountCalls("Vantor.VTRConfig.ReloadConfiguration"), 2);
    EXPECT_EQ(Control(sim::control::GetLoadedConfig).value(2).toStringList(), QStringList{});
}

}  // namespace
}  // namespace vantor::integration
