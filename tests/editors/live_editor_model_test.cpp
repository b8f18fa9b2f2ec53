#include "editors/live_editor_model.h"

#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "config/catalogue.h"
#include "config/multicast_table.h"
#include "editors/control_texts.h"

using namespace vantor;
namespace {

const std::u16string Hash = u"0123456789abcdef0123456789abcdef01234567";

std::string Narrow(std::u16string_view text) {
    return std::string(text.begin(), text.end());
}

struct LiveEditor : ::testing::Test {
    void SetUp() override {
        ResourceRecord folder;
        folder.name = u"Jazz";
        catalogue.InsertResourceItem(folder);
        subDialogs.setPassword = [this](std::u16string& hash) {
            ++passwordRuns;
            hash = passwordAnswer;
            return !passwordAnswer.empty();
        };
        subDialogs.metadata = [this](BroadcastMetadata& metadata) {
            shownMetadata = metadata;
            metadata = {u"typed author", u"typed title", u"typed copyright"};
            return metadataAccepted;
        };
        subDialogs.accessRestrictions = [this] { ++restrictionRuns; };
    }
    std::unique_ptr<LiveEditorModel> Open(LiveEditorMode mode, LiveForm form) {
        auto model = std::make_unique<LiveEditorModel>(mode, std::move(form), table, catalogue,
                                                       defaultAuthMethod, subDialogs);
        EXPECT_EQ(model->OnOpen(), u"");
        return model;
    }
    auto OpenNew(LiveType type) { return Open(LiveEditorMode::Create, NewLiveForm(type)); }
    auto Reopen(const BroadcastForm& accepted) {
        ResourceRecord record;
        record.kind = ResourceKind::LiveBroadcast;
        ApplyBroadcastForm(accepted, record);
        return Open(LiveEditorMode::Update, LiveFormFromRecord(record));
    }
    std::string Registered() const {
        std::string text;
        for (auto [group, port] : table.Associations()) {
            text += (text.empty() ? "" : " ") + Narrow(MulticastTable::FormatGroup(group)) + ':' +
                    std::to_string(port);
        }
        return text;
    }
    // Every enabled-state of the type-dependent controls: +name enabled, -name disabled.
    static std::string Enabled(const LiveEditorModel& model) {
        std::string look;
        for (auto [control, name] :
             {std::pair{LiveControl::AddressEdit, "address"}, std::pair{LiveControl::IdList, "id"},
              std::pair{LiveControl::SetPasswordButton, "password"}}) {
            look += (model.State(control).enabled ? " +" : " -") + std::string(name);
        }
        return look.substr(1);
    }

    MulticastTable table;
    Catalogue catalogue;
    AuthMethod defaultAuthMethod = AuthMethod::Anonymous;
    BroadcastSubDialogs subDialogs;
    std::u16string passwordAnswer;
    int passwordRuns = 0;
    BroadcastMetadata shownMetadata;
    bool metadataAccepted = true;
    int restrictionRuns = 0;
};

TEST_F(LiveEditor, OpensEachTypeWithItsHeaderLabelsAndControls) {
    struct Case {
        LiveType type;
        std::u16string_view header, addressLabel;
        std::string enabled;
        std::size_t ids;
        int selected;
    };
    for (const Case& c : {
             Case{LiveType::Static, LiveEditorModel::kStaticHeader,
                  u"Live source IP address and ID", "+address +id -password", 255, 0},
             Case{LiveType::Dynamic, LiveEditorModel::kDynamicHeader,
                  u"Live source IP address and ID", "-address -id +password", 0, -1},
             Case{LiveType::MmsRebroadcast, LiveEditorModel::kMmsHeader,
                  u"Link starting with \"mms://\"", "+address -id -password", 0, -1},
         }) {
        auto model = OpenNew(c.type);
        EXPECT_EQ(model->Title(), u"New live broadcast");
        EXPECT_EQ(model->Settings().State(BroadcastControl::Header).text, c.header);
        EXPECT_EQ(model->State(LiveControl::AddressLabel).text, c.addressLabel);
        EXPECT_EQ(Enabled(*model), c.enabled);
        EXPECT_EQ(model->IdListItems().size(), c.ids);
        EXPECT_EQ(model->SelectedId(), c.selected);
        model->OnCancel();
    }
    auto model = OpenNew(LiveType::Static);
    using enum BroadcastControl;
    EXPECT_EQ(test::ControlsWithoutText<BroadcastControl>(model->Settings(), kBroadcastControlCount,
                                                          {NameEdit, DescriptionEdit, GroupEdit}),
              std::vector<std::size_t>{});
    EXPECT_EQ(test::ControlsWithoutText<AccessControl>(model->Settings().Access(),
                                                       kAccessControlCount, {}),
              std::vector<std::size_t>{});
    EXPECT_EQ(model->IdListItems().front(), u"1");
    EXPECT_EQ(model->IdListItems().back(), u"255");

    // A stored broadcast without a source opens as a new one: inherit, all groups.
    ResourceRecord sourceless;
    sourceless.name = u"Old";
    sourceless.authMethod = AuthMethod::Internal;
    sourceless.userGroups = BasicUsers;
    auto opened = Open(LiveEditorMode::Update, LiveFormFromRecord(sourceless));
    EXPECT_EQ(opened->Title(), u"New live broadcast");
    EXPECT_EQ(opened->Settings().Access().ReadMethod(), AuthMethod::InheritDefault);
    EXPECT_EQ(opened->Settings().Access().ReadGroups(), AllUsers);
}

TEST_F(LiveEditor, OkChecksRunInOrderForAStaticBroadcast) {
    auto model = OpenNew(LiveType::Static);
    model->SetAddressText(u"192.168.0.10");
    model->Settings().SetNameText(u"News");
    // Each step breaks one more check, earlier than all the broken ones: its message wins.
    model->Settings().OnLimitToggled(LimitPair::Throughput, true);
    model->Settings().Limits().SetEditText(LimitPair::Throughput, u"");
    EXPECT_EQ(model->OnOk(), u"Throughput limit is not specified");
    model->Settings().SetGroupText(u"");
    EXPECT_EQ(model->OnOk(), u"Empty multicast group");
    model->Settings().OnUnicastClicked(false);
    model->Settings().OnMulticastClicked(false);
    EXPECT_EQ(model->OnOk(), u"Either Unicast or Multicast or both should be checked");
    model->Settings().OnLimitToggled(LimitPair::PlayTime, true);
    EXPECT_EQ(model->OnOk(), u"Time limit must be at least 1 minute");
    model->Settings().OnMethodSelected(AuthMethod::Internal);
    for (AccessControl box :
         {AccessControl::BasicUsers, AccessControl::MediumUsers, AccessControl::AdvancedUsers}) {
        model->Settings().Access().OnGroupToggled(box, false);
    }
    EXPECT_EQ(model->OnOk(),
              u"At least one user group should be chosen for internal authentication");
    model->Settings().SetNameText(u"jAZZ");
    EXPECT_EQ(model->OnOk(), u"Resource with this name already exists. Choose different name");
    model->Settings().SetNameText(u"a/b");
    EXPECT_EQ(model->OnOk(), u"Live broadcast name can not contain characters \"*/\\\"");
    model->Settings().SetNameText(u"");
    EXPECT_EQ(model->OnOk(), u"No name for new live broadcast is specified");
    model->OnIdSelected(-1);
    EXPECT_EQ(model->OnOk(), u"No live source ID is selected. Choose an ID from 1 to 255");
    model->SetAddressText(u"");
    EXPECT_EQ(model->OnOk(), u"No live source IP address is specified");
    EXPECT_EQ(Registered(), "225.0.0.0:5000");
}

TEST_F(LiveEditor, OkChecksTheSourceOfDynamicAndMmsBroadcastsBeforeTheName) {
    auto dynamic = OpenNew(LiveType::Dynamic);
    EXPECT_EQ(dynamic->OnOk(),
              u"No password is specified. You must specify a password for dynamic live source.");
    passwordAnswer = Hash;
    dynamic->OnSetPasswordClicked();
    EXPECT_EQ(dynamic->OnOk(), u"No name for new live broadcast is specified");

    auto mms = OpenNew(LiveType::MmsRebroadcast);
    mms->Settings().SetNameText(u"Relay");
    EXPECT_EQ(mms->OnOk(), u"No live source IP address is specified");
    for (std::u16string link : {u"MMS://encoder/live", u"http://encoder/live", u" mms://x"}) {
        mms->SetAddressText(link);
        EXPECT_EQ(mms->OnOk(),
                  u"Link to Microsoft Media Services or Media Encoder must begin with \"mms://\".");
    }
    mms->SetAddressText(u"mms://encoder/live");
    EXPECT_EQ(mms->OnOk(), u"");
    EXPECT_EQ(mms->Form().source, u"mms://encoder/live");
    EXPECT_EQ(Reopen(mms->Form())->State(LiveControl::AddressEdit).text, u"mms://encoder/live");
}

TEST_F(LiveEditor, StaticSourceIsIdAtAddressAndSplitsBackOnOpening) {
    auto model = OpenNew(LiveType::Static);
    model->Settings().SetNameText(u"News");
    model->SetAddressText(u"192.168.0.10");
    model->OnIdSelected(2);
    model->Settings().OnLimitToggled(LimitPair::Throughput, true);
    model->Settings().Limits().SetEditText(LimitPair::Throughput, u"700");
    ASSERT_EQ(model->OnOk(), u"");
    EXPECT_EQ(model->Form().source, u"3@192.168.0.10");
    EXPECT_EQ(model->Form().maxThroughputKBps, (LimitSetting{true, 700}));
    auto reopened = Reopen(model->Form());
    EXPECT_EQ(reopened->Title(), u"Update live broadcast");
    EXPECT_EQ(reopened->SelectedId(), 2);
    EXPECT_EQ(reopened->State(LiveControl::AddressEdit).text, u"192.168.0.10");

    struct Case {
        std::u16string source;
        int selected;
        std::u16string address;
    };
    for (const Case& c : {Case{u"10@10.1.1.1", 9, u"10.1.1.1"}, Case{u"255@h@x", 254, u"h@x"},
                          Case{u"256@10.1.1.1", -1, u"10.1.1.1"},
                          Case{u"x@10.1.1.1", -1, u"10.1.1.1"}, Case{u"10.1.1.1", -1, u""}}) {
        LiveForm form = NewLiveForm(LiveType::Static);
        form.source = c.source;
        form.name = form.openingName = u"Old";
        auto opened = Open(LiveEditorMode::Update, form);
        EXPECT_EQ(opened->SelectedId(), c.selected) << Narrow(c.source);
        EXPECT_EQ(opened->State(LiveControl::AddressEdit).text, c.address);
        opened->OnCancel();
    }
}

TEST_F(LiveEditor, DynamicSourceIsTheHashAfterZeroAtAndIsNeverShown) {
    auto model = OpenNew(LiveType::Dynamic);
    model->Settings().SetNameText(u"Remote");
    model->OnSetPasswordClicked();  // cancelled: nothing changes
    EXPECT_EQ(model->Form().source, u"");
    passwordAnswer = Hash;
    model->OnSetPasswordClicked();
    ASSERT_EQ(model->OnOk(), u"");
    EXPECT_EQ(model->Form().source, u"0@" + Hash);

    auto reopened = Reopen(model->Form());
    EXPECT_EQ(reopened->State(LiveControl::AddressEdit).text, u"");
    passwordAnswer.clear();
    reopened->OnSetPasswordClicked();  // a cancelled change keeps the stored password
    ASSERT_EQ(reopened->OnOk(), u"");
    EXPECT_EQ(reopened->Form().source, u"0@" + Hash);
    EXPECT_EQ(passwordRuns, 3);

    // The password belongs to dynamic broadcasts only.
    OpenNew(LiveType::Static)->OnSetPasswordClicked();
    EXPECT_EQ(passwordRuns, 3);
}

TEST_F(LiveEditor, MetadataAndRestrictionsRunTheirDialogs) {
    LiveForm form = NewLiveForm(LiveType::Static);
    form.source = u"1@h";
    form.name = form.openingName = u"News";
    form.metadata = {u"A", u"T", u"C"};
    form.notifyArchival = true;
    auto model = Open(LiveEditorMode::Update, form);
    EXPECT_TRUE(model->Settings().State(BroadcastControl::NotifyArchival).checked);
    metadataAccepted = false;
    model->Settings().OnMetadataClicked();
    EXPECT_EQ(shownMetadata, (BroadcastMetadata{u"A", u"T", u"C"}));
    EXPECT_EQ(model->Form().metadata, (BroadcastMetadata{u"A", u"T", u"C"}));
    metadataAccepted = true;
    model->Settings().OnMetadataClicked();
    model->Settings().OnAccessRestrictionsClicked();
    EXPECT_EQ(restrictionRuns, 1);
    ASSERT_EQ(model->OnOk(), u"");
    EXPECT_EQ(model->Form().metadata,
              (BroadcastMetadata{u"typed author", u"typed title", u"typed copyright"}));
    EXPECT_TRUE(model->Form().notifyArchival);
}

TEST_F(LiveEditor, UncheckingUnicastTakesThePlayerAndDelegateOptionsAway) {
    LiveForm form = NewLiveForm(LiveType::MmsRebroadcast);
    form.source = u"mms://h";
    form.name = form.openingName = u"Relay";
    form.allowDelegates = form.playerOption = true;
    form.method = AuthMethod::Anonymous;
    auto model = Open(LiveEditorMode::Update, form);
    const AccessPanel& access = model->Settings().Access();
    EXPECT_TRUE(access.State(AccessControl::AllowDelegates).checked);
    model->Settings().OnUnicastClicked(false);
    for (AccessControl control : {AccessControl::PlayerOption, AccessControl::AllowDelegates}) {
        EXPECT_FALSE(access.State(control).checked);
        EXPECT_FALSE(access.State(control).enabled);
    }
    EXPECT_FALSE(access.State(AccessControl::Metadata).enabled);
    EXPECT_FALSE(access.State(AccessControl::AccessRestrictions).enabled);
    ASSERT_EQ(model->OnOk(), u"");
    EXPECT_FALSE(model->Form().allowDelegates);
    EXPECT_EQ(model->Form().playTime, -1);
}

TEST_F(LiveEditor, MulticastGroupsAreHeldFromOpeningAndFreedOnlyByCancelOrOk) {
    auto cancelled = OpenNew(LiveType::Static);
    EXPECT_EQ(cancelled->Settings().State(BroadcastControl::GroupEdit).text, u"225.0.0.0:5000");
    EXPECT_EQ(Registered(), "225.0.0.0:5000");
    cancelled->OnCancel();
    EXPECT_EQ(Registered(), "");

    auto model = OpenNew(LiveType::Static);
    model->Settings().SetNameText(u"News");
    model->SetAddressText(u"h");
    std::u16string taken = u"230.0.0.9:7000";
    std::u16string message;
    ASSERT_TRUE(table.Register(taken, message));
    model->Settings().SetGroupText(u"230.0.0.9:7000");
    EXPECT_NE(model->OnOk(), u"");  // refused: the held group goes back into the edit
    EXPECT_EQ(model->Settings().State(BroadcastControl::GroupEdit).text, u"225.0.0.0:5000");
    model->Settings().SetGroupText(u"230.0.0.8:7001");
    ASSERT_EQ(model->OnOk(), u"");
    EXPECT_EQ(Registered(), "230.0.0.8:7001 230.0.0.9:7000");
    EXPECT_EQ(model->Form().groupText, u"230.0.0.8:7001");

    // Multicast dropped on an existing broadcast: OK releases its group; Cancel would not.
    auto reopened = Reopen(model->Form());
    reopened->Settings().OnMulticastClicked(false);
    EXPECT_EQ(reopened->Settings().State(BroadcastControl::GroupEdit).enabled, false);
    reopened->OnCancel();
    EXPECT_EQ(Registered(), "230.0.0.8:7001 230.0.0.9:7000");
    auto dropped = Reopen(model->Form());
    dropped->Settings().OnMulticastClicked(false);
    ASSERT_EQ(dropped->OnOk(), u"");
    EXPECT_EQ(Registered(), "230.0.0.9:7000");
    EXPECT_EQ(dropped->Form().groupText, u"");
}

}  // namespace
