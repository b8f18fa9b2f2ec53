// `vantorctl live add|edit` run as a program, against the live broadcast
// dialog's model driven by hand through the window's own commit.

#include "cli/live_commands.h"

#include <cstdint>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "cli/config_commands.h"
#include "cli/vantorctl_fixture.h"
#include "config/config_file.h"

namespace vantor {
namespace {

using Bytes = std::vector<std::uint8_t>;
using namespace std::string_literals;

class LiveCommand : public Vantorctl {
protected:
    void SetUp() override {
        Vantorctl::SetUp();
        path = At("config.vtr");
        WriteWhole(path, SampleResources());
    }
    ProgramRun Live(const std::string& arguments) const {
        return Run("live " + arguments + " --file " + Quoted(path));
    }

    std::string path;
};

TEST_F(LiveCommand, AnAcceptedAddWritesWhatTheDialogWrites) {
    const ProgramRun run = Live(
        "add Morning --address 10.0.0.5 --id 3 --description 'Morning news' "
        "--auth anonymous "
        "--meta-author Ann --meta-title 'On air' --max-throughput off");
    EXPECT_EQ(std::tuple(run.exitCode, run.out, run.err), std::tuple(ExitOk, ""s, ""s));

    test::WindowFlow window(SampleResources());
    window.dialogs.metadata = [](BroadcastMetadata& m) {
        m.author = u"Ann";
        m.title = u"On air";
        return true;
    };
    window.liveClicks = [](LiveEditorModel& m) {
        m.Settings().SetNameText(u"Morning");
        m.SetAddressText(u"10.0.0.5");
        m.OnIdSelected(2);
        m.Settings().SetDescriptionText(u"Morning news");
        m.Settings().OnMethodSelected(AuthMethod::Anonymous);
        m.Settings().OnMetadataClicked();
        m.Settings().OnLimitToggled(LimitPair::Throughput, false);
    };
    window.commands.NewOrEditLiveBroadcast(NewResourceParameter);
    EXPECT_NE(window.Bytes(), SampleResources());
    EXPECT_EQ(ReadWhole<Bytes>(path), window.Bytes());
}

TEST_F(LiveCommand, ARefusalPrintsTheDialogsMessageAndChangesNoByte) {
    const ProgramRun run = Live("add FILMS --address 10.0.0.5");
    EXPECT_EQ(
        std::tuple(run.exitCode, run.out, run.err),
        std::tuple(ExitFailure, ""s,
                   "Error: Resource with this name already exists. Choose different name\n"s));
    EXPECT_EQ(ReadWhole<Bytes>(path), SampleResources());
}

// A delegate's link is kept as stored unless a remote option changes it; an address with ':'
// is refused, as the dialog refuses it.
TEST_F(LiveCommand, DelegateLinksStayAsStoredAndAnAddressWithAColonIsRefused) {
    ResourceRecord relay;
    relay.kind = ResourceKind::LiveBroadcast;
    relay.name = u"Relay";
    relay.source = u"vtr://tcp:fe80::1:70000/a";
    relay.unicast = true;
    relay.userGroups = AllUsers;
    WriteWhole(path, WriteConfigFile(ServerConfig(), AuthMethod::Anonymous,
                                     std::vector<const ResourceRecord*>{&relay}));
    const auto stored = [this] { return ReadConfigFile(ReadWhole<Bytes>(path)).records.at(0); };

    ProgramRun run = Live("edit Relay --type delegate --description later");
    EXPECT_EQ(std::pair(run.exitCode, run.err), std::pair(ExitOk, ""s));
    EXPECT_EQ(std::pair(stored().description, stored().source),
              std::pair(u"later"s, u"vtr://tcp:fe80::1:70000/a"s));

    const Bytes before = ReadWhole<Bytes>(path);
    const std::string refused =
        "Error: Remote Media Server IP address can not contain ':'. Use an IPv4 address or a "
        "host name\n";
    for (const char* command :
         {"edit Relay --remote-address fe80::2",
          "add Other --type delegate --remote-alias a --remote-address ::1"}) {
        run = Live(command);
        EXPECT_EQ(std::tuple(run.exitCode, run.out, run.err), std::tuple(ExitFailure, ""s, refused))
            << command;
    }
    EXPECT_EQ(ReadWhole<Bytes>(path), before);

    run = Live("edit Relay --remote-address 10.0.0.7");
    EXPECT_EQ(run.exitCode, ExitOk) << run.err;
    EXPECT_EQ(stored().source, u"vtr://tcp:10.0.0.7:5119/a");
}

}  // namespace
}  // namespace vantor
