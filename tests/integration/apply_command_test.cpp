// vantorctl apply against a running vantor-sim: one reload for a change, none when nothing is to
// do, and a folder being multicast keeps what the window would keep.

#include <span>

#include <QFile>
#include <gtest/gtest.h>

#include "config/config_file.h"
#include "platform/linux_file_store.h"
#include "sim/sim_control_names.h"
#include "sim_fixture.h"

namespace vantor::integration {
namespace {

using ApplyCommand = SimTest;

TEST_F(ApplyCommand, OneReloadPerChangeNoneWithoutAndAMulticastBlocksIt) {
    ResourceRecord films;
    films.name = u"Films";
    films.source = u"/srv/films";
    films.unicast = films.multicast = films.playlist = true;
    films.multicastGroup = u"226.0.0.1:6000";
    ResourceRecord talks = films;
    talks.name = u"Talks";
    talks.source = u"/srv/talks";
    talks.multicast = false;
    talks.multicastGroup.clear();
    const ResourceRecord* records[] = {&films, &talks};
    ASSERT_TRUE(LinuxFileStore().ReplaceFile(
        ConfigPath(), WriteConfigFile(ServerConfig{}, AuthMethod::Anonymous, std::span(records))));
    ASSERT_TRUE(StartSim({QStringLiteral("--running")}));
    const QString doc = DataDir() + "/doc.yaml";
    const auto write = [&](const char* text) {
        QFile file(doc);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    };
    const QString reload = QStringLiteral("Vantor.VTRConfig.ReloadConfiguration");

    write("folders:\n  - name: Talks\n    description: Tuesdays\n");
    ProgramRun run = Vantorctl("apply " + doc);
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.outLines, QStringList{"~ folder \"Talks\": description: \"\" -> \"Tuesdays\""});
    EXPECT_EQ(CountCalls(reload), 1);
    const std::optional<std::vector<std::uint8_t>> applied =
        LinuxFileStore().ReadFile(ConfigPath());

    run = Vantorctl("apply " + doc);
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.outLines, QStringList{});
    EXPECT_EQ(CountCalls(reload), 1);

    EXPECT_EQ(Vantorctl("multicast start Films").exitCode, 0);
    write(
        "folders:\n  - name: Films\n    source: /srv/cinema\n  - name: Talks\n    enabled: "
        "false\n");
    for (const char* check : {" --check", ""}) {
        run = Vantorctl("apply " + doc + check);
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_EQ(run.err.toStdString(),
                  doc.toStdString() +
                      ":2: Films: Settings can not be updated because this folder is currently "
                      "being multicasted. Please stop multicasting first\n");
        EXPECT_EQ(run.outLines, QStringList{});
    }
    // Nor can it be pruned; it is on no line of the document.
    write("folders:\n  - name: Talks\n");
    run = Vantorctl("apply " + doc + " --prune");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err.toStdString(),
              doc.toStdString() +
                  ": Films: Folder can not be deleted because it is currently being multicasted. "
                  "Please stop multicasting first\n");
    EXPECT_EQ(CountCalls(reload), 1);
    EXPECT_EQ(LinuxFileStore().ReadFile(ConfigPath()), applied);
    EXPECT_EQ(CountCalls("Vantor.ResourcesInUse.DisconnectUser"), 0);

    // Pruned as the Delete command deletes: the folder's players go, then the server reloads.
    EXPECT_EQ(Vantorctl("multicast stop Films").exitCode, 0);
    const QString user = QStringLiteral("<\x01Resource\x01>%1<\x01User\x01>u<\x01Pointer\x01>%2");
    Control(sim::control::FeedActiveUsers,
            {QStringList{user.arg("films\\a.wmv", "7"), user.arg("talks", "8")}});
    write("folders:\n  - name: Talks\n");
    run = Vantorctl("apply " + doc + " --prune");
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.outLines, QStringList{"- folder \"Films\""});
    const QStringList log = CallLog();
    const QString disconnect = "Vantor.ResourcesInUse.DisconnectUser";
    EXPECT_EQ(log.filter(disconnect), QStringList{disconnect + " 7"});
    EXPECT_EQ(CountCalls(reload), 2);
    EXPECT_LT(log.lastIndexOf(disconnect + " 7"), log.lastIndexOf(reload));
}

}  // namespace
}  // namespace vantor::integration
