// vantorctl as an administrator runs it, against vantor-sim on the private bus: what main()
// wires to the real platform layer.

#include <cstdint>
#include <span>
#include <vector>

#include <QFile>
#include <gtest/gtest.h>

#include "config/config_file.h"
#include "platform/linux_file_store.h"
#include "sim/sim_control_names.h"
#include "sim_fixture.h"

namespace vantor::integration {
namespace {

class VantorctlCommand : public SimTest {
protected:
    // config.vtr with the one folder Films, multicast on 226.0.0.1:6000; its bytes.
    std::vector<std::uint8_t> WriteFilms(std::uint32_t playlistOrder) {
        ResourceRecord films;
        films.name = u"Films";
        films.source = u"/srv/films";
        films.unicast = films.multicast = films.playlist = true;
        films.playlistOrder = playlistOrder;
        films.multicastGroup = u"226.0.0.1:6000";
        const ResourceRecord* records[] = {&films};
        const std::vector<std::uint8_t> bytes =
            WriteConfigFile(ServerConfig{}, AuthMethod::Anonymous, std::span(records));
        EXPECT_TRUE(LinuxFileStore().ReplaceFile(ConfigPath(), bytes));
        return bytes;
    }
};

TEST_F(VantorctlCommand, StateMulticastDisconnectsAndRestrictionsReachTheServer) {
    WriteFilms(1);
    ASSERT_TRUE(StartSim());
    EXPECT_EQ(Vantorctl("status").outLines, QStringList{"Media Server is stopped"});
    ProgramRun run = Vantorctl("start --timeout 10000");
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.outLines, (QStringList{"Media Server is starting", "Media Server is running"}));

    EXPECT_EQ(Vantorctl("multicast start Films").outLines,
              QStringList{"Currently multicasting: 226.0.0.1:6000"});
    EXPECT_EQ(
        CountCalls("Vantor.FileMCastTrigger.StartMulticast Films /srv/films 226.0.0.1 6000 true"),
        1);
    EXPECT_EQ(Vantorctl("multicast stop Films").outLines, QStringList{"Not multicasting"});
    EXPECT_EQ(CountCalls("Vantor.FileMCastTrigger.StopMulticast Films"), 1);

    // The folder's users go before the server reloads.
    const QString user = QStringLiteral("<\x01Resource\x01>%1<\x01User\x01>u<\x01Pointer\x01>%2");
    Control(sim::control::FeedActiveUsers,
            {QStringList{user.arg("films\\a.wmv", "7"), user.arg("news", "8")}});
    run = Vantorctl("resource delete Films --yes");
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QStringList log = CallLog();
    const QString disconnect = "Vantor.ResourcesInUse.DisconnectUser";
    EXPECT_EQ(log.filter(disconnect), QStringList{disconnect + " 7"});
    EXPECT_LT(log.lastIndexOf(disconnect + " 7"),
              log.lastIndexOf("Vantor.VTRConfig.ReloadConfiguration"));
    EXPECT_EQ(Control(sim::control::GetLoadedConfig).value(2).toStringList(), QStringList{});

    EXPECT_EQ(Vantorctl("restrictions add relay.example").exitCode, 0);
    EXPECT_TRUE(QFile::exists(DataDir() + "/Quorvane/VantorIPRestrictions.config"));
    EXPECT_EQ(CountCalls("Vantor.RestrictionsNotification.RestrictionsChanged"), 1);

    // A stop that does not finish in time ends in failure with the state found.
    Control(sim::control::SetStopHangs, {true});
    run = Vantorctl("stop --timeout 1500");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.outLines,
              (QStringList{"Media Server is stopping", "Media Server is changing state"}));
}

TEST_F(VantorctlCommand, AMulticastStatusThatNeverComesKeepsTheFolderAsItIs) {
    const std::vector<std::uint8_t> bytes = WriteFilms(0);
    ASSERT_TRUE(StartSim({QStringLiteral("--running")}));
    // The server takes the question and never answers: the folder may be multicasting, and one
    // disabled or deleted under a multicast could not be stopped any more.
    Control(sim::control::SetHang,
            {QStringLiteral("Vantor.FileMCastTrigger.GetMulticastStatus"), true});
    const std::string refused =
        "Warning: Media Server did not answer whether this folder is being multicasted, so "
        "nothing was changed. Please try again when it answers\n";
    for (const char* command : {"resource disable Films --yes", "resource delete Films --yes"}) {
        const ProgramRun run = Vantorctl(QString::fromLatin1(command));
        EXPECT_EQ(run.exitCode, 1) << command;
        // Qt may add a word of its own about the answer that never came, after the message.
        EXPECT_EQ(run.err.toStdString().substr(0, refused.size()), refused) << command;
    }
    EXPECT_EQ(LinuxFileStore().ReadFile(ConfigPath()), bytes);
    EXPECT_EQ(CountCalls("Vantor.ResourcesInUse.DisconnectUser"), 0);
}

}  // namespace
}  // namespace vantor::integration
