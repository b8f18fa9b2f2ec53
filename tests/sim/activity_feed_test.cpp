#include "sim/activity_feed.h"

#include <gtest/gtest.h>

#include "sim/tagged_record.h"

namespace vantor::sim {
namespace {

QString Tag(const char* field) {
    return QStringLiteral("<\u0001") + QString::fromLatin1(field) + QStringLiteral("\u0001>");
}

QString ActiveUser(const QString& user, const QString& pointer) {
    return Tag("Resource") + "Music\\a.mp3" + Tag("User") + user + Tag("Time") + "3725" +
           Tag("Pointer") + pointer;
}

TEST(TaggedRecord, FieldsRunToTheNextTagAndTheLastToTheEnd) {
    const QString record = ActiveUser("ann lee", "-42");
    EXPECT_EQ(TaggedField(record, "User"), QString("ann lee"));
    EXPECT_EQ(TaggedField(record, "Pointer"), QString("-42"));
    EXPECT_EQ(TaggedField(record, "Users"), std::nullopt);
    EXPECT_EQ(TaggedField(Tag("User") + Tag("IP") + "1.2.3.4", "User"), QString(""));

    EXPECT_EQ(RecordPointer(record), -42);
    EXPECT_EQ(RecordPointer(ActiveUser("x", "2147483647")), 2147483647);
    for (const char* bad : {"2147483648", "12ab", ""}) {
        EXPECT_EQ(RecordPointer(ActiveUser("x", bad)), std::nullopt) << bad;
    }
    EXPECT_EQ(RecordPointer(Tag("User") + "x"), std::nullopt);
}

TEST(ActivityFeed, NoDataUntilFedDisconnectByPointerAndTenThroughputValues) {
    ActivityFeed feed;
    EXPECT_FALSE(feed.ActiveUsers());
    EXPECT_EQ(feed.DisconnectUser(1), 0);
    feed.FeedActiveUsers(
        {ActiveUser("ann", "7"), ActiveUser("bob", "8"), "damaged record", ActiveUser("cy", "7")});
    EXPECT_EQ(feed.DisconnectUser(9), 0);
    EXPECT_EQ(feed.DisconnectUser(7), 2);
    EXPECT_EQ(*feed.ActiveUsers(), (QStringList{ActiveUser("bob", "8"), "damaged record"}));
    EXPECT_FALSE(feed.MediaUsage());

    EXPECT_EQ(feed.GetThroughput(), ActivityFeed::Throughput{});
    EXPECT_TRUE(feed.SetThroughput({1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
    EXPECT_TRUE(feed.SetThroughput({-5, 6}));
    EXPECT_FALSE(feed.SetThroughput(QList<qint32>(11, 1)));
    EXPECT_EQ(feed.GetThroughput(), (ActivityFeed::Throughput{-5, 6}));
}

}  // namespace
}  // namespace vantor::sim
