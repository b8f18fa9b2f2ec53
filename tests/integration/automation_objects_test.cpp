// The automation objects and the logging component test on the bus, through the factory and
// through the configuration store, against vantor-sim.

#include <chrono>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "config/config_store.h"
#include "config/multicast_table.h"
#include "platform/automation_bus.h"
#include "platform/linux_dbus_automation.h"
#include "platform/linux_dbus_automation_call.h"
#include "platform/linux_dbus_logging_component_probe.h"
#include "platform/linux_file_store.h"
#include "sim/sim_control_names.h"
#include "sim_fixture.h"

namespace vantor::integration {
namespace {

using std::chrono::milliseconds;
using std::chrono::steady_clock;

const QString ReloadCall = QStringLiteral("Vantor.VTRConfig.ReloadConfiguration");

// A configuration store as the main window keeps one over the sim's config.vtr, seeing the
// server in serverState; the sim runs with the server's objects up.
class AutomationObjects : public SimTest {
protected:
    void SetUp() override {
        SimTest::SetUp();
        ASSERT_TRUE(StartSim({QStringLiteral("--running")}));
    }
    void SaveCatalogue() {
        ConfigStore store(defaultAuthMethod, multicastTable, serverState, files, automation,
                          prompter, ConfigPath());
        // Inserted out of order, so that tree order is not insertion order; the odd ones are
        // live broadcasts.
        const char16_t* names[] = {u"zeta", u"news", u"Alpha", u"Radio", u"Bêta"};
        for (std::size_t i = 0; i < std::size(names); ++i) {
            ResourceRecord record;
            record.kind = i % 2 ? ResourceKind::LiveBroadcast : ResourceKind::VirtualFolder;
            record.name = names[i];
            record.source = u"/srv/" + record.name;
            store.Resources().InsertResourceItem(record);
        }
        store.SaveConfiguration();
    }

    AuthMethod defaultAuthMethod = AuthMethod::Anonymous;
    MulticastTable multicastTable;
    ServerState serverState = ServerState::Stopped;
    LinuxFileStore files;
    LinuxDbusAutomationFactory automation;
    RecordingPrompter prompter;
};

TEST_F(AutomationObjects, SaveReloadsOnlyWhileRunningAndTheServerSeesTheSameCatalogue) {
    // The server's objects are there; only the state the tool last saw says stopped.
    SaveCatalogue();
    EXPECT_TRUE(CallLog().isEmpty()) << CallLog().join(u'\n').toStdString();
    EXPECT_TRUE(files.ReadFile(ConfigPath()).has_value());

    serverState = ServerState::Running;
    SaveCatalogue();
    EXPECT_TRUE(prompter.shown.empty());
    EXPECT_EQ(CountCalls(ReloadCall), 1);
    // Reloads, the version the tool writes, and the names in tree order.
    EXPECT_EQ(Control(sim::control::GetLoadedConfig),
              (QVariantList{1u, 60u, QStringList{"Alpha", "Bêta", "zeta", "news", "Radio"}}));
}

TEST_F(AutomationObjects, UnreachableOrHungVtrConfigCostsAtMostTheCallTimeout) {
    serverState = ServerState::Running;
    Control(sim::control::SetUnreachable, {QString::fromLatin1(bus::VtrConfigName), true});
    EXPECT_NE(automation.CreateUsersAccess(), nullptr);  // only that one object is gone
    SaveCatalogue();
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].text, u"Unable to update media server with the new configuration");
    EXPECT_EQ(prompter.shown[0].caption, u"VantorConfig - Error");
    EXPECT_EQ(CountCalls(ReloadCall), 0);

    Control(sim::control::SetUnreachable, {QString::fromLatin1(bus::VtrConfigName), false});
    Control(sim::control::SetHang, {ReloadCall, true});
    // The object's own answer is the time-out code, after the factory's time-out.
    const std::unique_ptr<VtrConfigObject> vtrConfig =
        LinuxDbusAutomationFactory(500).CreateVtrConfig();
    ASSERT_NE(vtrConfig, nullptr);
    const auto before = steady_clock::now();
    EXPECT_EQ(vtrConfig->ReloadConfiguration(), AutomationCallTimedOut);
    EXPECT_LT(steady_clock::now() - before, milliseconds(500 + 2000));
    // The server was busy, not gone: once it answers again, so does the same object.
    Control(sim::control::SetHang, {ReloadCall, false});
    EXPECT_EQ(vtrConfig->ReloadConfiguration(), SOk);
}

TEST_F(AutomationObjects, OtherObjectsAnswerThroughTheFactory) {
    const std::unique_ptr<UsersAccessObject> users = automation.CreateUsersAccess();
    ASSERT_NE(users, nullptr);
    EXPECT_EQ(users->GetUsers().records, std::vector<std::u16string>{});  // empty list is data
    Control(sim::control::SetNoData, {QStringLiteral("GetUsers"), true});
    EXPECT_FALSE(users->GetUsers().records.has_value());  // no data at all is not an empty list

    const std::unique_ptr<ResourcesInUseObject> activity = automation.CreateResourcesInUse();
    ASSERT_NE(activity, nullptr);
    EXPECT_FALSE(activity->GetActiveUsers().records.has_value());  // never fed: no data
    const QStringList fed = {
        QStringLiteral("<\x01Resource\x01>Films<\x01User\x01>anna<\x01Pointer\x01>42"),
        QStringLiteral("<\x01Resource\x01>Radio<\x01User\x01>Zoë<\x01Pointer\x01>7")};
    Control(sim::control::FeedActiveUsers, {fed});
    EXPECT_EQ(activity->GetActiveUsers().records,
              std::vector({fed[0].toStdU16String(), fed[1].toStdU16String()}));
    EXPECT_EQ(activity->DisconnectUser(42), SOk);
    EXPECT_EQ(activity->DisconnectUser(42), SFalse);
    Control(sim::control::FeedLiveConnections, {QStringList{fed[1]}});
    Control(sim::control::FeedMediaUsage, {QStringList{fed[0]}});
    EXPECT_EQ(activity->GetLiveConnections().records, std::vector{fed[1].toStdU16String()});
    EXPECT_EQ(activity->GetMediaUsage().records, std::vector{fed[0].toStdU16String()});
    Control(sim::control::SetThroughput, {QVariant::fromValue(QList<qint32>{3, 0, 1, 0, 2})});
    EXPECT_EQ(activity->GetThroughput().values,
              (std::array<std::int32_t, 10>{3, 0, 1, 0, 2, 0, 0, 0, 0, 0}));

    const std::unique_ptr<FileMCastTriggerObject> multicast = automation.CreateFileMCastTrigger();
    ASSERT_NE(multicast, nullptr);
    EXPECT_EQ(multicast->StartMulticast(u"Films", u"/srv/films", u"239.1.2.3", 5004, true), SOk);
    EXPECT_EQ(CountCalls(QStringLiteral(
                  "Vantor.FileMCastTrigger.StartMulticast Films /srv/films 239.1.2.3 5004 true")),
              1);
    EXPECT_EQ(multicast->GetMulticastStatus(u"Films").multicastingText, u"239.1.2.3:5004");
    EXPECT_EQ(multicast->GetMulticastStatus(u"Other").otherText, u"Not multicasting");

    // A name gone while its object is held: calls fail with nothing in their out-values.
    Control(sim::control::SetUnreachable, {QString::fromLatin1(bus::UsersAccessName), true});
    const UserCallResult added = users->AddUser(u"bob", 1, u"pw", u"info");
    EXPECT_EQ(added.result, AutomationServerUnavailable);
    EXPECT_FALSE(added.success);
    EXPECT_TRUE(added.errorText.empty());
}

TEST_F(AutomationObjects, LoggingComponentPassesOnlyWithTheLoggingInterface) {
    LinuxDbusLoggingComponentProbe probe;
    EXPECT_FALSE(probe.CanCreate(u"Acme.Logger"));  // nobody owns it
    Control(sim::control::SetLoggingComponent, {QStringLiteral("Acme.Logger"), true});
    Control(sim::control::SetLoggingComponent, {QStringLiteral("Acme.Other"), false});
    EXPECT_TRUE(probe.CanCreate(u"Acme.Logger"));
    EXPECT_FALSE(probe.CanCreate(u"Acme.Other"));  // reachable, but no logging interface
    EXPECT_FALSE(probe.CanCreate(u"not a bus name"));
    Control(sim::control::RemoveLoggingComponent, {QStringLiteral("Acme.Logger")});
    EXPECT_FALSE(probe.CanCreate(u"Acme.Logger"));
}

}  // namespace
}  // namespace vantor::integration
