// vantorctl folder and resource commands run as a program on a file, compared
// with the window's commands and editors on the same file.

#include "cli/resource_commands_cli.h"

#include <cstdint>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "cli/config_commands.h"
#include "cli/folder_commands.h"
#include "cli/vantorctl_fixture.h"

namespace vantor {
namespace {

using Bytes = std::vector<std::uint8_t>;
using namespace std::string_literals;

TEST_F(Vantorctl, ResourceCommandsWriteWhatTheWindowsCommandsWrite) {
    const std::string path = At("config.vtr");
    // The command line, what is printed, and the same in the window.
    const std::tuple<std::string, std::string, std::function<void(test::WindowFlow&)>> cases[] = {
        {"folder edit films --rename Cinema --groups basic --max-connections "
         "off --group "
         "230.1.1.1:7000 --no-unicast --path /srv/films --description ''",
         "",
         [](test::WindowFlow& window) {
             window.clicks = [](FolderEditorModel& editor) {
                 editor.SetNameText(u"Cinema");
                 editor.Access().OnGroupToggled(AccessControl::BasicUsers, true);
                 editor.Access().OnGroupToggled(AccessControl::MediumUsers, false);
                 editor.Access().OnGroupToggled(AccessControl::AdvancedUsers, false);
                 editor.Limits().OnPairToggled(LimitPair::TotalConnections, false);
                 editor.SetGroupText(u"230.1.1.1:7000");
                 editor.OnUnicastClicked(false);
                 editor.OnBrowseResult(u"/srv/films");
                 editor.SetDescriptionText(u"");
             };
             window.Select(u"Films");
             window.commands.NewOrEditFolder(EditSelectedParameter);
         }},
        {"resource delete News --yes",
         "Confirmation: Are you sure to delete News live broadcast?\n",
         [](test::WindowFlow& window) {
             window.Select(u"News");
             window.prompter.answers = {true};
             window.commands.Delete();
         }},
    };
    for (const auto& [arguments, printed, inWindow] : cases) {
        SCOPED_TRACE(arguments);
        test::WindowFlow window(SampleResources());
        inWindow(window);
        ASSERT_NE(window.Bytes(), SampleResources());

        WriteWhole(path, SampleResources());
        const ProgramRun run = Run(arguments + " --file " + Quoted(path));
        EXPECT_EQ(std::tuple(run.exitCode, run.out, run.err), std::tuple(ExitOk, ""s, printed));
        EXPECT_EQ(ReadWhole<Bytes>(path), window.Bytes());
    }
}

TEST_F(Vantorctl, ARefusalWritesNothing) {
    const std::string path = At("config.vtr");
    // Version 55: any save would rewrite it as version 60.
    WriteWhole(path, SampleResources(55));
    const ProgramRun run = Run("resource delete zulu --file " + Quoted(path));
    EXPECT_EQ(std::tuple(run.exitCode, run.out, run.err),
              std::tuple(ExitFailure, ""s,
                         "Confirmation: Are you sure to delete zulu virtual folder?\n"s +
                             AnswerWithYesText + "\n"));
    EXPECT_EQ(ReadWhole<Bytes>(path), SampleResources(55));
}

}  // namespace
}  // namespace vantor
