// vantorctl folder add|edit run as a program on a file: accepted changes land as the folder
// dialog's OK and its commit write them; refusals print the dialog's message and write nothing.

#include "cli/folder_commands.h"

#include <cstdint>
#include <fstream>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "cli/config_commands.h"
#include "cli/vantorctl_fixture.h"
#include "cli/window_flow.h"
#include "ui/context_menu.h"

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
        {"folder add Jazz --path /media/jazz --description 'Late night'", u"",
         [](FolderEditorModel& editor) {
             editor.SetNameText(u"Jazz");
             editor.OnBrowseResult(u"/media/jazz");
             editor.SetDescriptionText(u"Late night");
         }},
        {"folder add Jazz --path /media/jazz --no-multicast --order random --auth anonymous "
         "--mms-players --max-connections 10 --max-connections-per-user 12abc --max-throughput 7",
         u"",
         [](FolderEditorModel& editor) {
             editor.SetNameText(u"Jazz");
             editor.OnBrowseResult(u"/media/jazz");
             editor.OnMulticastClicked(false);
             editor.OnOrderSelected(true);
             editor.Access().OnMethodSelected(AuthMethod::Anonymous);
             editor.Access().OnPlayerOptionToggled(true);
             Limit(editor, LimitPair::TotalConnections, u"10");
             Limit(editor, LimitPair::ConnectionsPerUser, u"12abc");
             Limit(editor, LimitPair::Throughput, u"7");
         }},
        {"folder edit zulu --rename ZULU --groups basic --max-connections off --multicast", u"zulu",
         [](FolderEditorModel& editor) {
             editor.SetNameText(u"ZULU");
             editor.Access().OnGroupToggled(AccessControl::BasicUsers, true);
             editor.Access().OnGroupToggled(AccessControl::MediumUsers, false);
             editor.Access().OnGroupToggled(AccessControl::AdvancedUsers, false);
             editor.Limits().OnPairToggled(LimitPair::TotalConnections, false);
             editor.OnMulticastClicked(true);
         }},
        {"folder edit films --group 230.1.1.1:7000 --no-unicast --auth session --path /srv/films",
         u"Films",
         [](FolderEditorModel& editor) {
             editor.SetGroupText(u"230.1.1.1:7000");
             editor.OnUnicastClicked(false);
             editor.Access().OnMethodSelected(AuthMethod::SessionBased);
             editor.OnBrowseResult(u"/srv/films");
         }},
        {"folder edit Films --no-playlist --description ''", u"Films",
         [](FolderEditorModel& editor) {
             editor.OnPlaylistClicked(false);
             editor.SetDescriptionText(u"");
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

        test::WriteBytes(path, test::SampleResources());
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
    const std::string ranges =
        ".\nThe valid group range is: 224.0.0.1 - 239.255.255.255. The valid port range is: "
        "5000 - 65535.\n";
    const std::pair<std::string, std::string> cases[] = {
        {"folder add Jazz", "Error: No physical path is chosen\n"},
        {"folder add '' --path /m", "Error: No name is provided\n"},
        {"folder add 'a*b' --path /m",
         "Error: Virtual folder name can not contain characters \"*/\\\"\n"},
        {"folder add NEWS --path /m",
         "Error: Resource with this name already exists. Choose different name\n"},
        {"folder edit zulu --rename alpha",
         "Error: Resource with this name already exists. Choose different name\n"},
        {"folder add Jazz --path /m --auth internal --groups none",
         "Error: At least one user group should be chosen for internal authentication\n"},
        {"folder add Jazz --path /m --no-unicast --no-multicast",
         "Error: Either Unicast or Multicast or both should be checked\n"},
        {"folder add Jazz --path /m --group 225.0.0.1:5001",
         "Error: Duplicate Multicast group address" + ranges},
        {"folder add Jazz --path /m --group 230.1.1.1",
         "Error: No port is specified in the "
         "multicast group\n"},
        {"folder add Jazz --path /m --group ''", "Error: Empty multicast group\n"},
        {"folder add Jazz --path /m --max-connections 0",
         "Error: Minimal number of connections is 1\n"},
        {"folder add Jazz --path /m --max-connections-per-user abc",
         "Error: Minimal number of connections per user is 1\n"},
        {"folder add Jazz --path /m --max-throughput ''",
         "Error: Throughput limit is not specified\n"},
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
    for (const auto& [arguments, message] : cases) {
        test::WriteBytes(path,
                         test::SampleResources(55));  // any save would rewrite it as version 60
        const ProgramRun run = Run(arguments + " --file " + Quoted(path));
        EXPECT_EQ(std::tuple(run.exitCode, run.out, run.err), std::tuple(ExitFailure, ""s, message))
            << arguments;
        EXPECT_EQ(ReadWhole<Bytes>(path), test::SampleResources(55)) << arguments;
    }
}

TEST_F(Vantorctl, FolderOptionsTheDialogCannotCombineAreUsageErrors) {
    const std::string path = At("config.vtr");
    test::WriteBytes(path, test::SampleResources());
    for (const std::string arguments :
         {"folder", "folder add", "folder edit zulu --unicast --no-unicast",
          "folder add Jazz --multicast --no-playlist", "folder add Jazz --group 1:2 --no-multicast",
          "folder add Jazz --max-connections -5", "folder add Jazz --order sideways",
          "folder add Jazz --auth nobody", "folder add Jazz --groups basic,guests",
          "folder add Jazz --play-time 5", "folder add Jazz --rename Blues"}) {
        const ProgramRun run = Run(arguments + " --file " + Quoted(path));
        EXPECT_EQ(run.exitCode, ExitUsage) << arguments;
        EXPECT_NE(run.err.find("Usage: vantorctl folder"), std::string::npos) << run.err;
    }
    EXPECT_EQ(ReadWhole<Bytes>(path), test::SampleResources());
}

}  // namespace
}  // namespace vantor
