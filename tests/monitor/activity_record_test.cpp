#include "monitor/activity_record.h"

#include <string>

#include <gtest/gtest.h>

namespace vantor {
namespace {

std::u16string Tag(std::u16string_view name) {
    return FieldTag(name);
}

std::u16string UserRecord(std::u16string_view resource, std::u16string_view time,
                          std::u16string_view pointer) {
    return Tag(u"Resource") + std::u16string(resource) + Tag(u"User") + u"bob" + Tag(u"IP") +
           u"10.0.0.7" + Tag(u"Protocol") + u"VTR-TCP" + Tag(u"Time") + std::u16string(time) +
           Tag(u"Pointer") + std::u16string(pointer);
}

TEST(ActivityRecord, TagsWrapTheNameInControlCharacters) {
    EXPECT_EQ(FieldTag(u"User"), u"<\u0001User\u0001>");
    EXPECT_EQ(FieldTag(u"User").size(), 8u);
}

TEST(ActivityRecord, SplitsTheThreeRecordKinds) {
    ActiveUserRecord user = ParseActiveUser(UserRecord(u"Movies\\clip.wmv", u"3725", u"-12"));
    EXPECT_EQ(user.resource, u"Movies\\clip.wmv");
    EXPECT_EQ(user.user, u"bob");
    EXPECT_EQ(user.ip, u"10.0.0.7");
    EXPECT_EQ(user.protocol, u"VTR-TCP");
    EXPECT_EQ(user.time, 3725);
    EXPECT_EQ(user.pointer, -12);

    LiveConnectionRecord live =
        ParseLiveConnection(Tag(u"LiveIP") + u"192.168.1.5" + Tag(u"ResourceName") + u"news" +
                            Tag(u"Initiator") + u"Server" + Tag(u"Activity") + u"Receiving");
    EXPECT_EQ(live.liveIp, u"192.168.1.5");
    EXPECT_EQ(live.resourceName, u"news");
    EXPECT_EQ(live.initiator, u"Server");
    EXPECT_EQ(live.activity, u"Receiving");

    MediaUsageRecord usage = ParseMediaUsage(Tag(u"ResourceName") + u"Movies/" + Tag(u"Users") +
                                             u"3" + Tag(u"Throughput") + u"250");
    EXPECT_EQ(usage.resourceName, u"Movies/");
    EXPECT_EQ(usage.users, u"3");
    EXPECT_EQ(usage.throughput, u"250");

    // Values may be empty, and a value may hold '<' or '>' that is not a tag.
    MediaUsageRecord odd =
        ParseMediaUsage(Tag(u"ResourceName") + u"<a>" + Tag(u"Users") + Tag(u"Throughput"));
    EXPECT_EQ(odd.resourceName, u"<a>");
    EXPECT_EQ(odd.users, u"");
    EXPECT_EQ(odd.throughput, u"");
}

TEST(ActivityRecord, NumbersReadLikePercentDAndOtherTextReadsZero) {
    EXPECT_EQ(ParseActiveUser(UserRecord(u"news", u" 42s", u"+7")).time, 42);
    EXPECT_EQ(ParseActiveUser(UserRecord(u"news", u" 42s", u"+7")).pointer, 7);
    EXPECT_EQ(ParseActiveUser(UserRecord(u"news", u"abc", u"")).time, 0);
    EXPECT_EQ(ParseActiveUser(UserRecord(u"news", u"abc", u"")).pointer, 0);
    EXPECT_EQ(ParseActiveUser(UserRecord(u"news", u"0", u"-2147483648")).pointer, INT32_MIN);
}

TEST(ActivityRecord, MissingTagsEmptyTheFieldBeforeThem) {
    // No "IP" tag: "User" finds nothing to end at and is empty; what is left still starts at the
    // "User" tag, so "IP" is cut from there, skipping as many characters as its own tag has.
    std::u16string noIp = Tag(u"Resource") + u"news" + Tag(u"User") + u"bob" + Tag(u"Protocol") +
                          u"HTTP" + Tag(u"Time") + u"5" + Tag(u"Pointer") + u"7";
    ActiveUserRecord user = ParseActiveUser(noIp);
    EXPECT_EQ(user.resource, u"news");
    EXPECT_EQ(user.user, u"");
    EXPECT_EQ(user.ip, u"\u0001>bob");
    EXPECT_EQ(user.protocol, u"HTTP");
    EXPECT_EQ(user.time, 5);
    EXPECT_EQ(user.pointer, 7);

    // No "Pointer" tag: "Time" is empty and the last field is what follows a tag's length.
    std::u16string noPointer = Tag(u"Resource") + u"news" + Tag(u"User") + u"bob" + Tag(u"IP") +
                               u"1.2.3.4" + Tag(u"Protocol") + u"HTTP" + Tag(u"Time") + u"123456";
    user = ParseActiveUser(noPointer);
    EXPECT_EQ(user.protocol, u"HTTP");
    EXPECT_EQ(user.time, 0);
    EXPECT_EQ(user.pointer, 456);  // "<\1Time\1>123456" less the 11 characters of the Pointer tag

    // No first tag: the first field is taken to start with it; too short a head leaves it empty.
    ActiveUserRecord headless = ParseActiveUser(u"xy" + UserRecord(u"a", u"1", u"2").substr(13));
    EXPECT_EQ(headless.resource, u"");
    EXPECT_EQ(headless.user, u"bob");
    EXPECT_EQ(headless.pointer, 2);

    // Nothing at all, or no tags: every field empty, numbers 0.
    for (std::u16string_view junk : {u"", u"plain text"}) {
        ActiveUserRecord empty = ParseActiveUser(junk);
        EXPECT_EQ(empty.resource, u"");
        EXPECT_EQ(empty.protocol, u"");
        EXPECT_EQ(empty.time, 0);
        EXPECT_EQ(empty.pointer, 0);
    }
    // Only the first tag: every field but the last is empty, and the last one is cut from the
    // whole record at the length of its own (longer) tag.
    LiveConnectionRecord live = ParseLiveConnection(Tag(u"LiveIP") + u"1.1.1.1");
    EXPECT_EQ(live.liveIp, u"");
    EXPECT_EQ(live.initiator, u"");
    EXPECT_EQ(live.activity, u"1.1.1");
}

}  // namespace
}  // namespace vantor
