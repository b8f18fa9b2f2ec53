// The automation objects on the bus, through the factory and through the configuration store,
// against vantor-sim.

#include <chrono>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "config/catalogue.h"
#include "config/config_store.h"
#include "editors/multicast_table.h"
#include "platform/automation_bus.h"
#include "platform/linux_clock.h"
#include "platform/linux_dbus_automation.h"
#include "platform/linux_dbus_automation_call.h"
#include "platform/linux_file_store.h"
#include "platform/linux_systemd_service_manager.h"
#include "server/service_controller.h"
#include "sim/sim_control_names.h"
#include "sim_fixture.h"

namespace vantor::integration {
namespace {

using std::chrono::milliseconds;
using std::chrono::steady_clock;

const QString ReloadCall = QStringLiteral("Vantor.VTRConfig.ReloadConfiguration");

// A configuration store as the main window keeps one, over the sim's config.vtr.
struct Store {
    Store(ServerState state, AutomationFactory& automation, const std::string& path)
        : serverState(state),
          store(defaultAuthMethod, multicastTable, serverState, files, automation, prompter, path) {
    }

    AuthMethod defaultAuthMethod = AuthMethod::Anonymous;
    MulticastTable multicastTable;
    ServerState serverState;
    LinuxFileStore files;
    RecordingPrompter prompter;
    ConfigStore store;
};

ResourceRecord Resource(ResourceKind kind, std::u16string name, std::u16string source) {
    ResourceRecord record;
    record.kind = kind;
    record.name = std::move(name);
    record.source = std::move(source);
    return record;
}

// Resources inserted out of order, so that tree order is not insertion order.
void FillCatalogue(Catalogue& catalogue) {
    catalogue.InsertResourceItem(Resource(ResourceKind::VirtualFolder, u"zeta", u"/srv/zeta"));
    catalogue.InsertResourceItem(Resource(ResourceKind::LiveBroadcast, u"Radio", u"http://radio"));
    catalogue.InsertResourceItem(Resource(ResourceKind::VirtualFolder, u"Alpha", u"/srv/alpha"));
    catalogue.InsertResourceItem(Resource(ResourceKind::LiveBroadcast, u"news", u"http://news"));
    catalogue.InsertResourceItem(Resource(ResourceKind::VirtualFolder, u"Bêta", u"/srv/beta"));
}

QStringList TreeOrderNames(const Catalogue& catalogue) {
    QStringList names;
    for (const CatalogueItem* branch : {&catalogue.FileResources(), &catalogue.LiveBroadcasts()}) {
        for (const auto& child : branch->Children()) {
            names.append(QString::fromStdU16String(child->Record().name));
        }
    }
    return names;
}

std::vector<std::u16string> Texts(const QStringList& list) {
    std::vector<std::u16string> texts;
    for (const QString& text : list) {
        texts.push_back(text.toStdU16String());
    }
    return texts;
}

using AutomationObjects = SimTest;

TEST_F(AutomationObjects, SaveWhileRunningReloadsOnceWithTheSameCatalogue) {
    ASSERT_TRUE(StartSim({QStringLiteral("--running")}));
    LinuxDbusAutomationFactory automation;
    Store saved(ServerState::Running, automation, ConfigPath());
    FillCatalogue(saved.store.Resources());
    const QStringList expected = TreeOrderNames(saved.store.Resources());
    ASSERT_NE(expected,
              (QStringList{QStringLiteral("zeta"), QStringLiteral("Alpha"), QStringLiteral("Bêta"),
                           QStringLiteral("Radio"), QStringLiteral("news")}));

    saved.store.SaveConfiguration();

    EXPECT_TRUE(saved.prompter.messages.empty());
    EXPECT_EQ(CountCalls(ReloadCall), 1);
    const QVariantList loaded = Control(sim::control::GetLoadedConfig);
    ASSERT_EQ(loaded.size(), 3);
    EXPECT_EQ(loaded[0].toUInt(), 1u);   // reloads
    EXPECT_EQ(loaded[1].toUInt(), 60u);  // the version the tool writes
    EXPECT_EQ(loaded[2].toStringList(), expected);
}

TEST_F(AutomationObjects, SaveWhileStoppedMakesNoCall) {
    // The server's objects are there; only the state the tool last saw says stopped.
    ASSERT_TRUE(StartSim({QStringLiteral("--running")}));
    LinuxDbusAutomationFactory automation;
    Store saved(ServerState::Stopped, automation, ConfigPath());
    FillCatalogue(saved.store.Resources());

    saved.store.SaveConfiguration();

    EXPECT_TRUE(saved.prompter.messages.empty());
    EXPECT_TRUE(CallLog().isEmpty()) << CallLog().join(u'\n').toStdString();
    EXPECT_EQ(Control(sim::control::GetLoadedConfig).value(0).toUInt(), 0u);
    // The file itself was written all the same.
    LinuxFileStore files;
    EXPECT_TRUE(files.ReadFile(ConfigPath()).has_value());
}

TEST_F(AutomationObjects, UnreachableVtrConfigShowsTheReloadFailure) {
    ASSERT_TRUE(StartSim({QStringLiteral("--running")}));
    Control(sim::control::SetUnreachable, {QString::fromLatin1(bus::VtrConfigName), true});
    LinuxDbusAutomationFactory automation;
    EXPECT_EQ(automation.CreateVtrConfig(), nullptr);
    EXPECT_NE(automation.CreateUsersAccess(), nullptr);  // only that one object is gone

    Store saved(ServerState::Running, automation, ConfigPath());
    saved.store.SaveConfiguration();

    ASSERT_EQ(saved.prompter.messages.size(), 1u);
    EXPECT_EQ(saved.prompter.messages[0].first,
              u"Unable to update media server with the new configuration");
    EXPECT_EQ(saved.prompter.messages[0].second, u"VantorConfig - Error");
    EXPECT_EQ(CountCalls(ReloadCall), 0);
}

TEST_F(AutomationObjects, HungObjectCostsAtMostTheCallTimeout) {
    ASSERT_TRUE(StartSim({QStringLiteral("--running")}));
    Control(sim::control::SetHang, {ReloadCall, true});
    LinuxDbusAutomationFactory automation;
    Store saved(ServerState::Running, automation, ConfigPath());

    // Safety bounds, not measurements: the wait must end, and not much after the time-out.
    const auto before = steady_clock::now();
    saved.store.SaveConfiguration();
    EXPECT_LT(steady_clock::now() - before, milliseconds(bus::CallTimeoutMs + 2000));
    EXPECT_TRUE(saved.prompter.messages.empty());  // the reload's result is not reported
    EXPECT_EQ(CountCalls(ReloadCall), 1);          // it did arrive
    EXPECT_EQ(Control(sim::control::GetLoadedConfig).value(0).toUInt(), 0u);

    // The object's own answer is the time-out code; a shorter time-out is honoured too.
    LinuxDbusAutomationFactory impatient(500);
    const std::unique_ptr<VtrConfigObject> vtrConfig = impatient.CreateVtrConfig();
    ASSERT_NE(vtrConfig, nullptr);
    const auto start = steady_clock::now();
    EXPECT_EQ(vtrConfig->ReloadConfiguration(), AutomationCallTimedOut);
    EXPECT_LT(steady_clock::now() - start, milliseconds(500 + 2000));

    // The server was busy, not gone: once it answers again, so does the same object.
    Control(sim::control::SetHang, {ReloadCall, false});
    EXPECT_EQ(vtrConfig->ReloadConfiguration(), SOk);
    EXPECT_EQ(Control(sim::control::GetLoadedConfig).value(0).toUInt(), 1u);
}

TEST_F(AutomationObjects, UsersAnswerThroughTheFactory) {
    ASSERT_TRUE(StartSim({QStringLiteral("--running")}));
    LinuxDbusAutomationFactory automation;
    const std::unique_ptr<UsersAccessObject> users = automation.CreateUsersAccess();
    ASSERT_NE(users, nullptr);

    TextListResult list = users->GetUsers();
    EXPECT_EQ(list.result, SOk);
    ASSERT_TRUE(list.records.has_value());  // an empty list is data
    EXPECT_TRUE(list.records->empty());

    UserCallResult added = users->AddUser(u"anna", 2, u"pässwörd", u"Zoë 東京");
    EXPECT_EQ(added.result, SOk);
    EXPECT_TRUE(added.success);
    EXPECT_TRUE(added.errorText.empty());
    const UserCallResult again = users->AddUser(u"ANNA", 1, u"x", u"");
    EXPECT_FALSE(again.success);
    EXPECT_EQ(again.errorText, u"A user with this name already exists");

    list = users->GetUsers();
    EXPECT_EQ(list.records, std::vector<std::u16string>{u"anna Medium Zoë 東京"});
    EXPECT_EQ(Control(sim::control::GetUserAccounts).value(0).toStringList(),
              QStringList{QStringLiteral("anna\t2\tpässwörd\tZoë 東京")});

    EXPECT_TRUE(users->SetUserPassword(u"anna", u"new").success);
    EXPECT_TRUE(users->UpdateUser(u"anna", 3, u"boss").success);
    EXPECT_EQ(users->GetUsers().records, std::vector<std::u16string>{u"anna Advanced boss"});
    const UserCallResult missing = users->DeleteUser(u"nobody");
    EXPECT_FALSE(missing.success);
    EXPECT_EQ(missing.errorText, u"No such user");
    EXPECT_TRUE(users->DeleteUser(u"anna").success);

    // No data at all is not an empty list; a failure code from the server is passed on.
    Control(sim::control::SetNoData, {QStringLiteral("GetUsers"), true});
    list = users->GetUsers();
    EXPECT_EQ(list.result, SOk);
    EXPECT_FALSE(list.records.has_value());
    Control(sim::control::SetNoData, {QStringLiteral("GetUsers"), false});
    Control(sim::control::SetResult,
            {QStringLiteral("Vantor.UsersAccess.GetUsers"), QVariant::fromValue<quint32>(EFail)});
    EXPECT_EQ(users->GetUsers().result, EFail);

    // The name gone while an object is held: calls fail with nothing in their out-values.
    Control(sim::control::SetUnreachable, {QString::fromLatin1(bus::UsersAccessName), true});
    EXPECT_EQ(automation.CreateUsersAccess(), nullptr);
    added = users->AddUser(u"bob", 1, u"pw", u"info");
    EXPECT_EQ(added.result, AutomationServerUnavailable);
    EXPECT_FALSE(added.success);
    EXPECT_TRUE(added.errorText.empty());
    list = users->GetUsers();
    EXPECT_EQ(list.result, AutomationServerUnavailable);
    EXPECT_FALSE(list.records.has_value());
}

TEST_F(AutomationObjects, ActivityAnswersThroughTheFactory) {
    ASSERT_TRUE(StartSim({QStringLiteral("--running")}));
    LinuxDbusAutomationFactory automation;
    const std::unique_ptr<ResourcesInUseObject> activity = automation.CreateResourcesInUse();
    ASSERT_NE(activity, nullptr);

    // Never fed: no data.
    TextListResult list = activity->GetActiveUsers();
    EXPECT_EQ(list.result, SOk);
    EXPECT_FALSE(list.records.has_value());

    const auto record = [](const char16_t* resource, const char16_t* user, int pointer) {
        return QStringLiteral("<\x01Resource\x01>%1<\x01User\x01>%2<\x01Pointer\x01>%3")
            .arg(QString::fromUtf16(resource), QString::fromUtf16(user), QString::number(pointer));
    };
    const QStringList fed = {record(u"Films", u"anna", 42), record(u"Radio", u"Zoë", 7)};
    Control(sim::control::FeedActiveUsers, {fed});
    Control(sim::control::FeedLiveConnections, {QStringList()});
    list = activity->GetActiveUsers();
    EXPECT_EQ(list.records, Texts(fed));
    list = activity->GetLiveConnections();
    ASSERT_TRUE(list.records.has_value());  // fed empty: data, none of it
    EXPECT_TRUE(list.records->empty());
    EXPECT_FALSE(activity->GetMediaUsage().records.has_value());

    EXPECT_EQ(activity->DisconnectUser(42), SOk);
    EXPECT_EQ(activity->GetActiveUsers().records, Texts({fed[1]}));
    EXPECT_EQ(activity->DisconnectUser(42), SFalse);

    Control(sim::control::SetThroughput, {QVariant::fromValue(QList<qint32>{3, 0, 1, 0, 2})});
    ThroughputResult throughput = activity->GetThroughput();
    EXPECT_EQ(throughput.result, SOk);
    EXPECT_EQ(throughput.values, (std::array<std::int32_t, 10>{3, 0, 1, 0, 2, 0, 0, 0, 0, 0}));
    Control(sim::control::SetThroughput,
            {QVariant::fromValue(QList<qint32>{1, 2, 3, 4, 5, 60, 70, 80, 90, 100})});
    throughput = activity->GetThroughput();
    EXPECT_EQ(throughput.values,
              (std::array<std::int32_t, 10>{1, 2, 3, 4, 5, 60, 70, 80, 90, 100}));

    // A hung query times out with every value 0.
    Control(sim::control::SetHang, {QStringLiteral("Vantor.ResourcesInUse.GetThroughput"), true});
    LinuxDbusAutomationFactory impatient(300);
    throughput = impatient.CreateResourcesInUse()->GetThroughput();
    EXPECT_EQ(throughput.result, AutomationCallTimedOut);
    EXPECT_EQ(throughput.values, (std::array<std::int32_t, 10>{}));
}

TEST_F(AutomationObjects, MulticastAndNotificationAnswerThroughTheFactory) {
    ASSERT_TRUE(StartSim({QStringLiteral("--running")}));
    LinuxDbusAutomationFactory automation;
    const std::unique_ptr<FileMCastTriggerObject> multicast = automation.CreateFileMCastTrigger();
    ASSERT_NE(multicast, nullptr);

    EXPECT_EQ(multicast->StartMulticast(u"Films", u"/srv/films", u"239.1.2.3", 5004, true), SOk);
    EXPECT_EQ(CountCalls(QStringLiteral(
                  "Vantor.FileMCastTrigger.StartMulticast Films /srv/films 239.1.2.3 5004 true")),
              1);
    MulticastStatusResult status = multicast->GetMulticastStatus(u"Films");
    EXPECT_EQ(status.result, SOk);
    EXPECT_EQ(status.multicastingText, u"239.1.2.3:5004");
    status = multicast->GetMulticastStatus(u"Other");
    EXPECT_EQ(status.result, SFalse);
    EXPECT_EQ(status.otherText, u"Not multicasting");

    EXPECT_EQ(multicast->StopMulticast(u"Films"), SOk);
    EXPECT_NE(multicast->GetMulticastStatus(u"Films").result, SOk);

    const std::unique_ptr<RestrictionsNotifierObject> notifier =
        automation.CreateRestrictionsNotifier();
    ASSERT_NE(notifier, nullptr);
    EXPECT_EQ(notifier->RestrictionsChanged(), SOk);
    EXPECT_EQ(CountCalls(QStringLiteral("Vantor.RestrictionsNotification.RestrictionsChanged")), 1);
}

TEST_F(AutomationObjects, ObjectsExistWhileTheServerRunsOrCanBeActivated) {
    ASSERT_TRUE(StartSim());
    LinuxDbusAutomationFactory automation;
    EXPECT_EQ(automation.CreateVtrConfig(), nullptr);
    EXPECT_EQ(automation.CreateUsersAccess(), nullptr);
    EXPECT_EQ(automation.CreateResourcesInUse(), nullptr);
    EXPECT_EQ(automation.CreateFileMCastTrigger(), nullptr);
    // The bus can start this one (its program then fails), so it can be created; the call fails.
    const std::unique_ptr<RestrictionsNotifierObject> notifier =
        automation.CreateRestrictionsNotifier();
    ASSERT_NE(notifier, nullptr);
    EXPECT_EQ(notifier->RestrictionsChanged(), AutomationServerUnavailable);

    LinuxSystemdServiceManager manager;
    LinuxClock clock;
    ServiceController controller(manager, clock);
    ASSERT_EQ(controller.StartServerService(u"Vantor", 5000), SOk);
    EXPECT_NE(automation.CreateVtrConfig(), nullptr);
    EXPECT_NE(automation.CreateUsersAccess(), nullptr);
    EXPECT_NE(automation.CreateResourcesInUse(), nullptr);
    EXPECT_NE(automation.CreateFileMCastTrigger(), nullptr);
    EXPECT_EQ(notifier->RestrictionsChanged(), SOk);  // now the server's own
}

}  // namespace
}  // namespace vantor::integration
