// The resource commands against vantor-sim: the configuration store on a real config.vtr, the
// folder editor's model standing in for the dialog, the automation objects over D-Bus.

#include "ui/resource_commands.h"

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "config/config_file.h"
#include "config/config_store.h"
#include "config/multicast_table.h"
#include "editors/delegate_editor_model.h"
#include "editors/folder_editor_model.h"
#include "editors/live_editor_model.h"
#include "monitor/resource_disconnect.h"
#include "platform/linux_dbus_automation.h"
#include "platform/linux_file_store.h"
#include "sim/sim_control_names.h"
#include "sim_fixture.h"

namespace vantor::integration {
namespace {

const QString ReloadCall = QStringLiteral("Vantor.VTRConfig.ReloadConfiguration");
const QString DisconnectCall = QStringLiteral("Vantor.ResourcesInUse.DisconnectUser");
const auto Folder = ResourceKind::VirtualFolder;

ResourceRecord Resource(ResourceKind kind, std::u16string name, std::u16string group = {}) {
    ResourceRecord record;
    record.kind = kind;
    record.name = name;
    record.source = u"/srv/" + name;
    record.unicast = record.playlist = true;
    record.multicast = !group.empty();
    record.multicastGroup = std::move(group);
    record.userGroups = AllUsers;
    return record;
}

QString ActiveUser(const char* resource, int pointer) {
    return QStringLiteral("<\x01Resource\x01>%1<\x01User\x01>u%2<\x01Pointer\x01>%2")
        .arg(QString::fromUtf8(resource), QString::number(pointer));
}

// The tool's pieces as the main window holds them, over the sim's config.vtr, with the server
// running. The fixture plays the main window's side of the commands without widgets: a
// selection, and an editor that is the folder editor's model driven by the test's script (then
// OK).
class ResourceCommandsAgainstSim : public SimTest, public ResourceCommandHost {
protected:
    CatalogueItem* SelectedItem() const override { return selected_; }
    void SelectItem(CatalogueItem& item) override { selected_ = &item; }
    void RefreshSelection() override {}
    bool RunFolderEditor(FolderForm& form, bool updateMode) override {
        FolderEditorModel model(updateMode ? FolderEditorMode::Update : FolderEditorMode::Create,
                                form, table_, store_.Resources(), defaultAuthMethod_);
        EXPECT_EQ(model.OnOpen(), u"");
        script_(model);
        EXPECT_EQ(model.OnOk(), u"");  // every script here fills in an acceptable form
        form = model.Form();
        return true;
    }
    bool ChooseLiveType(LiveType& type) override { return type = liveType_, true; }
    bool RunLiveEditor(LiveForm& form, bool updateMode) override {
        LiveEditorModel model(updateMode ? LiveEditorMode::Update : LiveEditorMode::Create, form,
                              table_, store_.Resources(), defaultAuthMethod_, subDialogs_);
        EXPECT_EQ(model.OnOpen(), u"");
        liveScript_(model);
        EXPECT_EQ(model.OnOk(), u"");
        form = model.Form();
        return true;
    }
    bool RunDelegateEditor(DelegateForm& form, bool updateMode) override {
        DelegateEditorModel model(
            updateMode ? DelegateEditorMode::Update : DelegateEditorMode::Create, form, table_,
            store_.Resources(), defaultAuthMethod_, subDialogs_);
        EXPECT_EQ(model.OnOpen(), u"");
        delegateScript_(model);
        EXPECT_EQ(model.OnOk(), u"");
        form = model.Form();
        return true;
    }
    void DisconnectResourceUsers(const std::u16string& name, bool isFolder) override {
        vantor::DisconnectResourceUsers(automation_, name, isFolder);
    }

    void StartWith(const std::vector<ResourceRecord>& records) {
        std::vector<const ResourceRecord*> pointers;
        for (const ResourceRecord& record : records) {
            pointers.push_back(&record);
        }
        ASSERT_TRUE(files_.ReplaceFile(
            ConfigPath(),
            WriteConfigFile(ServerConfig{}, AuthMethod::Anonymous, std::span(pointers))));
        ASSERT_TRUE(StartSim({QStringLiteral("--running")}));
        store_.LoadConfiguration();
        Control(sim::control::ClearCallLog);
    }

    std::vector<std::uint8_t> FileBytes() { return files_.ReadFile(ConfigPath()).value(); }
    QStringList LoadedNames() {
        return Control(sim::control::GetLoadedConfig).value(2).toStringList();
    }
    CatalogueItem& Files() { return store_.Resources().FileResources(); }
    QStringList FolderNames() {
        QStringList names;
        for (const auto& child : Files().Children()) {
            names << QString::fromStdU16String(child->Text());
        }
        return names;
    }

    AuthMethod defaultAuthMethod_ = AuthMethod::Anonymous;
    MulticastTable table_;
    ServerState state_ = ServerState::Running;
    LinuxFileStore files_;
    LinuxDbusAutomationFactory automation_;
    RecordingPrompter prompter_;
    ConfigStore store_{defaultAuthMethod_, table_,    state_,      files_,
                       automation_,        prompter_, ConfigPath()};
    ResourceCommands commands_{store_, state_, automation_, prompter_, *this};
    CatalogueItem* selected_ = nullptr;
    std::function<void(FolderEditorModel&)> script_;
    LiveType liveType_ = LiveType::Static;
    BroadcastSubDialogs subDialogs_;
    std::function<void(LiveEditorModel&)> liveScript_;
    std::function<void(DelegateEditorModel&)> delegateScript_;
};

TEST_F(ResourceCommandsAgainstSim, NewFolderIsSortedSelectedSavedAndReloaded) {
    ASSERT_NO_FATAL_FAILURE(StartWith({Resource(Folder, u"zeta"), Resource(Folder, u"Beta"),
                                       Resource(ResourceKind::LiveBroadcast, u"Radio")}));
    selected_ = &Files();
    script_ = [](FolderEditorModel& editor) {
        editor.OnBrowseResult(u"/srv/alpha");
        editor.SetNameText(u"alpha");
        editor.SetDescriptionText(u"Holidays");
    };
    EXPECT_TRUE(commands_.OnCommand(NewOrEditFolderCommand, NewResourceParameter));

    EXPECT_TRUE(prompter_.shown.empty());
    EXPECT_EQ(FolderNames(), (QStringList{"alpha", "Beta", "zeta"}));
    ASSERT_NE(selected_, nullptr);
    EXPECT_EQ(selected_->Record().multicastGroup, u"225.0.0.0:5000");
    const ResourceRecord saved = ReadConfigFile(FileBytes()).records.at(0);
    EXPECT_EQ(std::vector({saved.name, saved.source, saved.description}),
              std::vector<std::u16string>({u"alpha", u"/srv/alpha", u"Holidays"}));
    EXPECT_EQ(CountCalls(ReloadCall), 1);
    EXPECT_EQ(LoadedNames(), (QStringList{"alpha", "Beta", "zeta", "Radio"}));
}

TEST_F(ResourceCommandsAgainstSim, DeletingAFolderDisconnectsExactlyItsUsers) {
    ASSERT_NO_FATAL_FAILURE(StartWith({Resource(Folder, u"Movies"), Resource(Folder, u"Music"),
                                       Resource(ResourceKind::LiveBroadcast, u"movies")}));
    Control(sim::control::FeedActiveUsers,
            {QStringList{ActiveUser("movies\\a.wmv", 1), ActiveUser("music\\b.wmv", 2),
                         ActiveUser("moviesx\\c.wmv", 3), ActiveUser("movies", 4),
                         ActiveUser("movies\\sub\\d.wmv", 5)}});
    selected_ = Files().Children()[0].get();
    prompter_.answers.push_back(true);
    commands_.OnCommand(DeleteResourceCommand, 0);

    ASSERT_EQ(prompter_.shown.size(), 1u);
    EXPECT_EQ(prompter_.shown[0].text, u"Are you sure to delete Movies virtual folder?");
    EXPECT_EQ(FolderNames(), QStringList{"Music"});
    // Users 1 and 5, then the server reloads the file without the folder.
    const QStringList log = CallLog();
    EXPECT_EQ(log.filter(DisconnectCall),
              (QStringList{DisconnectCall + " 1", DisconnectCall + " 5"}));
    EXPECT_LT(log.indexOf(DisconnectCall + " 5"), log.indexOf(ReloadCall));
    EXPECT_EQ(LoadedNames(), (QStringList{"Music", "movies"}));
}

TEST_F(ResourceCommandsAgainstSim, MulticastingFolderRefusalsLeaveEverythingUnchanged) {
    ASSERT_NO_FATAL_FAILURE(
        StartWith({Resource(Folder, u"Films", u"225.1.1.1:5000"), Resource(Folder, u"Music")}));
    Control(sim::control::SetMulticastAnswer,
            {QStringLiteral("Films"), QVariant::fromValue<quint32>(SOk),
             QStringLiteral("225.1.1.1:5000"), QString()});
    Control(sim::control::FeedActiveUsers, {QStringList{ActiveUser("films\\a.wmv", 7)}});
    CatalogueItem* films = Files().Children()[0].get();
    selected_ = films;
    const std::vector<std::uint8_t> original = FileBytes();
    const ResourceRecord record = films->Record();
    prompter_.answers = {true, true, true};

    commands_.OnCommand(DeleteResourceCommand, 0);
    commands_.OnCommand(ToggleEnabledCommand, 0);
    script_ = [](FolderEditorModel& editor) { editor.SetNameText(u"Films 2"); };
    commands_.OnCommand(NewOrEditFolderCommand, EditSelectedParameter);
    const std::u16string refusals[] = {
        u"Folder can not be deleted because it is currently being multicasted",
        u"Folder can not be disabled because it is currently being multicasted",
        u"Settings can not be updated because this folder is currently being multicasted"};
    ASSERT_EQ(prompter_.shown.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(prompter_.shown[i].text, refusals[i] + u". Please stop multicasting first");
        EXPECT_EQ(prompter_.shown[i].caption, u"Warning");
        EXPECT_FALSE(prompter_.shown[i].question);
    }
    EXPECT_EQ(FolderNames(), (QStringList{"Films", "Music"}));
    EXPECT_EQ(films->Record(), record);
    // The refused delete still saves, to the same bytes; nobody was disconnected.
    EXPECT_EQ(FileBytes(), original);
    EXPECT_EQ(CountCalls(ReloadCall), 1);
    EXPECT_EQ(CountCalls(DisconnectCall), 0);
}

CatalogueItem& Broadcasts(ConfigStore& store) {
    return store.Resources().LiveBroadcasts();
}

QStringList BroadcastNames(ConfigStore& store) {
    QStringList names;
    for (const auto& child : Broadcasts(store).Children()) {
        names << QString::fromStdU16String(child->Text());
    }
    return names;
}

TEST_F(ResourceCommandsAgainstSim, NewBroadcastsOfEachKindAreSortedSelectedSavedAndReloaded) {
    ASSERT_NO_FATAL_FAILURE(
        StartWith({Resource(ResourceKind::LiveBroadcast, u"Morning"), Resource(Folder, u"Music")}));
    selected_ = &Broadcasts(store_);
    subDialogs_.setPassword = [](std::u16string& hash) {
        hash = u"0123456789abcdef0123456789abcdef01234567";
        return true;
    };
    liveScript_ = [](LiveEditorModel& editor) {
        editor.Settings().SetNameText(editor.Type() == LiveType::Static ? u"zulu" : u"Alpha");
        editor.SetAddressText(u"192.168.0.10");
        editor.OnIdSelected(2);
        editor.OnSetPasswordClicked();
    };
    delegateScript_ = [](DelegateEditorModel& editor) {
        editor.Settings().SetNameText(u"Relay");
        editor.SetRemoteAliasText(u"news");
        editor.SetAddressText(u"10.0.0.5");
    };
    const std::pair<LiveType, QString> created[] = {
        {LiveType::Static, "zulu"}, {LiveType::Dynamic, "Alpha"}, {LiveType::Delegate, "Relay"}};
    for (const auto& [type, name] : created) {
        liveType_ = type;
        commands_.OnCommand(NewOrEditLiveBroadcastCommand, NewResourceParameter);
        ASSERT_NE(selected_, nullptr);
        EXPECT_EQ(QString::fromStdU16String(selected_->Text()), name);
    }

    EXPECT_TRUE(prompter_.shown.empty());
    EXPECT_EQ(BroadcastNames(store_), (QStringList{"Alpha", "Morning", "Relay", "zulu"}));
    std::vector<std::u16string> sources;
    for (const ResourceRecord& record : ReadConfigFile(FileBytes()).records) {
        sources.push_back(record.source);
    }
    EXPECT_EQ(sources, (std::vector<std::u16string>{
                           u"/srv/Music", u"0@0123456789abcdef0123456789abcdef01234567",
                           u"/srv/Morning", u"vtr://tcp:10.0.0.5:5119/news", u"3@192.168.0.10"}));
    EXPECT_EQ(CountCalls(ReloadCall), 3);
    EXPECT_EQ(LoadedNames(), (QStringList{"Music", "Alpha", "Morning", "Relay", "zulu"}));
}

TEST_F(ResourceCommandsAgainstSim, BroadcastEditReloadsOnceAndLeavesTheOtherRecords) {
    ResourceRecord relay = Resource(ResourceKind::LiveBroadcast, u"Relay", u"225.3.3.3:6000");
    relay.source = u"vtr://https:10.0.0.5:8443/a/b";
    ResourceRecord news = Resource(ResourceKind::LiveBroadcast, u"News");
    news.source = u"7@10.1.1.1";
    ASSERT_NO_FATAL_FAILURE(StartWith({Resource(Folder, u"Music"), news, relay}));
    const std::vector<ResourceRecord> before = ReadConfigFile(FileBytes()).records;

    selected_ = Broadcasts(store_).Children()[1].get();
    delegateScript_ = [](DelegateEditorModel& editor) {
        EXPECT_EQ(editor.State(DelegateControl::PortEdit).text, u"8443");
        editor.Settings().SetDescriptionText(u"forwarded");
    };
    commands_.OnCommand(NewOrEditLiveBroadcastCommand, EditSelectedParameter);
    selected_ = Broadcasts(store_).Children()[0].get();
    liveScript_ = [](LiveEditorModel& editor) {
        EXPECT_EQ(editor.SelectedId(), 6);
        editor.SetAddressText(u"10.1.1.2");
    };
    commands_.OnCommand(NewOrEditLiveBroadcastCommand, EditSelectedParameter);

    const std::vector<ResourceRecord> after = ReadConfigFile(FileBytes()).records;
    ASSERT_EQ(after.size(), 3u);
    EXPECT_EQ(after[0], before[0]);
    EXPECT_EQ(after[1].source, u"7@10.1.1.2");
    ResourceRecord expectedRelay = before[2];
    expectedRelay.description = u"forwarded";
    EXPECT_EQ(after[2], expectedRelay);
    EXPECT_EQ(CountCalls(ReloadCall), 2);
}

TEST_F(ResourceCommandsAgainstSim, DisablingOrDeletingABroadcastDisconnectsExactlyItsUsers) {
    ASSERT_NO_FATAL_FAILURE(
        StartWith({Resource(ResourceKind::LiveBroadcast, u"News"),
                   Resource(ResourceKind::LiveBroadcast, u"Newsroom"), Resource(Folder, u"news")}));
    const QStringList users{ActiveUser("NEWS", 1), ActiveUser("newsroom", 2),
                            ActiveUser("news\\a.wmv", 3), ActiveUser("news", 4)};
    Control(sim::control::FeedActiveUsers, {users});
    selected_ = Broadcasts(store_).Children()[0].get();
    commands_.OnCommand(ToggleEnabledCommand, 0);
    EXPECT_EQ(CallLog().filter(DisconnectCall),
              (QStringList{DisconnectCall + " 1", DisconnectCall + " 4"}));
    EXPECT_EQ(QString::fromStdU16String(selected_->Text()), "News (disabled)");
    EXPECT_FALSE(ReadConfigFile(FileBytes()).records.at(1).enabled);

    Control(sim::control::ClearCallLog);
    Control(sim::control::FeedActiveUsers, {users});
    prompter_.answers.push_back(true);
    commands_.OnCommand(DeleteResourceCommand, 0);
    EXPECT_EQ(prompter_.shown.at(0).text, u"Are you sure to delete News live broadcast?");
    EXPECT_EQ(CallLog().filter(DisconnectCall),
              (QStringList{DisconnectCall + " 1", DisconnectCall + " 4"}));
    EXPECT_EQ(BroadcastNames(store_), QStringList{"Newsroom"});
    EXPECT_EQ(LoadedNames(), (QStringList{"news", "Newsroom"}));
}

}  // namespace
}  // namespace vantor::integration
