// vantorctl's folder, resource and multicast commands against vantor-sim running the server:
// the real multicast calls, the window's refusals while a folder is multicast, the reload and
// the disconnects.

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

    // While it is multicast, the window's refusals; a description alone may change.
    const std::vector<std::uint8_t> before = files.ReadFile(ConfigPath()).value();
    const std::pair<QString, QString> refusals[] = {
        {"resource disable Films", "Folder can not be disabled because it"},
        {"resource delete Films --yes", "Folder can not be deleted because it"},
        {"folder edit Films --rename Movies", "Settings can not be updated because this folder"},
    };
    for (const auto& [arguments, warning] : refusals) {
        run = vantorctl(arguments);
        EXPECT_EQ(run.exitCode, 1) << arguments.toStdString();
        EXPECT_EQ(run.err.toStdString(),
                  ("Warning: " + warning +
                   " is currently being multicasted. Please stop multicasting first\n")
                      .toStdString())
            << arguments.toStdString();
    }
    EXPECT_EQ(files.ReadFile(ConfigPath()).value(), before);
    EXPECT_EQ(CountCalls("Vantor.VTRConfig.ReloadConfiguration"), 0);
    EXPECT_EQ(vantorctl("folder edit Films --description Cinema").exitCode, 0);
    EXPECT_EQ(CountCalls("Vantor.VTRConfig.ReloadConfiguration"), 1);

    run = vantorctl("multicast stop Films");
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.outLines, QStringList{"Not multicasting"});
    EXPECT_EQ(CountCalls("Vantor.FileMCastTrigger.StopMulticast Films"), 1);

    Control(sim::control::FeedActiveUsers,
            {QStringList{"<\x01Resource\x01>films\\a.wmv<\x01User\x01>u7<\x01Pointer\x01>7"}});
    run = vantorctl("resource delete Films --yes");
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(CountCalls("Vantor.ResourcesInUse.DisconnectUser"), 1);
    EXPECT_EQ(CountCalls("Vantor.VTRConfig.ReloadConfiguration"), 2);
    EXPECT_EQ(Control(sim::control::GetLoadedConfig).value(2).toStringList(), QStringList{});
}

}  // namespace
}  // namespace vantor::integration
