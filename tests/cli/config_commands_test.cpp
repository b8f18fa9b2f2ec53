#include "cli/config_commands.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <sstream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "cli/cli_test_files.h"
#include "config/config_bytes.h"
#include "config/config_file.h"
#include "platform/installation_environment.h"
#include "platform/linux_file_store.h"

namespace vantor {
namespace {

using Json = nlohmann::json;
using test::ConfigBytes;
using test::TempFolder;

// The system facts that place config.vtr in <commonAppData>/Quorvane.
class FakeEnvironment : public InstallationEnvironment {
public:
    explicit FakeEnvironment(std::string commonAppData)
        : commonAppData_(std::move(commonAppData)) {}
    OsVersionResult QueryOsVersion() override { return {}; }
    std::string ReadServiceImagePath(const std::string&) override { return {}; }
    std::optional<FileVersion> ReadFileVersion(const std::string&) override { return {}; }
    FolderQueryResult CommonAppDataFolder() override { return {SOk, commonAppData_}; }
    std::string OwnExecutablePath() override { return {}; }
    char PathSeparator() const override { return '/'; }
    bool PathExists(const std::string& path) override { return std::filesystem::exists(path); }
    HResult CreateSharedFolder(const std::string&) override { return EFail; }

private:
    std::string commonAppData_;
};

const std::u16string Accented = u"\u00c9v\u00e9nements \u0416";
const std::string AccentedUtf8 = "\xC3\x89v\xC3\xA9nements \xD0\x96";

// A file of the given version with five resources out of order (the first `records` of them),
// one disabled and one named beyond ASCII; the header is ConfigBytes::Header.
ConfigBytes SampleFile(std::uint32_t version, int records = 5) {
    const std::tuple<std::uint8_t, std::u16string, std::u16string, std::uint8_t> all[] = {
        {1, u"zulu", u"", 0x01},
        {2, u"News", u"225.0.0.1:5000", 0x03},
        {1, Accented, u"", 0x05},
        {1, u"Alpha", u"", 0x09},
        {2, u"Blues", u"", 0x01}};
    ConfigBytes bytes;
    bytes.Header(version);
    for (int i = 0; i < records; ++i) {
        const auto& [kind, name, group, flags] = all[i];
        bytes.Record(version, kind, name, group, flags);
    }
    return bytes;
}

// What show reports for ConfigBytes::Record(version, kind, name, group, flags).
Json ResourceJson(std::uint32_t version, int kind, const std::string& name,
                  const std::string& group, int flags) {
    const bool folder = kind == 1;
    return {{"kind", kind},
            {"enabled", (flags & 0x08) == 0},
            {"authMethod", 3},
            {"userGroups", 6},
            {"name", name},
            {"source", "/media/music"},
            {"description", "about " + name},
            {"imageIndex", folder ? 1 : 3},
            {"unicast", (flags & 0x01) != 0},
            {"multicast", !group.empty()},
            {"multicastGroup", group},
            {"playlist", folder},
            {"playlistOrder", 1},
            {"playTimeLimit", folder ? -1 : 90},
            {"allowDelegates", (flags & 0x02) != 0},
            {"allowMmsPlayers", (flags & 0x04) != 0},
            {"metaTitle", version >= 55 ? "Title" : ""},
            {"metaAuthor", version >= 55 ? "Author" : ""},
            {"metaCopyright", version >= 55 ? "(c)" : ""},
            {"maxConnections", version >= 60 ? 11 : 0},
            {"maxConnectionsPerUser", version >= 60 ? 2 : 0},
            {"maxThroughputKBps", version >= 60 ? 900 : 0},
            {"notifyArchival", version >= 60},
            {"displayText", (flags & 0x08) != 0 ? name + " (disabled)" : name}};
}

struct CommandRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

CommandRun Show(const ShowOptions& options, const std::string& commonAppData = "/nonexistent") {
    LinuxFileStore files;
    FakeEnvironment environment(commonAppData);
    std::ostringstream out, err;
    const int exitCode = RunShow(options, files, environment, out, err);
    return {exitCode, out.str(), err.str()};
}

CommandRun Normalize(const std::string& file, std::optional<std::string> out = std::nullopt) {
    LinuxFileStore files;
    std::ostringstream err;
    const int exitCode = RunNormalize({file, std::move(out)}, files, err);
    return {exitCode, "", err.str()};
}

TEST(ShowCommand, JsonOfEachVersionAndOfADamagedFileHasEveryFieldInTreeOrder) {
    TempFolder folder;
    const std::string path = folder / "config.vtr";
    for (std::uint32_t version : {ConfigVersion50, ConfigVersion55, ConfigVersion60}) {
        SCOPED_TRACE(version);
        test::WriteBytes(path, SampleFile(version).Bytes());
        const CommandRun run = Show({.json = true, .file = path});
        ASSERT_EQ(run.exitCode, ExitOk) << run.err;
        EXPECT_EQ(run.err, "");
        // Non-ASCII names are written as UTF-8, not as \u escapes.
        EXPECT_NE(run.out.find(AccentedUtf8), std::string::npos);

        // Exactly these keys, booleans as booleans, texts as strings, numbers as integers.
        Json server = Json::parse(R"({
            "playerPort": "6001", "liveSourcePort": "6002", "limitConnections": true,
            "maxConnections": 4464, "limitConnectionsPerUser": true, "maxConnectionsPerUser": 5,
            "limitAnonymousConnections": false, "maxAnonymousConnections": 0,
            "limitThroughput": true, "maxThroughputKBps": 305419896, "loggingMode": 3,
            "loggingProgId": "", "defaultAuthMethod": 3, "archivalPassword": "",
            "networkInterface": "Any available", "archivalServerAddress": "",
            "archivalServerPort": ""})");
        if (version >= ConfigVersion55) {
            server["archivalPassword"] = "ab12";
        }
        if (version >= ConfigVersion60) {
            server["networkInterface"] = "eth0 \xC3\xA9";
            server["archivalServerAddress"] = "10.0.0.9";
            server["archivalServerPort"] = "8080";
        }
        // "File resources" first, each branch sorted by display text (É folds to é, after z).
        const Json expected = {{"version", version},
                               {"serverConfig", server},
                               {"resources",
                                {ResourceJson(version, 1, "Alpha", "", 0x09),
                                 ResourceJson(version, 1, "zulu", "", 0x01),
                                 ResourceJson(version, 1, AccentedUtf8, "", 0x05),
                                 ResourceJson(version, 2, "Blues", "", 0x01),
                                 ResourceJson(version, 2, "News", "225.0.0.1:5000", 0x03)}}};
        EXPECT_EQ(Json::parse(run.out), expected);
    }

    // Cut inside the fourth record: the three before it are shown.
    std::vector<std::uint8_t> bytes = SampleFile(ConfigVersion60, 4).Bytes();
    bytes.resize(SampleFile(ConfigVersion60, 3).Size() + 20);
    test::WriteBytes(path, bytes);
    const CommandRun run = Show({.json = true, .file = path});
    EXPECT_EQ(run.exitCode, ExitOk);
    EXPECT_EQ(
        Json::parse(run.out)["resources"],
        Json({ResourceJson(60, 1, "zulu", "", 0x01), ResourceJson(60, 1, AccentedUtf8, "", 0x05),
              ResourceJson(60, 2, "News", "225.0.0.1:5000", 0x03)}));
}

TEST(ShowCommand, WithoutAFileReadsTheLocatedOneOrShowsTheDefaults) {
    TempFolder folder;
    // Nothing at the located path: what the tool would start with.
    CommandRun run = Show({.json = true, .file = {}}, folder.Path().string());
    EXPECT_EQ(run.exitCode, ExitOk);
    Json report = Json::parse(run.out);
    EXPECT_TRUE(report["version"].is_null());
    EXPECT_EQ(report["serverConfig"]["playerPort"], "5119");
    EXPECT_EQ(report["serverConfig"]["networkInterface"], "Any available");
    EXPECT_EQ(report["serverConfig"]["defaultAuthMethod"], 2);
    EXPECT_TRUE(report["resources"].empty());

    std::filesystem::create_directory(folder.Path() / "Quorvane");
    test::WriteBytes(folder / "Quorvane/config.vtr", SampleFile(ConfigVersion55).Bytes());
    run = Show({.json = true, .file = {}}, folder.Path().string());
    EXPECT_EQ(run.exitCode, ExitOk);
    report = Json::parse(run.out);
    EXPECT_EQ(report["version"], 55);
    EXPECT_EQ(report["resources"].size(), 5u);
}

TEST(ShowCommand, PlainTextListsBothBranchesInTreeOrder) {
    TempFolder folder;
    const std::string path = folder / "config.vtr";
    test::WriteBytes(path, SampleFile(ConfigVersion55).Bytes());
    const CommandRun run = Show({.file = path});
    EXPECT_EQ(run.exitCode, ExitOk);
    const std::string& out = run.out;
    EXPECT_NE(out.find("Version: 55\n"), std::string::npos) << out;
    EXPECT_NE(out.find("Internal authentication. All users"), std::string::npos);
    EXPECT_NE(out.find("225.0.0.1:5000"), std::string::npos);
    const auto lives = out.find("Live broadcasts (2)\n");
    ASSERT_NE(lives, std::string::npos) << out;
    std::size_t previous = out.find("File resources (3)\n");
    ASSERT_NE(previous, std::string::npos) << out;
    for (const std::string& name :
         std::vector<std::string>{"Alpha (disabled)", "zulu", AccentedUtf8, "Blues", "News"}) {
        const auto at = out.find(name, previous);
        ASSERT_NE(at, std::string::npos) << name << '\n' << out;
        EXPECT_EQ(at > lives, name == "Blues" || name == "News") << name;
        previous = at;
    }
}

// What normalising the sample file must write: the header as read, then the records in tree
// order, as version 60.
std::vector<std::uint8_t> NormalisedSample(std::uint32_t version) {
    const ConfigFileContents read = ReadConfigFile(SampleFile(version).Bytes());
    const std::vector<ResourceRecord>& r = read.records;  // zulu, News, Événements, Alpha, Blues
    const std::vector<const ResourceRecord*> treeOrder = {&r[3], &r[0], &r[2], &r[4], &r[1]};
    return WriteConfigFile(read.server, read.defaultAuthMethod, treeOrder);
}

TEST(NormalizeCommand, RewritesAsVersion60InTreeOrder) {
    TempFolder folder;
    const std::string path = folder / "config.vtr";
    const std::string out = folder / "normalised.vtr";
    for (std::uint32_t version : {ConfigVersion50, ConfigVersion55, ConfigVersion60}) {
        SCOPED_TRACE(version);
        const std::vector<std::uint8_t> original = SampleFile(version).Bytes();
        test::WriteBytes(path, original);
        CommandRun run = Normalize(path);
        EXPECT_EQ(run.exitCode, ExitOk);
        EXPECT_EQ(run.err, "");
        EXPECT_EQ(test::ReadBytes(path), NormalisedSample(version));
        EXPECT_EQ(ReadConfigFile(test::ReadBytes(path)).version, ConfigVersion60);

        // Into another file: the original stays as it was. Normalising is idempotent.
        test::WriteBytes(path, original);
        EXPECT_EQ(Normalize(path, out).exitCode, ExitOk);
        EXPECT_EQ(test::ReadBytes(path), original);
        EXPECT_EQ(test::ReadBytes(out), NormalisedSample(version));
        EXPECT_EQ(Normalize(out).exitCode, ExitOk);
        EXPECT_EQ(test::ReadBytes(out), NormalisedSample(version));
    }
}

TEST(ConfigCommands, MissingUnreadableAndUnwritableFilesFailAndChangeNothing) {
    TempFolder folder;
    const std::string missing = folder / "missing.vtr";
    const std::string directory = folder.Path().string();
    const std::string out = folder / "out.vtr";
    // A file named on the command line must exist: the defaults would hide a typing error.
    for (const auto& [file, problem] :
         {std::pair(missing, ": no such file\n"), {directory, ": cannot be read\n"}}) {
        for (bool json : {false, true}) {
            const CommandRun run = Show({.json = json, .file = file});
            EXPECT_EQ(run.exitCode, ExitFailure);
            EXPECT_EQ(run.out, "");
            EXPECT_EQ(run.err, "vantorctl: " + file + problem);
        }
        const CommandRun run = Normalize(file, out);
        EXPECT_EQ(run.exitCode, ExitFailure);
        EXPECT_EQ(run.err, "vantorctl: " + file + problem);
    }
    EXPECT_FALSE(std::filesystem::exists(missing));
    EXPECT_FALSE(std::filesystem::exists(out));

    const std::string path = folder / "config.vtr";
    const std::vector<std::uint8_t> original = SampleFile(ConfigVersion55).Bytes();
    test::WriteBytes(path, original);
    const std::string unwritable = folder / "no such folder/out.vtr";
    const CommandRun run = Normalize(path, unwritable);
    EXPECT_EQ(run.exitCode, ExitFailure);
    EXPECT_EQ(run.err, "vantorctl: " + unwritable + ": cannot be written\n");
    EXPECT_EQ(test::ReadBytes(path), original);
}

}  // namespace
}  // namespace vantor
