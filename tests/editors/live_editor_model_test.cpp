#include "editors/live_editor_model.h"

#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "config/catalogue.h"
#include "config/multicast_table.h"
#include "editors/control_texts.h"
#include "editors/registered_groups.h"

using namespace vantor;
namespace {

const std::u16string Hash = u"0123456789abcdef0123456789abcdef01234567";

const auto Narrow = [](std::u16string_view text) { return std::string(text.begin(), text.end()); };

struct LiveEditor : ::testing::Test {
    void SetUp() override {
        ResourceRecord folder;
        folder.name = u"Jazz";
        catalogue.InsertResourceItem(folder);
        subDialogs.setPassword = [this](std::u16string& hash) {
            ++passwordRuns;
            hash = passwordAnswer;  // typed, even when then cancelled
            return passwordAccepted;
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
    std::string Registered() const { return test::RegisteredGroups(table); }

    MulticastTable table;
    Catalogue catalogue;
    AuthMethod defaultAuthMethod = AuthMethod::Anonymous;
    BroadcastSubDialogs subDialogs;
    std::u16string passwordAnswer = Hash;
    bool passwordAccepted = false;
    int passwordRuns = 0;
    BroadcastMetadata shownMetadata;
    bool metadataAccepted = true;
    int restrictionRuns = 0;
};

TEST_F(LiveEditor, OpensEachTypeWithItsHeaderLabelsAndControls) {
    const std::u16string_view address = u"Live source IP address and ID";
    // The header, the address label, which of address, ID list and password button are enabled,
    // the IDs listed and the one selected.
    using Row = std::tuple<std::u16string_view, std::u16string_view, std::string, std::size_t, int>;
    using Case = std::pair<LiveType, Row>;
    for (const auto& [type, row] : {
             Case{LiveType::Static,
                  {u"Static live source: directly IP addressable from media server. Media server "
                   u"will initiate a connection based on provided IP address.",
                   address, "++-", 255, 0}},
             Case{LiveType::Dynamic,
                  {u"Dynamic live source: Not directly IP addressable from media server. Live "
                   u"server will initiate a connection, sending alias and password.",
                   address, "--+", 0, -1}},
             Case{LiveType::MmsRebroadcast,
                  {u"Rebroadcast stream from Microsoft Media Services or Microsoft Windows Media "
                   u"Encoder.",
                   u"Link starting with \"mms://\"", "+--", 0, -1}},
         }) {
        auto model = OpenNew(type);
        std::string enabled;
        for (LiveControl c :
             {LiveControl::AddressEdit, LiveControl::IdList, LiveControl::SetPasswordButton}) {
            enabled += model->State(c).enabled ? '+' : '-';
        }
        EXPECT_EQ(model->Title(), u"New live broadcast");
        EXPECT_EQ(Row(model->Settings().State(BroadcastControl::Header).text,
                      model->State(LiveControl::AddressLabel).text, enabled,
                      model->IdListItems().size(), model->SelectedId()),
                  row);
        model->OnCancel();
    }
    EXPECT_EQ(Registered(), "");  // each Cancel freed the group its opening reserved
    auto model = OpenNew(LiveType::Static);
    using enum BroadcastControl;
    using Texts = std::vector<std::u16string>;
    EXPECT_EQ(test::ControlTexts<BroadcastControl>(model->Settings(), kBroadcastControlCount,
                                                   {NameEdit, DescriptionEdit, GroupEdit}),
              (Texts{u"Static live source: directly IP addressable from media server. Media "
                     u"server will initiate a connection based on provided IP address.",
                     u"Live broadcast Alias", u"Live broadcast description", u"Unicast delivery",
                     u"Multicast delivery", u"Group",
                     u"Notify Archival Server to record this broadcast when it's being played",
                     u"OK", u"Cancel"}));
    EXPECT_EQ(
        test::ControlTexts<AccessControl>(model->Settings().Access(), kAccessControlCount,
                                          {AccessControl::InheritedMethodLabel}),
        (Texts{u"User authentication method", u"Inherit default settings", u"Anonymous access",
               u"Internal authentication", u"Session-based authentication", u"Allow access for",
               u"Basic users", u"Medium users", u"Advanced users", u"Allow MMS / Flash players",
               u"Metadata", u"Allow delegate Media Servers to connect", u"Access restrictions"}));
    EXPECT_EQ(test::ControlTexts<LimitsControl>(
                  model->Settings().Limits(), kLimitsControlCount,
                  {LimitsControl::TotalConnectionsEdit, LimitsControl::ConnectionsPerUserEdit,
                   LimitsControl::ThroughputEdit, LimitsControl::PlayTimeEdit}),
              (Texts{u" Limit player connections to this broadcast",
                     u"Limit total concurrent connections number", u"Limit concurrent connections",
                     u"per each authenticated user",
                     u"Do not accept new connections if throughput exceeds (kByte/sec)",
                     u"Limit per-user playback time", u"minutes"}));
    EXPECT_EQ(
        test::ControlTexts<LiveControl>(*model, kLiveControlCount,
                                        {LiveControl::AddressEdit, LiveControl::IdList}),
        (Texts{u"Live source IP address and ID", u"Live broadcast password", u"Set password..."}));
}

TEST_F(LiveEditor, OkChecksRunInOrderForAStaticBroadcast) {
    auto model = OpenNew(LiveType::Static);
    BroadcastSettings& settings = model->Settings();
    model->SetAddressText(u"192.168.0.10");
    settings.SetNameText(u"News");
    // Each step breaks one more check, earlier than all the broken ones: its message wins.
    settings.OnLimitToggled(LimitPair::Throughput, true);
    settings.Limits().SetEditText(LimitPair::Throughput, u"");
    EXPECT_EQ(model->OnOk(), u"Throughput limit is not specified");
    settings.SetGroupText(u"");
    EXPECT_EQ(model->OnOk(), u"Empty multicast group");
    settings.OnUnicastClicked(false);
    settings.OnMulticastClicked(false);
    EXPECT_EQ(model->OnOk(), u"Either Unicast or Multicast or both should be checked");
    settings.OnLimitToggled(LimitPair::PlayTime, true);
    EXPECT_EQ(model->OnOk(), u"Time limit must be at least 1 minute");
    settings.OnMethodSelected(AuthMethod::Internal);
    settings.Access().Load(AuthMethod::Internal, 0, false, false);
    EXPECT_EQ(model->OnOk(),
              u"At least one user group should be chosen for internal authentication");
    settings.SetNameText(u"");
    EXPECT_EQ(model->OnOk(), u"No name for new live broadcast is specified");
    model->OnIdSelected(static_cast<int>(model->IdListItems().size()));  // past the end
    EXPECT_EQ(model->OnOk(), u"No live source ID is selected. Choose an ID from 1 to 255");
    model->SetAddressText(u"");
    EXPECT_EQ(model->OnOk(), u"No live source IP address is specified");
    EXPECT_EQ(Registered(), "225.0.0.0:5000");
}

TEST_F(LiveEditor, StaticSourceIsIdAtAddressAndSplitsBackOnOpening) {
    auto model = OpenNew(LiveType::Static);
    model->Settings().SetNameText(u"News");
    model->Settings().SetDescriptionText(u"Evening");
    model->SetAddressText(u"192.168.0.10");
    model->OnIdSelected(2);
    model->Settings().SetGroupText(u"230.0.0.8:7001");
    model->Settings().OnLimitToggled(LimitPair::Throughput, true);
    model->Settings().Limits().SetEditText(LimitPair::Throughput, u"700");
    model->Settings().OnLimitToggled(LimitPair::TotalConnections, true);
    model->Settings().Limits().SetEditText(LimitPair::TotalConnections, u"5");
    ASSERT_EQ(model->OnOk(), u"");
    EXPECT_EQ(std::tuple(model->Form().source, model->Form().maxThroughputKBps,
                         model->Form().maxConnections, Registered()),
              std::tuple(u"3@192.168.0.10", LimitSetting{true, 700}, LimitSetting{true, 5},
                         "230.0.0.8:7001"));
    auto reopened = Reopen(model->Form());
    EXPECT_EQ(std::tuple(reopened->Title(), reopened->SelectedId(),
                         reopened->State(LiveControl::AddressEdit).text,
                         reopened->Settings().State(BroadcastControl::DescriptionEdit).text),
              std::tuple(u"Update live broadcast", 2, u"192.168.0.10", u"Evening"));
    // Multicast dropped on an existing broadcast: OK releases its group.
    reopened->Settings().OnMulticastClicked(false);
    EXPECT_FALSE(reopened->Settings().State(BroadcastControl::GroupEdit).enabled);
    ASSERT_EQ(reopened->OnOk(), u"");
    EXPECT_EQ(std::pair(Registered(), reopened->Form().groupText),
              std::pair(std::string(), std::u16string()));

    using Row = std::tuple<std::u16string, int, std::u16string>;  // source, ID index, address
    for (const auto& [source, selected, address] :
         {Row{u"255@h@x", 254, u"h@x"}, Row{u"256@10.1.1.1", -1, u"10.1.1.1"},
          Row{u"10.1.1.1", -1, u""}}) {
        LiveForm form = NewLiveForm(LiveType::Static);
        form.source = source;
        form.name = form.openingName = u"Old";
        auto opened = Open(LiveEditorMode::Update, form);
        EXPECT_EQ(std::pair(opened->SelectedId(), opened->State(LiveControl::AddressEdit).text),
                  std::pair(selected, address))
            << Narrow(source);
        opened->OnCancel();
    }
}

// Both are checked before the name. A dynamic source is "0@" and the password's hash, never shown.
TEST_F(LiveEditor, DynamicAndMmsSources) {
    auto model = OpenNew(LiveType::Dynamic);
    model->OnSetPasswordClicked();  // cancelled: nothing changes
    EXPECT_EQ(model->OnOk(),
              u"No password is specified. You must specify a password for dynamic live source.");
    passwordAccepted = true;
    model->OnSetPasswordClicked();
    EXPECT_EQ(model->OnOk(), u"No name for new live broadcast is specified");
    model->Settings().SetNameText(u"Remote");
    ASSERT_EQ(model->OnOk(), u"");
    EXPECT_EQ(model->Form().source, u"0@" + Hash);
    auto reopened = Reopen(model->Form());
    EXPECT_EQ(reopened->State(LiveControl::AddressEdit).text, u"");
    passwordAccepted = false;
    passwordAnswer = u"another hash";
    reopened->OnSetPasswordClicked();  // a cancelled change keeps the stored password
    ASSERT_EQ(reopened->OnOk(), u"");
    EXPECT_EQ(reopened->Form().source, u"0@" + Hash);
    OpenNew(LiveType::Static)->OnSetPasswordClicked();  // dynamic broadcasts only
    EXPECT_EQ(passwordRuns, 3);

    auto mms = OpenNew(LiveType::MmsRebroadcast);
    mms->Settings().SetNameText(u"Relay");
    EXPECT_EQ(mms->OnOk(), u"No live source IP address is specified");
    mms->SetAddressText(u"MMS://encoder/live");
    EXPECT_EQ(mms->OnOk(),
              u"Link to Microsoft Media Services or Media Encoder must begin with \"mms://\".");
    mms->SetAddressText(u"mms://encoder/live");
    EXPECT_EQ(mms->OnOk(), u"");
    EXPECT_EQ(Reopen(mms->Form())->State(LiveControl::AddressEdit).text, u"mms://encoder/live");
}

TEST_F(LiveEditor, SubDialogsAndTheAccessPanelAreWiredIn) {
    LiveForm form = NewLiveForm(LiveType::Static);
    form.source = u"1@h";
    form.name = form.openingName = u"News";
    form.metadata = {u"A", u"T", u"C"};
    form.notifyArchival = form.allowDelegates = true;
    auto model = Open(LiveEditorMode::Update, form);
    BroadcastSettings& settings = model->Settings();
    EXPECT_TRUE(settings.Access().State(AccessControl::AllowDelegates).checked);
    metadataAccepted = false;
    settings.OnMetadataClicked();
    EXPECT_EQ(shownMetadata, (BroadcastMetadata{u"A", u"T", u"C"}));
    EXPECT_EQ(model->Form().metadata, (BroadcastMetadata{u"A", u"T", u"C"}));
    metadataAccepted = true;
    settings.OnMetadataClicked();
    settings.OnAccessRestrictionsClicked();
    EXPECT_EQ(restrictionRuns, 1);
    // Unicast off reaches the panel, which takes the delegates away.
    settings.OnUnicastClicked(false);
    EXPECT_FALSE(settings.Access().State(AccessControl::AllowDelegates).enabled);
    ASSERT_EQ(model->OnOk(), u"");
    EXPECT_EQ(std::tuple(model->Form().metadata, model->Form().notifyArchival,
                         model->Form().allowDelegates, model->Form().playTime),
              std::tuple(BroadcastMetadata{u"typed author", u"typed title", u"typed copyright"},
                         true, false, -1));
}

}  // namespace
