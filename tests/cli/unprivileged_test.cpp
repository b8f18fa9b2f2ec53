// vantorctl as an administrator without rights over the files: the test run is root, which may
// read and write anything, so these runs drop to nobody (as an ordinary user they run as that
// user). A file nobody may read or write is reported, and left exactly as it was.

#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include <gtest/gtest.h>

#include "cli/vantorctl_fixture.h"
#include "config/config_file.h"
#include "config/text_codec.h"

namespace vantor {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;
using Bytes = std::vector<std::uint8_t>;

class Unprivileged : public Vantorctl {
protected:
    void SetUp() override {
        Vantorctl::SetUp();
        // Everyone may pass through the test's folder; what is inside decides the rest.
        fs::permissions(folder, fs::perms(0755));
    }
    // Runs as nobody when the tests run as root.
    ProgramRun RunAsUser(const std::string& arguments) const {
        const std::string drop =
            geteuid() == 0 ? "setpriv --reuid=nobody --regid=nogroup --clear-groups" : "";
        return Run(arguments, drop);
    }
};

TEST_F(Unprivileged, FilesTheUserMayNotReadOrWriteAreReportedAndKept) {
    fs::create_directory(At("media"));
    fs::permissions(At("media"), fs::perms(0755));

    // A file the user may not read: show and a change both say so and touch nothing.
    const std::string secret = At("secret.vtr");
    WriteWhole(secret, SampleResources());
    fs::permissions(secret, fs::perms(0600));
    const ProgramRun shown = RunAsUser("show " + Quoted(secret));
    EXPECT_EQ(std::pair(shown.exitCode, shown.err),
              std::pair(1, "vantorctl: " + secret + ": cannot be read\n"));
    for (const std::string& command :
         {"folder add Jazz --path " + Quoted(At("media")) + " --file " + Quoted(secret),
          "dump --file " + Quoted(secret)}) {
        const ProgramRun run = RunAsUser(command);
        EXPECT_EQ(std::tuple(run.exitCode, run.out, run.err),
                  std::tuple(1, ""s, "vantorctl: " + secret + ": cannot be read\n"))
            << command;
    }
    EXPECT_EQ(ReadWhole<Bytes>(secret), SampleResources());

    // Readable but in a folder the user may not write: the save fails with the window's message
    // and the file stays as it was.
    fs::create_directory(At("locked"));
    const std::string locked = At("locked/config.vtr");
    WriteWhole(locked, SampleResources());
    fs::permissions(locked, fs::perms(0666));
    fs::permissions(At("locked"), fs::perms(0755));
    const ProgramRun refused =
        RunAsUser("folder add Jazz --path " + Quoted(At("media")) + " --file " + Quoted(locked));
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_EQ(refused.err, "VantorConfig - Error: Unable to update configuration file\n");
    EXPECT_EQ(ReadWhole<Bytes>(locked), SampleResources());
}

TEST_F(Unprivileged, CheckTellsAFolderThatIsMissingFromOneThatCannotBeRead) {
    fs::create_directory(At("private"));
    fs::permissions(At("private"), fs::perms(0700));
    ResourceRecord hidden, gone;
    hidden.name = u"Hidden";
    hidden.source = Utf8ToUtf16(At("private"));
    gone.name = u"Gone";
    gone.source = Utf8ToUtf16(At("gone"));
    for (ResourceRecord* record : {&hidden, &gone}) {
        record->unicast = true;
        record->userGroups = AllUsers;
    }
    const ResourceRecord* records[] = {&hidden, &gone};
    const std::string config = At("config.vtr");
    WriteWhole(config, WriteConfigFile(ServerConfig{}, AuthMethod::Anonymous, records));
    fs::permissions(config, fs::perms(0644));
    const ProgramRun checked = RunAsUser("check " + Quoted(config));
    EXPECT_EQ(checked.exitCode, 1);
    EXPECT_EQ(checked.out,
              "virtual folder \"Hidden\": Physical path cannot be read: " + At("private") +
                  "\nvirtual folder \"Gone\": Physical path does not "
                  "exist: " +
                  At("gone") + "\n");
}

TEST_F(Unprivileged, TheLockFileOfOneAdministratorServesTheNext) {
    if (geteuid() != 0) {
        GTEST_SKIP() << "needs a second account: run as root";
    }
    // The shared data folder, as the tool makes it: everyone may write there.
    fs::create_directory(At("Quorvane"));
    fs::permissions(At("Quorvane"), fs::perms(0777));
    fs::create_directory(At("media"));
    fs::permissions(At("media"), fs::perms(0755));
    const std::string config = At("Quorvane/config.vtr");
    // Root writes first and so makes the lock file, under a umask that would keep others out.
    ASSERT_EQ(Run("folder add First --path " + Quoted(At("media")) + " --file " + Quoted(config),
                  "umask 077;")
                  .exitCode,
              0);
    EXPECT_EQ(fs::status(config + ".lock").permissions(), fs::perms(0666));
    EXPECT_EQ(fs::status(config).permissions(), fs::perms(0666));
    const ProgramRun second =
        RunAsUser("folder add Second --path " + Quoted(At("media")) + " --file " + Quoted(config));
    EXPECT_EQ(std::pair(second.exitCode, second.err), std::pair(0, std::string()));
    std::vector<std::u16string> names;
    for (const ResourceRecord& record : ReadConfigFile(ReadWhole<Bytes>(config)).records) {
        names.push_back(record.name);
    }
    EXPECT_EQ(names, (std::vector<std::u16string>{u"First", u"Second"}));
}

}  // namespace
}  // namespace vantor
