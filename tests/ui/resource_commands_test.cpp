#include "ui/resource_commands.h"

#include <functional>
#include <map>
#include <memory>
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
const std::string ConfigPath = "/data/config.vtr";

std::string Narrow(std::u16string_view text) {
    return std::string(text.begin(), text.end());
}

// The server: reloads, and multicasts the folders listed in `multicasting`; every call is a line.
class ServerAutomation : public test::FakeAutomation {
public:
    struct Trigger : FileMCastTriggerObject {
        explicit Trigger(ServerAutomation& server) : server(server) {}
        HResult StartMulticast(const std::u16string& name, const std::u16string& path,
                               const std::u16string& group, std::int32_t port,
                               bool random) override {
            server.calls.push_back("Start " + Narrow(name) + " " + Narrow(path) + " " +
                                   Narrow(group) + " " + std::to_string(port) + " " +
                                   std::to_string(random));
            return EFail;
        }
        HResult StopMulticast(const std::u16string& name) override {
            server.calls.push_back("Stop " + Narrow(name));
            return EFail;
        }
        MulticastStatusResult GetMulticastStatus(const std::u16string& name) override {
            server.calls.push_back("Status " + Narrow(name));
            auto found = server.multicasting.find(name);
            return found != server.multicasting.end()
                       ? MulticastStatusResult{SOk, found->second, u"unused"}
                       : MulticastStatusResult{SFalse, u"unused", server.idleText};
        }
        ServerAutomation& server;
    };
    struct VtrConfig : VtrConfigObject {
        HResult ReloadConfiguration() override { return SOk; }
    };
    std::unique_ptr<VtrConfigObject> CreateVtrConfig() override {
        return std::make_unique<VtrConfig>();
    }
    std::unique_ptr<FileMCastTriggerObject> CreateFileMCastTrigger() override {
        calls.push_back(triggerAvailable ? "Create" : "Create failed");
        return triggerAvailable ? std::make_unique<Trigger>(*this) : nullptr;
    }

    std::map<std::u16string, std::u16string> multicasting;
    std::u16string idleText;
    bool triggerAvailable = true;
    Calls calls;
};

class FakeHost : public ResourceCommandHost {
public:
    explicit FakeHost(Catalogue& catalogue) : catalogue(catalogue) {}
    CatalogueItem* SelectedItem() const override { return selected; }
    void SelectItem(CatalogueItem& item) override { selected = &item; }
    void RefreshSelection() override { ++refreshes; }
    bool RunFolderEditor(FolderForm& form, bool updateMode) override {
        opened.emplace_back(form, updateMode);
        return editor && editor(form);
    }
    void DisconnectResourceUsers(const std::u16string& name, bool isFolder) override {
        disconnects.emplace_back(name, isFolder);
        listedAtDisconnect.push_back(catalogue.ResourceNameExists(name));
    }

    Catalogue& catalogue;
    CatalogueItem* selected = nullptr;
    int refreshes = 0;
    std::function<bool(FolderForm&)> editor;  // accepts and edits the form, or cancels
    std::vector<std::pair<FolderForm, bool>> opened;
    Disconnects disconnects;
    std::vector<bool> listedAtDisconnect;
};

struct Fixture {
    CatalogueItem& Add(ResourceKind kind, std::u16string name, bool multicast = true) {
        ResourceRecord record;
        record.kind = kind;
        record.name = name;
        record.source = u"/media/" + name;
        record.playlist = record.multicast = multicast;
        record.multicastGroup = u"225.1.2.3:5000";
        record.playlistOrder = 1;
        return *store.Resources().InsertResourceItem(record);
    }
    CatalogueItem& Select(CatalogueItem& item) { return *(host.selected = &item); }
    std::vector<ResourceRecord> Written() const {
        return ReadConfigFile(files.files.at(ConfigPath)).records;
    }
    std::vector<test::RecordingPrompter::Shown>& Shown() { return prompter.shown; }

    AuthMethod authMethod = AuthMethod::Anonymous;
    MulticastTable multicastTable;
    ServerState state = ServerState::Running;
    test::FakeFileStore files;
    ServerAutomation server;
    test::RecordingPrompter prompter;
    ConfigStore store{authMethod, multicastTable, state, files, server, prompter, ConfigPath};
    FakeHost host{store.Resources()};
    ResourceCommands commands{store, state, server, prompter, host};
};

const auto Folder = ResourceKind::VirtualFolder;
const auto Live = ResourceKind::LiveBroadcast;

TEST(ResourceCommands, StatusLineAndContextMenuFollowTheServer) {
    Fixture f;
    CatalogueItem& music = f.Select(f.Add(Folder, u"Music"));
    EXPECT_EQ(f.commands.StatusText(), u"OK");
    f.server.idleText = u"Idle";
    EXPECT_FALSE(f.commands.QueryMulticastStatus());
    EXPECT_EQ(f.commands.StatusText(), u"Idle");
    f.server.idleText.clear();
    f.commands.OnSelectionChanged();
    EXPECT_EQ(f.commands.StatusText(), u"OK");

    auto multicastItem = [&](const CatalogueItem& item) -> std::u16string {
        for (const ContextMenuEntry& entry : f.commands.ContextMenuItems(item)) {
            if (!entry.separator && entry.id == StartStopMulticastCommand) {
                return std::u16string(entry.text);
            }
        }
        return u"none";
    };
    EXPECT_EQ(multicastItem(music), u"&Start muticasting");
    EXPECT_TRUE(f.commands.StartRequested());
    f.server.multicasting[u"Music"] = u"225.1.2.3:5000";
    EXPECT_EQ(multicastItem(music), u"&Stop multicasting");
    EXPECT_FALSE(f.commands.StartRequested());
    EXPECT_EQ(f.commands.StatusText(), u"Currently multicasting: 225.1.2.3:5000");

    // No question to the server: disabled, stopped, without multicast, a live broadcast.
    f.server.calls.clear();
    music.Record().enabled = false;
    EXPECT_EQ(f.commands.ContextMenuItems(music).front().text, u"&Enable virtual folder");
    EXPECT_EQ(multicastItem(music), u"none");
    music.Record().enabled = true;
    f.state = ServerState::Stopped;
    EXPECT_EQ(multicastItem(music), u"none");
    f.commands.OnSelectionChanged();
    EXPECT_EQ(f.commands.StatusText(), u"OK");
    f.state = ServerState::Running;
    EXPECT_EQ(multicastItem(f.Add(Folder, u"Plain", false)), u"none");
    f.Select(f.Add(Live, u"News"));
    f.commands.OnSelectionChanged();
    EXPECT_EQ(f.server.calls, Calls{});

    f.server.triggerAvailable = false;
    f.Select(music);
    EXPECT_FALSE(f.commands.QueryMulticastStatus());
    EXPECT_EQ(f.commands.StatusText(), u"OK");
}

TEST(ResourceCommands, StartStopDoesWhatTheMenuOffered) {
    Fixture f;
    CatalogueItem& music = f.Select(f.Add(Folder, u"Music"));
    f.commands.ContextMenuItems(music);
    f.server.calls.clear();
    EXPECT_TRUE(f.commands.OnCommand(StartStopMulticastCommand, 0));
    f.server.multicasting[u"Music"] = u"on";
    f.commands.ContextMenuItems(music);
    f.commands.StartStopMulticast();
    f.server.triggerAvailable = false;
    f.commands.StartStopMulticast();
    EXPECT_EQ(f.server.calls, (Calls{"Create", "Start Music /media/Music 225.1.2.3 5000 1",
                                     "Create", "Status Music", "Create", "Status Music", "Create",
                                     "Stop Music", "Create", "Status Music", "Create failed"}));
    EXPECT_TRUE(f.files.writes.empty());

    EXPECT_EQ(SplitMulticastGroup(u"225.0.0.1:6000:7"), (MulticastGroupParts{u"225.0.0.1", 6000}));
    EXPECT_EQ(SplitMulticastGroup(u"225.0.0.1"), (MulticastGroupParts{u"225.0.0.1", 0}));
    EXPECT_EQ(SplitMulticastGroup(u"225.0.0.1:x"), (MulticastGroupParts{u"225.0.0.1", 0}));
}

TEST(ResourceCommands, NewFolderIsAddedSelectedAndSaved) {
    Fixture f;
    f.Add(Folder, u"Zeta");
    f.commands.OnCommand(NewOrEditFolderCommand, NewResourceParameter);  // cancelled
    EXPECT_TRUE(f.files.writes.empty());
    f.host.editor = [](FolderForm& form) {
        form.name = u"Alpha";
        form.path = u"/srv/alpha";
        form.maxConnections = {.enabled = true, .value = 9};
        return true;
    };
    f.commands.NewOrEditFolder(NewResourceParameter);
    ASSERT_EQ(f.host.opened.size(), 2u);
    EXPECT_EQ(f.host.opened[1], std::make_pair(FolderForm{}, false));
    const CatalogueItem& alpha = *f.store.Resources().FileResources().Children()[0];
    EXPECT_EQ(alpha.Text(), u"Alpha");
    EXPECT_EQ(f.host.selected, &alpha);
    const std::vector<ResourceRecord> written = f.Written();
    ASSERT_EQ(written.size(), 2u);
    EXPECT_EQ(
        std::tie(written[0].name, written[0].source, written[0].enabled, written[0].maxConnections),
        std::make_tuple(u"Alpha", u"/srv/alpha", true, 9u));
}

TEST(ResourceCommands, EditOfAMulticastingFolderRefusesStreamChangesOnly) {
    Fixture f;
    CatalogueItem& music = f.Select(f.Add(Folder, u"Music"));
    CatalogueItem& other = f.Add(Folder, u"Other");
    f.server.multicasting[u"Music"] = u"on";
    const ResourceRecord before = music.Record();
    for (auto change : std::vector<std::function<void(FolderForm&)>>{
             [](FolderForm& form) { form.name = u"music"; },
             [](FolderForm& form) { form.path = u"/elsewhere"; },
             [](FolderForm& form) { form.multicast = false; }}) {
        f.host.editor = [&](FolderForm& form) { return change(form), true; };
        f.commands.OnCommand(NewOrEditFolderCommand, EditSelectedParameter);
    }
    EXPECT_EQ(f.host.opened.at(0).first.name, u"Music");
    EXPECT_TRUE(f.host.opened.at(0).second);
    ASSERT_EQ(f.Shown().size(), 3u);
    EXPECT_EQ(f.Shown()[2].text, EditWhileMulticastingText);
    EXPECT_EQ(f.Shown()[2].caption, u"Warning");
    EXPECT_EQ(music.Record(), before);
    EXPECT_TRUE(f.files.writes.empty());

    f.host.editor = [](FolderForm& form) { return form.description = u"words", true; };
    f.commands.NewOrEditFolder(EditSelectedParameter);
    EXPECT_EQ(f.Written()[0].description, u"words");
    EXPECT_EQ(f.host.refreshes, 1);

    // Renamed in place, still marked disabled.
    f.Select(other).Record().enabled = false;
    f.host.editor = [](FolderForm& form) { return form.name = u"Aaa", true; };
    f.commands.NewOrEditFolder(EditSelectedParameter);
    EXPECT_EQ(other.Text(), u"Aaa (disabled)");
    EXPECT_EQ(other.Row(), 1u);

    f.Select(f.Add(Live, u"News"));
    f.commands.NewOrEditFolder(EditSelectedParameter);
    EXPECT_EQ(f.host.opened.size(), 5u);  // a live broadcast is not a folder to edit
}

TEST(ResourceCommands, DeleteAsksRefusesDisconnectsAndAlwaysSaves) {
    Fixture f;
    CatalogueItem& music = f.Select(f.Add(Folder, u"Music"));
    f.commands.OnCommand(DeleteResourceCommand, 0);  // No
    EXPECT_EQ(f.Shown().at(0).text, u"Are you sure to delete Music virtual folder?");
    EXPECT_EQ(f.Shown().at(0).caption, u"Confirmation");
    EXPECT_EQ(f.Written().size(), 1u);

    f.server.multicasting[u"Music"] = u"on";
    f.commands.Delete();
    EXPECT_EQ(f.Shown().at(1).text, DeleteWhileMulticastingText);
    EXPECT_FALSE(f.Shown().at(1).question);
    f.Select(f.store.Resources().Root());
    f.commands.Delete();
    EXPECT_EQ(f.Shown().size(), 2u);
    EXPECT_EQ(f.files.writes.size(), 3u);

    f.server.multicasting.clear();
    f.Select(music);
    f.prompter.answers = {true};
    f.commands.Delete();
    EXPECT_TRUE(f.Written().empty());
    EXPECT_EQ(f.host.disconnects, (Disconnects{{u"Music", true}}));
    EXPECT_EQ(f.host.listedAtDisconnect, std::vector<bool>{false});

    f.state = ServerState::Stopped;
    f.Select(f.Add(Live, u"News"));
    f.prompter.answers = {true};
    f.commands.Delete();
    EXPECT_EQ(f.Shown().back().text, u"Are you sure to delete News live broadcast?");
    EXPECT_TRUE(f.store.Resources().LiveBroadcasts().Children().empty());
    EXPECT_EQ(f.host.disconnects.size(), 1u);
}

TEST(ResourceCommands, ToggleSwitchesInPlaceAndDisconnectsBothWays) {
    Fixture f;
    f.Add(Live, u"Alpha");
    CatalogueItem& news = f.Select(f.Add(Live, u"News"));
    f.Add(Live, u"Zulu");
    f.commands.OnCommand(ToggleEnabledCommand, 0);
    EXPECT_EQ(news.Text(), u"News (disabled)");
    EXPECT_EQ(news.Row(), 1u);
    EXPECT_FALSE(f.Written().at(1).enabled);
    f.commands.ToggleEnabled();
    EXPECT_EQ(news.Text(), u"News");
    EXPECT_TRUE(f.Written().at(1).enabled);
    EXPECT_EQ(f.host.disconnects, (Disconnects{{u"News", false}, {u"News", false}}));
    f.state = ServerState::Stopped;
    f.commands.ToggleEnabled();
    EXPECT_EQ(f.host.disconnects.size(), 2u);
    EXPECT_EQ(f.files.writes.size(), 3u);

    f.state = ServerState::Running;
    CatalogueItem& music = f.Select(f.Add(Folder, u"Music"));
    f.server.multicasting[u"Music"] = u"on";
    f.commands.ToggleEnabled();
    EXPECT_EQ(f.Shown().at(0).text, DisableWhileMulticastingText);
    EXPECT_EQ(music.Text(), u"Music");
    f.Select(f.store.Resources().LiveBroadcasts());
    f.commands.ToggleEnabled();
    EXPECT_EQ(f.files.writes.size(), 3u);

    for (int id : {NewOrEditLiveBroadcastCommand, ServerPropertiesCommand, ExportFolderInfoCommand,
                   GeneratePlaylistCommand}) {
        EXPECT_FALSE(f.commands.OnCommand(id, 0)) << id;
    }
}

}  // namespace
}  // namespace vantor
