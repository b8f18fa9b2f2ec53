// `vantorctl live add|edit` run as a program, against the live broadcast and delegate dialogs'
// models driven by hand through the window's own commit.

#include "cli/live_commands.h"

#include <cstdint>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "cli/config_commands.h"
#include "cli/vantorctl_fixture.h"
#include "config/catalogue.h"
#include "config/config_file.h"
#include "config/config_store.h"
#include "editors/delegate_editor_model.h"
#include "editors/live_editor_model.h"
#include "editors/remote_link.h"
#include "server/password_hash.h"
#include "ui/context_menu.h"
#include "ui/resource_commands.h"
#include "ui/ui_fakes.h"

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
    const std::vector<ResourceRecord> records = {
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

// The window over the same file: the resource commands with the editors driven by hand as a
// user would, and the dialogs' own OK.
struct Window : ResourceCommandHost {
    explicit Window(const Bytes& file) {
        files.files[Path] = file;
        store.LoadConfiguration();
    }
    CatalogueItem* SelectedItem() const override { return selected; }
    void SelectItem(CatalogueItem& item) override { selected = &item; }
    void RefreshSelection() override {}
    bool RunFolderEditor(FolderForm&, bool) override { return false; }
    bool ChooseLiveType(LiveType& type) override {
        type = chosen;
        return true;
    }
    bool RunLiveEditor(LiveForm& form, bool updateMode) override {
        LiveEditorModel model(updateMode ? LiveEditorMode::Update : LiveEditorMode::Create, form,
                              table, store.Resources(), defaultAuthMethod, dialogs);
        model.OnOpen();
        live(model);
        return model.OnOk().empty() && (form = model.Form(), true);
    }
    bool RunDelegateEditor(DelegateForm& form, bool updateMode) override {
        DelegateEditorModel model(
            updateMode ? DelegateEditorMode::Update : DelegateEditorMode::Create, form, table,
            store.Resources(), defaultAuthMethod, dialogs);
        model.OnOpen();
        delegate(model);
        return model.OnOk().empty() && (form = model.Form(), true);
    }
    void DisconnectResourceUsers(const std::u16string&, bool) override {}

    // Edits the broadcast of that name, or creates one of the chosen type.
    Bytes Edit(const std::u16string& name) {
        selected = nullptr;
        for (const auto& item : store.Resources().LiveBroadcasts().Children()) {
            selected = item->Record().name == name ? item.get() : selected;
        }
        commands.NewOrEditLiveBroadcast(EditSelectedParameter);
        return store.FileBytes();
    }
    Bytes Add(LiveType type) {
        chosen = type;
        commands.NewOrEditLiveBroadcast(0);
        return store.FileBytes();
    }

    static constexpr char Path[] = "/window/config.vtr";
    AuthMethod defaultAuthMethod = AuthMethod::Anonymous;
    MulticastTable table;
    ServerState state = ServerState::Stopped;
    test::FakeFileStore files;
    test::FakeAutomation automation;
    test::RecordingPrompter prompter;
    ConfigStore store{defaultAuthMethod, table, state, files, automation, prompter, Path};
    ResourceCommands commands{store, state, automation, prompter, *this};
    CatalogueItem* selected = nullptr;
    LiveType chosen = LiveType::Static;
    BroadcastSubDialogs dialogs;
    std::function<void(LiveEditorModel&)> live = [](LiveEditorModel&) {};
    std::function<void(DelegateEditorModel&)> delegate = [](DelegateEditorModel&) {};
};

class LiveCommand : public Vantorctl {
protected:
    void SetUp() override {
        Vantorctl::SetUp();
        path = At("config.vtr");
        WriteSample();
    }
    void WriteSample() const {
        const Bytes sample = SampleFile();
        std::ofstream(path, std::ios::binary) << std::string(sample.begin(), sample.end());
    }
    // Runs `vantorctl live ARGUMENTS --file config.vtr` with input as standard input.
    ProgramRun Live(const std::string& arguments, const std::string& input = "") const {
        return RunWithInput(input, "live " + arguments + " --file " + Quoted(path));
    }

    std::string path;
};

TEST_F(LiveCommand, AcceptedChangesWriteWhatTheDialogWrites) {
    struct Case {
        std::string arguments, input;
        std::function<Bytes(Window&)> byHand;
    };
    const Case cases[] = {
        {"add News --address 10.0.0.5 --id 3 --description 'Morning news' --auth anonymous "
         "--meta-author Ann --meta-title 'On air'",
         "",
         [](Window& w) {
             w.dialogs.metadata = [](BroadcastMetadata& m) {
                 m.author = u"Ann";
                 m.title = u"On air";
                 return true;
             };
             w.live = [](LiveEditorModel& m) {
                 m.Settings().SetNameText(u"News");
                 m.SetAddressText(u"10.0.0.5");
                 m.OnIdSelected(2);
                 m.Settings().SetDescriptionText(u"Morning news");
                 m.Settings().OnMethodSelected(AuthMethod::Anonymous);
                 m.Settings().OnMetadataClicked();
             };
             return w.Add(LiveType::Static);
         }},
        // The password and its confirmation as two lines, CRLF too; groups under internal.
        {"add Phone --type dynamic --password --no-multicast --groups basic,advanced",
         "secret1\r\nsecret1\n",
         [](Window& w) {
             w.dialogs.setPassword = [](std::u16string& hash) {
                 return HashPassword(u"secret1", hash);
             };
             w.live = [](LiveEditorModel& m) {
                 m.Settings().SetNameText(u"Phone");
                 m.OnSetPasswordClicked();
                 m.Settings().OnMulticastClicked(false);
                 m.Settings().Access().OnGroupToggled(AccessControl::MediumUsers, false);
             };
             return w.Add(LiveType::Dynamic);
         }},
        {"add Hub --type delegate --remote-alias a/b --remote-address 10.0.0.5 --protocol HTTPS "
         "--port 8443 --play-time 30 --max-connections-per-user 12abc --no-unicast",
         "",
         [](Window& w) {
             w.delegate = [](DelegateEditorModel& m) {
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
             return w.Add(LiveType::Delegate);
         }},
        // The name is found regardless of letter case; a new group replaces the held one.
        {"edit blues --rename 'Blues FM' --id 12 --group 230.2.2.2:7000 --notify-archival "
         "--max-throughput off --no-mms-players --play-time off",
         "",
         [](Window& w) {
             w.live = [](LiveEditorModel& m) {
                 m.Settings().SetNameText(u"Blues FM");
                 m.OnIdSelected(11);
                 m.Settings().SetGroupText(u"230.2.2.2:7000");
                 m.Settings().OnNotifyArchivalToggled(true);
                 m.Settings().OnLimitToggled(LimitPair::Throughput, false);
                 m.Settings().Access().OnPlayerOptionToggled(false);
                 m.Settings().OnLimitToggled(LimitPair::PlayTime, false);
             };
             return w.Edit(u"Blues");
         }},
        {"edit Radio --type mms --link mms://other.example/x --multicast --auth internal", "",
         [](Window& w) {
             w.live = [](LiveEditorModel& m) {
                 m.SetAddressText(u"mms://other.example/x");
                 m.Settings().OnMulticastClicked(true);
                 m.Settings().OnMethodSelected(AuthMethod::Internal);
             };
             return w.Edit(u"Radio");
         }},
        // One line stands for the password and its confirmation.
        {"edit Talk --password-stdin --description ''", "another\n",
         [](Window& w) {
             w.dialogs.setPassword = [](std::u16string& hash) {
                 return HashPassword(u"another", hash);
             };
             w.live = [](LiveEditorModel& m) {
                 m.OnSetPasswordClicked();
                 m.Settings().SetDescriptionText(u"");
             };
             return w.Edit(u"Talk");
         }},
        // Choosing a protocol proposes its port; the remote pieces not given stay.
        {"edit Relay --protocol http --no-multicast --max-connections 5", "",
         [](Window& w) {
             w.delegate = [](DelegateEditorModel& m) {
                 m.OnProtocolSelected(HttpProtocol);
                 m.Settings().OnMulticastClicked(false);
                 m.Settings().Limits().SetEditText(LimitPair::TotalConnections, u"5");
             };
             return w.Edit(u"Relay");
         }},
    };
    for (const Case& c : cases) {
        WriteSample();
        const ProgramRun run = Live(c.arguments, c.input);
        EXPECT_EQ(std::pair(run.exitCode, run.err), std::pair(ExitOk, ""s)) << c.arguments;
        Window window(SampleFile());
        const Bytes byHand = c.byHand(window);
        EXPECT_NE(byHand, SampleFile()) << c.arguments;
        EXPECT_EQ(ReadWhole<Bytes>(path), byHand) << c.arguments;
    }
}

TEST_F(LiveCommand, RefusalsPrintTheDialogsMessageAndChangeNoByte) {
    const std::string error = "Error: ";
    const std::tuple<std::string, std::string, std::string> cases[] = {
        // The dialogs' checks, in their order, with their caption.
        {"add BLUES --address 10.0.0.5", "",
         error + "Resource with this name already exists. Choose different name"},
        {"add News --id 4", "", error + "No live source IP address is specified"},
        {"add 'a/b' --address 10.0.0.5", "",
         error + "Live broadcast name can not contain characters \"*/\\\""},
        {"add Phone --type dynamic", "",
         error + "No password is specified. You must specify a password for dynamic live source."},
        {"add Phone --type dynamic --password", "abcd\nabcd\n",
         error + "The minimal password length is 5 characters"},
        {"edit Talk --password", "secret1\nSecret1\n", error + "Confirmed password is incorrect!"},
        {"edit Radio --link MMS://radio.example/live", "",
         error + "Link to Microsoft Media Services or Media Encoder must begin with \"mms://\"."},
        {"add '' --type delegate --remote-alias x", "",
         error + "No name for new live broadcast is specified"},
        {"edit Relay --port 0", "", error + "No Remote Media Server port specified"},
        {"edit Relay --remote-address ''", "",
         error + "No Remote Media Server IP address specified"},
        {"edit Blues --auth inherit --groups none", "",
         error + "At least one user group should be chosen for internal authentication"},
        {"edit Blues --no-unicast --no-multicast", "",
         error + "Either Unicast or Multicast or both should be checked"},
        {"edit Blues --group 225.0.0.0:6000", "",
         error + "Duplicate Multicast group address.\nThe valid group range is: 224.0.0.1 - "
                 "239.255.255.255. The valid port range is: 5000 - 65535."},
        {"edit Blues --group 230.9.9.9", "", error + "No port is specified in the multicast group"},
        {"edit Blues --max-connections 0", "", error + "Minimal number of connections is 1"},
        {"edit Talk --play-time ''", "", error + "Time limit must be at least 1 minute"},
        // What the window would not let be clicked or chosen.
        {"edit Blues --auth internal --mms-players", "",
         "vantorctl: --mms-players: \"Allow MMS / Flash players\" cannot be changed with these "
         "settings (the window disables it)"},
        {"edit Talk --no-multicast --group 230.1.1.9:7000", "",
         "vantorctl: --group: \"Group\" cannot be changed with these settings (the window "
         "disables it)"},
        {"edit Blues --no-unicast --meta-title T", "",
         "vantorctl: --meta-title: \"Metadata\" cannot be changed with these settings (the window "
         "disables it)"},
        {"add Old --type mms --link mms://x", "", RebroadcastUnavailableText},
        {"edit Blues --type dynamic", "",
         "vantorctl: Blues is a static live broadcast, not dynamic; a broadcast keeps its type "
         "(delete it and add it again to change it)"},
        {"edit Talk --address 10.0.0.5", "",
         "vantorctl: --address does not apply to a dynamic live broadcast"},
        {"add Hub --type delegate --link mms://x", "",
         "vantorctl: --link does not apply to a delegate live broadcast"},
        {"edit zulu --description x", "",
         "vantorctl: zulu is a virtual folder, not a live broadcast"},
        {"edit Nothing", "", "vantorctl: there is no resource named Nothing"},
    };
    for (const auto& [arguments, input, message] : cases) {
        const ProgramRun run = Live(arguments, input);
        EXPECT_EQ(std::tuple(run.exitCode, run.out, run.err),
                  std::tuple(ExitFailure, ""s, message + "\n"))
            << arguments;
        EXPECT_EQ(ReadWhole<Bytes>(path), SampleFile()) << arguments;
    }
}

TEST_F(LiveCommand, WrongCallsAreUsageErrors) {
    const std::pair<const char*, const char*> cases[] = {
        {"live", "Usage: vantorctl live [OPTIONS] SUBCOMMAND"},
        {"live add", "Usage: vantorctl live add [OPTIONS] NAME"},
        {"live add X --type rtsp", "Usage: vantorctl live add"},
        {"live add X --id 256", "Usage: vantorctl live add"},
        {"live add X --password --password-stdin", "Usage: vantorctl live add"},
        {"live edit X --max-connections -5", "Usage: vantorctl live edit [OPTIONS] NAME"},
        {"live edit X --play-time 1.5", "Usage: vantorctl live edit"},
        {"live edit X --port 12a", "Usage: vantorctl live edit"},
        {"live edit X --groups friends", "Usage: vantorctl live edit"},
        {"live edit X --unicast=maybe", "Usage: vantorctl live edit"},
        {"live add X --rename Y", "Usage: vantorctl live add"},
    };
    for (const auto& [arguments, usage] : cases) {
        const ProgramRun run = Run(arguments + " --file "s + Quoted(At("config.vtr")));
        EXPECT_EQ(std::pair(run.exitCode, run.out), std::pair(ExitUsage, ""s)) << arguments;
        EXPECT_NE(run.err.find(usage), std::string::npos) << arguments << "\n" << run.err;
    }
    EXPECT_EQ(ReadWhole<Bytes>(path), SampleFile());
}

}  // namespace
}  // namespace vantor
