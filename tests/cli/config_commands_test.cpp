#include "cli/config_commands.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <string_view>
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

void AppendRecord(ConfigBytes& bytes, std::uint32_t version, std::uint8_t kind, std::uint8_t flags,
                  std::u16string_view name, std::u16string_view group = u"") {
    bytes.U8(kind)
        .U8(3)
        .U8(6)
        .U8(flags)
        .U8(group.empty() ? 0 : 1)
        .U8(1)
        .U8(1)
        .U32(45)
        .Str(name)
        .Str(u"/media/library")
        .Str(u"about it")
        .Str(group);
    if (version >= ConfigVersion55) {
        bytes.Str(u"Title").Str(u"Author").Str(u"(c)");
    }
    if (version >= ConfigVersion60) {
        bytes.U32(11).U32(2).U32(900).U8(1);
    }
}

const std::u16string Accented = u"\u00c9v\u00e9nements \u0416";
const std::string AccentedUtf8 = "\xC3\x89v\xC3\xA9nements \xD0\x96";

// A file of the given version with five resources out of order; header fields 2 to 10 come
// from ConfigBytes::BaseHeader.
ConfigBytes SampleFile(std::uint32_t version, int records = 5) {
    ConfigBytes bytes;
    if (version != ConfigVersion50) {
        bytes.U32(version);
    }
    bytes.BaseHeader();
    if (version >= ConfigVersion55) {
        bytes.Str(u"5f4dcc3b");
    }
    if (version >= ConfigVersion60) {
        bytes.Str(u"eth0").Str(u"10.0.0.9").Str(u"7000");
    }
    const auto add = [&](std::uint8_t kind, std::uint8_t flags, std::u16string_view name,
                         std::u16string_view group = u"") {
        if (records-- > 0) {
            AppendRecord(bytes, version, kind, flags, name, group);
        }
    };
    add(1, 0x01, u"zulu");
    add(2, 0x03, u"News", u"225.0.0.1:5000");
    add(1, 0x05, Accented);
    add(1, 0x09, u"Alpha");
    add(2, 0x01, u"Blues");
    return bytes;
}

struct CommandRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

CommandRun Show(ShowOptions options, const std::string& commonAppData = "/nonexistent") {
    LinuxFileStore files;
    FakeEnvironment environment(commonAppData);
    std::ostringstream out;
    std::ostringstream err;
    CommandRun run;
    run.exitCode = RunShow(options, files, environment, out, err);
    run.out = out.str();
    run.err = err.str();
    return run;
}

CommandRun ShowJson(const std::string& file) {
    ShowOptions options;
    options.json = true;
    options.file = file;
    return Show(options);
}

CommandRun Normalize(const std::string& file, std::optional<std::string> out = std::nullopt) {
    LinuxFileStore files;
    std::ostringstream err;
    CommandRun run;
    run.exitCode = RunNormalize({file, std::move(out)}, files, err);
    run.err = err.str();
    return run;
}

std::set<std::string> Keys(const Json& object) {
    std::set<std::string> keys;
    for (const auto& [key, value] : object.items()) {
        keys.insert(key);
    }
    return keys;
}

std::vector<std::string> DisplayTexts(const Json& report) {
    std::vector<std::string> texts;
    for (const Json& resource : report["resources"]) {
        texts.push_back(resource["displayText"].get<std::string>());
    }
    return texts;
}

const std::set<std::string> ServerConfigKeys = {"playerPort",
                                                "liveSourcePort",
                                                "limitConnections",
                                                "maxConnections",
                                                "limitConnectionsPerUser",
                                                "maxConnectionsPerUser",
                                                "limitAnonymousConnections",
                                                "maxAnonymousConnections",
                                                "limitThroughput",
                                                "maxThroughputKBps",
                                                "loggingMode",
                                                "loggingProgId",
                                                "defaultAuthMethod",
                                                "archivalPassword",
                                                "networkInterface",
                                                "archivalServerAddress",
                                                "archivalServerPort"};
const std::set<std::string> ServerConfigBooleans = {"limitConnections", "limitConnectionsPerUser",
                                                    "limitAnonymousConnections", "limitThroughput"};

const std::set<std::string> ServerConfigStrings = {
    "playerPort",       "liveSourcePort",        "loggingProgId",     "archivalPassword",
    "networkInterface", "archivalServerAddress", "archivalServerPort"};

const std::set<std::string> ResourceKeys = {"kind",
                                            "enabled",
                                            "authMethod",
                                            "userGroups",
                                            "name",
                                            "source",
                                            "description",
                                            "imageIndex",
                                            "unicast",
                                            "multicast",
                                            "multicastGroup",
                                            "playlist",
                                            "playlistOrder",
                                            "playTimeLimit",
                                            "allowDelegates",
                                            "allowMmsPlayers",
                                            "metaTitle",
                                            "metaAuthor",
                                            "metaCopyright",
                                            "maxConnections",
                                            "maxConnectionsPerUser",
                                            "maxThroughputKBps",
                                            "notifyArchival",
                                            "displayText"};
const std::set<std::string> ResourceBooleans = {
    "enabled",        "unicast",         "multicast",     "playlist",
    "allowDelegates", "allowMmsPlayers", "notifyArchival"};
const std::set<std::string> ResourceStrings = {"name",           "source",     "description",
                                               "multicastGroup", "metaTitle",  "metaAuthor",
                                               "metaCopyright",  "displayText"};

// Booleans as JSON booleans, texts as strings, everything else as an integer.
void ExpectTypes(const Json& object, const std::set<std::string>& booleans,
                 const std::set<std::string>& strings, const std::string& where) {
    for (const auto& [key, value] : object.items()) {
        if (booleans.count(key) != 0) {
            EXPECT_TRUE(value.is_boolean()) << where << ' ' << key;
        } else if (strings.count(key) != 0) {
            EXPECT_TRUE(value.is_string()) << where << ' ' << key;
        } else {
            EXPECT_TRUE(value.is_number_integer()) << where << ' ' << key;
        }
    }
}

TEST(ShowCommand, JsonOfEachVersionHasEveryFieldInTreeOrder) {
    TempFolder folder;
    for (std::uint32_t version : {ConfigVersion50, ConfigVersion55, ConfigVersion60}) {
        SCOPED_TRACE(version);
        const std::string path = folder / ("config" + std::to_string(version) + ".vtr");
        test::WriteBytes(path, SampleFile(version).Bytes());

        const CommandRun run = ShowJson(path);
        ASSERT_EQ(run.exitCode, ExitOk) << run.err;
        EXPECT_EQ(run.err, "");
        // Non-ASCII names are written as UTF-8, not as \u escapes.
        EXPECT_NE(run.out.find(AccentedUtf8), std::string::npos);
        const Json report = Json::parse(run.out);
        EXPECT_EQ(Keys(report), (std::set<std::string>{"version", "serverConfig", "resources"}));
        EXPECT_EQ(report["version"], version);

        const Json& server = report["serverConfig"];
        EXPECT_EQ(Keys(server), ServerConfigKeys);
        ExpectTypes(server, ServerConfigBooleans, ServerConfigStrings, "serverConfig");
        EXPECT_EQ(server["playerPort"], "6001");
        EXPECT_EQ(server["limitConnections"], true);
        EXPECT_EQ(server["maxConnections"], 300);
        EXPECT_EQ(server["limitConnectionsPerUser"], true);
        EXPECT_EQ(server["maxConnectionsPerUser"], 4);
        EXPECT_EQ(server["maxAnonymousConnections"], 12);
        EXPECT_EQ(server["maxThroughputKBps"], 2500);
        EXPECT_EQ(server["loggingProgId"], "Custom.Log");
        EXPECT_EQ(server["defaultAuthMethod"], 3);
        EXPECT_EQ(server["archivalPassword"], version >= ConfigVersion55 ? "5f4dcc3b" : "");
        EXPECT_EQ(server["networkInterface"],
                  version >= ConfigVersion60 ? "eth0" : "Any available");
        EXPECT_EQ(server["archivalServerPort"], version >= ConfigVersion60 ? "7000" : "");

        // "File resources" first, each branch sorted by display text (É folds to é, after z).
        EXPECT_EQ(DisplayTexts(report), (std::vector<std::string>{"Alpha (disabled)", "zulu",
                                                                  AccentedUtf8, "Blues", "News"}));
        const Json& resources = report["resources"];
        ASSERT_EQ(resources.size(), 5u);
        for (const Json& resource : resources) {
            EXPECT_EQ(Keys(resource), ResourceKeys);
            ExpectTypes(resource, ResourceBooleans, ResourceStrings,
                        resource["displayText"].get<std::string>());
        }
        const Json& alpha = resources[0];
        EXPECT_EQ(alpha["name"], "Alpha");
        EXPECT_EQ(alpha["enabled"], false);
        EXPECT_EQ(alpha["kind"], 1);
        EXPECT_EQ(alpha["imageIndex"], 1);
        EXPECT_EQ(alpha["authMethod"], 3);
        EXPECT_EQ(alpha["userGroups"], 6);
        EXPECT_EQ(alpha["playTimeLimit"], 45);
        EXPECT_EQ(alpha["playlistOrder"], 1);
        EXPECT_EQ(alpha["source"], "/media/library");
        EXPECT_EQ(alpha["metaTitle"], version >= ConfigVersion55 ? "Title" : "");
        EXPECT_EQ(alpha["maxConnections"], version >= ConfigVersion60 ? 11 : 0);
        EXPECT_EQ(alpha["notifyArchival"], version >= ConfigVersion60);
        EXPECT_EQ(resources[2]["name"], AccentedUtf8);
        EXPECT_EQ(resources[2]["allowMmsPlayers"], true);
        const Json& news = resources[4];
        EXPECT_EQ(news["kind"], 2);
        EXPECT_EQ(news["imageIndex"], 3);
        EXPECT_EQ(news["multicast"], true);
        EXPECT_EQ(news["multicastGroup"], "225.0.0.1:5000");
        EXPECT_EQ(news["allowDelegates"], true);
    }
}

TEST(ShowCommand, DamagedAndMissingFiles) {
    TempFolder folder;
    // Cut inside the fourth record: the three before it are shown.
    const ConfigBytes three = SampleFile(ConfigVersion60, 3);
    std::vector<std::uint8_t> bytes = SampleFile(ConfigVersion60, 4).Bytes();
    bytes.resize(three.Size() + 20);
    const std::string damaged = folder / "damaged.vtr";
    test::WriteBytes(damaged, bytes);
    CommandRun run = ShowJson(damaged);
    EXPECT_EQ(run.exitCode, ExitOk);
    EXPECT_EQ(DisplayTexts(Json::parse(run.out)),
              (std::vector<std::string>{"zulu", AccentedUtf8, "News"}));

    // A file named on the command line must exist: the defaults would hide a typing error.
    const std::string missing = folder / "missing.vtr";
    for (bool json : {false, true}) {
        ShowOptions options;
        options.json = json;
        options.file = missing;
        run = Show(options);
        EXPECT_EQ(run.exitCode, ExitFailure);
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.err, "vantorctl: " + missing + ": no such file\n");
    }
    ShowOptions options;
    options.file = folder.Path().string();
    run = Show(options);
    EXPECT_EQ(run.exitCode, ExitFailure);
    EXPECT_EQ(run.err, "vantorctl: " + folder.Path().string() + ": cannot be read\n");
}

TEST(ShowCommand, WithoutAFileReadsTheLocatedOneOrShowsTheDefaults) {
    TempFolder folder;
    ShowOptions options;
    options.json = true;
    // Nothing at the located path: what the tool would start with.
    CommandRun run = Show(options, folder.Path().string());
    EXPECT_EQ(run.exitCode, ExitOk);
    Json report = Json::parse(run.out);
    EXPECT_TRUE(report["version"].is_null());
    EXPECT_EQ(report["serverConfig"]["playerPort"], "5119");
    EXPECT_EQ(report["serverConfig"]["networkInterface"], "Any available");
    EXPECT_EQ(report["serverConfig"]["defaultAuthMethod"], 2);
    EXPECT_TRUE(report["resources"].empty());

    std::filesystem::create_directory(folder.Path() / "Quorvane");
    test::WriteBytes(folder / "Quorvane/config.vtr", SampleFile(ConfigVersion55).Bytes());
    run = Show(options, folder.Path().string());
    EXPECT_EQ(run.exitCode, ExitOk);
    report = Json::parse(run.out);
    EXPECT_EQ(report["version"], 55);
    EXPECT_EQ(report["resources"].size(), 5u);
}

TEST(ShowCommand, PlainTextListsBothBranchesInTreeOrder) {
    TempFolder folder;
    const std::string path = folder / "config.vtr";
    test::WriteBytes(path, SampleFile(ConfigVersion55).Bytes());
    ShowOptions options;
    options.file = path;
    const CommandRun run = Show(options);
    EXPECT_EQ(run.exitCode, ExitOk);
    const std::string& out = run.out;
    EXPECT_NE(out.find("Version: 55\n"), std::string::npos) << out;
    EXPECT_NE(out.find("Custom.Log"), std::string::npos);
    const auto files = out.find("File resources (3)\n");
    const auto lives = out.find("Live broadcasts (2)\n");
    ASSERT_NE(files, std::string::npos) << out;
    ASSERT_NE(lives, std::string::npos) << out;
    const std::vector<std::string> order = {"Alpha (disabled)", "zulu", AccentedUtf8, "Blues",
                                            "News"};
    std::size_t previous = files;
    for (const std::string& name : order) {
        const auto at = out.find(name, previous);
        ASSERT_NE(at, std::string::npos) << name << '\n' << out;
        EXPECT_EQ(at > lives, name == "Blues" || name == "News") << name;
        previous = at;
    }
    EXPECT_NE(out.find("225.0.0.1:5000"), std::string::npos);
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
    for (std::uint32_t version : {ConfigVersion50, ConfigVersion55, ConfigVersion60}) {
        SCOPED_TRACE(version);
        const std::vector<std::uint8_t> original = SampleFile(version).Bytes();
        const std::string path = folder / "config.vtr";
        test::WriteBytes(path, original);

        CommandRun run = Normalize(path);
        EXPECT_EQ(run.exitCode, ExitOk);
        EXPECT_EQ(run.err, "");
        const std::vector<std::uint8_t> normalised = test::ReadBytes(path);
        EXPECT_EQ(normalised, NormalisedSample(version));
        const ConfigFileContents reread = ReadConfigFile(normalised);
        EXPECT_EQ(reread.version, ConfigVersion60);
        ASSERT_EQ(reread.records.size(), 5u);
        EXPECT_EQ(reread.records[0].name, u"Alpha");
        EXPECT_FALSE(reread.records[0].enabled);

        // Into another file: the original stays as it was.
        test::WriteBytes(path, original);
        const std::string out = folder / "normalised.vtr";
        run = Normalize(path, out);
        EXPECT_EQ(run.exitCode, ExitOk);
        EXPECT_EQ(test::ReadBytes(path), original);
        EXPECT_EQ(test::ReadBytes(out), NormalisedSample(version));
        // Normalising is idempotent.
        run = Normalize(out);
        EXPECT_EQ(test::ReadBytes(out), NormalisedSample(version));
    }
}

TEST(NormalizeCommand, FailuresLeaveEverythingAsItWas) {
    TempFolder folder;
    const std::string missing = folder / "missing.vtr";
    const std::string out = folder / "out.vtr";
    CommandRun run = Normalize(missing, out);
    EXPECT_EQ(run.exitCode, ExitFailure);
    EXPECT_EQ(run.err, "vantorctl: " + missing + ": no such file\n");
    EXPECT_FALSE(std::filesystem::exists(missing));
    EXPECT_FALSE(std::filesystem::exists(out));

    const std::string path = folder / "config.vtr";
    const std::vector<std::uint8_t> original = SampleFile(ConfigVersion55).Bytes();
    test::WriteBytes(path, original);
    const std::string unwritable = folder / "no such folder/out.vtr";
    run = Normalize(path, unwritable);
    EXPECT_EQ(run.exitCode, ExitFailure);
    EXPECT_EQ(run.err, "vantorctl: " + unwritable + ": cannot be written\n");
    EXPECT_EQ(test::ReadBytes(path), original);
}

}  // namespace
}  // namespace vantor
