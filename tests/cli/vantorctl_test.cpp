// vantorctl run as a program: its command line, what show prints and what
// normalize writes.

#include <cstdint>
#include <filesystem>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "cli/config_commands.h"
#include "cli/vantorctl_fixture.h"
#include "config/config_file.h"

namespace vantor {
namespace {

using Json = nlohmann::json;
using Bytes = std::vector<std::uint8_t>;
using namespace std::string_literals;

// An object with these space-separated keys and these values, in order.
Json Object(const std::string& keys, const auto&... values) {
    std::istringstream names(keys);
    Json object = Json::object();
    for (const Json& value : {Json(values)...}) {
        std::string key;
        names >> key;
        object[key] = value;
    }
    return object;
}

// What show reports for ConfigBytes::Record(60, kind, name, group, flags).
Json ResourceJson(int kind, const std::string& name, const std::string& group = "", int flags = 1) {
    const bool folder = kind == 1, off = flags & 0x08;
    return Object(
        "kind enabled authMethod userGroups name source description "
        "imageIndex unicast "
        "multicast multicastGroup playlist playlistOrder playTimeLimit "
        "allowDelegates "
        "allowMmsPlayers metaTitle metaAuthor metaCopyright "
        "maxConnections maxConnectionsPerUser "
        "maxThroughputKBps notifyArchival displayText",
        kind, !off, 3, 6, name, "/media/music", "about " + name, folder ? 1 : 3, (flags & 1) != 0,
        !group.empty(), group, folder, 1, folder ? -1 : 90, (flags & 2) != 0, (flags & 4) != 0,
        "Title", "Author", "(c)", 11, 2, 900, true, off ? name + " (disabled)" : name);
}

// Every command's wrong calls, before any file is read or written.
TEST_F(Vantorctl, UsageErrorsExitWithTwoAndShowTheCommandsUsage) {
    const std::pair<const char*, const char*> cases[] = {
        {"", "Usage: vantorctl [OPTIONS] SUBCOMMAND"},
        {"show --bogus", "Usage: vantorctl show [OPTIONS] [FILE]"},
        {"normalize", "Usage: vantorctl normalize [OPTIONS] FILE [OUT]"},
        {"start --timeout soon", "Usage: vantorctl start [OPTIONS]"},
        {"password abcde", "Usage: vantorctl password"},
        {"folder add", "Usage: vantorctl folder add"},
        {"folder edit zulu --unicast --no-unicast", "Usage: vantorctl folder edit"},
        {"folder add Jazz --multicast --no-playlist", "Usage: vantorctl folder add"},
        {"folder add Jazz --max-connections -5", "Usage: vantorctl folder add"},
        {"folder add Jazz --auth nobody", "Usage: vantorctl folder add"},
        {"folder add Jazz --groups basic,guests", "Usage: vantorctl folder add"},
        {"live", "Usage: vantorctl live [OPTIONS] SUBCOMMAND"},
        {"live add X --id 256", "Usage: vantorctl live add [OPTIONS] NAME"},
        {"live add X --password --password-stdin", "Usage: vantorctl live add"},
        {"live edit X --play-time 1.5", "Usage: vantorctl live edit [OPTIONS] NAME"},
        {"live edit X --port 12a", "Usage: vantorctl live edit"},
        {"resource enable a b", "Usage: vantorctl resource enable"},
        {"multicast start", "Usage: vantorctl multicast start"},
        {"user update anna", "Usage: vantorctl user update"},
        {"server set --player-port 70a", "vantorctl: --player-port: takes digits only"},
        {"server set --max-throughput lots",
         "vantorctl: --max-throughput: takes digits only, or none"},
        {"server set --logging verbose", "vantorctl: --logging: verbose not in"},
    };
    std::filesystem::create_directory(At("Quorvane"));
    WriteWhole(At("Quorvane/config.vtr"), SampleResources(55));
    const std::string environment = "VANTOR_COMMON_APPDATA=" + Quoted(folder) +
                                    " DBUS_SYSTEM_BUS_ADDRESS=unix:path=" + Quoted(At("no-bus"));
    for (const auto& [arguments, usage] : cases) {
        const ProgramRun run = Run(arguments, environment);
        EXPECT_EQ(std::pair(run.exitCode, run.out), std::pair(ExitUsage, ""s)) << arguments;
        EXPECT_NE(run.err.find(usage), std::string::npos) << arguments << "\n" << run.err;
    }
    EXPECT_EQ(ReadWhole<Bytes>(At("Quorvane/config.vtr")), SampleResources(55));
}

// show --json has every field with its type, in tree order; without --json both
// branches.
TEST_F(Vantorctl, ShowPrintsTheLocatedFileInTreeOrder) {
    std::filesystem::create_directory(At("Quorvane"));
    WriteWhole(At("Quorvane/config.vtr"), SampleResources());
    const std::string appData = "VANTOR_COMMON_APPDATA=" + Quoted(folder);
    ProgramRun run = Run("show --json", appData);
    EXPECT_EQ(std::pair(run.exitCode, run.err), std::pair(ExitOk, ""s));
    const Json server = Object(
        "playerPort liveSourcePort limitConnections maxConnections "
        "limitConnectionsPerUser "
        "maxConnectionsPerUser limitAnonymousConnections maxAnonymousConnections "
        "limitThroughput maxThroughputKBps loggingMode loggingProgId "
        "defaultAuthMethod "
        "archivalPassword networkInterface archivalServerAddress "
        "archivalServerPort",
        "6001", "6002", true, 4464, true, 5, false, 0, true, 305419896, 3, "", 3, "ab12",
        "eth0 \xC3\xA9", "10.0.0.9", "8080");
    const Json resources = {ResourceJson(1, "Alpha", "", 0x09),
                            ResourceJson(1, "Films", "226.0.0.1:6000"), ResourceJson(1, "zulu"),
                            ResourceJson(2, "News", "225.0.0.1:5000", 0x03)};
    EXPECT_EQ(Json::parse(run.out),
              Object("version serverConfig resources", 60, server, resources));

    run = Run("show", appData);
    EXPECT_EQ(run.exitCode, ExitOk);
    std::size_t at = 0;
    for (const std::string& text :
         {"Version: 60\n"s, "File resources (3)\n"s, "Alpha (disabled)"s, "Films"s, "zulu"s,
          "Live broadcasts (1)\n"s, "News"s, "225.0.0.1:5000"s}) {
        at = run.out.find(text, at);
        ASSERT_NE(at, std::string::npos) << text << "\n" << run.out;
    }
}

TEST_F(Vantorctl, NormalizeRewritesAsVersion60InTreeOrder) {
    const std::string path = At("config.vtr"), out = At("normalised.vtr");
    // The header as read, then the records in tree order, as version 60.
    const Bytes sample = SampleResources(55);
    const ConfigFileContents read = ReadConfigFile(sample);
    const std::vector<ResourceRecord>& r = read.records;  // zulu Films News Alpha
    const std::vector<const ResourceRecord*> treeOrder = {&r[3], &r[1], &r[0], &r[2]};
    const Bytes normalised = WriteConfigFile(read.server, read.defaultAuthMethod, treeOrder);

    // Into another file the original stays as it was; in place it is replaced.
    WriteWhole(path, sample);
    EXPECT_EQ(Run("normalize " + Quoted(path) + " " + Quoted(out)).exitCode, ExitOk);
    EXPECT_EQ(ReadWhole<Bytes>(path), sample);
    EXPECT_EQ(ReadWhole<Bytes>(out), normalised);
    const ProgramRun run = Run("normalize " + Quoted(path));
    EXPECT_EQ(std::pair(run.exitCode, run.err), std::pair(ExitOk, ""s));
    EXPECT_EQ(ReadWhole<Bytes>(path), normalised);
}

// A file named on the command line must exist: the defaults would hide a typing
// error.
TEST_F(Vantorctl, MissingAndUnwritableFilesFailAndChangeNothing) {
    const std::string missing = At("missing.vtr"), path = At("config.vtr");
    for (const std::string& command : {"show " + Quoted(missing), "dump --file " + Quoted(missing),
                                       "server show --file " + Quoted(missing)}) {
        const ProgramRun run = Run(command);
        EXPECT_EQ(std::tuple(run.exitCode, run.out, run.err),
                  std::tuple(ExitFailure, ""s, "vantorctl: " + missing + ": no such file\n"))
            << command;
    }
    EXPECT_FALSE(std::filesystem::exists(missing));

    // A folder named as the file is refused before a lock file is made beside it.
    const std::string folder = At("a folder");
    std::filesystem::create_directory(folder);
    for (const std::string& command :
         {"folder add Extra --path " + Quoted(folder) + " --file " + Quoted(folder),
          "show " + Quoted(folder), "check " + Quoted(folder)}) {
        const ProgramRun run = Run(command);
        EXPECT_EQ(run.err, "vantorctl: " + folder + ": cannot be read\n") << command;
        EXPECT_NE(run.exitCode, ExitOk) << command;
    }
    EXPECT_FALSE(std::filesystem::exists(folder + ".lock"));

    const std::string unwritable = At("no such folder/out.vtr");
    WriteWhole(path, SampleResources(55));
    ProgramRun run = Run("normalize " + Quoted(path) + " " + Quoted(unwritable));
    EXPECT_EQ(std::pair(run.exitCode, run.err),
              std::pair(ExitFailure, "vantorctl: " + unwritable + ": cannot be written\n"));
    EXPECT_EQ(ReadWhole<Bytes>(path), SampleResources(55));
}

// show and check name their file with --file as every other command does, or bare as before;
// not both ways at once.
TEST_F(Vantorctl, ShowAndCheckTakeTheFileWithFileOrAsTheArgument) {
    const std::string path = At("config.vtr"), missing = At("missing.vtr");
    WriteWhole(path, SampleResources());
    for (const char* command : {"show --json ", "check "}) {
        const ProgramRun bare = Run(command + Quoted(path));
        const ProgramRun named = Run(command + ("--file " + Quoted(path)));
        EXPECT_EQ(std::tuple(named.exitCode, named.out, named.err),
                  std::tuple(bare.exitCode, bare.out, bare.err))
            << command;
        EXPECT_NE(named.out.find(command[0] == 's' ? "\"zulu\"" : "\"Films\""), std::string::npos)
            << named.out;

        const ProgramRun gone = Run(command + ("--file " + Quoted(missing)));
        EXPECT_EQ(gone.err, "vantorctl: " + missing + ": no such file\n") << command;
        const ProgramRun both = Run(command + ("--file " + Quoted(path) + " " + Quoted(path)));
        EXPECT_EQ(both.exitCode, ExitUsage) << command;
        EXPECT_NE(both.err.find("--file excludes FILE"), std::string::npos) << both.err;
    }
}

// The tree's order is the user's collation order, taken from LC_ALL, LC_COLLATE or LANG; the
// root order in C.
TEST_F(Vantorctl, ShowListsTheCatalogueInTheUsersCollationOrder) {
    const std::string path = At("config.vtr");
    test::ConfigBytes bytes;
    bytes.Header(60).Record(60, 1, u"Zoo").Record(60, 1, u"Åre");
    WriteWhole(path, bytes.Record(60, 1, u"émile").Bytes());
    auto NamesShown = [&](const std::string& environment) {
        const ProgramRun run = Run("show --json --file " + Quoted(path), environment);
        const Json report = Json::parse(run.out);
        std::vector<std::string> shown;
        for (const Json& resource : report["resources"]) {
            shown.push_back(resource["name"]);
        }
        return shown;
    };
    using Names = std::vector<std::string>;
    EXPECT_EQ(NamesShown("LC_ALL=C"), (Names{"Åre", "émile", "Zoo"}));
    EXPECT_EQ(NamesShown("LC_ALL= LC_COLLATE=sv_SE.UTF-8 LANG=C"), (Names{"émile", "Zoo", "Åre"}));
    EXPECT_EQ(NamesShown("LC_ALL= LC_COLLATE= LANG=de_DE.UTF-8"), (Names{"Åre", "émile", "Zoo"}));
}

}  // namespace
}  // namespace vantor
