#include "sim/activity_feed.h"

#include <gtest/gtest.h>

#include "sim/tagged_record.h"

namespace vantor::sim {
namespace {

QString Tag(const char* field) {
    return QStringLiteral("<\u0001%1\u0001>").arg(field);
}

QString ActiveUser(const QString& user, const QString& pointer) {
    return Tag("User") + user + Tag("Time") + "3725" + Tag("Pointer") + pointer;
}

TEST(ActivityFeed, TaggedFieldsPointersAndDisconnectByPointer) {
    EXPECT_EQ(TaggedField(ActiveUser("ann lee", "-42"), "User"), QString("ann lee"));
    EXPECT_EQ(TaggedField(ActiveUser("ann lee", "-42"), "Users"), std::nullopt);
    EXPECT_EQ(TaggedField(Tag("User") + Tag("IP") + "1.2.3.4", "User"), QString(""));
    EXPECT_EQ(RecordPointer(ActiveUser("x", "-42")), -42);
    EXPECT_EQ(RecordPointer(ActiveUser("x", "2147483647")), 2147483647);
    for (const char* bad : {"2147483648", "12ab", ""}) {
        EXPECT_EQ(RecordPointer(ActiveUser("x", bad)), std::nullopt) << bad;
    }
    ActivityFeed feed;
    feed.FeedActiveUsers(
        {ActiveUser("ann", "7"), ActiveUser("bob", "8"), "damaged record", ActiveUser("cy", "7")});
    EXPECT_EQ(feed.DisconnectUser(7), 2);
    EXPECT_EQ(*feed.ActiveUsers(), (QStringList{ActiveUser("bob", "8"), "damaged record"}));
    EXPECT_FALSE(feed.SetThroughput(QList<qint32>(11, 1)));  // more than ten: refused
}

}  // namespace
}  // namespace vantor::sim
