// The resource commands against vantor-sim: the configuration store on a real config.vtr in the
// common data folder, the folder editor's model standing in for the dialog, the automation
// objects over D-Bus.

#include "ui/resource_commands.h"

#include <cstdlib>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "config/catalogue.h"
#include "config/config_file.h"
#include "config/config_store.h"
#include "editors/folder_editor_model.h"
#include "editors/folder_form.h"
#include "editors/multicast_table.h"
#include "monitor/resource_disconnect.h"
#include "platform/linux_dbus_automation.h"
#include "platform/linux_file_store.h"
#include "platform/linux_installation_environment.h"
#include "server/installation_paths.h"
#include "sim/sim_control_names.h"
#include "sim_fixture.h"

namespace vantor::integration {
namespace {

constexpr char CommonAppDataVariable[] = "VANTOR_COMMON_APPDATA";
const QString ReloadCall = QStringLiteral("Vantor.VTRConfig.ReloadConfiguration");
const QString DisconnectCall = QStringLiteral("Vantor.ResourcesInUse.DisconnectUser");

// Messages are recorded; questions are answered from a queue (No when it runs out).
class AnsweringPrompter : public RecordingPrompter {
public:
    bool AskYesNo(const std::u16string& text, const std::u16string& caption) override {
        RecordingPrompter::AskYesNo(text, caption);
        if (answers.empty()) {
            return false;
        }
        const bool answer = answers.front();
        answers.pop_front();
        return answer;
    }
    std::deque<bool> answers;
};

// The main window's side of the commands without widgets: a selection, and an editor that is
// the folder editor's model driven by the test's script (then OK).
class ScriptedHost : public ResourceCommandHost {
public:
    ScriptedHost(Catalogue& catalogue, MulticastTable& table, const AuthMethod& defaultAuthMethod,
                 AutomationFactory& automation)
        : catalogue_(catalogue),
          table_(table),
          defaultAuthMethod_(defaultAuthMethod),
          automation_(automation) {}

    CatalogueItem* SelectedItem() const override { return selected; }
    void SelectItem(CatalogueItem& item) override { selected = &item; }
    void RefreshSelection() override {}
    bool RunFolderEditor(FolderForm& form, bool updateMode) override {
        FolderEditorModel model(updateMode ? FolderEditorMode::Update : FolderEditorMode::Create,
                                form, table_, catalogue_, defaultAuthMethod_);
        EXPECT_EQ(model.OnOpen(), u"");
        if (script) {
            script(model);
        }
        editorMessage = model.OnOk();
        if (!editorMessage.empty()) {
            model.OnCancel();
            return false;
        }
        form = model.Form();
        return true;
    }
    void DisconnectResourceUsers(const std::u16string& name, bool isFolder) override {
        vantor::DisconnectResourceUsers(automation_, name, isFolder);
    }

    CatalogueItem* selected = nullptr;
    std::function<void(FolderEditorModel&)> script;
    std::u16string editorMessage;

private:
    Catalogue& catalogue_;
    MulticastTable& table_;
    const AuthMethod& defaultAuthMethod_;
    AutomationFactory& automation_;
};

ResourceRecord Folder(std::u16string name, std::u16string group = {}) {
    ResourceRecord record;
    record.kind = ResourceKind::VirtualFolder;
    record.name = name;
    record.source = u"/srv/" + name;
    record.unicast = true;
    record.multicast = !group.empty();
    record.multicastGroup = std::move(group);
    record.playlist = true;
    record.userGroups = AllUsers;
    return record;
}

ResourceRecord Broadcast(std::u16string name) {
    ResourceRecord record;
    record.kind = ResourceKind::LiveBroadcast;
    record.name = std::move(name);
    record.source = u"http://encoder:8080";
    return record;
}

QString ActiveUser(const QString& resource, const QString& user, int pointer) {
    return QStringLiteral("<\x01Resource\x01>%1<\x01User\x01>%2<\x01Pointer\x01>%3")
        .arg(resource, user, QString::number(pointer));
}

QStringList Names(const CatalogueItem& branch) {
    QStringList names;
    for (const auto& child : branch.Children()) {
        names << QString::fromStdU16String(child->Text());
    }
    return names;
}

// The tool's pieces as the main window holds them, over the sim's config.vtr, which the common
// data folder (VANTOR_COMMON_APPDATA) locates.
class ResourceCommandsAgainstSim : public SimTest {
protected:
    void SetUp() override {
        SimTest::SetUp();
        const char* old = std::getenv(CommonAppDataVariable);
        if (old != nullptr) {
            oldAppData_ = old;
        }
        setenv(CommonAppDataVariable, DataDir().toUtf8().constData(), 1);
    }
    void TearDown() override {
        commands_.reset();
        host_.reset();
        store_.reset();
        if (oldAppData_) {
            setenv(CommonAppDataVariable, oldAppData_->c_str(), 1);
        } else {
            unsetenv(CommonAppDataVariable);
        }
        SimTest::TearDown();
    }

    // Writes config.vtr with the records, starts the sim running and loads the file into a store
    // that sees the server running.
    bool StartWith(const std::vector<ResourceRecord>& records) {
        std::vector<const ResourceRecord*> pointers;
        for (const ResourceRecord& record : records) {
            pointers.push_back(&record);
        }
        LinuxInstallationEnvironment installation;
        const std::string path = LocateConfigFile(installation);
        EXPECT_EQ(path, ConfigPath());
        if (!files_.ReplaceFile(path, WriteConfigFile(ServerConfig{}, AuthMethod::Anonymous,
                                                      std::span(pointers)))) {
            ADD_FAILURE() << "cannot write " << path;
            return false;
        }
        if (!StartSim({QStringLiteral("--running")})) {
            return false;
        }
        store_ = std::make_unique<ConfigStore>(defaultAuthMethod_, table_, state_, files_,
                                               automation_, prompter_, path);
        store_->LoadConfiguration();
        host_ = std::make_unique<ScriptedHost>(store_->Resources(), table_, defaultAuthMethod_,
                                               automation_);
        commands_ =
            std::make_unique<ResourceCommands>(*store_, state_, automation_, prompter_, *host_);
        Control(sim::control::ClearCallLog);
        return true;
    }

    std::vector<std::uint8_t> FileBytes() {
        return files_.ReadFile(ConfigPath()).value_or(std::vector<std::uint8_t>{});
    }
    QStringList LoadedNames() {
        return Control(sim::control::GetLoadedConfig).value(2).toStringList();
    }
    Catalogue& Resources() { return store_->Resources(); }

    AuthMethod defaultAuthMethod_ = AuthMethod::Anonymous;
    MulticastTable table_;
    ServerState state_ = ServerState::Running;
    LinuxFileStore files_;
    LinuxDbusAutomationFactory automation_;
    AnsweringPrompter prompter_;
    std::unique_ptr<ConfigStore> store_;
    std::unique_ptr<ScriptedHost> host_;
    std::unique_ptr<ResourceCommands> commands_;

private:
    std::optional<std::string> oldAppData_;
};

TEST_F(ResourceCommandsAgainstSim, NewFolderIsSortedSelectedSavedAndReloaded) {
    ASSERT_TRUE(StartWith({Folder(u"zeta"), Folder(u"Beta"), Broadcast(u"Radio")}));
    host_->selected = &Resources().FileResources();
    host_->script = [](FolderEditorModel& editor) {
        editor.OnBrowseResult(u"/srv/alpha");
        editor.SetNameText(u"alpha");
        editor.SetDescriptionText(u"Holidays");
    };

    EXPECT_TRUE(commands_->OnCommand(NewOrEditFolderCommand, NewResourceParameter));

    EXPECT_EQ(host_->editorMessage, u"");
    EXPECT_TRUE(prompter_.messages.empty());
    EXPECT_EQ(
        Names(Resources().FileResources()),
        (QStringList{QStringLiteral("alpha"), QStringLiteral("Beta"), QStringLiteral("zeta")}));
    ASSERT_NE(host_->selected, nullptr);
    EXPECT_EQ(host_->selected->Record().name, u"alpha");
    EXPECT_EQ(host_->selected->Record().multicastGroup, u"225.0.0.0:5000");

    const ConfigFileContents saved = ReadConfigFile(FileBytes());
    ASSERT_EQ(saved.records.size(), 4u);
    EXPECT_EQ(saved.records[0].name, u"alpha");
    EXPECT_EQ(saved.records[0].source, u"/srv/alpha");
    EXPECT_EQ(saved.records[0].description, u"Holidays");
    EXPECT_TRUE(saved.records[0].enabled);
    EXPECT_EQ(CountCalls(ReloadCall), 1);
    EXPECT_EQ(LoadedNames(), (QStringList{QStringLiteral("alpha"), QStringLiteral("Beta"),
                                          QStringLiteral("zeta"), QStringLiteral("Radio")}));

    // A second folder by the same name, in other letters, is refused by the editor: nothing
    // changes and nothing is written.
    const std::vector<std::uint8_t> before = FileBytes();
    host_->script = [](FolderEditorModel& editor) {
        editor.OnBrowseResult(u"/srv/other");
        editor.SetNameText(u"ALPHA");
    };
    commands_->OnCommand(NewOrEditFolderCommand, NewResourceParameter);
    EXPECT_EQ(host_->editorMessage,
              u"Resource with this name already exists. Choose different name");
    EXPECT_EQ(Resources().FileResources().Children().size(), 3u);
    EXPECT_EQ(FileBytes(), before);
    EXPECT_EQ(CountCalls(ReloadCall), 1);
}

TEST_F(ResourceCommandsAgainstSim, DeletingAFolderDisconnectsExactlyItsUsers) {
    ASSERT_TRUE(StartWith({Folder(u"Movies"), Folder(u"Music"), Broadcast(u"movies")}));
    Control(sim::control::FeedActiveUsers,
            {QStringList{
                ActiveUser(QStringLiteral("movies\\a.wmv"), QStringLiteral("anna"), 1),
                ActiveUser(QStringLiteral("music\\b.wmv"), QStringLiteral("bob"), 2),
                ActiveUser(QStringLiteral("moviesx\\c.wmv"), QStringLiteral("carl"), 3),
                ActiveUser(QStringLiteral("movies"), QStringLiteral("dora"), 4),
                ActiveUser(QStringLiteral("movies\\sub\\d.wmv"), QStringLiteral("eve"), 5),
            }});
    host_->selected = Resources().FileResources().Children()[0].get();
    ASSERT_EQ(host_->selected->Record().name, u"Movies");
    prompter_.answers.push_back(true);

    commands_->OnCommand(DeleteResourceCommand, 0);

    ASSERT_EQ(prompter_.messages.size(), 1u);
    EXPECT_EQ(prompter_.messages[0].first, u"Are you sure to delete Movies virtual folder?");
    EXPECT_EQ(prompter_.messages[0].second, u"Confirmation");
    EXPECT_EQ(Names(Resources().FileResources()), QStringList{QStringLiteral("Music")});
    EXPECT_EQ(CountCalls(DisconnectCall + QStringLiteral(" 1")), 1);
    EXPECT_EQ(CountCalls(DisconnectCall + QStringLiteral(" 5")), 1);
    EXPECT_EQ(CountCalls(DisconnectCall), 2);
    // The users go before the server reloads the file without the folder.
    const QStringList log = CallLog();
    qsizetype lastDisconnect = -1;
    for (qsizetype i = 0; i < log.size(); ++i) {
        if (log[i].startsWith(DisconnectCall)) {
            lastDisconnect = i;
        }
    }
    EXPECT_GE(lastDisconnect, 0);
    EXPECT_LT(lastDisconnect, log.indexOf(ReloadCall));
    EXPECT_EQ(LoadedNames(), (QStringList{QStringLiteral("Music"), QStringLiteral("movies")}));

    const std::unique_ptr<ResourcesInUseObject> activity = automation_.CreateResourcesInUse();
    ASSERT_NE(activity, nullptr);
    const std::optional<std::vector<std::u16string>> remaining = activity->GetActiveUsers().records;
    ASSERT_TRUE(remaining.has_value());
    ASSERT_EQ(remaining->size(), 3u);
    for (const std::u16string& user : *remaining) {
        EXPECT_EQ(user.find(u"movies\\"), std::u16string::npos)
            << QString::fromStdU16String(user).toStdString();
    }
}

TEST_F(ResourceCommandsAgainstSim, MulticastingFolderRefusesDeleteDisableAndRename) {
    ASSERT_TRUE(StartWith({Folder(u"Films", u"225.1.1.1:5000"), Folder(u"Music")}));
    Control(sim::control::SetMulticastAnswer,
            {QStringLiteral("Films"), QVariant::fromValue<quint32>(SOk),
             QStringLiteral("225.1.1.1:5000"), QString()});
    Control(sim::control::FeedActiveUsers,
            {QStringList{ActiveUser(QStringLiteral("films\\a.wmv"), QStringLiteral("anna"), 7)}});
    CatalogueItem* films = Resources().FileResources().Children()[0].get();
    host_->selected = films;
    const std::vector<std::uint8_t> original = FileBytes();
    const ResourceRecord record = films->Record();
    prompter_.answers = {true, true, true};

    // Delete: refused, but saved all the same, to the same bytes.
    commands_->OnCommand(DeleteResourceCommand, 0);
    ASSERT_EQ(prompter_.messages.size(), 1u);
    EXPECT_EQ(prompter_.messages[0].first,
              u"Folder can not be deleted because it is currently being multicasted. Please stop "
              u"multicasting first");
    EXPECT_EQ(prompter_.messages[0].second, u"Warning");
    EXPECT_EQ(FileBytes(), original);
    EXPECT_EQ(CountCalls(ReloadCall), 1);

    commands_->OnCommand(ToggleEnabledCommand, 0);
    ASSERT_EQ(prompter_.messages.size(), 2u);
    EXPECT_EQ(prompter_.messages[1].first,
              u"Folder can not be disabled because it is currently being multicasted. Please "
              u"stop multicasting first");
    EXPECT_EQ(prompter_.messages[1].second, u"Warning");

    host_->script = [](FolderEditorModel& editor) { editor.SetNameText(u"Films 2"); };
    commands_->OnCommand(NewOrEditFolderCommand, EditSelectedParameter);
    ASSERT_EQ(prompter_.messages.size(), 3u);
    EXPECT_EQ(prompter_.messages[2].first,
              u"Settings can not be updated because this folder is currently being multicasted. "
              u"Please stop multicasting first");
    EXPECT_EQ(prompter_.messages[2].second, u"Warning");

    EXPECT_EQ(Resources().FileResources().Children().size(), 2u);
    EXPECT_EQ(films->Record(), record);
    EXPECT_EQ(films->Text(), u"Films");
    EXPECT_EQ(FileBytes(), original);
    EXPECT_EQ(CountCalls(DisconnectCall), 0);
    EXPECT_EQ(CountCalls(ReloadCall), 1);  // the refused delete's save only
    EXPECT_EQ(commands_->StatusText(), u"Currently multicasting: 225.1.1.1:5000");

    // A new description alone goes through.
    host_->script = [](FolderEditorModel& editor) { editor.SetDescriptionText(u"Classics"); };
    commands_->OnCommand(NewOrEditFolderCommand, EditSelectedParameter);
    EXPECT_EQ(prompter_.messages.size(), 3u);
    EXPECT_EQ(films->Record().description, u"Classics");
    EXPECT_EQ(ReadConfigFile(FileBytes()).records[0].description, u"Classics");
    EXPECT_EQ(CountCalls(ReloadCall), 2);
}

TEST_F(ResourceCommandsAgainstSim, ContextMenuStartsAndStopsMulticasting) {
    ASSERT_TRUE(StartWith({Folder(u"Films", u"225.1.1.1:5000")}));
    CatalogueItem& films = *Resources().FileResources().Children()[0];
    host_->selected = &films;

    std::vector<ContextMenuEntry> menu = commands_->ContextMenuItems(films);
    ASSERT_EQ(menu.size(), 8u);
    EXPECT_EQ(menu[4].text, MenuStartMulticastingText);
    commands_->OnCommand(StartStopMulticastCommand, 0);
    EXPECT_EQ(CountCalls(QStringLiteral(
                  "Vantor.FileMCastTrigger.StartMulticast Films /srv/Films 225.1.1.1 5000 false")),
              1);
    EXPECT_TRUE(commands_->StatusText().starts_with(CurrentlyMulticastingText));

    menu = commands_->ContextMenuItems(films);
    EXPECT_EQ(menu[4].text, MenuStopMulticastingText);
    commands_->OnCommand(StartStopMulticastCommand, 0);
    EXPECT_EQ(CountCalls(QStringLiteral("Vantor.FileMCastTrigger.StopMulticast Films")), 1);
    EXPECT_FALSE(commands_->QueryMulticastStatus());
    EXPECT_FALSE(commands_->StatusText().starts_with(CurrentlyMulticastingText));
    EXPECT_EQ(CountCalls(ReloadCall), 0);  // nothing is saved
}

}  // namespace
}  // namespace vantor::integration
