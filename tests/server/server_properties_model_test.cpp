#include "server/server_properties_model.h"

#include <gtest/gtest.h>

#include "fake_users_server.h"
#include "platform/logging_component_probe.h"
#include "server/user_manager.h"

using namespace vantor;
using test::Narrow;
namespace {

using enum ServerControl;

struct FakeProbe : LoggingComponentProbe {
    bool CanCreate(const std::u16string& progId) override {
        tested.push_back(Narrow(progId));
        return progId == u"Acme.Logger";
    }
    std::vector<std::string> tested;
};

ServerConfig StoredConfig() {
    ServerConfig config;
    config.limitConnections = true;
    config.maxConnections = 25;
    config.limitConnectionsPerUser = false;
    config.maxConnectionsPerUser = 3;
    config.maxAnonymousConnections = 7;
    config.limitThroughput = true;
    config.maxThroughputKBps = 900;
    config.loggingMode = 3;
    config.loggingProgId = u"Acme.Logger";
    config.archivalPassword = u"oldhash";
    config.networkInterface = u"10.0.0.2";
    config.archivalServerAddress = u"10.0.0.9";
    config.archivalServerPort = u"8080";
    return config;
}

struct ServerPropertiesTest : ::testing::Test {
    ServerPropertiesModel& Open(const ServerConfig& config = StoredConfig()) {
        model =
            std::make_unique<ServerPropertiesModel>(config, AuthMethod::Internal, addresses, users,
                                                    probe, prompter, [this](std::u16string& hash) {
                                                        hash = passwordDialogHash;
                                                        return !hash.empty();
                                                    });
        model->OnOpen();
        return *model;
    }

    test::FakeUsersServer server;
    test::RecordingPrompter prompter;
    std::u16string updateOpenedOn;  // the user the update dialog opened on, then cancelled
    UserManager users{server,
                      prompter,
                      [] {},
                      {},
                      [this](UserUpdateEntry& entry) {
                          updateOpenedOn = entry.name;
                          return false;
                      }};
    FakeProbe probe;
    std::vector<std::string> addresses = {"127.0.0.1", "0.0.0.0", "10.0.0.2", "192.168.1.4"};
    std::u16string passwordDialogHash;
    std::unique_ptr<ServerPropertiesModel> model;
};

TEST_F(ServerPropertiesTest, OpensWithTheSettingsUsersAndInterfaces) {
    server.records = {u"bob Basic x", u"ann Basic y"};
    ServerPropertiesModel& m = Open();
    // A limit shows its number whether or not it is on; its edit follows the check box.
    const auto look = [&m] {
        return std::tuple(m.State(TotalCheck).checked, m.State(TotalEdit).enabled,
                          m.State(PerUserEdit).text, m.State(PerUserEdit).enabled,
                          m.State(ProgIdEdit).enabled);
    };
    EXPECT_EQ(look(), std::tuple(true, true, u"3", false, true));
    EXPECT_EQ(std::tuple(m.State(PlayerPortEdit).text, m.State(ArchivalPortEdit).text,
                         m.State(CustomLogging).checked, m.State(InternalAuthentication).checked,
                         m.Users().Size(), m.State(InterfaceCombo).text),
              std::tuple(u"5119", u"8080", true, true, 2u, u"10.0.0.2"));
    EXPECT_EQ(m.InterfaceEntries(), (std::vector<std::u16string>{u"Any available", u"127.0.0.1",
                                                                 u"10.0.0.2", u"192.168.1.4"}));
    m.OnLoggingSelected(LoggingMode::Disabled);
    m.OnLimitToggled(ServerLimit::ConnectionsPerUser, true);
    EXPECT_EQ(look(), std::tuple(true, true, u"3", true, false));
    // Sorted by name, ann's is the first row. Removing the last user leaves no row for Remove and
    // Update.
    m.OnUserColumnClicked(UserColumn::Name);
    m.OnUserSelected(0);
    m.OnUpdateUser();
    EXPECT_EQ(updateOpenedOn, m.Users().Rows()[0].name);
    m.OnRemoveUser();
    EXPECT_EQ(m.Users().Rows()[0].name, u"bob");
    m.OnRemoveUser();
    EXPECT_EQ(
        std::tuple(m.Users().Size(), m.State(RemoveUser).enabled, m.State(UpdateUser).enabled),
        std::tuple(0u, false, false));
    // Cancel, like OK, empties the list as the dialog closes.
    server.records = {u"cy Basic z"};
    ServerPropertiesModel& again = Open();
    ASSERT_EQ(again.Users().Size(), 1u);
    again.OnCancel();
    EXPECT_TRUE(again.Users().Empty());

    // Stored logging modes: 1 is off, 3 custom (above), anything else standard.
    for (auto [mode, radio] : {std::pair{1u, DisableLogging}, std::pair{4u, StandardLogging}}) {
        ServerConfig config = StoredConfig();
        config.loggingMode = mode;
        EXPECT_TRUE(Open(config).State(radio).checked) << mode;
    }
}

TEST_F(ServerPropertiesTest, OkChecksInOrderAndStaysOpenWithTheFirstFailure) {
    // Each case breaks one more field; OK must name the earliest broken one.
    const struct {
        ServerControl edit;
        ServerLimit limit;
        std::u16string text;
        std::u16string_view message;
    } failures[] = {
        {ThroughputEdit, ServerLimit::Throughput, u"", u"Throughput limit is not specified"},
        {AnonymousEdit, ServerLimit::AnonymousConnections, u"-4",
         u"Minimal number of connections is 1"},
        {PerUserEdit, ServerLimit::ConnectionsPerUser, u"",
         u"Limit of connections number per user is not specified"},
        {TotalEdit, ServerLimit::TotalConnections, u"",
         u"Limit of connections number is not specified"},
    };
    ServerPropertiesModel& m = Open();
    for (const auto& [edit, limit, text, message] : failures) {
        m.OnLimitToggled(limit, true);
        m.SetEditText(edit, text);
        EXPECT_EQ(m.OnOk(), message);
    }
    m.SetEditText(LiveSourcePortEdit, u"");
    EXPECT_EQ(m.OnOk(), u"No port for dynamic live sources is specified");
    m.SetEditText(PlayerPortEdit, u"");
    EXPECT_EQ(m.OnOk(), u"No port for client connections is specified");
    EXPECT_EQ(m.Form().settings, StoredConfig());  // untouched by the refusals
    EXPECT_TRUE(prompter.shown.empty());
}

TEST_F(ServerPropertiesTest, ConnectionLimitsAbove65535AreRefusedWhereTheirFieldIsChecked) {
    // The file keeps the three connection limits in 16 bits: 65536 would read back as no limit.
    ServerPropertiesModel& m = Open();
    for (ServerLimit limit : {ServerLimit::TotalConnections, ServerLimit::ConnectionsPerUser,
                              ServerLimit::AnonymousConnections, ServerLimit::Throughput}) {
        m.OnLimitToggled(limit, true);
        m.SetEditText(ServerPropertiesModel::EditOf(limit), u"65535");
    }
    ASSERT_EQ(m.OnOk(), u"");
    EXPECT_EQ(std::tuple(m.Form().settings.maxConnections, m.Form().settings.maxConnectionsPerUser,
                         m.Form().settings.maxAnonymousConnections),
              std::tuple(65535u, 65535u, 65535u));
    // The throughput is kept in 32 bits.
    m.SetEditText(ThroughputEdit, u"70000");
    ASSERT_EQ(m.OnOk(), u"");
    EXPECT_EQ(m.Form().settings.maxThroughputKBps, 70000u);

    // Each after the earlier fields' checks and before the later fields'.
    m.SetEditText(ThroughputEdit, u"");
    m.SetEditText(AnonymousEdit, u"65536");
    EXPECT_EQ(m.OnOk(), u"Maximal number of connections is 65535");
    m.SetEditText(PerUserEdit, u"70000");
    EXPECT_EQ(m.OnOk(), u"Maximal number of connections per user is 65535");
    m.SetEditText(TotalEdit, u"65536");
    EXPECT_EQ(m.OnOk(), u"Maximal number of connections is 65535");
    m.SetEditText(TotalEdit, u"");
    EXPECT_EQ(m.OnOk(), u"Limit of connections number is not specified");
    // Switched off, a limit is not read at all.
    m.OnLimitToggled(ServerLimit::TotalConnections, false);
    m.OnLimitToggled(ServerLimit::ConnectionsPerUser, false);
    m.OnLimitToggled(ServerLimit::AnonymousConnections, false);
    m.OnLimitToggled(ServerLimit::Throughput, false);
    EXPECT_EQ(m.OnOk(), u"");
    EXPECT_EQ(m.Form().settings.maxConnectionsPerUser, 65535u);  // the number stays as it was
}

TEST_F(ServerPropertiesTest, OkReadsEveryFieldAndAnUncheckedLimitKeepsItsNumber) {
    server.records = {u"ann Basic x"};
    ServerPropertiesModel& m = Open();
    m.OnLimitToggled(ServerLimit::TotalConnections, false);
    m.SetEditText(TotalEdit, u"99");  // typed, then switched off: ignored
    m.OnLimitToggled(ServerLimit::AnonymousConnections, true);
    m.SetEditText(AnonymousEdit, u" 12abc");
    m.SetEditText(PlayerPortEdit, u"6000");
    m.SetEditText(ArchivalAddressEdit, u"");
    m.OnLoggingSelected(LoggingMode::Standard);
    // Each method checks its own radio alone.
    for (AuthMethod method : {AuthMethod::Anonymous, AuthMethod::SessionBased}) {
        m.OnAuthMethodSelected(method);
        EXPECT_EQ(
            std::tuple(m.State(AnonymousAccess).checked, m.State(InternalAuthentication).checked,
                       m.State(SessionAuthentication).checked),
            std::tuple(method == AuthMethod::Anonymous, false, method == AuthMethod::SessionBased));
    }
    m.OnInterfaceSelected(3);
    m.OnInterfaceSelected(4);  // one past the last entry: ignored
    EXPECT_EQ(m.SelectedInterface(), 3u);
    passwordDialogHash = u"newhash";
    m.OnSetPassword();
    passwordDialogHash = u"";  // cancelled: the hash stays
    m.OnSetPassword();
    ASSERT_EQ(m.OnOk(), u"");

    ServerConfig expected = StoredConfig();
    expected.limitConnections = false;  // 25 kept
    expected.limitAnonymousConnections = true;
    expected.maxAnonymousConnections = 12;
    expected.playerPort = u"6000";
    expected.archivalServerAddress = u"";
    expected.loggingMode = 2;
    expected.archivalPassword = u"newhash";
    expected.networkInterface = u"192.168.1.4";
    EXPECT_EQ(m.Form(), (ServerPropertiesForm{expected, AuthMethod::SessionBased}));
    EXPECT_TRUE(m.Users().Empty());
    EXPECT_TRUE(probe.tested.empty());  // standard logging: nothing to test
}

TEST_F(ServerPropertiesTest, CustomLoggingIsTestedOnOkAndAFailureOnlyWarns) {
    ServerPropertiesModel& m = Open();
    ASSERT_EQ(m.OnOk(), u"");
    EXPECT_EQ(test::Messages(prompter), "");
    m.SetEditText(ProgIdEdit, u"Acme.Missing");
    ASSERT_EQ(m.OnOk(), u"");
    EXPECT_EQ(probe.tested, (std::vector<std::string>{"Acme.Logger", "Acme.Missing"}));
    EXPECT_EQ(test::Messages(prompter), "Warning: Testing of custom logging component failed\n");
    EXPECT_EQ(m.Form().settings.loggingProgId, u"Acme.Missing");
}

TEST_F(ServerPropertiesTest, CommitComparesWarnsCopiesAndSaves) {
    const ServerConfig stored = StoredConfig();
    ServerConfig changed = stored;
    changed.archivalServerPort = u"8081";
    const struct {
        ServerPropertiesForm form;
        ServerPropertiesChange change;
        bool warned;
    } cases[] = {
        {{stored, AuthMethod::Internal}, ServerPropertiesChange::None, false},
        {{stored, AuthMethod::Anonymous}, ServerPropertiesChange::AuthMethodOnly, false},
        {{changed, AuthMethod::Internal}, ServerPropertiesChange::Settings, true},
    };
    for (const auto& [form, change, warned] : cases) {
        ServerConfig config = stored;
        AuthMethod method = AuthMethod::Internal;
        test::RecordingPrompter shown;
        int saves = 0;
        EXPECT_EQ(CommitServerProperties(form, config, method, shown, [&] { ++saves; }), change);
        EXPECT_EQ(std::tuple(saves, config, method, test::Messages(shown)),
                  std::tuple(change == ServerPropertiesChange::None ? 0 : 1, form.settings,
                             form.defaultAuthMethod,
                             warned ? "Warning: New settings will only be used when Media Server "
                                      "restarts\n"
                                    : ""));
    }
}

}  // namespace
