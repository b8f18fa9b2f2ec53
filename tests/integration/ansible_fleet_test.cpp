// The Ansible collection vantor.config driven by ansible-playbook over a real sshd on 127.0.0.1:
// two inventory hosts, each with its own data folder (one of them the running sim's), brought
// to one document by vantor.config.apply and the real vantorctl on the managed side.

#include <cstdlib>
#include <pwd.h>
#include <string>
#include <sys/stat.h>
#include <tuple>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <gtest/gtest.h>

#include "cli/ssh_server.h"
#include "config/config_file.h"
#include "platform/linux_file_store.h"
#include "sim/sim_control_names.h"
#include "sim_fixture.h"

namespace vantor::integration {
namespace {

constexpr const char* AnsiblePlaybook = "/usr/bin/ansible-playbook";
constexpr const char* ReloadCall = "Vantor.VTRConfig.ReloadConfiguration";

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("missing");
}

void WriteText(const QString& path, const QString& text) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text.toUtf8());
}

// What a rename or a rewrite would change, besides the bytes: the inode and the modification time.
std::tuple<ino_t, time_t, long> Identity(const QString& path) {
    struct stat info {};
    stat(path.toUtf8().constData(), &info);
    return {info.st_ino, info.st_mtim.tv_sec, info.st_mtim.tv_nsec};
}

class AnsibleFleet : public SimTest {
protected:
    void SetUp() override {
        SimTest::SetUp();
        ASSERT_TRUE(QFile::exists(AnsiblePlaybook)) << "scripts/setup installs ansible-core";
        ASSERT_TRUE(StartSim({"--running"}));
        ASSERT_TRUE(QDir(work.path()).mkpath("ssh"));
        ASSERT_TRUE(QDir(betaData.path()).mkpath("Quorvane"));
        server = std::make_unique<test::SshServer>(At("ssh").toStdString());
        ASSERT_EQ(server->Start(), "");

        // Everything ansible keeps goes into the test's folder; no configuration of the machine
        // or the user is read, and nothing is fetched.
        WriteText(At("ansible.cfg"),
                  "[defaults]\ninventory = " + At("inventory.yml") +
                      "\ngathering = explicit\nretry_files_enabled = False\n"
                      // Checked against the harness's known_hosts, which holds the sshd's key.
                      "host_key_checking = True\n"
                      "interpreter_python = /usr/bin/python3\nlocal_tmp = " +
                      At("local-tmp") + "\nremote_tmp = " + At("remote-tmp") +
                      "\n[ssh_connection]\n"
                      // The harness's client configuration (host key known, key file), and
                      // the module sent on ssh's input: its sshd has no sftp subsystem.
                      "ssh_args = -F " +
                      QString::fromStdString(server->At("ssh_config")) +
                      " -o ControlMaster=auto -o ControlPersist=60s\ncontrol_path_dir = " +
                      At("cp") + "\npipelining = True\n");
        // alpha's server runs (the sim, on the program's bus); beta's machine has no server.
        WriteText(At("inventory.yml"),
                  "fleet:\n  hosts:\n    alpha:\n      vantor_data: " + DataDir() +
                      "\n      vantor_bus: \"" + qEnvironmentVariable("DBUS_SYSTEM_BUS_ADDRESS") +
                      "\"\n    beta:\n      vantor_data: " + betaData.path() +
                      "\n      vantor_bus: \"unix:path=" + betaData.path() + "/no-bus\"" +
                      "\n  vars:\n    ansible_host: test-host\n    vantorctl: " + VANTOR_CTL_PATH +
                      "\n");
        WriteText(At("site.yml"),
                  "- hosts: fleet\n"
                  "  gather_facts: false\n"
                  "  environment:\n"
                  "    VANTOR_COMMON_APPDATA: \"{{ vantor_data }}\"\n"
                  "    DBUS_SYSTEM_BUS_ADDRESS: \"{{ vantor_bus }}\"\n"
                  "    PATH: \"" +
                      QFileInfo(VANTOR_CTL_PATH).absolutePath() +
                      ":/usr/bin:/bin\"\n"
                      "  tasks:\n"
                  "    - name: The server serves what the document says\n"
                  "      vantor.config.apply:\n"
                  "        document: \"{{ document | default(omit) }}\"\n"
                  "        content: \"{{ lookup('file', text) if text is defined else omit }}\"\n"
                  "        prune: \"{{ prune | default(false) }}\"\n"
                  "        file: \"{{ vantor_data ~ '/' ~ staging if staging is defined else "
                  "omit }}\"\n"
                  "        executable: \"{{ vantorctl }}\"\n");

        // alpha already serves a folder that the documents do not name; beta serves nothing.
        ResourceRecord zulu;
        zulu.name = u"zulu";
        zulu.source = u"/srv/zulu";
        zulu.userGroups = AllUsers;
        zulu.unicast = true;
        const ResourceRecord* records[] = {&zulu};
        ASSERT_TRUE(LinuxFileStore().ReplaceFile(
            ConfigPath(),
            WriteConfigFile(ServerConfig{}, AuthMethod::Anonymous, std::span(records))));
        ASSERT_TRUE(LinuxFileStore().ReplaceFile(
            Config(betaData.path()).toStdString(),
            WriteConfigFile(ServerConfig{}, AuthMethod::Anonymous,
                            std::span<const ResourceRecord* const>())));
    }
    void TearDown() override {
        // The master connection would otherwise outlive the test by its persist time.
        for (const QString& socket : QDir(At("cp")).entryList(QDir::System)) {
            std::system((server->SshCommand() + " -o 'ControlPath=" +
                         At("cp/" + socket).toStdString() + "' -O exit test-host 2>/dev/null")
                            .c_str());
        }
        server.reset();
        SimTest::TearDown();
    }

    QString At(const QString& name) const { return QDir(work.path()).filePath(name); }
    static QString Config(const QString& dataDir) { return dataDir + "/Quorvane/config.vtr"; }
    QString AlphaConfig() const { return Config(DataDir()); }
    QString BetaConfig() const { return Config(betaData.path()); }

    // ansible-playbook on site.yml with the variables (document: a path on the managed hosts,
    // or text: a file on the controller whose text is the task's content; prune) and options.
    ProgramRun Playbook(const QJsonObject& variables, const QStringList& options = {}) const {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const QString& name : environment.keys()) {
            if (name.startsWith("ANSIBLE_")) {
                environment.remove(name);
            }
        }
        environment.insert("ANSIBLE_CONFIG", At("ansible.cfg"));
        environment.insert("ANSIBLE_COLLECTIONS_PATH", VANTOR_ANSIBLE_COLLECTIONS);
        environment.insert("ANSIBLE_NOCOLOR", "1");
        environment.insert("HOME", work.path());
        environment.insert("LC_ALL", "C.UTF-8");
        return RunProgram(AnsiblePlaybook,
                          QStringList{At("site.yml"), "-e",
                                      QJsonDocument(variables).toJson(QJsonDocument::Compact)} +
                              options,
                          environment, 180000);
    }
    // The play recap's counts for the host, e.g. "ok=1 changed=1 unreachable=0 failed=0".
    static std::string Recap(const ProgramRun& run, const QString& host) {
        const QRegularExpression line("^" + host +
                                      R"(\s+:\s+(ok=\d+)\s+(changed=\d+)\s+(unreachable=\d+)\s+)"
                                      R"((failed=\d+))");
        for (const QString& text : run.outLines) {
            const QRegularExpressionMatch match = line.match(text);
            if (match.hasMatch()) {
                return QStringList{match.captured(1), match.captured(2), match.captured(3),
                                   match.captured(4)}
                    .join(' ')
                    .toStdString();
            }
        }
        return "no recap for " + host.toStdString();
    }
    // The result of the host's failed task, as the default output shows it.
    static QJsonObject Failure(const ProgramRun& run, const QString& host) {
        const QString start = "fatal: [" + host + "]: FAILED! => ";
        for (const QString& text : run.outLines) {
            if (text.startsWith(start)) {
                return QJsonDocument::fromJson(text.mid(start.size()).toUtf8()).object();
            }
        }
        ADD_FAILURE() << "no failure for " << host.toStdString() << ":\n"
                      << run.outLines.join('\n').toStdString();
        return {};
    }
    // The folders of a configuration file, as vantorctl dumps them: name -> description.
    static QMap<QString, QString> Folders(const QString& config) {
        const ProgramRun dump =
            RunProgram(VANTOR_CTL_PATH, {"dump", "--format", "json", "--file", config},
                       QProcessEnvironment::systemEnvironment(), 30000);
        EXPECT_EQ(dump.exitCode, 0) << dump.err.toStdString();
        QMap<QString, QString> folders;
        const QJsonObject document =
            QJsonDocument::fromJson(dump.outLines.join('\n').toUtf8()).object();
        for (const QJsonValue& folder : document["folders"].toArray()) {
            folders[folder["name"].toString()] = folder["description"].toString();
        }
        return folders;
    }
    // The bytes vantorctl itself gives a copy of the configuration file (none: a new one) for
    // the document.
    QByteArray AppliedHere(const QString& config, const QString& document) const {
        const QString copy = At("expected.vtr");
        QFile::remove(copy);
        EXPECT_TRUE(!QFile::exists(config) || QFile::copy(config, copy));
        const ProgramRun apply = RunProgram(VANTOR_CTL_PATH, {"apply", document, "--file", copy},
                                            QProcessEnvironment::systemEnvironment(), 30000);
        EXPECT_EQ(apply.exitCode, 0) << apply.err.toStdString();
        return ReadAll(copy);
    }

    QTemporaryDir work, betaData;
    std::unique_ptr<test::SshServer> server;
};

TEST_F(AnsibleFleet, APlaybookBringsEveryHostToTheDocumentOnceAndPlansInCheckMode) {
    // A name that a shell would split, expand or run, and text beyond ASCII.
    const QString odd = "Jazz \u00e9t\u00e9 'x' \"y\" $(touch pwned); end";
    const QString quoted = QString(odd).replace('"', "\\\"");
    const QString document = At("fleet 1.yaml");
    WriteText(document, QString("folders:\n"
                                "  - name: \"%1\"\n"
                                "    source: /srv/m\u00e9dia/$(id)\n"
                                "    description: first; second\n"
                                "  - name: Radio\n"
                                "    source: /srv/radio\n")
                            .arg(quoted));
    const QByteArray alphaExpected = AppliedHere(AlphaConfig(), document);
    const QByteArray betaExpected = AppliedHere(BetaConfig(), document);

    const ProgramRun first = Playbook({{"document", document}});
    ASSERT_EQ(first.exitCode, 0) << first.outLines.join('\n').toStdString()
                                 << first.err.toStdString();
    EXPECT_EQ(Recap(first, "alpha"), "ok=1 changed=1 unreachable=0 failed=0");
    EXPECT_EQ(Recap(first, "beta"), "ok=1 changed=1 unreachable=0 failed=0");
    EXPECT_EQ(ReadAll(AlphaConfig()), alphaExpected);
    EXPECT_EQ(ReadAll(BetaConfig()), betaExpected);
    const QMap<QString, QString> alpha = Folders(AlphaConfig());
    EXPECT_EQ(alpha.value(odd, "missing"), "first; second");
    EXPECT_TRUE(alpha.contains("zulu") && alpha.contains("Radio"));  // no prune: zulu stays
    EXPECT_EQ(Folders(BetaConfig()).keys(), (QStringList{odd, "Radio"}));
    // alpha's running server was told once, and reads what the module wrote.
    EXPECT_EQ(CountCalls(ReloadCall), 1);
    EXPECT_EQ(Control(sim::control::GetLoadedConfig),
              (QVariantList{1u, 60u, QStringList{odd, "Radio", "zulu"}}));

    // The second run finds nothing to do: no write, no rename, no reload.
    const auto alphaFile = Identity(AlphaConfig()), betaFile = Identity(BetaConfig());
    const ProgramRun second = Playbook({{"document", document}});
    ASSERT_EQ(second.exitCode, 0) << second.outLines.join('\n').toStdString();
    EXPECT_EQ(Recap(second, "alpha"), "ok=1 changed=0 unreachable=0 failed=0");
    EXPECT_EQ(Recap(second, "beta"), "ok=1 changed=0 unreachable=0 failed=0");
    EXPECT_EQ(Identity(AlphaConfig()), alphaFile);
    EXPECT_EQ(Identity(BetaConfig()), betaFile);
    EXPECT_EQ(CountCalls(ReloadCall), 1);

    // Check mode with --diff on a changed document: the plan on both hosts, not one byte.
    const QString changed = At("fleet 2.yaml");
    WriteText(changed, QString("folders:\n"
                               "  - name: \"%1\"\n"
                               "    description: third\n"
                               "  - name: Talk\n"
                               "    source: /srv/talk\n")
                           .arg(quoted));
    const ProgramRun planned = Playbook({{"document", changed}}, {"--check", "--diff"});
    ASSERT_EQ(planned.exitCode, 0) << planned.outLines.join('\n').toStdString();
    EXPECT_EQ(Recap(planned, "alpha"), "ok=1 changed=1 unreachable=0 failed=0");
    EXPECT_EQ(Recap(planned, "beta"), "ok=1 changed=1 unreachable=0 failed=0");
    const QStringList plan = {
        "~ folder \"" + quoted + "\": description: \"first; second\" -> \"third\"",
        "+ folder \"Talk\""};
    EXPECT_EQ(planned.outLines.filter(plan[0]).size(), 2)
        << planned.outLines.join('\n').toStdString();
    EXPECT_EQ(planned.outLines.filter(plan[1]).size(), 2);
    EXPECT_EQ(ReadAll(AlphaConfig()), alphaExpected);
    EXPECT_EQ(ReadAll(BetaConfig()), betaExpected);
    EXPECT_EQ(Identity(AlphaConfig()), alphaFile);
    EXPECT_EQ(CountCalls(ReloadCall), 1);

    // With prune, alpha's folder that no document names goes; beta has nothing to lose.
    const ProgramRun pruned = Playbook({{"document", document}, {"prune", true}});
    ASSERT_EQ(pruned.exitCode, 0) << pruned.outLines.join('\n').toStdString();
    EXPECT_EQ(Recap(pruned, "alpha"), "ok=1 changed=1 unreachable=0 failed=0");
    EXPECT_EQ(Recap(pruned, "beta"), "ok=1 changed=0 unreachable=0 failed=0");
    EXPECT_EQ(Folders(AlphaConfig()).keys(), (QStringList{odd, "Radio"}));
    EXPECT_EQ(ReadAll(BetaConfig()), betaExpected);

    // With file, each host's other file, new so far, is made from nothing; their own stay.
    const QByteArray alphaNow = ReadAll(AlphaConfig());
    const ProgramRun staged = Playbook({{"document", document}, {"staging", "staging.vtr"}});
    ASSERT_EQ(staged.exitCode, 0) << staged.outLines.join('\n').toStdString();
    EXPECT_EQ(Recap(staged, "alpha"), "ok=1 changed=1 unreachable=0 failed=0");
    EXPECT_EQ(Recap(staged, "beta"), "ok=1 changed=1 unreachable=0 failed=0");
    const QByteArray fromNothing = AppliedHere(At("nothing.vtr"), document);
    EXPECT_EQ(ReadAll(DataDir() + "/staging.vtr"), fromNothing);
    EXPECT_EQ(ReadAll(betaData.path() + "/staging.vtr"), fromNothing);
    EXPECT_EQ(ReadAll(AlphaConfig()), alphaNow);
    EXPECT_EQ(ReadAll(BetaConfig()), betaExpected);
    EXPECT_EQ(CountCalls(ReloadCall), 2);  // the first run's and prune's; that file is no server's

    // Where a shell run by ssh, by the module or by vantorctl would have run it.
    for (const QString& folder : {work.path(), QDir::currentPath(), QDir::homePath(),
                                  QString::fromUtf8(getpwuid(getuid())->pw_dir)}) {
        EXPECT_FALSE(QFile::exists(folder + "/pwned")) << folder.toStdString();
    }
}

// A bare name is the managed host's vantorctl on its PATH; one that is not there fails the task.
TEST_F(AnsibleFleet, ABareExecutableNameIsLookedUpOnTheHostsPath) {
    const QString document = At("radio.yaml");
    WriteText(document, "folders:\n  - name: Radio\n    source: /srv/radio\n");
    const ProgramRun found =
        Playbook({{"document", document}, {"vantorctl", "vantorctl"}}, {"--check"});
    EXPECT_EQ(found.exitCode, 0) << found.outLines.join('\n').toStdString();
    EXPECT_EQ(Recap(found, "alpha"), "ok=1 changed=1 unreachable=0 failed=0");
    const ProgramRun missing =
        Playbook({{"document", document}, {"vantorctl", "vantorctl-elsewhere"}}, {"--check"});
    EXPECT_EQ(missing.exitCode, 2);
    const QString why = Failure(missing, "alpha")["msg"].toString();
    EXPECT_TRUE(why.contains("vantorctl-elsewhere")) << why.toStdString();
}

TEST_F(AnsibleFleet, ARefusedDocumentFailsTheTaskWithItsMessagesAndWritesNothing) {
    // Given as the task's content: a good change and a folder the editor refuses.
    const QString text = At("refused.yaml");
    WriteText(text,
              "folders:\n"
              "  - name: zulu\n"
              "    description: changed\n"
              "  - name: Radio\n"
              "    source: \"\"\n");
    const QByteArray alphaBefore = ReadAll(AlphaConfig()), betaBefore = ReadAll(BetaConfig());
    const ProgramRun refused = Playbook({{"text", text}});
    EXPECT_EQ(refused.exitCode, 2) << refused.outLines.join('\n').toStdString();
    EXPECT_EQ(Recap(refused, "alpha"), "ok=0 changed=0 unreachable=0 failed=1");
    EXPECT_EQ(Recap(refused, "beta"), "ok=0 changed=0 unreachable=0 failed=1");
    // Each host's refusals are the task's message, the document named by its temporary copy,
    // which is gone afterwards.
    const QJsonObject alpha = Failure(refused, "alpha"), beta = Failure(refused, "beta");
    const QRegularExpression copy(
        "^(" + QRegularExpression::escape(At("remote-tmp")) + "/[^:]+\\.yaml):",
        QRegularExpression::MultilineOption);
    const QString copied = copy.match(alpha["msg"].toString()).captured(1);
    EXPECT_FALSE(copied.isEmpty()) << alpha["msg"].toString().toStdString();
    EXPECT_FALSE(QFile::exists(copied));
    EXPECT_EQ(alpha["msg"].toString().replace(copy, "DOC:").toStdString(),
              "DOC:4: Radio: No physical path is chosen");
    EXPECT_EQ(beta["msg"].toString().replace(copy, "DOC:").toStdString(),
              "DOC:2: zulu: No physical path is chosen\nDOC:4: Radio: No physical path is chosen");
    EXPECT_EQ(ReadAll(AlphaConfig()), alphaBefore);
    EXPECT_EQ(ReadAll(BetaConfig()), betaBefore);
    EXPECT_EQ(CountCalls(ReloadCall), 0);
}

}  // namespace
}  // namespace vantor::integration
