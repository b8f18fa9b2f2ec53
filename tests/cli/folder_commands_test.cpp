// vantorctl folder add|edit run as a program on a file: accepted changes land as the folder
// dialog's OK and its commit write them; refusals print the dialog's message and write nothing.

#include "cli/folder_commands.h"

#include <cstdint>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "cli/config_commands.h"
#include "cli/vantorctl_fixture.h"
#include "cli/window_flow.h"

namespace vantor {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Clicks = std::function<void(FolderEditorModel&)>;
using namespace std::string_literals;

void Limit(FolderEditorModel& editor, LimitPair pair, const std::u16string& text) {
    editor.Limits().OnPairToggled(pair, true);
    editor.Limits().SetEditText(pair, text);
}

TEST_F(Vantorctl, FolderChangesLandAsTheDialogsOkAndCommitWriteThem) {
    const std::string path = At("config.vtr");
    // The command line, the folder selected for an edit, and the administrator's input.
    const std::tuple<std::string, std::u16string, Clicks> cases[] = {
        {"folder add Jazz --path /media/jazz --description 'Late night' --no-multicast --order "
         "random --auth anonymous --mms-players --max-connections 10 --max-connections-per-user "
         "12abc --max-throughput 7",
         u"",
         [](FolderEditorModel& editor) {
             editor.SetNameText(u"Jazz");
             editor.OnBrowseResult(u"/media/jazz");
             editor.SetDescriptionText(u"Late night");
             editor.OnMulticastClicked(false);
             editor.OnOrderSelected(true);
             editor.Access().OnMethodSelected(AuthMethod::Anonymous);
             editor.Access().OnPlayerOptionToggled(true);
             Limit(editor, LimitPair::TotalConnections, u"10");
             Limit(editor, LimitPair::ConnectionsPerUser, u"12abc");
             Limit(editor, LimitPair::Throughput, u"7");
         }},
        {"folder edit films --rename Cinema --groups basic --max-connections off --group "
         "230.1.1.1:7000 --no-unicast --path /srv/films --description ''",
         u"Films",
         [](FolderEditorModel& editor) {
             editor.SetNameText(u"Cinema");
             editor.Access().OnGroupToggled(AccessControl::BasicUsers, true);
             editor.Access().OnGroupToggled(AccessControl::MediumUsers, false);
             editor.Access().OnGroupToggled(AccessControl::AdvancedUsers, false);
             editor.Limits().OnPairToggled(LimitPair::TotalConnections, false);
             editor.SetGroupText(u"230.1.1.1:7000");
             editor.OnUnicastClicked(false);
             editor.OnBrowseResult(u"/srv/films");
             editor.SetDescriptionText(u"");
         }},
        {"folder edit zulu --no-playlist --auth session", u"zulu",
         [](FolderEditorModel& editor) {
             editor.OnPlaylistClicked(false);
             editor.Access().OnMethodSelected(AuthMethod::SessionBased);
         }},
    };
    for (const auto& [arguments, selected, clicks] : cases) {
        SCOPED_TRACE(arguments);
        test::WindowFlow window(test::SampleResources());
        window.clicks = clicks;
        window.Select(selected);
        window.commands.NewOrEditFolder(selected.empty() ? NewResourceParameter
                                                         : EditSelectedParameter);
        ASSERT_TRUE(window.prompter.shown.empty());

        WriteWhole(path, test::SampleResources());
        const ProgramRun run = Run(arguments + " --file " + Quoted(path));
        EXPECT_EQ(std::tuple(run.exitCode, run.out, run.err), std::tuple(ExitOk, ""s, ""s));
        EXPECT_EQ(ReadWhole<Bytes>(path), window.Bytes());
        EXPECT_NE(window.Bytes(), test::SampleResources());
    }
}

TEST_F(Vantorctl, FolderRefusalsPrintTheDialogsMessageAndWriteNothing) {
    const std::string path = At("config.vtr");
    const std::string disabled =
        "\" cannot be changed with these settings (the window disables it)\n";
    const std::pair<std::string, std::string> cases[] = {
        {"folder add Jazz", "Error: No physical path is chosen\n"},
        // Controls the dialog shows disabled: internal authentication (the server's default)
        // takes the player option away, anonymous access the groups, no playlist the order.
        {"folder add Jazz --path /m --mms-players",
         "vantorctl: --mms-players: \"Allow MMS players" + disabled},
        {"folder add Jazz --path /m --auth anonymous --groups basic",
         "vantorctl: --groups: \"Medium users" + disabled},
        {"folder edit zulu --no-playlist --order alphabetical",
         "vantorctl: --order: \"Alphabetical" + disabled},
        {"folder edit zulu --group 230.1.1.1:7000", GroupNeedsMulticastText + "\n"s},
        {"folder edit News --path /m", "vantorctl: News is not a virtual folder\n"},
        {"folder edit Nowhere --path /m", "vantorctl: there is no resource named Nowhere\n"},
    };
    // Version 55: any save would rewrite it as version 60.
    WriteWhole(path, test::SampleResources(55));
    for (const auto& [arguments, message] : cases) {
        const ProgramRun run = Run(arguments + " --file " + Quoted(path));
        EXPECT_EQ(std::tuple(run.exitCode, run.out, run.err), std::tuple(ExitFailure, ""s, message))
            << arguments;
    }
    EXPECT_EQ(ReadWhole<Bytes>(path), test::SampleResources(55));
}

}  // namespace
}  // namespace vantor
