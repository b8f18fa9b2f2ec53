// vantorctl resource delete|enable|disable and multicast start|stop run as a program on a file,
// compared with the window's commands on the same file.

#include "cli/resource_commands_cli.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "cli/config_commands.h"
#include "cli/folder_commands.h"
#include "cli/vantorctl_fixture.h"
#include "cli/window_flow.h"

namespace vantor {
namespace {

using Bytes = std::vector<std::uint8_t>;
using namespace std::string_literals;

TEST_F(Vantorctl, ResourceCommandsWriteWhatTheWindowsCommandsWrite) {
    const std::string path = At("config.vtr");
    using Command = std::function<void(ResourceCommands&)>;
    const auto toggle = [](ResourceCommands& commands) { commands.ToggleEnabled(); };
    // The command line, the resource selected in the window, its command, and what is printed.
    const std::tuple<std::string, std::u16string, Command, std::string> cases[] = {
        {"resource disable zulu", u"zulu", toggle, ""},
        {"resource enable alpha", u"Alpha", toggle, ""},
        {"resource disable News", u"News", toggle, ""},
        {"resource delete News --yes", u"News",
         [](ResourceCommands& commands) { commands.Delete(); },
         "Confirmation: Are you sure to delete News live broadcast?\n"},
        {"resource delete Films --yes", u"Films",
         [](ResourceCommands& commands) { commands.Delete(); },
         "Confirmation: Are you sure to delete Films virtual folder?\n"},
    };
    for (const auto& [arguments, selected, command, printed] : cases) {
        SCOPED_TRACE(arguments);
        test::WindowFlow window(test::SampleResources());
        window.Select(selected);
        window.prompter.answers = {true};
        command(window.commands);

        test::WriteBytes(path, test::SampleResources());
        const ProgramRun run = Run(arguments + " --file " + Quoted(path));
        EXPECT_EQ(std::tuple(run.exitCode, run.out, run.err), std::tuple(ExitOk, ""s, printed));
        EXPECT_EQ(ReadWhole<Bytes>(path), window.Bytes());
        EXPECT_NE(window.Bytes(), test::SampleResources());
    }
}

TEST_F(Vantorctl, ResourceRefusalsAndNoOpsWriteNothing) {
    const std::string path = At("config.vtr");
    // Exit code and standard error; nothing on standard output.
    const std::tuple<std::string, int, std::string> cases[] = {
        {"resource delete zulu", ExitFailure,
         "Confirmation: Are you sure to delete zulu virtual folder?\n"s + AnswerWithYesText + "\n"},
        {"resource enable zulu", ExitOk, ""},
        {"resource disable Alpha", ExitOk, ""},
        {"resource delete Nowhere --yes", ExitFailure, NoSuchResourceText + "Nowhere\n"s},
        {"multicast start Films", ExitFailure, MulticastNeedsFileAloneText + "\n"s},
        {"multicast stop News --json", ExitFailure, "vantorctl: News"s + NotAFolderText + "\n"},
    };
    for (const auto& [arguments, exitCode, err] : cases) {
        test::WriteBytes(path,
                         test::SampleResources(55));  // any save would rewrite it as version 60
        const ProgramRun run = Run(arguments + " --file " + Quoted(path));
        EXPECT_EQ(std::tuple(run.exitCode, run.out, run.err), std::tuple(exitCode, ""s, err))
            << arguments;
        EXPECT_EQ(ReadWhole<Bytes>(path), test::SampleResources(55)) << arguments;
    }
}

TEST_F(Vantorctl, MulticastWithoutARunningServerIsRefused) {
    std::filesystem::create_directory(At("Quorvane"));
    test::WriteBytes(At("Quorvane/config.vtr"), test::SampleResources());
    const std::string environment = "VANTOR_COMMON_APPDATA=" + Quoted(folder) +
                                    " DBUS_SYSTEM_BUS_ADDRESS=unix:path=" + Quoted(At("no-bus"));
    for (const char* command : {"multicast start Films", "multicast stop Films"}) {
        const ProgramRun run = Run(command, environment);
        EXPECT_EQ(std::tuple(run.exitCode, run.out, run.err),
                  std::tuple(ExitFailure, ""s, MulticastNeedsServerText + "\n"s))
            << command;
    }
    for (const char* arguments : {"multicast", "multicast start", "resource", "resource delete",
                                  "resource enable a b", "multicast start Films --yes"}) {
        const ProgramRun run = Run(arguments, environment);
        EXPECT_EQ(run.exitCode, ExitUsage) << arguments;
    }
}

}  // namespace
}  // namespace vantor
