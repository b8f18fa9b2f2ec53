// `vantorctl live add|edit` run as a program, against the live broadcast and delegate dialogs'
// models driven by hand through the window's own commit.

#include "cli/live_commands.h"

#include <cstdint>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "cli/config_commands.h"
#include "cli/vantorctl_fixture.h"
#include "cli/window_flow.h"
#include "config/config_file.h"
#include "server/password_hash.h"

namespace vantor {
namespace {

using Bytes = std::vector<std::uint8_t>;
using namespace std::string_literals;

ResourceRecord Broadcast(std::u16string name, std::u16string source, std::u16string group) {
    ResourceRecord record;
    record.kind = ResourceKind::LiveBroadcast;
    record.authMethod = AuthMethod::Anonymous;
    record.userGroups = AllUsers;
    record.name = std::move(name);
    record.source = std::move(source);
    record.description = u"about " + record.name;
    record.unicast = record.allowMmsPlayers = true;
    record.multicast = !group.empty();
    record.multicastGroup = std::move(group);
    record.playTimeLimit = 90;
    record.metaTitle = u"Title";
    record.maxConnections = 11;
    record.maxThroughputKBps = 900;
    return record;
}

// A folder and one broadcast of each type; the server's method is internal authentication.
Bytes SampleFile() {
    ResourceRecord folder;
    folder.name = u"zulu";
    folder.source = u"/media/music";
    folder.multicast = folder.playlist = true;
    folder.multicastGroup = u"225.0.0.0:5000";
    const ResourceRecord records[] = {
        folder, Broadcast(u"Blues", u"7@10.0.0.7", u"225.0.0.1:5001"),
        Broadcast(u"Talk", u"0@" + std::u16string(40, u'a'), u""),
        Broadcast(u"Radio", u"mms://radio.example/live", u""),
        Broadcast(u"Relay", u"vtr://tcp:10.0.0.9:5119/news", u"230.1.1.1:6000")};
    std::vector<const ResourceRecord*> pointers;
    for (const ResourceRecord& record : records) {
        pointers.push_back(&record);
    }
    return WriteConfigFile(ServerConfig{}, AuthMethod::Internal, pointers);
}

class LiveCommand : public Vantorctl {
protected:
    void SetUp() override {
        Vantorctl::SetUp();
        path = At("config.vtr");
        WriteWhole(path, SampleFile());
    }
    // Runs `vantorctl live ARGUMENTS --file config.vtr` with input as standard input.
    ProgramRun Live(const std::string& arguments, const std::string& input = "") const {
        return RunWithInput(input, "live " + arguments + " --file " + Quoted(path));
    }

    std::string path;
};

TEST_F(LiveCommand, AcceptedChangesWriteWhatTheDialogWrites) {
    using Settings = BroadcastSettings;
    struct Case {
        std::string arguments, input;
        std::u16string edited;  // empty: a new broadcast of the type
        LiveType type;
        std::function<void(test::WindowFlow&)> byHand;
    };
    const Case cases[] = {
        {"add News --address 10.0.0.5 --id 3 --description 'Morning news' --auth anonymous "
         "--meta-author Ann --meta-title 'On air'",
         "", u"", LiveType::Static,
         [](test::WindowFlow& w) {
             w.dialogs.metadata = [](BroadcastMetadata& m) {
                 m.author = u"Ann";
                 m.title = u"On air";
                 return true;
             };
             w.liveClicks = [](LiveEditorModel& m) {
                 m.Settings().SetNameText(u"News");
                 m.SetAddressText(u"10.0.0.5");
                 m.OnIdSelected(2);
                 m.Settings().SetDescriptionText(u"Morning news");
                 m.Settings().OnMethodSelected(AuthMethod::Anonymous);
                 m.Settings().OnMetadataClicked();
             };
         }},
        // The protocol before the port: choosing one proposes its port.
        {"add Hub --type delegate --remote-alias a/b --remote-address 10.0.0.5 --protocol HTTPS "
         "--port 8443 --play-time 30 --max-connections-per-user 12abc --no-unicast",
         "", u"", LiveType::Delegate,
         [](test::WindowFlow& w) {
             w.delegateClicks = [](DelegateEditorModel& m) {
                 m.Settings().SetNameText(u"Hub");
                 m.SetRemoteAliasText(u"a/b");
                 m.SetAddressText(u"10.0.0.5");
                 m.OnProtocolSelected(HttpsProtocol);
                 m.SetPortText(u"8443");
                 m.Settings().OnUnicastClicked(false);
                 m.Settings().OnLimitToggled(LimitPair::PlayTime, true);
                 m.Settings().Limits().SetEditText(LimitPair::PlayTime, u"30");
                 m.Settings().OnLimitToggled(LimitPair::ConnectionsPerUser, true);
                 m.Settings().Limits().SetEditText(LimitPair::ConnectionsPerUser, u"12abc");
             };
         }},
        // The name is found regardless of letter case; one line stands for the password and its
        // confirmation.
        {"edit talk --rename 'Talk FM' --password-stdin --description '' --multicast --group "
         "230.2.2.2:7000 --notify-archival --max-throughput off --no-mms-players --play-time off",
         "another\n", u"Talk", LiveType::Dynamic,
         [](test::WindowFlow& w) {
             w.dialogs.setPassword = [](std::u16string& hash) {
                 return HashPassword(u"another", hash);
             };
             w.liveClicks = [](LiveEditorModel& m) {
                 Settings& s = m.Settings();
                 m.OnSetPasswordClicked();
                 s.SetNameText(u"Talk FM");
                 s.SetDescriptionText(u"");
                 s.OnMulticastClicked(true);
                 s.SetGroupText(u"230.2.2.2:7000");
                 s.OnNotifyArchivalToggled(true);
                 s.OnLimitToggled(LimitPair::Throughput, false);
                 s.Access().OnPlayerOptionToggled(false);
                 s.OnLimitToggled(LimitPair::PlayTime, false);
             };
         }},
    };
    for (const Case& c : cases) {
        WriteWhole(path, SampleFile());
        const ProgramRun run = Live(c.arguments, c.input);
        EXPECT_EQ(std::pair(run.exitCode, run.err), std::pair(ExitOk, ""s)) << c.arguments;
        test::WindowFlow window(SampleFile());
        c.byHand(window);
        const Bytes byHand = window.EditLive(c.edited, c.type);
        EXPECT_NE(byHand, SampleFile()) << c.arguments;
        EXPECT_EQ(ReadWhole<Bytes>(path), byHand) << c.arguments;
    }
}

TEST_F(LiveCommand, RefusalsPrintTheDialogsMessageAndChangeNoByte) {
    const std::string disabled =
        "\" cannot be changed with these settings (the window disables it)";
    const std::tuple<std::string, std::string, std::string> cases[] = {
        {"add BLUES --address 10.0.0.5", "",
         "Error: Resource with this name already exists. Choose different name"},
        // The password dialog refuses before the broadcast's OK; its confirmation is a line of
        // its own.
        {"add Phone --type dynamic --password", "secret1\nsecret2\n",
         "Error: Confirmed password is incorrect!"},
        {"edit Talk --no-multicast --group 230.1.1.9:7000", "",
         "vantorctl: --group: \"Group" + disabled},
        {"edit Blues --no-unicast --meta-title T", "",
         "vantorctl: --meta-title: \"Metadata" + disabled},
        {"add Old --type mms --link mms://x", "", RebroadcastUnavailableText},
        {"edit Blues --type dynamic", "",
         "vantorctl: Blues is a static live broadcast, not dynamic; a broadcast keeps its type "
         "(delete it and add it again to change it)"},
        {"edit Talk --address 10.0.0.5", "",
         "vantorctl: --address does not apply to a dynamic live broadcast"},
        {"edit zulu --description x", "",
         "vantorctl: zulu is a virtual folder, not a live broadcast"},
    };
    for (const auto& [arguments, input, message] : cases) {
        const ProgramRun run = Live(arguments, input);
        EXPECT_EQ(std::tuple(run.exitCode, run.out, run.err),
                  std::tuple(ExitFailure, ""s, message + "\n"))
            << arguments;
        EXPECT_EQ(ReadWhole<Bytes>(path), SampleFile()) << arguments;
    }
}

}  // namespace
}  // namespace vantor
