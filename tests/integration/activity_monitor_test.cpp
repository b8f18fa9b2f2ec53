// The activity monitor's model against vantor-sim: the pages it fills from what the sim was fed,
// and the two disconnect commands, over the real D-Bus automation objects.

#include <gtest/gtest.h>

#include "monitor/activity_monitor_model.h"
#include "platform/linux_dbus_automation.h"
#include "sim/sim_control_names.h"
#include "sim_fixture.h"

namespace vantor::integration {
namespace {

QString Tag(const char* name) {
    return QStringLiteral("<\x01%1\x01>").arg(QLatin1String(name));
}

QString UserRecord(const char* resource, const char* user, int pointer) {
    return Tag("Resource") + QString::fromUtf8(resource) + Tag("User") + QLatin1String(user) +
           Tag("IP") + "10.0.0.9" + Tag("Protocol") + "VTR-TCP" + Tag("Time") + "3725" +
           Tag("Pointer") + QString::number(pointer);
}

class ActivityAgainstSim : public SimTest {
protected:
    void SetUp() override {
        SimTest::SetUp();
        ASSERT_TRUE(StartSim({QStringLiteral("--running")}));
        Control(sim::control::FeedActiveUsers,
                {QStringList{UserRecord("clips\\a.mp4", "ann", 11), UserRecord("news", "bob", 12),
                             UserRecord("clips\\a.mp4", "cy", 13),
                             UserRecord("Clips\\a.mp4", "dee", 14)}});
        Control(sim::control::FeedLiveConnections,
                {QStringList{Tag("LiveIP") + "10.1.1.1" + Tag("ResourceName") + "news" +
                             Tag("Initiator") + "Server" + Tag("Activity") + "Receiving"}});
        Control(sim::control::FeedMediaUsage,
                {QStringList{Tag("ResourceName") + "Clips/" + Tag("Users") + "3" +
                             Tag("Throughput") + "96"}});
        Control(sim::control::SetThroughput,
                {QVariant::fromValue(QList<qint32>{3, 1, 0, 0, 0, 90, 6})});
    }

    std::vector<std::u16string> Column(ActivityPage page, std::size_t column) {
        model_.OnTabChanged(static_cast<int>(page));
        const std::uint64_t ticket = model_.BeginRefresh();
        const std::optional<ActivityFetch> fetch = model_.FetchFor(ticket);
        EXPECT_TRUE(fetch.has_value());
        EXPECT_TRUE(model_.ApplyFetched(ticket, FetchActivityPage(automation_, *fetch)));
        std::vector<std::u16string> cells;
        for (const ActivityRow& row : model_.Rows(page)) {
            cells.push_back(row.cells[column]);
        }
        return cells;
    }

    ServerState state_ = ServerState::Running;
    LinuxDbusAutomationFactory automation_;
    test::FakeClock clock_;
    RecordingPrompter prompter_;
    ActivityMonitorModel model_{state_, automation_, prompter_, clock_};
};

using Texts = std::vector<std::u16string>;

TEST_F(ActivityAgainstSim, FedActivityAppearsOnItsPages) {
    EXPECT_EQ(Column(ActivityPage::ActiveUsers, 0), (Texts{u"ann", u"bob", u"cy", u"dee"}));
    EXPECT_EQ(Column(ActivityPage::ActiveUsers, 4), Texts(4, u"01:02:05"));
    EXPECT_EQ(Column(ActivityPage::LiveConnections, 3), Texts{u"Receiving"});
    EXPECT_EQ(Column(ActivityPage::MediaUsage, 0), Texts{u"Clips"});
    EXPECT_EQ(Column(ActivityPage::Throughput, 1),
              (Texts{u"3", u"1", u"0", u"0", u"0", u"-----", u"4"}));
    EXPECT_EQ(Column(ActivityPage::Throughput, 2).back(), u"96");
}

TEST_F(ActivityAgainstSim, DisconnectOneThenAllUsersOfAResource) {
    ASSERT_EQ(Column(ActivityPage::ActiveUsers, 0).size(), 4u);
    EXPECT_TRUE(model_.OnDisconnectUser(model_.ActiveUserAt(1)));
    EXPECT_EQ(Column(ActivityPage::ActiveUsers, 0), (Texts{u"ann", u"cy", u"dee"}));

    // Only the rows that match case and all go.
    prompter_.answers = {true};
    EXPECT_TRUE(model_.OnDisconnectAllUsers(model_.ActiveUserAt(0)));
    EXPECT_EQ(Column(ActivityPage::ActiveUsers, 0), Texts{u"dee"});
    EXPECT_EQ(CountCalls(QStringLiteral("Vantor.ResourcesInUse.DisconnectUser")), 3);
}

}  // namespace
}  // namespace vantor::integration
