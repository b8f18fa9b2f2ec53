// `vantorctl check` run as a program: findings, exit codes and --json, on files built for them
// and on the demo's configuration.

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdlib.h>
#include <string>
#include <sys/wait.h>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "cli/config_commands.h"
#include "config/config_file.h"
#include "config/text_codec.h"

namespace vantor {
namespace {

using Json = nlohmann::json;
using namespace std::string_literals;

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class CheckCommand : public ::testing::Test {
protected:
    struct Result {
        int exitCode = -1;
        std::string out, err;
    };

    void SetUp() override {
        folder = (std::filesystem::temp_directory_path() / "vantor_check_XXXXXX").string();
        ASSERT_NE(mkdtemp(folder.data()), nullptr);
    }
    void TearDown() override { std::filesystem::remove_all(folder); }
    std::string At(const std::string& name) const { return folder + "/" + name; }

    // Runs a program (VANTOR_CTL_PATH unless told) with arguments, paths in single quotes.
    Result Run(const std::string& arguments, const std::string& environment = "",
               const std::string& program = VANTOR_CTL_PATH) const {
        const std::string command = environment + " '" + program + "' " + arguments + " >'" +
                                    At("stdout") + "' 2>'" + At("stderr") + "' </dev/null";
        const int status = system(command.c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadText(At("stdout")),
                ReadText(At("stderr"))};
    }

    std::string folder;
};

ResourceRecord Record(ResourceKind kind, std::u16string name, std::u16string source) {
    ResourceRecord r;
    r.kind = kind;
    r.name = std::move(name);
    r.source = std::move(source);
    r.unicast = true;
    return r;
}

TEST_F(CheckCommand, PrintsOneFindingPerLineAndTheSameAsJsonWithoutChangingTheFile) {
    std::filesystem::create_directory(At("media"));
    ServerConfig server;
    server.liveSourcePort = u"";
    std::vector<ResourceRecord> records = {
        Record(ResourceKind::VirtualFolder, u"Music", Utf8ToUtf16(At("media"))),
        Record(ResourceKind::VirtualFolder, u"Gone", Utf8ToUtf16(At("gone"))),
        Record(ResourceKind::LiveBroadcast, u"MUSIC", u"10.0.0.1"),
        Record(ResourceKind::LiveBroadcast, u"news", u"vtr://tcp:h:5119/news"),
    };
    records[0].multicast = records[3].multicast = true;
    records[0].multicastGroup = records[3].multicastGroup = u"225.0.0.1:5000";
    std::vector<const ResourceRecord*> order;
    for (const ResourceRecord& r : records) {
        order.push_back(&r);
    }
    const std::vector<std::uint8_t> bytes = WriteConfigFile(server, AuthMethod::Anonymous, order);
    const std::string path = At("config.vtr");
    std::ofstream(path, std::ios::binary) << std::string(bytes.begin(), bytes.end());

    const std::string duplicate =
        "Duplicate Multicast group address.\nThe valid group range is: 224.0.0.1 - "
        "239.255.255.255. The valid port range is: 5000 - 65535.";
    const std::vector<std::tuple<std::string, std::string, std::string, std::string>> findings = {
        {"server settings", "server", "", "No port for dynamic live sources is specified"},
        {"virtual folder \"Gone\"", "folder", "Gone",
         "Physical path is missing or cannot be read: " + At("gone")},
        {"live broadcast \"MUSIC\"", "live", "MUSIC",
         "Resource with this name already exists. Choose different name"},
        {"live broadcast \"MUSIC\"", "live", "MUSIC", "No live source IP address is specified"},
        {"live broadcast \"news\"", "live", "news", duplicate},
    };
    std::string lines;
    Json json = {{"file", path}, {"findings", Json::array()}};
    for (const auto& [line, subject, name, message] : findings) {
        std::string oneLine = message;
        std::replace(oneLine.begin(), oneLine.end(), '\n', ' ');
        lines += line + ": " + oneLine + "\n";
        json["findings"].push_back({{"subject", subject}, {"name", name}, {"message", message}});
    }

    Result run = Run("check '" + path + "'");
    EXPECT_EQ(std::tuple(run.exitCode, run.out, run.err), std::tuple(ExitFailure, lines, ""s));
    run = Run("check --json '" + path + "'");
    EXPECT_EQ(std::pair(run.exitCode, run.err), std::pair(ExitFailure, ""s));
    EXPECT_EQ(Json::parse(run.out), json);
    EXPECT_EQ(ReadText(path), std::string(bytes.begin(), bytes.end()));
}

TEST_F(CheckCommand, TheDemoConfigurationIsCleanWhereverItIsFound) {
    // As scripts/run builds it: the media folder with its sub-folder, then the file.
    std::filesystem::create_directories(At("media/extras"));
    std::filesystem::create_directory(At("Quorvane"));
    const std::string path = At("Quorvane/config.vtr");
    ASSERT_EQ(Run("'" + path + "' '" + At("media") + "'", "", VANTOR_DEMO_CONFIG_PATH).exitCode, 0);

    const std::string appData = "VANTOR_COMMON_APPDATA='" + folder + "'";
    for (const std::string& arguments : {"check '" + path + "'", "check"s}) {
        const Result run = Run(arguments, appData);
        EXPECT_EQ(std::tuple(run.exitCode, run.out, run.err), std::tuple(ExitOk, ""s, ""s))
            << arguments;
    }
    const Result run = Run("check --json", appData);
    EXPECT_EQ(run.exitCode, ExitOk);
    EXPECT_EQ(Json::parse(run.out), (Json{{"file", path}, {"findings", Json::array()}}));

    // Without its media the demo's five folders have nothing to publish.
    std::filesystem::remove_all(At("media"));
    EXPECT_EQ(Run("check '" + path + "'").exitCode, ExitFailure);
}

TEST_F(CheckCommand, AFileThatCannotBeReadExitsWithTwo) {
    const std::string missing = At("missing.vtr");
    for (const auto& [arguments, environment, error] : {
             std::tuple("check '" + missing + "'", ""s, missing + ": no such file"),
             std::tuple("check --json '" + folder + "'", ""s, folder + ": cannot be read"),
             // Nothing where the configuration is looked for.
             std::tuple("check"s, "VANTOR_COMMON_APPDATA='" + folder + "'",
                        At("Quorvane/config.vtr") + ": no such file"),
         }) {
        const Result run = Run(arguments, environment);
        EXPECT_EQ(std::tuple(run.exitCode, run.out, run.err),
                  std::tuple(2, ""s, "vantorctl: " + error + "\n"))
            << arguments;
    }
}

}  // namespace
}  // namespace vantor
