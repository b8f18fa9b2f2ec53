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
#include "editors/folder_editor_model.h"
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

}  // namespace
}  // namespace vantor::integration
