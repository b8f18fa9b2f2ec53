// `vantorctl check` run as a program: findings, exit codes and --json, on a
// file built for them and on the demo's configuration.

#include <cstdint>
#include <filesystem>
#include <stdlib.h>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "cli/config_commands.h"
#include "cli/vantorctl_fixture.h"
#include "config/config_file.h"
#include "config/text_codec.h"

namespace vantor {
namespace {

using Json = nlohmann::json;
using namespace std::string_literals;

ResourceRecord Record(ResourceKind kind, std::u16string name, std::u16string source,
                      std::u16string group = u"") {
    ResourceRecord r;
    r.kind = kind;
    r.name = std::move(name);
    r.source = std::move(source);
    r.unicast = true;
    r.multicast = !group.empty();
    r.multicastGroup = std::move(group);
    return r;
}

// One finding of each subject, one of them over two lines.
TEST_F(Vantorctl, CheckPrintsOneFindingPerLineAndTheSameAsJsonWithoutChangingTheFile) {
    std::filesystem::create_directory(At("media"));
    ServerConfig server;
    server.liveSourcePort = u"";
    const ResourceRecord records[] = {
        Record(ResourceKind::VirtualFolder, u"Music", Utf8ToUtf16(At("media")), u"225.0.0.1:5000"),
        Record(ResourceKind::VirtualFolder, u"Gone", Utf8ToUtf16(At("gone"))),
        Record(ResourceKind::LiveBroadcast, u"news", u"vtr://tcp:h:5119/news", u"225.0.0.1:5000"),
    };
    const std::vector<const ResourceRecord*> order = {&records[0], &records[1], &records[2]};
    const std::vector<std::uint8_t> bytes = WriteConfigFile(server, AuthMethod::Anonymous, order);
    const std::string path = At("config.vtr");
    WriteWhole(path, bytes);

    const std::string duplicate =
        "Duplicate Multicast group address.\nThe valid group range is: 224.0.0.1 "
        "- "
        "239.255.255.255. The valid port range is: 5000 - 65535.";
    const std::string lines =
        "server settings: No port for dynamic live sources is specified\n"
        "virtual folder \"Gone\": Physical path does not exist: " +
        At("gone") +
        "\nlive broadcast \"news\": Duplicate Multicast group address. The "
        "valid " +
        "group range is: 224.0.0.1 - 239.255.255.255. The valid port range is: "
        "5000 - 65535.\n";
    const Json json = {{"file", path},
                       {"findings",
                        {{{"subject", "server"},
                          {"name", ""},
                          {"message", "No port for dynamic live sources is specified"}},
                         {{"subject", "folder"},
                          {"name", "Gone"},
                          {"message", "Physical path does not exist: " + At("gone")}},
                         {{"subject", "live"}, {"name", "news"}, {"message", duplicate}}}}};

    ProgramRun run = Run("check " + Quoted(path));
    EXPECT_EQ(std::tuple(run.exitCode, run.out, run.err), std::tuple(ExitFailure, lines, ""s));
    run = Run("check --json " + Quoted(path));
    EXPECT_EQ(std::pair(run.exitCode, run.err), std::pair(ExitFailure, ""s));
    EXPECT_EQ(Json::parse(run.out), json);
    EXPECT_EQ(ReadWhole<std::vector<std::uint8_t>>(path), bytes);
}

TEST_F(Vantorctl, CheckFindsTheDemoConfigurationCleanWhereverItIsFound) {
    // As scripts/run builds it: the media folder with its sub-folder, then the
    // file.
    std::filesystem::create_directories(At("media/extras"));
    std::filesystem::create_directory(At("Quorvane"));
    const std::string path = At("Quorvane/config.vtr");
    const std::string demo =
        "'" VANTOR_DEMO_CONFIG_PATH "' " + Quoted(path) + " " + Quoted(At("media"));
    ASSERT_EQ(system(demo.c_str()), 0);

    const ProgramRun run = Run("check", "VANTOR_COMMON_APPDATA=" + Quoted(folder));
    EXPECT_EQ(std::tuple(run.exitCode, run.out, run.err), std::tuple(ExitOk, ""s, ""s));
}

// Nothing where the configuration is looked for.
TEST_F(Vantorctl, CheckExitsWithTwoOnAFileThatCannotBeRead) {
    const ProgramRun run = Run("check", "VANTOR_COMMON_APPDATA=" + Quoted(folder));
    EXPECT_EQ(std::tuple(run.exitCode, run.out, run.err),
              std::tuple(2, ""s, "vantorctl: " + At("Quorvane/config.vtr") + ": no such file\n"));
}

}  // namespace
}  // namespace vantor
