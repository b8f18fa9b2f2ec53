#include "ui/resource_commands.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "config/catalogue.h"
#include "config/config_file.h"
#include "config/config_store.h"
#include "editors/folder_form.h"
#include "ui/ui_fakes.h"

namespace vantor {
namespace {

using Calls = std::vector<std::string>;
using Disconnects = std::vector<std::pair<std::u16string, bool>>;
using namespace std::string_literals;
const std::string ConfigPath = "/data/config.vtr";
const auto Folder = ResourceKind::VirtualFolder;
const auto Live = ResourceKind::LiveBroadcast;

// A running server with a reachable multicast trigger, and the commands over an empty catalogue
// with this as their host.
struct Fixture : ResourceCommandHost {
    Fixture() { server.serverUp = true; }
    CatalogueItem* SelectedItem() const override { return selected; }
    void SelectItem(CatalogueItem& item) override { selected = &item; }
    void RefreshSelection() override { ++refreshes; }
    bool RunFolderEditor(FolderForm& form, bool updateMode) override {
        opened.emplace_back(form, updateMode);
        return editor && editor(form);
    }
    bool ChooseLiveType(LiveType& type) override {
        ++choices;
        return chosen && (type = *chosen, true);
    }
    bool RunLiveEditor(LiveForm& form, bool updateMode) override {
        liveOpened.emplace_back(form, updateMode);
        return broadcastEditor && broadcastEditor(form);
    }
    bool RunDelegateEditor(DelegateForm& form, bool updateMode) override {
        delegateOpened.emplace_back(form, updateMode);
        return broadcastEditor && broadcastEditor(form);
    }
    // Remembers too whether the resource was still listed then.
    void DisconnectResourceUsers(const std::u16string& name, bool isFolder) override {
        disconnects.emplace_back(name + (Resources().ResourceNameExists(name) ? u" listed" : u""),
                                 isFolder);
    }

    Catalogue& Resources() { return store.Resources(); }
    CatalogueItem& Add(ResourceKind kind, std::u16string name, bool multicast = true) {
        ResourceRecord record;
        record.kind = kind;
        record.name = name;
        record.source = u"/media/" + name;
        record.playlist = record.multicast = multicast;
        record.multicastGroup = u"225.1.2.3:5000";
        record.playlistOrder = 1;
        return *Resources().InsertResourceItem(record);
    }
    CatalogueItem& Select(CatalogueItem& item) { return *(selected = &item); }
    std::vector<ResourceRecord> Written() const {
        return ReadConfigFile(files.files.at(ConfigPath)).records;
    }
    // The multicast item of item's context menu, or "none".
    std::u16string MulticastItem(const CatalogueItem& item) {
        for (const ContextMenuEntry& entry : commands.ContextMenuItems(item)) {
            if (!entry.separator && entry.id == StartStopMulticastCommand) {
                return std::u16string(entry.text);
            }
        }
        return u"none";
    }

    AuthMethod authMethod = AuthMethod::Anonymous;
    MulticastTable multicastTable;
    ServerState state = ServerState::Running;
    test::FakeFileStore files;
    test::FakeAutomation server;
    test::RecordingPrompter prompter;
    ConfigStore store{authMethod, multicastTable, state, files, server, prompter, ConfigPath};
    ResourceCommands commands{store, state, server, prompter, *this};
    CatalogueItem* selected = nullptr;
    int refreshes = 0;
    std::function<bool(FolderForm&)> editor;  // accepts and edits the form, or cancels
    std::vector<std::pair<FolderForm, bool>> opened;
    int choices = 0;
    std::optional<LiveType> chosen;  // nothing: the chooser is cancelled
    std::function<bool(BroadcastForm&)> broadcastEditor;
    std::vector<std::pair<LiveForm, bool>> liveOpened;
    std::vector<std::pair<DelegateForm, bool>> delegateOpened;
    Disconnects disconnects;
};

TEST(ResourceCommands, StatusLineAndContextMenuFollowTheServer) {
    Fixture f;
    CatalogueItem& music = f.Select(f.Add(Folder, u"Music"));
    EXPECT_EQ(f.MulticastItem(music), u"&Start muticasting");
    f.server.multicasting[u"Music"] = u"225.1.2.3:5000";
    EXPECT_EQ(f.MulticastItem(music), u"&Stop multicasting");
    EXPECT_EQ(f.commands.StatusText(), u"Currently multicasting: 225.1.2.3:5000");
    // The window's background query: nothing to ask about puts the line back to "OK"; an answer
    // shows only while its folder is still the one selected.
    f.selected = nullptr;
    EXPECT_EQ(f.commands.MulticastStatusFolder(), std::nullopt);
    EXPECT_EQ(f.commands.StatusText(), u"OK");
    f.Select(music);
    f.commands.ApplyMulticastStatus(u"Other", MulticastStatusResult{SOk, u"x", u""});
    EXPECT_EQ(f.commands.StatusText(), u"OK");
    f.commands.ApplyMulticastStatus(u"Music", MulticastStatusResult{SOk, u"x", u""});
    EXPECT_EQ(f.commands.StatusText(), u"Currently multicasting: x");
    // A selection change asks nothing (the window asks off its thread) and puts the line back
    // to "OK" until the answer; only a folder is worth asking about.
    CatalogueItem& news = f.Add(Live, u"News");
    f.server.calls.clear();
    f.commands.OnSelectionChanged();
    EXPECT_EQ(std::pair(f.commands.StatusText(), f.server.calls), std::pair(u"OK"s, Calls{}));
    EXPECT_EQ(f.commands.MulticastStatusFolder(), u"Music");
    for (CatalogueItem* other :
         {&news, &f.Resources().Root(), static_cast<CatalogueItem*>(nullptr)}) {
        f.selected = other;
        EXPECT_EQ(f.commands.MulticastStatusFolder(), std::nullopt);
    }
    // A folder not multicasting shows the server's own text, or "OK" when it gives none.
    f.Select(music);
    f.server.multicasting.clear();
    for (std::u16string idle : {u"Idle", u""}) {
        f.server.idleText = idle;
        f.commands.QueryMulticastStatus();
        EXPECT_EQ(f.commands.StatusText(), idle.empty() ? u"OK" : idle);
    }
    f.server.multicasting[u"Music"] = u"225.1.2.3:5000";
    EXPECT_EQ(f.commands.QueryMulticastStatus(), MulticastState::Multicasting);

    // No question to the server: disabled, stopped, without multicast, a live broadcast.
    f.server.calls.clear();
    music.Record().enabled = false;
    EXPECT_EQ(f.MulticastItem(music), u"none");
    music.Record().enabled = true;
    f.state = ServerState::Stopped;
    EXPECT_EQ(f.MulticastItem(music), u"none");
    f.commands.OnSelectionChanged();
    EXPECT_EQ(f.commands.StatusText(), u"OK");
    f.state = ServerState::Running;
    EXPECT_EQ(f.MulticastItem(f.Add(Folder, u"Plain", false)), u"none");
    f.Select(news);
    f.commands.OnSelectionChanged();
    EXPECT_EQ(f.server.calls, Calls{});
    // A server whose trigger cannot be reached is taken as not multicasting.
    f.server.serverUp = false;
    f.Select(music);
    EXPECT_EQ(f.commands.QueryMulticastStatus(), MulticastState::Idle);
    EXPECT_EQ(f.commands.StatusText(), u"OK");
}

TEST(ResourceCommands, AFolderWhoseServerDoesNotAnswerIsKeptAsIfMulticasting) {
    Fixture f;
    CatalogueItem& music = f.Select(f.Add(Folder, u"Music"));
    f.server.hung = true;
    EXPECT_EQ(f.commands.QueryMulticastStatus(), MulticastState::Unknown);
    const std::u16string warning =
        u"Warning: Media Server did not answer whether this folder is being multicasted, so "
        u"nothing was changed. Please try again when it answers";
    // Disable, delete and an edit of what the multicast streams are all refused, and nothing
    // is disconnected, removed or written.
    f.commands.ToggleEnabled();
    f.prompter.answers = {true};
    f.commands.Delete();
    f.editor = [](FolderForm& form) { return form.path = u"/elsewhere", true; };
    f.commands.NewOrEditFolder(EditSelectedParameter);
    std::vector<std::u16string> shown;
    for (const auto& message : f.prompter.shown) {
        shown.push_back(message.caption + u": " + message.text);
    }
    EXPECT_EQ(shown, (std::vector<std::u16string>{warning, warning, warning}));
    EXPECT_EQ(std::tuple(music.Record().enabled, music.Record().source, f.disconnects.size()),
              std::tuple(true, u"/media/Music"s, 0u));
    EXPECT_EQ(f.Resources().FileResources().Children().size(), 1u);
    // An edit that leaves the streamed fields alone goes through.
    f.editor = [](FolderForm& form) { return form.description = u"notes", true; };
    f.commands.NewOrEditFolder(EditSelectedParameter);
    EXPECT_EQ(f.Written().at(0).description, u"notes");
}

TEST(ResourceCommands, StartStopDoesWhatTheMenuOffered) {
    Fixture f;
    CatalogueItem& music = f.Select(f.Add(Folder, u"Music"));
    f.commands.ContextMenuItems(music);
    f.server.calls.clear();
    EXPECT_TRUE(f.commands.OnCommand(StartStopMulticastCommand, 0));
    // Commands with handlers elsewhere are left to them.
    EXPECT_FALSE(f.commands.OnCommand(ServerPropertiesCommand, 0));
    f.server.multicasting[u"Music"] = u"on";
    f.commands.ContextMenuItems(music);
    f.commands.StartStopMulticast();
    f.server.serverUp = false;
    f.commands.StartStopMulticast();
    EXPECT_EQ(f.server.calls, (Calls{"Create", "Start Music /media/Music 225.1.2.3 5000 1",
                                     "Create", "Status Music", "Create", "Status Music", "Create",
                                     "Stop Music", "Create", "Status Music", "Create failed"}));
    EXPECT_TRUE(f.files.writes.empty());
    // Only an order of 1 asks for random play; other stored values play in order.
    f.server.serverUp = true;
    f.server.multicasting.clear();
    f.commands.ContextMenuItems(music);
    for (std::uint32_t order : {0u, 2u, 1u}) {
        music.Record().playlistOrder = order;
        f.server.calls.clear();
        f.commands.StartStopMulticast();
        EXPECT_EQ(f.server.calls.at(1),
                  "Start Music /media/Music 225.1.2.3 5000 " + std::to_string(order == 1));
    }

    EXPECT_EQ(SplitMulticastGroup(u"225.0.0.1:6000:7"), (MulticastGroupParts{u"225.0.0.1", 6000}));
    EXPECT_EQ(SplitMulticastGroup(u"225.0.0.1"), (MulticastGroupParts{u"225.0.0.1", 0}));
    EXPECT_EQ(SplitMulticastGroup(u"225.0.0.1:x"), (MulticastGroupParts{u"225.0.0.1", 0}));
}

TEST(ResourceCommands, EditOfAMulticastingFolderRefusesStreamChangesOnly) {
    Fixture f;
    CatalogueItem& music = f.Select(f.Add(Folder, u"Music"));
    f.commands.OnCommand(NewOrEditFolderCommand, NewResourceParameter);  // cancelled
    EXPECT_EQ(f.opened.at(0), std::make_pair(FolderForm{}, false));
    f.server.multicasting[u"Music"] = u"on";
    const ResourceRecord before = music.Record();
    for (auto change : std::vector<std::function<void(FolderForm&)>>{
             [](FolderForm& form) { form.name = u"music"; },
             [](FolderForm& form) { form.path = u"/elsewhere"; },
             [](FolderForm& form) { form.multicast = false; }}) {
        f.editor = [&](FolderForm& form) { return change(form), true; };
        f.commands.OnCommand(NewOrEditFolderCommand, EditSelectedParameter);
    }
    EXPECT_EQ(f.opened.at(1), std::make_pair(FolderFormFromRecord(before), true));
    ASSERT_EQ(f.prompter.shown.size(), 3u);
    EXPECT_EQ(std::tie(f.prompter.shown[2].text, f.prompter.shown[2].caption),
              std::make_tuple(EditWhileMulticastingText, u"Warning"));
    EXPECT_EQ(music.Record(), before);
    EXPECT_TRUE(f.files.writes.empty());
    f.editor = [](FolderForm& form) { return form.description = u"words", true; };
    f.commands.NewOrEditFolder(EditSelectedParameter);
    EXPECT_EQ(f.Written()[0].description, u"words");
    EXPECT_EQ(f.refreshes, 1);

    // Renamed in place, still marked disabled; a live broadcast is not a folder to edit.
    CatalogueItem& other = f.Select(f.Add(Folder, u"Other"));
    other.Record().enabled = false;
    f.editor = [](FolderForm& form) { return form.name = u"Aaa", true; };
    f.commands.NewOrEditFolder(EditSelectedParameter);
    EXPECT_EQ(other.Text(), u"Aaa (disabled)");
    EXPECT_EQ(other.Row(), 1u);
    f.Select(f.Add(Live, u"News"));
    f.commands.NewOrEditFolder(EditSelectedParameter);
    EXPECT_EQ(f.opened.size(), 6u);
}

TEST(ResourceCommands, DeleteAsksRefusesDisconnectsAndAlwaysSaves) {
    Fixture f;
    CatalogueItem& music = f.Select(f.Add(Folder, u"Music"));
    f.commands.OnCommand(DeleteResourceCommand, 0);  // No
    f.server.multicasting[u"Music"] = u"on";
    f.prompter.answers = {true};
    f.commands.Delete();
    f.Select(f.Resources().Root());
    f.commands.Delete();
    EXPECT_EQ(f.files.writes.size(), 3u);
    EXPECT_EQ(f.Written().size(), 1u);
    ASSERT_EQ(f.prompter.shown.size(), 2u);
    EXPECT_EQ(
        std::tie(f.prompter.shown[0].text, f.prompter.shown[0].caption,
                 f.prompter.shown[0].question),
        std::make_tuple(u"Are you sure to delete Music virtual folder?", u"Confirmation", true));
    EXPECT_EQ(std::tie(f.prompter.shown[1].text, f.prompter.shown[1].question),
              std::make_tuple(u"Folder can not be deleted because it is currently being "
                              u"multicasted. Please stop multicasting first"s,
                              false));

    // The resource is gone from the catalogue before its users are disconnected; not so
    // while the server is stopped.
    f.server.multicasting.clear();
    f.Select(music);
    f.commands.Delete();
    EXPECT_TRUE(f.Written().empty());
    EXPECT_EQ(f.disconnects, (Disconnects{{u"Music", true}}));
    f.state = ServerState::Stopped;
    f.Select(f.Add(Live, u"News"));
    f.prompter.answers = {true};
    f.commands.Delete();
    EXPECT_EQ(f.prompter.shown.back().text, u"Are you sure to delete News live broadcast?");
    EXPECT_TRUE(f.Resources().LiveBroadcasts().Children().empty());
    EXPECT_EQ(f.disconnects.size(), 1u);
}

TEST(ResourceCommands, ToggleSwitchesInPlaceAndDisconnectsBothWays) {
    Fixture f;
    f.Add(Live, u"Alpha");
    CatalogueItem& news = f.Select(f.Add(Live, u"News"));
    f.Add(Live, u"Zulu");
    f.commands.OnCommand(ToggleEnabledCommand, 0);
    EXPECT_EQ(std::make_pair(news.Text(), news.Row()), std::make_pair(u"News (disabled)"s, 1ul));
    EXPECT_FALSE(f.Written().at(1).enabled);
    f.commands.ToggleEnabled();
    EXPECT_EQ(news.Text(), u"News");
    EXPECT_TRUE(f.Written().at(1).enabled);
    EXPECT_EQ(f.disconnects, (Disconnects{{u"News listed", false}, {u"News listed", false}}));
    f.state = ServerState::Stopped;
    f.commands.ToggleEnabled();
    EXPECT_EQ(f.disconnects.size(), 2u);
    EXPECT_EQ(f.files.writes.size(), 3u);

    // Refused for a multicasting folder; nothing to switch for a branch.
    f.state = ServerState::Running;
    CatalogueItem& music = f.Select(f.Add(Folder, u"Music"));
    f.server.multicasting[u"Music"] = u"on";
    f.commands.ToggleEnabled();
    EXPECT_EQ(f.prompter.shown.at(0).text,
              u"Folder can not be disabled because it is currently being multicasted. Please "
              u"stop multicasting first");
    EXPECT_EQ(music.Text(), u"Music");
    f.Select(f.Resources().LiveBroadcasts());
    f.commands.ToggleEnabled();
    EXPECT_EQ(f.files.writes.size(), 3u);
}

TEST(ResourceCommands, NewLiveBroadcastRunsTheChosenEditorAndAddsItSorted) {
    Fixture f;
    f.Add(Live, u"Alpha");
    f.Add(Live, u"Zulu");
    f.commands.OnCommand(NewOrEditLiveBroadcastCommand, NewResourceParameter);  // cancelled
    f.chosen = LiveType::Dynamic;
    f.commands.NewOrEditLiveBroadcast(NewResourceParameter);  // editor cancelled
    EXPECT_EQ(f.choices, 2);
    EXPECT_TRUE(f.files.writes.empty());

    for (auto [type, name, source] :
         {std::tuple(LiveType::Static, u"Mid", u"3@10.0.0.1"),
          std::tuple(LiveType::Delegate, u"Beta", u"vtr://tcp:h:5119/x")}) {
        f.chosen = type;
        f.broadcastEditor = [&](BroadcastForm& form) {
            return form.name = name, form.source = source, true;
        };
        f.commands.NewOrEditLiveBroadcast(NewResourceParameter);
    }

    ASSERT_EQ(f.liveOpened.size(), 2u);
    EXPECT_EQ(f.liveOpened[0], std::make_pair(NewLiveForm(LiveType::Dynamic), false));
    EXPECT_EQ(f.liveOpened[1], std::make_pair(NewLiveForm(LiveType::Static), false));
    ASSERT_EQ(f.delegateOpened.size(), 1u);
    EXPECT_EQ(f.delegateOpened[0], std::make_pair(DelegateForm{}, false));
    EXPECT_EQ(f.selected->Text(), u"Beta");
    std::u16string names;
    for (const ResourceRecord& record : f.Written()) {
        names += record.name + u" ";
    }
    EXPECT_EQ(names, u"Alpha Beta Mid Zulu ");
    const ResourceRecord& mid = f.Resources().LiveBroadcasts().Children()[2]->Record();
    EXPECT_EQ(std::tie(mid.kind, mid.imageIndex, mid.enabled, mid.playlist, mid.playlistOrder,
                       mid.source),
              std::make_tuple(Live, 3u, true, false, 0u, u"3@10.0.0.1"s));
    EXPECT_EQ(f.files.writes.size(), 2u);
}

TEST(ResourceCommands, LiveBroadcastSettingsOpenTheEditorTheSourceCallsFor) {
    // (Which source calls for which type is the broadcast form's rule.)
    Fixture f;
    CatalogueItem& relay = f.Select(f.Add(Live, u"Relay"));
    relay.Record().source = u"vtr://https:h:443/a";
    f.commands.OnCommand(NewOrEditLiveBroadcastCommand, EditSelectedParameter);
    ASSERT_EQ(f.delegateOpened.size(), 1u);
    EXPECT_EQ(f.delegateOpened[0], std::make_pair(DelegateFormFromRecord(relay.Record()), true));
    CatalogueItem& news = f.Select(f.Add(Live, u"News"));
    news.Record().source = u"0@abc";
    f.commands.NewOrEditLiveBroadcast(EditSelectedParameter);
    ASSERT_EQ(f.liveOpened.size(), 1u);
    EXPECT_EQ(f.liveOpened[0], std::make_pair(LiveFormFromRecord(news.Record()), true));
    EXPECT_EQ(LiveTypeOf(f.liveOpened[0].first), LiveType::Dynamic);
    EXPECT_EQ(f.choices, 0);
    EXPECT_TRUE(f.files.writes.empty());
    // A folder is no broadcast to edit.
    f.Select(f.Add(Folder, u"Music"));
    f.commands.NewOrEditLiveBroadcast(EditSelectedParameter);
    EXPECT_EQ(f.liveOpened.size() + f.delegateOpened.size(), 2u);
}

TEST(ResourceCommands, AcceptedBroadcastEditChangesTheRecordInPlaceAndShowsItAgain) {
    Fixture f;
    f.Add(Live, u"Alpha");
    CatalogueItem& news = f.Select(f.Add(Live, u"News"));
    news.Record().enabled = false;
    news.Record().source = u"1@h";
    news.Record().playlist = true;  // not the editor's: kept as it was
    // The status line still shows what a folder selected before said.
    CatalogueItem& music = f.Select(f.Add(Folder, u"Music"));
    f.server.multicasting[u"Music"] = u"on";
    f.commands.QueryMulticastStatus();
    f.Select(news);
    f.broadcastEditor = [](BroadcastForm& form) {
        return form.name = u"Zzz", form.description = u"words", true;
    };
    f.commands.NewOrEditLiveBroadcast(EditSelectedParameter);
    EXPECT_EQ(std::make_pair(news.Text(), news.Row()), std::make_pair(u"Zzz (disabled)"s, 1ul));
    EXPECT_EQ(f.refreshes, 1);
    EXPECT_EQ(f.commands.StatusText(), u"OK");
    ASSERT_EQ(f.files.writes.size(), 1u);
    const ResourceRecord& written = f.Written().at(2);
    EXPECT_EQ(std::tie(written.name, written.description, written.playlist, written.enabled),
              std::make_tuple(u"Zzz"s, u"words"s, true, false));
    EXPECT_EQ(music.Text(), u"Music");

    // A folder's accepted edit asks the server about it again for the status line.
    f.Select(music);
    f.commands.OnSelectionChanged();
    f.server.multicasting.clear();
    f.editor = [](FolderForm&) { return true; };
    f.commands.NewOrEditFolder(EditSelectedParameter);
    EXPECT_EQ(f.commands.StatusText(), u"OK");
}

}  // namespace
}  // namespace vantor
