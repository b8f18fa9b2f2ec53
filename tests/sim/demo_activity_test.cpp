#include "sim/demo_activity.h"

#include <numeric>

#include <gtest/gtest.h>

#include "sim/tagged_record.h"

namespace vantor::sim {
namespace {

// The five protocols' players (first 0) or throughputs (first 5).
int Sum(const ActivityFeed::Throughput& values, int first) {
    return std::accumulate(values.begin() + first, values.begin() + first + 5, 0);
}

TEST(DemoActivity, FeedsConsistentChangingListsAndKeepsDisconnectedPlayersGone) {
    ActivityFeed feed;
    DemoActivity demo(7);
    demo.Step(feed, 0);
    ASSERT_TRUE(feed.ActiveUsers() && feed.LiveConnections() && feed.MediaUsage());
    const QStringList first = *feed.ActiveUsers();
    EXPECT_EQ(first.size(), demo.PlayerCount());
    EXPECT_GE(first.size(), 6);
    // The throughput page and the usage page count the same players.
    EXPECT_EQ(Sum(feed.GetThroughput(), 0), first.size());
    int usageUsers = 0;
    int usageThroughput = 0;
    for (const QString& record : *feed.MediaUsage()) {
        usageUsers += TaggedField(record, "Users")->toInt();
        usageThroughput += TaggedField(record, "Throughput")->toInt();
    }
    EXPECT_EQ(usageUsers, first.size());
    EXPECT_EQ(usageThroughput, Sum(feed.GetThroughput(), 5));

    // A disconnected player never comes back; the others play on.
    const qint32 gone = *RecordPointer(first[0]);
    ASSERT_EQ(feed.DisconnectUser(gone), 1);
    bool changed = false;
    for (int step = 0; step < 20; ++step) {
        demo.Step(feed, 2);
        for (const QString& record : *feed.ActiveUsers()) {
            EXPECT_NE(RecordPointer(record), gone);
        }
        changed = changed || *feed.ActiveUsers() != first;
    }
    EXPECT_TRUE(changed);
    const QString time = *TaggedField(feed.ActiveUsers()->front(), "Time");
    EXPECT_GT(time.toInt(), 0);
}

}  // namespace
}  // namespace vantor::sim
