#include "cli/restrictions_command.h"

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>
#include <gtest/gtest.h>

#include "cli/config_commands.h"
#include "monitor/restrictions_fakes.h"

namespace vantor {
namespace {

const std::string Located = "/fake/appdata/Quorvane/VantorIPRestrictions.config";

using Server = test::RestrictionsServer;

struct CommandRun {
    int exitCode = -1;
    std::string out, err;
};

// `vantorctl restrictions ARGS` in-process, over the fakes.
CommandRun Restrictions(const std::vector<std::string>& args, test::FakeFileStore& files,
                        Server& server) {
    CLI::App app;
    RestrictionsOptions options;
    AddRestrictionsCommand(app, options);
    std::vector<std::string> reversed = {args.rbegin(), args.rend()};
    reversed.push_back("restrictions");
    CommandRun run;
    try {
        app.parse(reversed);
    } catch (const CLI::ParseError&) {
        run.exitCode = ExitUsage;
        return run;
    }
    test::FakeInstallationEnvironment environment;
    std::ostringstream out, err;
    run.exitCode = RunRestrictions(options, files, environment, server, out, err);
    run.out = out.str();
    run.err = err.str();
    return run;
}

TEST(RestrictionsCommand, ChangesTheLocatedFileAsTheDialogWould) {
    struct Step {
        std::vector<std::string> args;
        int exitCode;
        std::string out;
        std::string err;
    };
    const Step steps[] = {
        {{"list"}, ExitOk, "ExceptionList\n", ""},
        {{"add", "  10.0.0.1\t"}, ExitOk, "", ""},
        {{"mode", "allow"}, ExitFailure, "", std::string(AllowedListEmptyText) + "\n"},
        {{"add", "--list", "allow", "b.example"}, ExitOk, "", ""},
        {{"mode", "allow"}, ExitOk, "", ""},
        {{"add", "c"}, ExitOk, "", ""},
        {{"add", "d"}, ExitOk, "", ""},
        {{"remove", "d"}, ExitOk, "", ""},
        {{"list"}, ExitOk, "AllowedList\n1 10.0.0.1\n2 b.example\n2 c\n", ""},
    };
    test::FakeFileStore files;
    Server server;
    int changes = 0;
    for (const Step& step : steps) {
        SCOPED_TRACE(step.args[0] + (step.args.size() > 1 ? " " + step.args.back() : ""));
        const CommandRun run = Restrictions(step.args, files, server);
        EXPECT_EQ(run.exitCode, step.exitCode);
        EXPECT_EQ(run.out, step.out);
        EXPECT_EQ(run.err, step.err);
        changes += step.exitCode == ExitOk && step.args[0] != "list";
        // One write and one notification per change, none for anything else.
        EXPECT_EQ(static_cast<int>(files.writes.size()), changes);
        EXPECT_EQ(server.changed, changes);
    }
    EXPECT_EQ(files.writes.back(), Located);
    const std::vector<std::uint8_t>& written = files.files[Located];
    EXPECT_EQ(std::string(written.begin(), written.end()),
              "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<IPRestrictionsConfig "
              "xmlns=\"http://www.quorvane.example/IPRestrictionsConfig\"><AccessMode "
              "Active=\"AllowedList\"/><ExceptionMediaServerList><Address>10.0.0.1</"
              "Address>"
              "</ExceptionMediaServerList><AllowedMediaServerList><Address>b.example</"
              "Address>"
              "<Address>c</Address></AllowedMediaServerList></IPRestrictionsConfig>\n");
}

TEST(RestrictionsCommand, WritesAGivenFileWithoutAServerToTell) {
    test::FakeFileStore files;
    Server server;
    server.up = false;
    const CommandRun run = Restrictions({"--file", "/tmp/own.config", "add", "a"}, files, server);
    EXPECT_EQ(run.exitCode, ExitOk);
    EXPECT_EQ(files.writes, std::vector<std::string>{"/tmp/own.config"});
    EXPECT_EQ(server.changed, 0);
}

}  // namespace
}  // namespace vantor
