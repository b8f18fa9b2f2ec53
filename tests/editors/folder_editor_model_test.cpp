#include "editors/folder_editor_model.h"

#include <cstdint>
#include <memory>
#include <string>
#include <utility>

#include <gtest/gtest.h>

#include "config/catalogue.h"
#include "editors/multicast_table.h"

namespace vantor {
namespace {

std::u16string WithRanges(std::u16string_view sentence) {
    return std::u16string(sentence) +
           u".\nThe valid group range is: 224.0.0.1 - 239.255.255.255. "
           u"The valid port range is: 5000 - 65535.";
}

std::string Narrow(std::u16string_view text) {
    return std::string(text.begin(), text.end());
}

// The folder's own delivery and order controls in one line: +name checked, -name unchecked, the
// group edit's text after "group:", and ! after a disabled control.
std::string Look(const FolderEditorModel& model) {
    std::string look;
    for (auto [control, name] : {std::pair{FolderControl::Unicast, "unicast"},
                                 std::pair{FolderControl::Multicast, "multicast"},
                                 std::pair{FolderControl::GroupEdit, "group:"},
                                 std::pair{FolderControl::Playlist, "playlist"},
                                 std::pair{FolderControl::Alphabetical, "alphabetical"},
                                 std::pair{FolderControl::Random, "random"}}) {
        const ControlState& state = model.State(control);
        look += (look.empty() ? "" : " ") +
                (control == FolderControl::GroupEdit
                     ? name + Narrow(state.text)
                     : (state.checked ? "+" : "-") + std::string(name)) +
                (state.enabled ? "" : "!");
    }
    return look;
}

// An existing folder as the configuration holds it.
ResourceRecord MusicRecord() {
    ResourceRecord record;
    record.kind = ResourceKind::VirtualFolder;
    record.name = u"Music";
    record.source = u"/srv/music";
    record.description = u"Tunes";
    record.authMethod = AuthMethod::Anonymous;
    record.userGroups = MediumUsers;
    record.unicast = true;
    record.multicast = true;
    record.multicastGroup = u"230.1.1.1:6000";
    record.playlist = true;
    record.playlistOrder = 1;
    record.allowMmsPlayers = true;
    record.maxConnections = 10;
    record.maxThroughputKBps = 500;
    return record;
}

class FolderEditor : public ::testing::Test {
protected:
    // The configuration loader's registration of a record's group.
    void Preregister(std::u16string groupText) {
        std::u16string message;
        ASSERT_TRUE(table.Register(groupText, message));
    }
    void AddResource(ResourceKind kind, std::u16string name) {
        ResourceRecord record;
        record.kind = kind;
        record.name = std::move(name);
        catalogue.InsertResourceItem(record);
    }
    std::unique_ptr<FolderEditorModel> Open(FolderEditorMode mode, FolderForm form,
                                            std::u16string_view openMessage = u"") {
        auto model = std::make_unique<FolderEditorModel>(mode, std::move(form), table, catalogue,
                                                         defaultAuthMethod);
        EXPECT_EQ(model->OnOpen(), openMessage);
        return model;
    }
    std::unique_ptr<FolderEditorModel> OpenNew() {
        return Open(FolderEditorMode::Create, FolderForm{});
    }
    std::unique_ptr<FolderEditorModel> OpenMusic(const ResourceRecord& record = MusicRecord()) {
        return Open(FolderEditorMode::Update, FolderFormFromRecord(record));
    }
    // A new folder that passes every check.
    std::unique_ptr<FolderEditorModel> OpenValidNew() {
        auto model = OpenNew();
        model->OnBrowseResult(u"/srv/media");
        model->SetNameText(u"Media");
        return model;
    }
    // The registered groups with their ports, in address order.
    std::string Registered() const {
        std::string text;
        for (auto [group, port] : table.Associations()) {
            text += (text.empty() ? "" : " ") + Narrow(MulticastTable::FormatGroup(group)) + ':' +
                    std::to_string(port);
        }
        return text;
    }

    MulticastTable table;
    Catalogue catalogue;
    AuthMethod defaultAuthMethod = AuthMethod::SessionBased;
};

TEST_F(FolderEditor, CreateModeOpensWithDefaultsAndAReservedGroup) {
    auto model = OpenNew();
    EXPECT_EQ(model->Title(), u"New virtual folder");
    EXPECT_EQ(Look(*model),
              "+unicast +multicast group:225.0.0.0:5000 +playlist +alphabetical -random");
    EXPECT_EQ(Registered(), "225.0.0.0:5000");
    const AccessPanel& access = model->Access();
    EXPECT_TRUE(access.ReadPlayerOption() && access.State(AccessControl::PlayerOption).enabled);
    EXPECT_EQ(access.ReadMethod(), AuthMethod::InheritDefault);
    EXPECT_EQ(access.ReadGroups(), AllUsers);
    LimitsReading limits = model->Limits().ReadLimits();
    EXPECT_FALSE(limits.maxConnections.enabled || limits.maxConnectionsPerUser.enabled ||
                 limits.maxThroughputKBps.enabled);
    model->OnCancel();
    EXPECT_EQ(Registered(), "");
}

TEST_F(FolderEditor, UpdateModeOpensWithTheRecordsSettings) {
    ResourceRecord record = MusicRecord();
    record.multicast = false;
    record.playlist = false;
    record.authMethod = AuthMethod::Internal;
    Preregister(record.multicastGroup);
    auto model = OpenMusic(record);
    EXPECT_EQ(model->Title(), u"Update virtual folder");
    EXPECT_EQ(Look(*model), "+unicast -multicast group:! -playlist -alphabetical! +random!");
    // Internal: groups as stored, the player option cleared although the record has it.
    EXPECT_EQ(model->Access().ReadGroups(), MediumUsers);
    EXPECT_FALSE(model->Access().ReadPlayerOption());

    // Saved unchanged: the player option is stored off, and with multicast off OK released the
    // group the folder kept.
    EXPECT_EQ(model->OnOk(), u"");
    EXPECT_FALSE(model->Form().playerOption);
    EXPECT_EQ(model->Form().groupText, u"");
    EXPECT_EQ(Registered(), "");

    // A record without a name opens with the new folder's access settings.
    record.name.clear();
    auto blank = OpenMusic(record);
    EXPECT_EQ(blank->Title(), u"New virtual folder");
    EXPECT_EQ(blank->Access().ReadMethod(), AuthMethod::InheritDefault);
    EXPECT_EQ(blank->Access().ReadGroups(), AllUsers);
}

TEST_F(FolderEditor, OkChecksRunInOrder) {
    AddResource(ResourceKind::VirtualFolder, u"Jazz");
    auto model = OpenValidNew();
    // Each step breaks one more check, earlier than all the broken ones: its message wins.
    model->OnLimitToggled(LimitPair::TotalConnections, true);
    model->Limits().SetEditText(LimitPair::TotalConnections, u"");
    EXPECT_EQ(model->OnOk(), u"Limit of connections number is not specified");
    model->SetGroupText(u"230.1.1.1");
    EXPECT_EQ(model->OnOk(), u"No port is specified in the multicast group");
    model->SetGroupText(u"");
    EXPECT_EQ(model->OnOk(), u"Empty multicast group");
    model->OnUnicastClicked(false);
    model->OnMulticastClicked(false);
    EXPECT_EQ(model->OnOk(), u"Either Unicast or Multicast or both should be checked");
    model->OnMethodSelected(AuthMethod::Internal);
    for (AccessControl box :
         {AccessControl::BasicUsers, AccessControl::MediumUsers, AccessControl::AdvancedUsers}) {
        model->Access().OnGroupToggled(box, false);
    }
    EXPECT_EQ(model->OnOk(),
              u"At least one user group should be chosen for internal authentication");
    model->SetNameText(u"JAZZ");
    EXPECT_EQ(model->OnOk(), u"Resource with this name already exists. Choose different name");
    model->SetNameText(u"Ja*zz");
    EXPECT_EQ(model->OnOk(), u"Virtual folder name can not contain characters \"*/\\\"");
    model->SetNameText(u"");
    EXPECT_EQ(model->OnOk(), u"No name is provided");
    model->OnBrowseResult(u"\\\\");  // nothing left once the trailing backslashes go
    EXPECT_EQ(model->OnOk(), u"No physical path is chosen");
    // None of the failures touched the table: the reserved group is all there is.
    EXPECT_EQ(Registered(), "225.0.0.0:5000");
    EXPECT_EQ(model->Form().name, u"");

    // A new folder left empty reports the path first.
    EXPECT_EQ(OpenNew()->OnOk(), u"No physical path is chosen");
}

TEST_F(FolderEditor, NamesMayNotClashIgnoringCaseNorHoldSlashBackslashOrStar) {
    AddResource(ResourceKind::VirtualFolder, u"Music");
    AddResource(ResourceKind::LiveBroadcast, u"News");
    Preregister(u"230.1.1.1:6000");
    auto music = OpenMusic();
    music->SetNameText(u"music");  // its own name in other letters
    EXPECT_EQ(music->OnOk(), u"");
    EXPECT_EQ(music->Form().name, u"music");

    // A new folder, or another folder renamed, may take neither a folder's nor a broadcast's name.
    const std::u16string_view exists = FolderEditorModel::kNameExistsMessage;
    const std::u16string_view bad = FolderEditorModel::kBadNameMessage;
    ResourceRecord rock = MusicRecord();
    rock.name = u"Rock";
    rock.multicast = false;
    for (auto& model : {OpenValidNew(), OpenMusic(rock)}) {
        for (auto [name, message] :
             {std::pair{u"MUSIC", exists}, std::pair{u"news", exists}, std::pair{u"a/b", bad},
              std::pair{u"a\\b", bad}, std::pair{u"a*b", bad},
              std::pair{u"a:b", std::u16string_view()}, std::pair{u"a?b", std::u16string_view()}}) {
            model->SetNameText(name);
            EXPECT_EQ(model->OnOk(), message) << Narrow(name);
        }
    }
}

TEST_F(FolderEditor, BrowserStartsFromThePathOfTheLastOkAttempt) {
    auto model = OpenNew();
    model->OnBrowseResult(u"D:\\Media\\\\");
    model->OnBrowseResult(u"");  // the browser was cancelled
    EXPECT_EQ(model->BrowseStartPath(), u"");
    EXPECT_EQ(model->OnOk(), u"No name is provided");
    EXPECT_EQ(model->BrowseStartPath(), u"D:\\Media");
    EXPECT_EQ(model->State(FolderControl::PathEdit).text, u"D:\\Media\\\\");
}

TEST_F(FolderEditor, MulticastCheckReservesAGroupOnlyWhenNoneIsHeld) {
    ResourceRecord record = MusicRecord();
    record.multicast = false;
    record.multicastGroup.clear();
    record.playlist = false;
    auto model = OpenMusic(record);
    EXPECT_EQ(Registered(), "");
    // Checking multicast checks the playlist too; unchecking keeps the group until OK.
    EXPECT_EQ(model->OnMulticastClicked(true), u"");
    EXPECT_EQ(Look(*model),
              "+unicast +multicast group:225.0.0.0:5000 +playlist -alphabetical +random");
    EXPECT_EQ(model->OnMulticastClicked(false), u"");
    EXPECT_EQ(Look(*model), "+unicast -multicast group:! +playlist -alphabetical +random");
    EXPECT_EQ(model->OnMulticastClicked(true), u"");
    EXPECT_EQ(model->State(FolderControl::GroupEdit).text, u"225.0.0.0:5000");
    EXPECT_EQ(Registered(), "225.0.0.0:5000");
    model->OnCancel();
    EXPECT_EQ(Registered(), "");
}

TEST_F(FolderEditor, UncheckingThePlaylistDropsMulticastAndOkReleasesTheGroup) {
    Preregister(u"230.1.1.1:6000");
    auto model = OpenMusic();
    model->OnPlaylistClicked(false);
    EXPECT_EQ(Look(*model), "+unicast -multicast group:! -playlist -alphabetical! +random!");
    model->OnPlaylistClicked(true);  // does not bring multicast back
    EXPECT_EQ(Look(*model), "+unicast -multicast group:! +playlist -alphabetical +random");
    // Multicast on again shows the group the folder keeps, and reserves nothing.
    EXPECT_EQ(model->OnMulticastClicked(true), u"");
    EXPECT_EQ(model->State(FolderControl::GroupEdit).text, u"230.1.1.1:6000");
    EXPECT_EQ(Registered(), "230.1.1.1:6000");
    model->OnPlaylistClicked(false);
    EXPECT_EQ(model->OnOk(), u"");
    EXPECT_EQ(Registered(), "");
    EXPECT_FALSE(model->Form().multicast);
    EXPECT_EQ(model->Form().groupText, u"");
}

TEST_F(FolderEditor, TypedGroupIsCheckedOnOkAndReplacesTheHeldOne) {
    Preregister(u"230.9.9.9:6500");  // another folder's
    Preregister(u"230.1.1.1:6000");
    auto model = OpenMusic();
    // Rejected: the message, the held group back in the edit, the table as it was.
    for (auto [typed, sentence] :
         {std::pair{u"230.9.9.9:7000", u"Duplicate Multicast group address"},
          std::pair{u"230.3.3.3:6500", u"Duplicate Multicast port"},
          std::pair{u"10.0.0.1:7000", u"Multicast Group address is out of range"}}) {
        model->SetGroupText(typed);
        EXPECT_EQ(model->OnOk(), WithRanges(sentence));
        EXPECT_EQ(model->State(FolderControl::GroupEdit).text, u"230.1.1.1:6000");
        EXPECT_EQ(model->Form().groupText, u"230.1.1.1:6000");
        EXPECT_EQ(Registered(), "230.1.1.1:6000 230.9.9.9:6500");
    }
    model->SetGroupText(u"230.2.2.2:7000");
    EXPECT_EQ(model->OnOk(), u"");
    EXPECT_EQ(Registered(), "230.2.2.2:7000 230.9.9.9:6500");
    EXPECT_EQ(model->Form().groupText, u"230.2.2.2:7000");

    // An unchanged group is not checked, nor registered, even when the table does not have it.
    MulticastTable empty;
    FolderEditorModel unregistered(FolderEditorMode::Update, FolderFormFromRecord(MusicRecord()),
                                   empty, catalogue, defaultAuthMethod);
    EXPECT_EQ(unregistered.OnOpen(), u"");
    EXPECT_EQ(unregistered.OnOk(), u"");
    EXPECT_TRUE(empty.Associations().empty());
}

TEST_F(FolderEditor, CancelFreesOnlyAGroupTheDialogReserved) {
    // Update: the typed group was accepted before the limits failed, and stays after Cancel.
    Preregister(u"230.1.1.1:6000");
    auto model = OpenMusic();
    model->SetGroupText(u"230.2.2.2:7000");
    model->Limits().SetEditText(LimitPair::TotalConnections, u"0");
    EXPECT_EQ(model->OnOk(), u"Minimal number of connections is 1");
    model->OnCancel();
    EXPECT_EQ(Registered(), "230.2.2.2:7000");

    // Create: the group reserved on opening was swapped for a typed one; Cancel frees that.
    auto created = OpenValidNew();
    created->SetGroupText(u"230.3.3.3:7100");
    created->OnLimitToggled(LimitPair::Throughput, true);
    EXPECT_EQ(created->OnOk(), u"Throughput limit must be at least 1 kByte/sec");
    EXPECT_EQ(Registered(), "230.2.2.2:7000 230.3.3.3:7100");
    created->OnCancel();
    EXPECT_EQ(Registered(), "230.2.2.2:7000");
}

TEST_F(FolderEditor, NoFreePortLeftIsReportedAndOkAsksForAGroup) {
    for (std::uint32_t i = MulticastTable::kLowestPort; i <= MulticastTable::kHighestPort; ++i) {
        Preregister(u"");
    }
    const std::u16string noPort = WithRanges(u"Multicast port is out of range");
    auto model = Open(FolderEditorMode::Create, FolderForm{}, noPort);
    EXPECT_EQ(model->State(FolderControl::GroupEdit).text, u"");
    model->OnBrowseResult(u"/srv/x");
    model->SetNameText(u"X");
    EXPECT_EQ(model->OnOk(), u"Empty multicast group");
    EXPECT_EQ(model->OnMulticastClicked(false), u"");
    EXPECT_EQ(model->OnMulticastClicked(true), noPort);
    model->OnCancel();  // nothing was reserved, so nothing is freed
    EXPECT_EQ(table.Associations().size(), 60536u);
}

// From the record through the controls and OK back into a record: every field the editor
// shows is read back, and what it changed lands where it belongs.
TEST_F(FolderEditor, AcceptedSettingsBecomeTheFoldersRecord) {
    Preregister(u"230.1.1.1:6000");
    auto model = OpenMusic();
    model->OnBrowseResult(u"C:\\");  // a drive's root is stored without its backslash
    model->SetDescriptionText(u"Short ones");
    model->OnOrderSelected(false);
    model->OnMethodSelected(AuthMethod::Internal);
    model->Access().OnGroupToggled(AccessControl::AdvancedUsers, true);
    model->OnLimitToggled(LimitPair::ConnectionsPerUser, true);
    model->Limits().SetEditText(LimitPair::ConnectionsPerUser, u"2");
    model->OnLimitToggled(LimitPair::Throughput, false);
    ASSERT_EQ(model->OnOk(), u"");

    // Applied over a live broadcast's record: what a folder has not is cleared; enabled and the
    // metadata are the command's and stay.
    ResourceRecord record;
    record.kind = ResourceKind::LiveBroadcast;
    record.enabled = false;
    record.imageIndex = LiveBroadcastImage;
    record.playTimeLimit = 30;
    record.allowDelegates = true;
    record.notifyArchival = true;
    record.metaTitle = u"T";
    ApplyFolderForm(model->Form(), record);
    ResourceRecord expected = MusicRecord();
    expected.enabled = false;
    expected.imageIndex = VirtualFolderImage;
    expected.metaTitle = u"T";
    expected.source = u"C:";
    expected.description = u"Short ones";
    expected.playlistOrder = 0;
    expected.authMethod = AuthMethod::Internal;
    expected.userGroups = MediumUsers | AdvancedUsers;
    expected.allowMmsPlayers = false;  // internal clears it
    expected.maxConnectionsPerUser = 2;
    expected.maxThroughputKBps = 0;
    EXPECT_EQ(record, expected);
}

TEST(FolderForm, KeepsOddStoredValues) {
    ResourceRecord record = MusicRecord();
    record.maxConnectionsPerUser = 0xFFFFFFFF;  // shown as -1, stored back unchanged
    record.playlistOrder = 2;                   // damaged: opens as random, saved as 1
    FolderForm form = FolderFormFromRecord(record);
    EXPECT_EQ(form.maxConnectionsPerUser, (LimitSetting{true, -1}));
    EXPECT_TRUE(form.randomOrder);
    form.maxConnections.enabled = false;  // an off limit is stored as 0 whatever its value
    ApplyFolderForm(form, record);
    EXPECT_EQ(record.maxConnectionsPerUser, 0xFFFFFFFFu);
    EXPECT_EQ(record.playlistOrder, 1u);
    EXPECT_EQ(record.maxConnections, 0u);
}

}  // namespace
}  // namespace vantor
