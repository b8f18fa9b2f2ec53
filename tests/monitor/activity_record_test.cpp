#include "monitor/activity_record.h"

#include <gtest/gtest.h>

using namespace vantor;

using namespace std::string_literals;
using UserFields = std::tuple<std::u16string, std::u16string, std::u16string, std::u16string,
                              std::int32_t, std::int32_t>;

// The text with each '<' and '>' made a tag's bracket, so "<User>bob" is the User field.
static std::u16string Tagged(std::u16string_view text) {
    std::u16string tagged;
    for (char16_t c : text) {
        tagged += c == u'>' ? u"\u0001>" : c == u'<' ? u"<\u0001" : std::u16string(1, c);
    }
    return tagged;
}
// The fields of the active-user record the tagged text holds.
static UserFields User(std::u16string_view text) {
    ActiveUserRecord r = ParseActiveUser(Tagged(text));
    return {r.resource, r.user, r.ip, r.protocol, r.time, r.pointer};
}

TEST(ActivityRecord, SplitsTheRecordKindsAndMissingTagsEmptyTheFieldBefore) {
    EXPECT_EQ(FieldTag(u"User"), u"<\u0001User\u0001>");
    LiveConnectionRecord live = ParseLiveConnection(
        Tagged(u"<LiveIP>192.168.1.5<ResourceName>news<Initiator>Server<Activity>Receiving"));
    EXPECT_EQ(std::tie(live.liveIp, live.resourceName, live.initiator, live.activity),
              std::tuple(u"192.168.1.5"s, u"news"s, u"Server"s, u"Receiving"s));
    // Values may be empty, and a value may hold '<' or '>' that is not a tag.
    MediaUsageRecord usage =
        ParseMediaUsage(FieldTag(u"ResourceName") + u"<a>/" + Tagged(u"<Users><Throughput>250"));
    EXPECT_EQ(std::tie(usage.resourceName, usage.users, usage.throughput),
              std::tuple(u"<a>/"s, u""s, u"250"s));
    const std::pair<std::u16string_view, UserFields> rows[] = {
        {u"<Resource>Movies\\clip.wmv<User>bob<IP>10.0.0.7<Protocol>VTR-TCP<Time>3725<Pointer>-12",
         {u"Movies\\clip.wmv", u"bob", u"10.0.0.7", u"VTR-TCP", 3725, -12}},
        // Time and Pointer read as "%d" does; text without a number reads 0.
        {u"<Resource>n<User>u<IP>i<Protocol>p<Time> 42s<Pointer>+7",
         {u"n", u"u", u"i", u"p", 42, 7}},
        {u"<Resource>n<User>u<IP>i<Protocol>p<Time>abc<Pointer>-2147483648",
         {u"n", u"u", u"i", u"p", 0, INT32_MIN}},
        // No IP tag: User finds nothing to end at and is empty; what is left still starts at the
        // User tag, so IP is cut from there, skipping as many characters as its own tag.
        {u"<Resource>news<User>bob<Protocol>HTTP<Time>5<Pointer>7",
         {u"news", u"", u"\u0001>bob", u"HTTP", 5, 7}},
        // No Pointer tag: Time is empty, and Pointer is what follows its own tag's length from
        // the Time tag: "<\1Time\1>123456" less 11 characters.
        {u"<Resource>news<User>bob<IP>1.2.3.4<Protocol>HTTP<Time>123456",
         {u"news", u"bob", u"1.2.3.4", u"HTTP", 0, 456}},
        // No first tag: the record is taken to start with it; too short a head leaves it empty.
        {u"xy<User>bob<IP>i<Protocol>p<Time>1<Pointer>2", {u"", u"bob", u"i", u"p", 1, 2}},
        // A repeated tag: each field ends at the first tag of the field after it.
        {u"<Resource>a<User>b<User>c<IP>i<Protocol>p<Time>1<Pointer>2<Pointer>3",
         {u"a", u"b<\u0001User\u0001>c", u"i", u"p", 1, 2}},
        {u"", {}},
        {u"plain text", {}},
    };
    for (const auto& [text, fields] : rows) {
        EXPECT_EQ(User(text), fields) << std::string(text.begin(), text.end());
    }
}
