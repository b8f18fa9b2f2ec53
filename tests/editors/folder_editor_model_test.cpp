#include "editors/folder_editor_model.h"

#include <gtest/gtest.h>

#include "config/catalogue.h"
#include "config/multicast_table.h"
#include "editors/control_texts.h"
#include "editors/registered_groups.h"

using namespace vantor;
namespace {

const auto Narrow = [](std::u16string_view text) { return std::string(text.begin(), text.end()); };

// An existing folder as the configuration holds it.
ResourceRecord MusicRecord() {
    ResourceRecord record;
    record.name = u"Music";
    record.source = u"/srv/music";
    record.authMethod = AuthMethod::Anonymous;
    record.userGroups = MediumUsers;
    record.unicast = record.multicast = record.playlist = record.allowMmsPlayers = true;
    record.multicastGroup = u"230.1.1.1:6000";
    record.playlistOrder = 1;
    record.maxConnections = 10;
    return record;
}

struct FolderEditor : ::testing::Test {
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
    std::unique_ptr<FolderEditorModel> Open(FolderEditorMode mode, FolderForm form) {
        auto model = std::make_unique<FolderEditorModel>(mode, std::move(form), table, catalogue,
                                                         defaultAuthMethod);
        EXPECT_EQ(model->OnOpen(), u"");
        return model;
    }
    auto OpenNew() { return Open(FolderEditorMode::Create, FolderForm{}); }
    auto OpenMusic(const ResourceRecord& record = MusicRecord()) {
        return Open(FolderEditorMode::Update, FolderFormFromRecord(record));
    }
    std::string Registered() const { return test::RegisteredGroups(table); }
    // The delivery and order controls in one line: +name checked, -name unchecked, the group
    // edit's text after "group:", ! after a disabled control; then the registrations.
    std::string Look(const FolderEditorModel& model) const {
        using enum FolderControl;
        using P = std::pair<FolderControl, std::string>;
        std::string look;
        for (const auto& [control, name] :
             {P{Unicast, "uni"}, P{Multicast, "multi"}, P{GroupEdit, "group:"}, P{Playlist, "list"},
              P{Alphabetical, "alpha"}, P{Random, "rand"}}) {
            const ControlState& state = model.State(control);
            look += (control == GroupEdit ? name + Narrow(state.text)
                                          : (state.checked ? "+" : "-") + name) +
                    (state.enabled ? " " : "! ");
        }
        return look + "| " + Registered();
    }

    // Clicks the multicast box: its message (if any), then the look.
    std::string Multicast(FolderEditorModel& model, bool checked) const {
        const std::string message = Narrow(model.OnMulticastClicked(checked));
        return message + Look(model);
    }

    MulticastTable table;
    Catalogue catalogue;
    AuthMethod defaultAuthMethod = AuthMethod::SessionBased;
};

TEST_F(FolderEditor, OkChecksRunInOrder) {
    AddResource(ResourceKind::VirtualFolder, u"Jazz");
    auto model = OpenNew();
    // A new folder opens on the inherited method with every group.
    EXPECT_EQ(std::pair(model->Access().ReadMethod(), model->Access().ReadGroups()),
              std::pair(AuthMethod::InheritDefault, AllUsers));
    model->OnBrowseResult(u"/srv/media");
    model->SetNameText(u"Media");
    // Each step breaks one more check, earlier than all the broken ones: its message wins.
    model->SetGroupText(u"230.1.1.1");
    EXPECT_EQ(model->OnOk(), u"No port is specified in the multicast group");
    model->SetGroupText(u"");
    EXPECT_EQ(model->OnOk(), u"Empty multicast group");
    model->OnUnicastClicked(false);
    model->OnMulticastClicked(false);
    EXPECT_EQ(model->OnOk(), u"Either Unicast or Multicast or both should be checked");
    model->Access().Load(AuthMethod::Internal, 0, true);  // internal with every group cleared
    EXPECT_EQ(model->OnOk(),
              u"At least one user group should be chosen for internal authentication");
    model->SetNameText(u"JAZZ");
    EXPECT_EQ(model->OnOk(), u"Resource with this name already exists. Choose different name");
    model->SetNameText(u"");
    EXPECT_EQ(model->OnOk(), u"No name is provided");
    model->OnBrowseResult(u"\\\\");  // nothing left once the trailing backslashes go
    EXPECT_EQ(model->OnOk(), u"No physical path is chosen");
    EXPECT_EQ(Registered(), "225.0.0.0:5000");  // none of the failures touched the table
}

TEST_F(FolderEditor, AGroupIsReservedOnOpeningOrCheckingMulticastOnlyWhenNoneIsHeld) {
    auto model = OpenNew();
    EXPECT_EQ(Look(*model), "+uni +multi group:225.0.0.0:5000 +list +alpha -rand | 225.0.0.0:5000");
    model->OnCancel();
    EXPECT_EQ(Registered(), "");

    // No group held: checking multicast reserves one.
    ResourceRecord record = MusicRecord();
    record.multicast = record.playlist = false;
    record.multicastGroup.clear();
    model = OpenMusic(record);
    EXPECT_EQ(Look(*model), "+uni -multi group:! -list -alpha! +rand! | ");
    // Checking multicast checks the playlist too; unchecking keeps the group until OK.
    const std::string shown =
        "+uni +multi group:225.0.0.0:5000 +list -alpha +rand | 225.0.0.0:5000";
    EXPECT_EQ(Multicast(*model, true), shown);
    EXPECT_EQ(Multicast(*model, false), "+uni -multi group:! +list -alpha +rand | 225.0.0.0:5000");
    EXPECT_EQ(Multicast(*model, true), shown);
    model->OnCancel();
    EXPECT_EQ(Registered(), "");

    // A held group: unchecking the playlist drops multicast, which checking the playlist does not
    // bring back; multicast on again shows the held group and reserves nothing; OK releases it.
    Preregister(u"230.1.1.1:6000");
    model = OpenMusic();
    model->OnPlaylistClicked(false);
    EXPECT_EQ(Look(*model), "+uni -multi group:! -list -alpha! +rand! | 230.1.1.1:6000");
    model->OnPlaylistClicked(true);
    EXPECT_EQ(Look(*model), "+uni -multi group:! +list -alpha +rand | 230.1.1.1:6000");
    EXPECT_EQ(Multicast(*model, true),
              "+uni +multi group:230.1.1.1:6000 +list -alpha +rand | 230.1.1.1:6000");
    model->OnPlaylistClicked(false);
    EXPECT_EQ(model->OnOk(), u"");
    EXPECT_EQ(std::tuple(model->Form().multicast, model->Form().groupText, Registered()),
              std::tuple(false, u"", ""));
}

TEST_F(FolderEditor, TypedGroupIsCheckedOnOkAndCancelFreesOnlyAGroupTheDialogReserved) {
    Preregister(u"230.9.9.9:6500");  // another folder's
    Preregister(u"230.1.1.1:6000");
    auto model = OpenMusic();
    // Rejected: the message, the held group back in the edit, the table as it was.
    using Row = std::pair<std::u16string, std::u16string_view>;
    for (auto [typed, sentence] : {Row{u"230.9.9.9:7000", u"Duplicate Multicast group address"},
                                   Row{u"230.3.3.3:6500", u"Duplicate Multicast port"}}) {
        model->SetGroupText(typed);
        EXPECT_EQ(model->OnOk().substr(0, sentence.size() + 1), std::u16string(sentence) + u".");
        EXPECT_EQ(std::pair(Look(*model), model->Form().groupText),
                  std::pair(std::string("+uni +multi group:230.1.1.1:6000 +list -alpha +rand | "
                                        "230.1.1.1:6000 230.9.9.9:6500"),
                            std::u16string(u"230.1.1.1:6000")));
    }
    // Accepted although the limits then fail; Cancel keeps it, as the folder's own.
    model->SetGroupText(u"230.2.2.2:7000");
    model->Limits().SetEditText(LimitPair::TotalConnections, u"0");
    EXPECT_EQ(std::pair(model->OnOk(), model->Form().groupText),
              std::pair(std::u16string(u"Minimal number of connections is 1"),
                        std::u16string(u"230.2.2.2:7000")));
    model->OnCancel();
    EXPECT_EQ(Registered(), "230.2.2.2:7000 230.9.9.9:6500");

    // Create: the group reserved on opening was swapped for a typed one; Cancel frees that.
    auto created = OpenNew();
    created->OnBrowseResult(u"/srv/media");
    created->SetNameText(u"Media");
    created->SetGroupText(u"230.3.3.3:7100");
    created->Limits().OnPairToggled(LimitPair::Throughput, true);
    EXPECT_EQ(created->OnOk(), u"Throughput limit must be at least 1 kByte/sec");
    EXPECT_EQ(Registered(), "230.2.2.2:7000 230.3.3.3:7100 230.9.9.9:6500");
    created->OnCancel();
    EXPECT_EQ(Registered(), "230.2.2.2:7000 230.9.9.9:6500");
}

// Record to controls to record: every field shown is read back, and changes land where they belong.
TEST_F(FolderEditor, AcceptedSettingsBecomeTheFoldersRecordKeepingOddStoredValues) {
    AddResource(ResourceKind::VirtualFolder, u"Music");
    Preregister(u"230.1.1.1:6000");
    auto model = OpenMusic();
    EXPECT_EQ(model->Title(), u"Update virtual folder");
    using enum FolderControl;
    EXPECT_EQ(test::ControlTexts<FolderControl>(*model, kFolderControlCount,
                                                {NameEdit, PathEdit, DescriptionEdit, GroupEdit}),
              (std::vector<std::u16string>{u"Folder name", u"Browse...", u"Description",
                                           u"Unicast delivery", u"Multicast delivery", u"Group",
                                           u"Allow to treat folder as a Playlist", u"Order",
                                           u"Alphabetical", u"Random", u"OK", u"Cancel"}));
    EXPECT_EQ(model->Access().State(AccessControl::PlayerOption).text, u"Allow MMS players");
    EXPECT_EQ(model->Limits().State(LimitsControl::GroupBox).text,
              u" Limit player connections to this virtual folder");
    // The folder's access and limits panels: no broadcast-only controls.
    EXPECT_FALSE(model->Access().State(AccessControl::AllowDelegates).visible);
    EXPECT_FALSE(model->Limits().State(LimitsControl::PlayTimeCheck).visible);
    model->OnOrderSelected(false);
    EXPECT_EQ(std::pair(model->State(Alphabetical).checked, model->State(Random).checked),
              std::pair(true, false));
    model->SetDescriptionText(u"Albums");
    model->SetNameText(u"MUSIC");  // its own name in other letters
    model->Access().OnMethodSelected(AuthMethod::Internal);
    model->Limits().OnPairToggled(LimitPair::ConnectionsPerUser, true);
    model->Limits().SetEditText(LimitPair::ConnectionsPerUser, u"2");
    model->Limits().SetEditText(LimitPair::TotalConnections, u"12");
    model->Limits().OnPairToggled(LimitPair::Throughput, true);
    model->Limits().SetEditText(LimitPair::Throughput, u"300");
    ASSERT_EQ(model->OnOk(), u"");

    // Applied over a live broadcast's record: what a folder has not is cleared; enabled and the
    // metadata are the command's and stay.
    ResourceRecord record;
    record.kind = ResourceKind::LiveBroadcast;
    record.enabled = false;
    record.imageIndex = LiveBroadcastImage;
    record.playTimeLimit = 30;
    record.allowDelegates = record.notifyArchival = true;
    record.metaTitle = u"T";
    ApplyFolderForm(model->Form(), record);
    ResourceRecord expected = MusicRecord();
    expected.enabled = false;
    expected.imageIndex = VirtualFolderImage;
    expected.metaTitle = u"T";
    expected.playlistOrder = 0;
    expected.authMethod = AuthMethod::Internal;
    expected.allowMmsPlayers = false;  // internal clears it
    expected.maxConnections = 12;
    expected.maxConnectionsPerUser = 2;
    expected.maxThroughputKBps = 300;
    expected.description = u"Albums";
    expected.name = u"MUSIC";
    EXPECT_EQ(record, expected);
    // Odd stored values: a per-user limit of 0xFFFFFFFF shows as -1 and is stored back
    // unchanged; a damaged order opens as random and is saved as 1.
    record = MusicRecord();
    record.maxConnectionsPerUser = 0xFFFFFFFF;
    record.playlistOrder = 2;
    FolderForm form = FolderFormFromRecord(record);
    EXPECT_EQ(std::tuple(form.maxConnectionsPerUser, form.randomOrder),
              std::tuple(LimitSetting{true, -1}, true));
    ApplyFolderForm(form, record);
    EXPECT_EQ(std::pair(record.maxConnectionsPerUser, record.playlistOrder),
              std::pair(0xFFFFFFFFu, 1u));
}

}  // namespace
