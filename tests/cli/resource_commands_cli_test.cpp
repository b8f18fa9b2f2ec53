// vantorctl resource delete|enable|disable and multicast start|stop run as a program on a file,
// compared with the window's commands on the same file.

#include "cli/resource_commands_cli.h"

#include <cstdint>
#include <filesystem>
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
    // The command line, the resource selected in the window, whether it is a delete (else a
    // toggle), and what is printed.
    const std::tuple<std::string, std::u16string, bool, std::string> cases[] = {
        {"resource disable zulu", u"zulu", false, ""},
        {"resource enable alpha", u"Alpha", false, ""},
        {"resource delete News --yes", u"News", true,
         "Confirmation: Are you sure to delete News live broadcast?\n"},
    };
    for (const auto& [arguments, selected, isDelete, printed] : cases) {
        SCOPED_TRACE(arguments);
        test::WindowFlow window(test::SampleResources());
        window.Select(selected);
        window.prompter.answers = {true};
        if (isDelete) {
            window.commands.Delete();
        } else {
            window.commands.ToggleEnabled();
        }

        WriteWhole(path, test::SampleResources());
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
        {"multicast start Films", ExitFailure, MulticastNeedsFileAloneText + "\n"s},
        {"multicast stop News --json", ExitFailure, "vantorctl: News"s + NotAFolderText + "\n"},
    };
    // Version 55: any save would rewrite it as version 60.
    WriteWhole(path, test::SampleResources(55));
    for (const auto& [arguments, exitCode, err] : cases) {
        const ProgramRun run = Run(arguments + " --file " + Quoted(path));
        EXPECT_EQ(std::tuple(run.exitCode, run.out, run.err), std::tuple(exitCode, ""s, err))
            << arguments;
    }
    EXPECT_EQ(ReadWhole<Bytes>(path), test::SampleResources(55));
}

TEST_F(Vantorctl, MulticastWithoutARunningServerIsRefused) {
    std::filesystem::create_directory(At("Quorvane"));
    WriteWhole(At("Quorvane/config.vtr"), test::SampleResources());
    const std::string environment = "VANTOR_COMMON_APPDATA=" + Quoted(folder) +
                                    " DBUS_SYSTEM_BUS_ADDRESS=unix:path=" + Quoted(At("no-bus"));
    for (const char* command : {"multicast start Films", "multicast stop Films"}) {
        const ProgramRun run = Run(command, environment);
        EXPECT_EQ(std::tuple(run.exitCode, run.out, run.err),
                  std::tuple(ExitFailure, ""s, MulticastNeedsServerText + "\n"s))
            << command;
    }
}

}  // namespace
}  // namespace vantor
