#include "editors/folder_editor_model.h"

#include <cstdint>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "config/catalogue.h"
#include "editors/multicast_table.h"

namespace vantor {
namespace {

constexpr std::u16string_view kRanges =
    u".\nThe valid group range is: 224.0.0.1 - 239.255.255.255. "
    u"The valid port range is: 5000 - 65535.";

std::u16string WithRanges(std::u16string_view sentence) {
    return std::u16string(sentence) + std::u16string(kRanges);
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
        ASSERT_TRUE(table.Register(groupText, message))
            << std::string(message.begin(), message.end());
    }

    void AddResource(ResourceKind kind, std::u16string name) {
        ResourceRecord record;
        record.kind = kind;
        record.name = std::move(name);
        catalogue.InsertResourceItem(record);
    }

    std::unique_ptr<FolderEditorModel> Open(FolderEditorMode mode, FolderForm form) {
        auto model = std::make_unique<FolderEditorModel>(mode, std::move(form), table, catalogue,
                                                         defaultAuthMethod);
        EXPECT_EQ(model->OnOpen(), u"");
        return model;
    }
    std::unique_ptr<FolderEditorModel> OpenNew() {
        return Open(FolderEditorMode::Create, FolderForm{});
    }
    std::unique_ptr<FolderEditorModel> OpenMusic() {
        return Open(FolderEditorMode::Update, FolderFormFromRecord(MusicRecord()));
    }
    // A new folder that passes every check.
    std::unique_ptr<FolderEditorModel> OpenValidNew() {
        auto model = OpenNew();
        model->OnBrowseResult(u"/srv/media");
        model->SetNameText(u"Media");
        return model;
    }

    // The port registered with a group, or 0 when the group is not registered.
    std::uint32_t PortOf(std::u16string_view group) const {
        std::uint32_t address = 0;
        EXPECT_EQ(MulticastTable::ParseGroup(group, address), MulticastStatus::Ok);
        auto found = table.Associations().find(address);
        return found == table.Associations().end() ? 0 : found->second;
    }
    std::size_t Registrations() const { return table.Associations().size(); }

    MulticastTable table;
    Catalogue catalogue;
    AuthMethod defaultAuthMethod = AuthMethod::SessionBased;
};

TEST_F(FolderEditor, CreateModeOpensWithDefaultsAndAReservedGroup) {
    auto model = OpenNew();
    EXPECT_EQ(model->Title(), u"New virtual folder");
    EXPECT_TRUE(model->State(FolderControl::Unicast).checked);
    EXPECT_TRUE(model->State(FolderControl::Multicast).checked);
    EXPECT_TRUE(model->State(FolderControl::Playlist).checked);
    EXPECT_TRUE(model->State(FolderControl::Alphabetical).checked);
    EXPECT_FALSE(model->State(FolderControl::Random).checked);
    EXPECT_TRUE(model->State(FolderControl::Alphabetical).enabled);
    EXPECT_TRUE(model->State(FolderControl::Random).enabled);
    EXPECT_EQ(model->State(FolderControl::NameEdit).text, u"");
    EXPECT_EQ(model->State(FolderControl::PathEdit).text, u"");
    EXPECT_TRUE(FolderEditorModel::ReadOnly(FolderControl::PathEdit));
    EXPECT_FALSE(FolderEditorModel::ReadOnly(FolderControl::NameEdit));

    const AccessPanel& access = model->Access();
    EXPECT_TRUE(access.State(AccessControl::PlayerOption).checked);
    EXPECT_TRUE(access.State(AccessControl::PlayerOption).enabled);
    EXPECT_EQ(access.State(AccessControl::PlayerOption).text, u"Allow MMS players");
    EXPECT_TRUE(access.State(AccessControl::InheritRadio).checked);
    EXPECT_EQ(access.ReadGroups(), AllUsers);
    EXPECT_FALSE(access.State(AccessControl::Metadata).visible);
    for (LimitsControl check :
         {LimitsControl::TotalConnectionsCheck, LimitsControl::ConnectionsPerUserCheck,
          LimitsControl::ThroughputCheck}) {
        EXPECT_FALSE(model->Limits().State(check).checked);
    }
    EXPECT_FALSE(model->Limits().State(LimitsControl::PlayTimeCheck).visible);

    EXPECT_EQ(model->State(FolderControl::GroupEdit).text, u"225.0.0.0:5000");
    EXPECT_TRUE(model->State(FolderControl::GroupEdit).enabled);
    EXPECT_EQ(PortOf(u"225.0.0.0"), 5000u);
    EXPECT_TRUE(model->Form().assignedAutomatically);

    model->OnCancel();
    EXPECT_EQ(Registrations(), 0u);
}

TEST_F(FolderEditor, UpdateModeOpensWithTheRecordsSettings) {
    ResourceRecord record = MusicRecord();
    record.multicast = false;
    record.playlist = false;
    record.authMethod = AuthMethod::Internal;
    Preregister(record.multicastGroup);
    auto model = Open(FolderEditorMode::Update, FolderFormFromRecord(record));

    EXPECT_EQ(model->Title(), u"Update virtual folder");
    EXPECT_EQ(model->State(FolderControl::NameEdit).text, u"Music");
    EXPECT_EQ(model->State(FolderControl::PathEdit).text, u"/srv/music");
    EXPECT_EQ(model->State(FolderControl::DescriptionEdit).text, u"Tunes");
    EXPECT_EQ(model->BrowseStartPath(), u"/srv/music");
    EXPECT_FALSE(model->State(FolderControl::Multicast).checked);
    EXPECT_EQ(model->State(FolderControl::GroupEdit).text, u"");
    EXPECT_FALSE(model->State(FolderControl::GroupEdit).enabled);
    EXPECT_TRUE(model->State(FolderControl::Random).checked);
    EXPECT_FALSE(model->State(FolderControl::Random).enabled);
    EXPECT_FALSE(model->State(FolderControl::Alphabetical).enabled);
    // Internal: groups as stored, the player option cleared although the record has it.
    EXPECT_TRUE(model->Access().State(AccessControl::InternalRadio).checked);
    EXPECT_EQ(model->Access().ReadGroups(), MediumUsers);
    EXPECT_FALSE(model->Access().State(AccessControl::PlayerOption).checked);
    EXPECT_TRUE(model->Limits().State(LimitsControl::TotalConnectionsCheck).checked);
    EXPECT_EQ(model->Limits().State(LimitsControl::TotalConnectionsEdit).text, u"10");
    EXPECT_FALSE(model->Limits().State(LimitsControl::ConnectionsPerUserCheck).checked);
    EXPECT_EQ(model->Limits().State(LimitsControl::ThroughputEdit).text, u"500");
    EXPECT_EQ(Registrations(), 1u);

    // Saved unchanged, the player option is stored off.
    EXPECT_EQ(model->OnOk(), u"");
    EXPECT_FALSE(model->Form().playerOption);
    // Multicast off: OK released the group the folder kept.
    EXPECT_EQ(Registrations(), 0u);
    EXPECT_EQ(model->Form().groupText, u"");

    // A record without a name opens with the new folder's access settings.
    ResourceRecord nameless = MusicRecord();
    nameless.name.clear();
    nameless.multicast = false;
    auto blank = Open(FolderEditorMode::Update, FolderFormFromRecord(nameless));
    EXPECT_EQ(blank->Title(), u"New virtual folder");
    EXPECT_TRUE(blank->Access().State(AccessControl::InheritRadio).checked);
    EXPECT_EQ(blank->Access().ReadGroups(), AllUsers);
}

TEST_F(FolderEditor, OkChecksRunInOrder) {
    AddResource(ResourceKind::VirtualFolder, u"Jazz");
    auto model = OpenValidNew();
    model->OnBrowseResult(u"C:\\Media");
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
    EXPECT_EQ(Registrations(), 1u);
    EXPECT_EQ(model->Form().name, u"");

    // A new folder left empty reports the path first.
    EXPECT_EQ(OpenNew()->OnOk(), u"No physical path is chosen");
}

TEST_F(FolderEditor, NamesMayNotHoldSlashBackslashOrStar) {
    for (std::u16string_view bad : {u"a/b", u"a\\b", u"a*b", u"*"}) {
        auto model = OpenValidNew();
        model->SetNameText(std::u16string(bad));
        EXPECT_EQ(model->OnOk(), FolderEditorModel::kBadNameMessage);
    }
    for (std::u16string_view good : {u"a:b", u"a?b", u"a.b c"}) {
        auto model = OpenValidNew();
        model->SetNameText(std::u16string(good));
        EXPECT_EQ(model->OnOk(), u"");
        EXPECT_EQ(model->Form().name, good);
    }
}

TEST_F(FolderEditor, NameClashesIgnoreCaseExceptWithTheFoldersOwnName) {
    AddResource(ResourceKind::VirtualFolder, u"Music");
    AddResource(ResourceKind::VirtualFolder, u"Rock");
    Preregister(u"230.1.1.1:6000");
    auto music = OpenMusic();
    music->SetNameText(u"music");
    EXPECT_EQ(music->OnOk(), u"");
    EXPECT_EQ(music->Form().name, u"music");
    EXPECT_EQ(music->Form().openingName, u"Music");

    auto created = OpenValidNew();
    created->SetNameText(u"MUSIC");
    EXPECT_EQ(created->OnOk(), FolderEditorModel::kNameExistsMessage);
    created->OnCancel();

    ResourceRecord rock = MusicRecord();
    rock.name = u"Rock";
    rock.multicast = false;
    auto renamed = Open(FolderEditorMode::Update, FolderFormFromRecord(rock));
    renamed->SetNameText(u"MuSiC");
    EXPECT_EQ(renamed->OnOk(), FolderEditorModel::kNameExistsMessage);

    // A live broadcast's name is taken just the same.
    Catalogue broadcasts;
    ResourceRecord live;
    live.kind = ResourceKind::LiveBroadcast;
    live.name = u"Music";
    broadcasts.InsertResourceItem(live);
    FolderEditorModel model(FolderEditorMode::Create, FolderForm{}, table, broadcasts,
                            defaultAuthMethod);
    EXPECT_EQ(model.OnOpen(), u"");
    model.OnBrowseResult(u"/srv/x");
    model.SetNameText(u"MUSIC");
    EXPECT_EQ(model.OnOk(), FolderEditorModel::kNameExistsMessage);
    model.SetNameText(u"Musica");
    EXPECT_EQ(model.OnOk(), u"");
}

TEST_F(FolderEditor, PathIsStoredWithoutTrailingBackslashes) {
    auto model = OpenValidNew();
    model->OnBrowseResult(u"C:\\");
    EXPECT_EQ(model->State(FolderControl::PathEdit).text, u"C:\\");
    model->OnBrowseResult(u"");  // the browser was cancelled
    EXPECT_EQ(model->State(FolderControl::PathEdit).text, u"C:\\");
    EXPECT_EQ(model->OnOk(), u"");
    EXPECT_EQ(model->Form().path, u"C:");

    // The browser starts where the last OK attempt left the path, even a failed one.
    auto failing = OpenNew();
    failing->OnBrowseResult(u"D:\\Media\\\\");
    EXPECT_EQ(failing->BrowseStartPath(), u"");
    EXPECT_EQ(failing->OnOk(), u"No name is provided");
    EXPECT_EQ(failing->BrowseStartPath(), u"D:\\Media");
    EXPECT_EQ(failing->State(FolderControl::PathEdit).text, u"D:\\Media\\\\");
}

TEST_F(FolderEditor, MulticastCheckReservesAGroupOnlyWhenNoneIsHeld) {
    ResourceRecord record = MusicRecord();
    record.multicast = false;
    record.multicastGroup.clear();
    record.playlist = false;
    auto model = Open(FolderEditorMode::Update, FolderFormFromRecord(record));
    EXPECT_EQ(Registrations(), 0u);

    EXPECT_EQ(model->OnMulticastClicked(true), u"");
    EXPECT_EQ(PortOf(u"225.0.0.0"), 5000u);
    EXPECT_EQ(model->State(FolderControl::GroupEdit).text, u"225.0.0.0:5000");
    EXPECT_TRUE(model->State(FolderControl::GroupEdit).enabled);
    EXPECT_TRUE(model->State(FolderControl::Playlist).checked);
    EXPECT_TRUE(model->State(FolderControl::Alphabetical).enabled);

    EXPECT_EQ(model->OnMulticastClicked(false), u"");
    EXPECT_EQ(model->State(FolderControl::GroupEdit).text, u"");
    EXPECT_FALSE(model->State(FolderControl::GroupEdit).enabled);
    EXPECT_TRUE(model->State(FolderControl::Playlist).checked);
    EXPECT_EQ(Registrations(), 1u);  // kept until OK

    EXPECT_EQ(model->OnMulticastClicked(true), u"");
    EXPECT_EQ(model->State(FolderControl::GroupEdit).text, u"225.0.0.0:5000");
    EXPECT_EQ(Registrations(), 1u);
    model->OnCancel();
    EXPECT_EQ(Registrations(), 0u);

    // A folder that keeps a group with multicast off shows that group again and reserves nothing.
    ResourceRecord held = MusicRecord();
    held.multicast = false;
    Preregister(held.multicastGroup);
    auto holder = Open(FolderEditorMode::Update, FolderFormFromRecord(held));
    EXPECT_EQ(holder->OnMulticastClicked(true), u"");
    EXPECT_EQ(holder->State(FolderControl::GroupEdit).text, u"230.1.1.1:6000");
    EXPECT_EQ(Registrations(), 1u);
    holder->OnCancel();
    EXPECT_EQ(PortOf(u"230.1.1.1"), 6000u);
}

TEST_F(FolderEditor, UncheckingThePlaylistDropsMulticastAndOkReleasesTheGroup) {
    Preregister(u"230.1.1.1:6000");
    auto model = OpenMusic();
    model->OnPlaylistClicked(false);
    EXPECT_FALSE(model->State(FolderControl::Multicast).checked);
    EXPECT_EQ(model->State(FolderControl::GroupEdit).text, u"");
    EXPECT_FALSE(model->State(FolderControl::GroupEdit).enabled);
    EXPECT_FALSE(model->State(FolderControl::Random).enabled);
    model->OnPlaylistClicked(true);  // does not bring multicast back
    EXPECT_FALSE(model->State(FolderControl::Multicast).checked);
    EXPECT_TRUE(model->State(FolderControl::Random).enabled);
    EXPECT_EQ(Registrations(), 1u);

    EXPECT_EQ(model->OnOk(), u"");
    EXPECT_EQ(Registrations(), 0u);
    EXPECT_FALSE(model->Form().multicast);
    EXPECT_EQ(model->Form().groupText, u"");
}

TEST_F(FolderEditor, TypedGroupReplacesTheHeldOneOnOk) {
    Preregister(u"230.1.1.1:6000");
    auto model = OpenMusic();
    model->SetGroupText(u"230.2.2.2:7000");
    EXPECT_EQ(model->OnOk(), u"");
    EXPECT_EQ(PortOf(u"230.2.2.2"), 7000u);
    EXPECT_EQ(PortOf(u"230.1.1.1"), 0u);
    EXPECT_EQ(Registrations(), 1u);
    EXPECT_EQ(model->Form().groupText, u"230.2.2.2:7000");
}

TEST_F(FolderEditor, RejectedTypedGroupRestoresTheEditAndKeepsTheOldGroup) {
    Preregister(u"230.9.9.9:6500");  // another folder's
    Preregister(u"230.1.1.1:6000");
    auto model = OpenMusic();
    model->SetGroupText(u"230.9.9.9:7000");
    EXPECT_EQ(model->OnOk(), WithRanges(u"Duplicate Multicast group address"));
    EXPECT_EQ(model->State(FolderControl::GroupEdit).text, u"230.1.1.1:6000");
    EXPECT_EQ(PortOf(u"230.1.1.1"), 6000u);
    EXPECT_EQ(PortOf(u"230.9.9.9"), 6500u);
    EXPECT_EQ(Registrations(), 2u);
    EXPECT_EQ(model->Form().groupText, u"230.1.1.1:6000");

    model->SetGroupText(u"230.3.3.3:6500");
    EXPECT_EQ(model->OnOk(), WithRanges(u"Duplicate Multicast port"));
    model->SetGroupText(u"10.0.0.1:7000");
    EXPECT_EQ(model->OnOk(), WithRanges(u"Multicast Group address is out of range"));
    EXPECT_EQ(Registrations(), 2u);
    // The restored text is the held one, so OK now passes without a new registration.
    EXPECT_EQ(model->OnOk(), u"");
    EXPECT_EQ(Registrations(), 2u);
}

TEST_F(FolderEditor, UnchangedGroupIsNotCheckedAgain) {
    Preregister(u"230.1.1.1:6000");  // a record earlier in the file claimed Music's group
    ResourceRecord record = MusicRecord();
    auto model = Open(FolderEditorMode::Update, FolderFormFromRecord(record));
    EXPECT_EQ(model->OnOk(), u"");
    EXPECT_EQ(model->Form().groupText, u"230.1.1.1:6000");
    EXPECT_EQ(Registrations(), 1u);

    MulticastTable empty;
    FolderEditorModel unregistered(FolderEditorMode::Update, FolderFormFromRecord(record), empty,
                                   catalogue, defaultAuthMethod);
    EXPECT_EQ(unregistered.OnOpen(), u"");
    EXPECT_EQ(unregistered.OnOk(), u"");
    EXPECT_EQ(empty.Associations().size(), 0u);
}

TEST_F(FolderEditor, CancelFreesOnlyAGroupTheDialogReserved) {
    // Update: the typed group was accepted before the limits failed, and stays after Cancel.
    Preregister(u"230.1.1.1:6000");
    auto model = OpenMusic();
    model->SetGroupText(u"230.2.2.2:7000");
    model->Limits().SetEditText(LimitPair::TotalConnections, u"0");
    EXPECT_EQ(model->OnOk(), u"Minimal number of connections is 1");
    EXPECT_EQ(PortOf(u"230.2.2.2"), 7000u);
    EXPECT_EQ(PortOf(u"230.1.1.1"), 0u);
    model->OnCancel();
    EXPECT_EQ(PortOf(u"230.2.2.2"), 7000u);
    EXPECT_EQ(Registrations(), 1u);

    // Create: the group reserved on opening was swapped for a typed one; Cancel frees that.
    auto created = OpenValidNew();
    created->SetGroupText(u"230.3.3.3:7100");
    created->OnLimitToggled(LimitPair::Throughput, true);
    EXPECT_EQ(created->OnOk(), u"Throughput limit must be at least 1 kByte/sec");
    EXPECT_EQ(PortOf(u"225.0.0.0"), 0u);
    EXPECT_EQ(PortOf(u"230.3.3.3"), 7100u);
    created->OnCancel();
    EXPECT_EQ(PortOf(u"230.3.3.3"), 0u);
    EXPECT_EQ(Registrations(), 1u);
}

TEST_F(FolderEditor, NoFreePortLeftIsReportedAndOkAsksForAGroup) {
    for (std::uint32_t i = MulticastTable::kLowestPort; i <= MulticastTable::kHighestPort; ++i) {
        std::u16string text;
        std::u16string message;
        ASSERT_TRUE(table.Register(text, message));
    }
    std::size_t full = Registrations();
    FolderEditorModel model(FolderEditorMode::Create, FolderForm{}, table, catalogue,
                            defaultAuthMethod);
    EXPECT_EQ(model.OnOpen(), WithRanges(u"Multicast port is out of range"));
    EXPECT_EQ(model.State(FolderControl::GroupEdit).text, u"");
    EXPECT_FALSE(model.Form().assignedAutomatically);
    model.OnBrowseResult(u"/srv/x");
    model.SetNameText(u"X");
    EXPECT_EQ(model.OnOk(), u"Empty multicast group");
    EXPECT_EQ(model.OnMulticastClicked(false), u"");
    EXPECT_EQ(model.OnMulticastClicked(true), WithRanges(u"Multicast port is out of range"));
    model.OnCancel();
    EXPECT_EQ(Registrations(), full);
}

TEST_F(FolderEditor, AcceptedFormBecomesTheFoldersRecord) {
    auto model = OpenValidNew();
    model->OnBrowseResult(u"C:\\");
    model->SetNameText(u"Clips");
    model->SetDescriptionText(u"Short ones");
    model->OnOrderSelected(true);
    model->Access().OnPlayerOptionToggled(false);
    model->OnMethodSelected(AuthMethod::Internal);
    model->Access().OnGroupToggled(AccessControl::BasicUsers, false);
    model->OnLimitToggled(LimitPair::TotalConnections, true);
    model->Limits().SetEditText(LimitPair::TotalConnections, u"5");
    model->OnLimitToggled(LimitPair::ConnectionsPerUser, true);
    model->Limits().SetEditText(LimitPair::ConnectionsPerUser, u"2");
    model->OnLimitToggled(LimitPair::ConnectionsPerUser, false);  // off again: stored as 0
    model->OnLimitToggled(LimitPair::Throughput, true);
    model->Limits().SetEditText(LimitPair::Throughput, u"100");
    ASSERT_EQ(model->OnOk(), u"");

    ResourceRecord record;
    record.kind = ResourceKind::LiveBroadcast;
    record.enabled = false;
    record.imageIndex = LiveBroadcastImage;
    record.playTimeLimit = 30;
    record.allowDelegates = true;
    record.notifyArchival = true;
    record.metaTitle = u"T";
    record.metaAuthor = u"A";
    record.metaCopyright = u"C";
    ApplyFolderForm(model->Form(), record);

    EXPECT_EQ(record.kind, ResourceKind::VirtualFolder);
    EXPECT_EQ(record.imageIndex, 1u);
    EXPECT_FALSE(record.enabled);  // the command decides
    EXPECT_EQ(record.name, u"Clips");
    EXPECT_EQ(record.source, u"C:");
    EXPECT_EQ(record.description, u"Short ones");
    EXPECT_EQ(record.authMethod, AuthMethod::Internal);
    EXPECT_EQ(record.userGroups, MediumUsers | AdvancedUsers);
    EXPECT_TRUE(record.unicast);
    EXPECT_TRUE(record.multicast);
    EXPECT_EQ(record.multicastGroup, u"225.0.0.0:5000");
    EXPECT_TRUE(record.playlist);
    EXPECT_EQ(record.playlistOrder, 1u);
    EXPECT_FALSE(record.allowMmsPlayers);
    EXPECT_EQ(record.maxConnections, 5u);
    EXPECT_EQ(record.maxConnectionsPerUser, 0u);
    EXPECT_EQ(record.maxThroughputKBps, 100u);
    EXPECT_EQ(record.playTimeLimit, -1);
    EXPECT_FALSE(record.allowDelegates);
    EXPECT_FALSE(record.notifyArchival);
    EXPECT_EQ(record.metaTitle, u"T");
    EXPECT_EQ(record.metaAuthor, u"A");
    EXPECT_EQ(record.metaCopyright, u"C");
}

TEST_F(FolderEditor, UnicastClickGoesThroughTheAccessPanel) {
    defaultAuthMethod = AuthMethod::Anonymous;
    auto model = OpenValidNew();
    model->OnUnicastClicked(false);
    EXPECT_FALSE(model->State(FolderControl::Unicast).checked);
    EXPECT_FALSE(model->Access().State(AccessControl::PlayerOption).checked);
    EXPECT_FALSE(model->Access().State(AccessControl::PlayerOption).enabled);
    model->OnUnicastClicked(true);
    EXPECT_TRUE(model->Access().State(AccessControl::PlayerOption).enabled);
    EXPECT_EQ(model->Access().State(AccessControl::InheritedMethodLabel).text,
              u"(Anonymous access)");
    ASSERT_EQ(model->OnOk(), u"");
    EXPECT_TRUE(model->Form().unicast);
    EXPECT_FALSE(model->Form().playerOption);
}

TEST(FolderForm, CopiesEveryFieldOfTheRecordAndBack) {
    ResourceRecord record = MusicRecord();
    record.imageIndex = VirtualFolderImage;
    record.maxConnectionsPerUser = 0xFFFFFFFF;
    FolderForm form = FolderFormFromRecord(record);
    EXPECT_EQ(form.path, u"/srv/music");
    EXPECT_EQ(form.name, u"Music");
    EXPECT_EQ(form.openingName, u"Music");
    EXPECT_EQ(form.description, u"Tunes");
    EXPECT_EQ(form.method, AuthMethod::Anonymous);
    EXPECT_EQ(form.groups, MediumUsers);
    EXPECT_TRUE(form.unicast);
    EXPECT_TRUE(form.multicast);
    EXPECT_EQ(form.groupText, u"230.1.1.1:6000");
    EXPECT_FALSE(form.assignedAutomatically);
    EXPECT_TRUE(form.playlist);
    EXPECT_TRUE(form.randomOrder);
    EXPECT_TRUE(form.playerOption);
    EXPECT_EQ(form.maxConnections, (LimitSetting{true, 10}));
    EXPECT_EQ(form.maxConnectionsPerUser, (LimitSetting{true, -1}));
    EXPECT_EQ(form.maxThroughputKBps, (LimitSetting{true, 500}));

    ResourceRecord back;
    back.enabled = record.enabled;
    ApplyFolderForm(form, back);
    EXPECT_EQ(back, record);

    record.maxThroughputKBps = 0;
    record.playlistOrder = 2;  // damaged: opens as random, saved as 1
    form = FolderFormFromRecord(record);
    EXPECT_EQ(form.maxThroughputKBps, (LimitSetting{false, 0}));
    EXPECT_TRUE(form.randomOrder);
    ApplyFolderForm(form, back);
    EXPECT_EQ(back.playlistOrder, 1u);
    EXPECT_EQ(back.maxThroughputKBps, 0u);
    form.maxConnections.enabled = false;  // an off limit is stored as 0 whatever its value
    ApplyFolderForm(form, back);
    EXPECT_EQ(back.maxConnections, 0u);
}

}  // namespace
}  // namespace vantor
