// vantorctl --host: the same verbs on the same configuration, once on this machine and once on
// "another" reached over a real sshd on 127.0.0.1, give the same output and the same file bytes.
// Names a shell would split, expand or run travel intact.

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <QDir>
#include <QFile>
#include <QProcessEnvironment>
#include <gtest/gtest.h>

#include "cli/ssh_server.h"
#include "config/config_file.h"
#include "platform/linux_file_store.h"
#include "platform/linux_ssh_command.h"
#include "sim_fixture.h"

namespace vantor::integration {
namespace {

using RemoteVerbs = SimTest;

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("missing");
}

TEST_F(RemoteVerbs, EveryVerbDoesTheSameThroughHostAsHere) {
    ASSERT_TRUE(StartSim());
    // Two data folders with the same configuration: one this machine's, one the far side's.
    QTemporaryDir here, far, folder;
    ASSERT_TRUE(QDir(folder.path()).mkpath("media"));
    QFile(folder.filePath("media/clip.mp3")).open(QIODevice::WriteOnly);
    for (const QTemporaryDir* data : {&here, &far}) {
        ASSERT_TRUE(QDir(data->path()).mkpath("Quorvane"));
        ResourceRecord zulu;
        zulu.name = u"zulu";
        zulu.source = folder.filePath("media").toStdU16String();
        zulu.userGroups = AllUsers;
        const ResourceRecord* records[] = {&zulu};
        ASSERT_TRUE(LinuxFileStore().ReplaceFile(
            data->filePath("Quorvane/config.vtr").toStdString(),
            WriteConfigFile(ServerConfig{}, AuthMethod::Anonymous, std::span(records))));
    }
    QDir(folder.path()).mkpath("ssh");
    test::SshServer server(folder.filePath("ssh").toStdString());
    const std::string bus = std::getenv("DBUS_SYSTEM_BUS_ADDRESS");
    ASSERT_EQ(server.Start("VANTOR_COMMON_APPDATA=" + far.path().toStdString() +
                           "\nDBUS_SYSTEM_BUS_ADDRESS=" + bus),
              "");
    std::string runtime = "/tmp/vr-XXXXXX";
    ASSERT_NE(mkdtemp(runtime.data()), nullptr);

    QProcessEnvironment local = QProcessEnvironment::systemEnvironment();
    local.insert("VANTOR_COMMON_APPDATA", here.path());
    QProcessEnvironment remote = QProcessEnvironment::systemEnvironment();
    remote.insert("VANTOR_COMMON_APPDATA", "/nonexistent/the/far/side/decides");
    remote.insert("VANTOR_SSH_COMMAND", QString::fromStdString(server.SshCommand()));
    remote.insert("VANTOR_REMOTE_VANTORCTL", VANTOR_CTL_PATH);
    remote.insert("XDG_RUNTIME_DIR", QString::fromStdString(runtime));

    const QString odd = QString::fromUtf8("Jazz \u00e9t\u00e9 'x' \"y\" $(touch pwned); `id`");
    // A document read here and applied there.
    const QString document = folder.filePath("fleet.yaml");
    {
        QFile text(document);
        ASSERT_TRUE(text.open(QIODevice::WriteOnly));
        text.write(
            "folders:\n  - name: \"Talks; $(touch pwned) \u00e9\"\n    source: \"/srv/talks\"\n");
    }
    const std::vector<QStringList> verbs = {
        {"show"},
        {"status"},
        {"folder", "add", odd, "--path", "/srv/$(id)", "--description", "a; b"},
        {"live", "add", "News; rm -rf /", "--address", "10.0.0.5"},
        {"resource", "disable", "zulu", "--yes"},
        {"server", "set", "--player-port", "6000"},
        {"restrictions", "add", "relay.example"},
        {"show", "--json"},
        {"apply", document, "--check"},  // planned: exit 3
        {"apply", document},
        {"apply", document, "--check"},  // nothing left to do
        {"dump"},
        {"dump", "--format", "json"},
        {"folder", "add", odd, "--path", "/srv/x"},  // refused: the name is taken
        // A folder named as the file: refused before a lock file is made beside it.
        {"folder", "add", "Extra", "--path", "/srv/x", "--file", folder.filePath("media")},
    };
    for (const QStringList& verb : verbs) {
        SCOPED_TRACE(verb.join(' ').toStdString());
        const ProgramRun mine = RunProgram(VANTOR_CTL_PATH, verb, local, 30000, {});
        const ProgramRun theirs = RunProgram(
            VANTOR_CTL_PATH, QStringList{"--host", "test-host"} + verb, remote, 30000, {});
        EXPECT_EQ(theirs.exitCode, mine.exitCode) << theirs.err.toStdString();
        EXPECT_EQ(theirs.outLines.join('\n').replace(far.path(), "DATA").toStdString(),
                  mine.outLines.join('\n').replace(here.path(), "DATA").toStdString());
        EXPECT_EQ(theirs.err.toStdString(), mine.err.toStdString());
    }
    for (const char* file : {"Quorvane/config.vtr", "Quorvane/VantorIPRestrictions.config"}) {
        EXPECT_EQ(ReadAll(far.filePath(file)), ReadAll(here.filePath(file))) << file;
    }
    EXPECT_FALSE(QFile::exists("pwned") || QFile::exists(far.filePath("pwned")));
    EXPECT_FALSE(QFile::exists(folder.filePath("media.lock")));

    // An export lists the far side's folder and writes the page here, where the user is: a
    // relative path is this process's, not the remote login's home.
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(folder.path()));
    const ProgramRun exportHere =
        RunProgram(VANTOR_CTL_PATH, {"export", "html", "zulu", "here.html"}, local, 30000, {});
    const ProgramRun exportThere =
        RunProgram(VANTOR_CTL_PATH, {"--host", "test-host", "export", "html", "zulu", "there.html"},
                   remote, 30000, {});
    QDir::setCurrent(previous);
    EXPECT_EQ(std::pair(exportHere.exitCode, exportThere.exitCode), std::pair(0, 0))
        << exportThere.err.toStdString();
    EXPECT_FALSE(QFile::exists(QDir::home().filePath("there.html")));
    EXPECT_TRUE(ReadAll(folder.filePath("there.html")).contains("clip.mp3"));
    EXPECT_EQ(ReadAll(folder.filePath("there.html")), ReadAll(folder.filePath("here.html")));

    // A host that cannot be reached says so, and a text that is no host is refused before ssh.
    const ProgramRun unreachable =
        RunProgram(VANTOR_CTL_PATH, {"--host", "nobody@127.0.0.1:1", "status"}, remote, 30000, {});
    EXPECT_EQ(std::pair(unreachable.exitCode,
                        unreachable.err.contains("vantorctl: nobody@127.0.0.1:1 cannot be "
                                                 "reached over ssh")),
              std::pair(1, true));
    const ProgramRun bad = RunProgram(
        VANTOR_CTL_PATH, {"--host", "-oProxyCommand=touch pwned", "status"}, remote, 30000, {});
    EXPECT_EQ(bad.exitCode, 2);
    EXPECT_FALSE(QFile::exists("pwned"));

    std::system((server.SshCommand() + " -o 'ControlPath=" + runtime +
                 "/vantor-ssh/%C' -O exit test-host 2>/dev/null")
                    .c_str());
    std::filesystem::remove_all(runtime);
}

}  // namespace
}  // namespace vantor::integration
