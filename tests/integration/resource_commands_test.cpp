// The resource commands against vantor-sim: the configuration store on a real config.vtr, the
// users and the multicast status over D-Bus. Which command does what is tested on fakes in
// ui_tests; this shows the pieces meet on the bus in the right order.

#include "ui/resource_commands.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "config/config_file.h"
#include "config/config_store.h"
#include "config/multicast_table.h"
#include "monitor/resource_disconnect.h"
#include "platform/linux_dbus_automation.h"
#include "platform/linux_file_store.h"
#include "sim/sim_control_names.h"
#include "sim_fixture.h"

namespace vantor::integration {
namespace {

const QString ReloadCall = QStringLiteral("Vantor.VTRConfig.ReloadConfiguration");
const QString DisconnectCall = QStringLiteral("Vantor.ResourcesInUse.DisconnectUser");

QString ActiveUser(const char* resource, int pointer) {
    return QStringLiteral("<\x01Resource\x01>%1<\x01User\x01>u%2<\x01Pointer\x01>%2")
        .arg(QString::fromUtf8(resource), QString::number(pointer));
}

// The main window's side of the commands without widgets: a selection and the real disconnect;
// no editor is needed here.
class ResourceCommandsAgainstSim : public SimTest, public ResourceCommandHost {
protected:
    CatalogueItem* SelectedItem() const override { return selected_; }
    void SelectItem(CatalogueItem& item) override { selected_ = &item; }
    void RefreshSelection() override {}
    bool RunFolderEditor(FolderForm&, bool) override { return false; }
    bool ChooseLiveType(LiveType&) override { return false; }
    bool RunLiveEditor(LiveForm&, bool) override { return false; }
    bool RunDelegateEditor(DelegateForm&, bool) override { return false; }
    void DisconnectResourceUsers(const std::u16string& name, bool isFolder) override {
        vantor::DisconnectResourceUsers(automation_, name, isFolder);
    }

    // Folders Films (multicast group set) and Movies, Music; the server running.
    void SetUp() override {
        SimTest::SetUp();
        std::vector<ResourceRecord> records(3);
        std::vector<const ResourceRecord*> pointers;
        const char16_t* names[] = {u"Films", u"Movies", u"Music"};
        for (std::size_t i = 0; i < records.size(); ++i) {
            records[i].name = names[i];
            records[i].source = u"/srv/" + records[i].name;
            pointers.push_back(&records[i]);
        }
        records[0].multicast = records[0].playlist = true;
        records[0].multicastGroup = u"225.1.1.1:5000";
        ASSERT_TRUE(files_.ReplaceFile(
            ConfigPath(),
            WriteConfigFile(ServerConfig{}, AuthMethod::Anonymous, std::span(pointers))));
        ASSERT_TRUE(StartSim({QStringLiteral("--running")}));
        store_.LoadConfiguration();
    }
    CatalogueItem* Folder(std::size_t row) {
        return store_.Resources().FileResources().Children()[row].get();
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
};

TEST_F(ResourceCommandsAgainstSim, DeleteAsksTheServerThenDisconnectsExactlyItsUsersAndReloads) {
    Control(sim::control::SetMulticastAnswer,
            {QStringLiteral("Films"), QVariant::fromValue<quint32>(SOk),
             QStringLiteral("225.1.1.1:5000"), QString()});
    Control(sim::control::FeedActiveUsers,
            {QStringList{ActiveUser("films\\a.wmv", 1), ActiveUser("movies\\a.wmv", 2),
                         ActiveUser("music\\b.wmv", 3), ActiveUser("moviesx\\c.wmv", 4),
                         ActiveUser("movies\\sub\\d.wmv", 5)}});
    Control(sim::control::ClearCallLog);
    prompter_.answers = {true};

    // The server says Films is multicasting: refused, nobody disconnected.
    selected_ = Folder(0);
    commands_.OnCommand(DeleteResourceCommand, 0);
    ASSERT_EQ(prompter_.shown.size(), 1u);
    EXPECT_EQ(prompter_.shown[0].text,
              u"Folder can not be deleted because it is currently being multicasted. Please stop "
              u"multicasting first");
    EXPECT_EQ(CountCalls(DisconnectCall), 0);

    selected_ = Folder(1);
    commands_.OnCommand(DeleteResourceCommand, 0);
    const QStringList log = CallLog();
    EXPECT_EQ(log.filter(DisconnectCall),
              (QStringList{DisconnectCall + " 2", DisconnectCall + " 5"}));
    EXPECT_LT(log.lastIndexOf(DisconnectCall + " 5"), log.lastIndexOf(ReloadCall));
    EXPECT_EQ(Control(sim::control::GetLoadedConfig).value(2).toStringList(),
              (QStringList{"Films", "Music"}));
}

}  // namespace
}  // namespace vantor::integration
