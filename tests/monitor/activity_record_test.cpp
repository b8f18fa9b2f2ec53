#include "monitor/activity_record.h"

#include <cstdint>
#include <string>
#include <tuple>
#include <utility>

#include <gtest/gtest.h>

namespace vantor {
namespace {

using namespace std::string_literals;
using UserFields = std::tuple<std::u16string, std::u16string, std::u16string, std::u16string,
                              std::int32_t, std::int32_t>;

UserFields FieldsOf(const ActiveUserRecord& r) {
    return {r.resource, r.user, r.ip, r.protocol, r.time, r.pointer};
}

// The text with each '<' and '>' made a tag's bracket, so "<User>bob" is the User field.
std::u16string Tagged(std::u16string_view text) {
    std::u16string tagged;
    for (char16_t c : text) {
        tagged += c == u'>' ? u"\u0001>" : c == u'<' ? u"<\u0001" : std::u16string(1, c);
    }
    return tagged;
}

TEST(ActivityRecord, SplitsTheThreeRecordKinds) {
    EXPECT_EQ(FieldTag(u"User"), u"<\u0001User\u0001>");
    EXPECT_EQ(FieldsOf(ParseActiveUser(Tagged(u"<Resource>Movies\\clip.wmv<User>bob<IP>10.0.0.7"
                                              u"<Protocol>VTR-TCP<Time>3725<Pointer>-12"))),
              UserFields(u"Movies\\clip.wmv", u"bob", u"10.0.0.7", u"VTR-TCP", 3725, -12));
    LiveConnectionRecord live = ParseLiveConnection(
        Tagged(u"<LiveIP>192.168.1.5<ResourceName>news<Initiator>Server<Activity>Receiving"));
    EXPECT_EQ(std::tie(live.liveIp, live.resourceName, live.initiator, live.activity),
              std::tuple(u"192.168.1.5"s, u"news"s, u"Server"s, u"Receiving"s));
    // Values may be empty, and a value may hold '<' or '>' that is not a tag.
    MediaUsageRecord usage =
        ParseMediaUsage(FieldTag(u"ResourceName") + u"<a>/" + Tagged(u"<Users><Throughput>250"));
    EXPECT_EQ(std::tie(usage.resourceName, usage.users, usage.throughput),
              std::tuple(u"<a>/"s, u""s, u"250"s));

    // Time and Pointer read as "%d" does; text without a number reads 0.
    for (auto [text, value] : {std::pair{u" 42s", 42}, std::pair{u"+7", 7}, std::pair{u"abc", 0},
                               std::pair{u"-2147483648", INT32_MIN}}) {
        ActiveUserRecord user =
            ParseActiveUser(Tagged(u"<Resource>n<User>u<IP>i<Protocol>p<Time>") + text +
                            Tagged(u"<Pointer>") + text);
        EXPECT_EQ(std::pair(user.time, user.pointer), std::pair(value, value));
    }
}

TEST(ActivityRecord, MissingTagsEmptyTheFieldBeforeThem) {
    struct Case {
        std::u16string_view record;
        UserFields fields;
    };
    for (const Case& c : {
             // No IP tag: User finds nothing to end at and is empty; what is left still starts at
             // the User tag, so IP is cut from there, skipping as many characters as its own tag.
             Case{u"<Resource>news<User>bob<Protocol>HTTP<Time>5<Pointer>7",
                  {u"news", u"", u"\u0001>bob", u"HTTP", 5, 7}},
             // No Pointer tag: Time is empty, and Pointer is what follows its own tag's length
             // from the Time tag: "<\1Time\1>123456" less 11 characters.
             Case{u"<Resource>news<User>bob<IP>1.2.3.4<Protocol>HTTP<Time>123456",
                  {u"news", u"bob", u"1.2.3.4", u"HTTP", 0, 456}},
             // No first tag: the record is taken to start with it; too short a head leaves it
             // empty.
             Case{u"xy<User>bob<IP>i<Protocol>p<Time>1<Pointer>2", {u"", u"bob", u"i", u"p", 1, 2}},
             Case{u"", {}},
             Case{u"plain text", {}},
         }) {
        EXPECT_EQ(FieldsOf(ParseActiveUser(Tagged(c.record))), c.fields);
    }
    // Only the first tag: every field but the last is empty, and the last one is cut from the
    // whole record at the length of its own (longer) tag.
    LiveConnectionRecord live = ParseLiveConnection(Tagged(u"<LiveIP>1.1.1.1"));
    EXPECT_EQ(std::tie(live.liveIp, live.resourceName, live.initiator, live.activity),
              std::tuple(u""s, u""s, u""s, u"1.1.1"s));
}

}  // namespace
}  // namespace vantor
