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

TEST(RestrictionsCommand, AChangeHoldsTheLockFromTheReadToTheWrite) {
    test::RestrictionsFileStore files;
    Server server;
    EXPECT_EQ(Restrictions({"add", "a"}, files, server).exitCode, ExitOk);
    EXPECT_EQ(files.events, (std::vector<std::string>{"lock " + Located, "read " + Located,
                                                      "write " + Located, "unlock " + Located}));
    // Listing changes nothing and needs no lock.
    files.events.clear();
    EXPECT_EQ(Restrictions({"list"}, files, server).out, "ExceptionList\n1 a\n");
    EXPECT_EQ(files.events, std::vector<std::string>{"read " + Located});

    // Another writer holds it: nothing is read or written.
    files.lockStatus = LockStatus::Busy;
    files.events.clear();
    const CommandRun busy = Restrictions({"add", "b"}, files, server);
    EXPECT_EQ(busy.exitCode, ExitFailure);
    EXPECT_EQ(busy.err,
              "vantorctl: nothing was changed: another program is changing " + Located + "\n");
    EXPECT_TRUE(files.events.empty());
    EXPECT_EQ(server.changed, 1);
}

TEST(RestrictionsCommand, AnUnreadableFileIsReplacedOnlyWhenToldAndThenKept) {
    test::RestrictionsFileStore files;
    Server server;
    const std::string cut = "<?xml version=\"1.0\"?><IPRestrictionsConfig><AccessMode";
    files.WriteBehind(Located, cut);
    const std::string unreadable =
        "vantorctl: " + Located +
        " cannot be read (it is cut short, is not well-formed XML, is larger than 16 MiB or may "
        "not be read by you)";
    struct Refused {
        std::vector<std::string> args;
        std::string err;
    };
    for (const Refused& refused :
         {Refused{{"list"}, unreadable + "\n"},
          {{"add", "a"},
           unreadable + "; nothing was changed. Give --replace-damaged to replace it with a new "
                        "file, keeping the old one beside it as a .damaged copy\n"},
          {{"remove", "a"}, ""},
          {{"mode", "except"}, ""}}) {
        SCOPED_TRACE(refused.args[0]);
        const CommandRun run = Restrictions(refused.args, files, server);
        EXPECT_EQ(run.exitCode, ExitFailure);
        EXPECT_EQ(run.err.substr(0, unreadable.size()), unreadable);
        if (!refused.err.empty()) {
            EXPECT_EQ(run.err, refused.err);
        }
        EXPECT_EQ(files.Text(Located), cut);
        EXPECT_EQ(files.files.size(), 1u);
    }

    const CommandRun replaced = Restrictions({"add", "--replace-damaged", "a"}, files, server);
    EXPECT_EQ(replaced.exitCode, ExitOk);
    EXPECT_EQ(replaced.err, "vantorctl: the unreadable file was kept as " + Located + ".damaged\n");
    EXPECT_EQ(files.Text(Located + ".damaged"), cut);
    EXPECT_EQ(Restrictions({"list"}, files, server).out, "ExceptionList\n1 a\n");
    EXPECT_EQ(server.changed, 1);
}

}  // namespace
}  // namespace vantor
