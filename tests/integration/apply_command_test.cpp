// vantorctl apply against a running vantor-sim: one reload for a change, none when nothing is to
// do, and a folder being multicast keeps what the window would keep.

#include <span>

#include <QFile>
#include <gtest/gtest.h>

#include "config/config_file.h"
#include "platform/linux_file_store.h"
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
    EXPECT_EQ(CountCalls(reload), 1);
    EXPECT_EQ(LinuxFileStore().ReadFile(ConfigPath()), applied);
    EXPECT_EQ(CountCalls("Vantor.ResourcesInUse.DisconnectUser"), 0);
}

}  // namespace
}  // namespace vantor::integration
