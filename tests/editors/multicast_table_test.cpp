#include "editors/multicast_table.h"

#include <initializer_list>
#include <map>
#include <string>

#include <gtest/gtest.h>

namespace vantor {
namespace {

std::u16string Failure(std::u16string_view status) {
    return std::u16string(status) +
           u".\nThe valid group range is: 224.0.0.1 - 239.255.255.255. "
           u"The valid port range is: 5000 - 65535.";
}

std::string Narrow(std::u16string_view text) {
    return std::string(text.begin(), text.end());
}

using Associations = std::map<std::uint32_t, std::uint32_t>;

// The whole observable state, and a check that the three containers agree with each other.
Associations StateOf(const MulticastTable& table) {
    const Associations& associations = table.Associations();
    EXPECT_EQ(table.Groups().Size(), associations.size());
    EXPECT_EQ(table.Ports().Size(), associations.size());
    for (auto [group, port] : associations) {
        EXPECT_TRUE(table.Groups().Contains(group) && table.Ports().Contains(port));
    }
    return associations;
}

// Registers text, expecting success with the message untouched, and returns what the text became.
std::u16string Registered(MulticastTable& table, std::u16string text) {
    std::u16string message = u"untouched";
    EXPECT_TRUE(table.Register(text, message)) << Narrow(text);
    EXPECT_EQ(message, u"untouched");
    return text;
}

// Registers text, expecting a rejection that leaves the table and the text alone; returns the
// message.
std::u16string Rejected(MulticastTable& table, std::u16string_view text) {
    Associations before = StateOf(table);
    std::u16string inOut(text);
    std::u16string message;
    EXPECT_FALSE(table.Register(inOut, message)) << Narrow(text);
    EXPECT_EQ(inOut, text);
    EXPECT_EQ(StateOf(table), before);
    return message;
}

TEST(MulticastTable, EmptyTextGetsTheLowestFreeGroupAndPort) {
    MulticastTable table;
    EXPECT_EQ(Registered(table, u""), u"225.0.0.0:5000");
    EXPECT_EQ(Registered(table, u""), u"225.0.0.1:5001");
    EXPECT_EQ(Registered(table, u""), u"225.0.0.2:5002");
    MulticastTable gapFirst;
    Registered(gapFirst, u"225.0.0.1:5001");
    EXPECT_EQ(Registered(gapFirst, u""), u"225.0.0.0:5000");
    EXPECT_EQ(Registered(gapFirst, u""), u"225.0.0.2:5002");

    // Group and port are chosen apart, and typed groups outside the assigned range only take
    // their ports; one at the top of the range stops none below it.
    MulticastTable typed;
    for (auto text : {u"225.0.0.0:9000", u"224.0.0.1:5000", u"224.255.255.255:5001",
                      u"232.0.0.0:5002", u"231.255.255.255:6000"}) {
        Registered(typed, text);
    }
    EXPECT_EQ(Registered(typed, u""), u"225.0.0.1:5003");
    EXPECT_EQ(Registered(typed, u""), u"225.0.0.2:5004");
}

TEST(MulticastTable, ChecksTheTextInOrderAndReadsTheGroupLikeTheCLibrary) {
    struct Case {
        std::u16string message;
        std::initializer_list<std::u16string_view> texts;
    };
    // Against a table that holds 230.1.1.1:6000. The first failing check decides: the colon,
    // the group, a group clash, a port clash, the port range.
    const Case rejected[] = {
        {u"No port is specified in the multicast group", {u"230.1.1.2", u" ", u"abc"}},
        {Failure(u"Multicast Group address is out of range"),
         {u"224.0.0.0:6001", u"240.0.0.1:6001", u"10.0.0.1:6001", u"0:6001", u"10.0.0.1:6000"}},
        // 255.255.255.255 is what inet_addr fails with; U+0416 is not in Windows-1252.
        {Failure(u"Multicast Group address is invalid"),
         {u"abc:6001", u"255.255.255.255:6001", u"0xFFFFFFFF:6001", u":6001", u" 230.1.1.2:6001",
          u"230.1.1.2x:6001", u"230.1.1.256:6001", u"230.1.1\u0416:6001", u"abc:6000"}},
        {Failure(u"Duplicate Multicast group address"),
         {u"230.1.1.1:7000", u"230.001.001.001:7000", u"0xE6010101:7000", u"230.1.1.1:6000",
          u"230.1.1.1:80", u"230.1.1.1:abc"}},
        {Failure(u"Duplicate Multicast port"), {u"230.1.1.2:6000", u"230.1.1.2: +6000x"}},
        // The port reads as "%d" does; no number at all counts as out of range.
        {Failure(u"Multicast port is out of range"),
         {u"230.1.1.2:80", u"230.1.1.2:4999", u"230.1.1.2:65536", u"230.1.1.2:70000",
          u"230.1.1.2:-1", u"230.1.1.2:-60536", u"230.1.1.2:", u"230.1.1.2:abc", u"230.1.1.2: ",
          u"230.1.1.2:4294972296", u"230.1.1.2:0"}},
    };
    for (const Case& c : rejected) {
        for (std::u16string_view text : c.texts) {
            MulticastTable table;
            Registered(table, u"230.1.1.1:6000");
            EXPECT_EQ(Rejected(table, text), c.message) << Narrow(text);
        }
    }

    // Octal and hexadecimal parts, fewer than four parts, inet_addr stopping at white space, the
    // port read as "%d" does, and only the first colon splitting: all are 230.1.1.2 and 6001.
    for (auto text : {u"230.1.1.2 trailing:6001", u"0xE6010102:6001", u"0346.1.258:6001",
                      u"230.65794:6001", u"230.1.1.2: +6001abc", u"230.1.1.2:6001:7000"}) {
        MulticastTable table;
        Registered(table, u"230.1.1.1:6000");
        EXPECT_EQ(Registered(table, text), text);
        EXPECT_EQ(StateOf(table), (Associations{{0xE6010101, 6000}, {0xE6010102, 6001}}))
            << Narrow(text);
    }
    MulticastTable bounds;
    Registered(bounds, u"224.0.0.1:5000");
    Registered(bounds, u"239.255.255.255:65535");
    EXPECT_EQ(StateOf(bounds), (Associations{{0xE0000001, 5000}, {0xEFFFFFFF, 65535}}));
}

TEST(MulticastTable, UnregisterFreesTheGroupAndItsRegisteredPort) {
    MulticastTable table;
    Registered(table, u"230.1.1.1:6000");
    Registered(table, u"230.1.1.2:6001");
    table.Unregister(u"230.1.1.1:9999");  // the port in the text does not matter
    EXPECT_EQ(StateOf(table), (Associations{{0xE6010102, 6001}}));
    Registered(table, u"230.1.1.1:6000");
    table.Unregister(u"230.001.1.2:");
    EXPECT_EQ(StateOf(table), (Associations{{0xE6010101, 6000}}));

    // Texts that name no registered group change nothing.
    for (auto text : {u"230.1.1.9:6000", u"", u"230.1.1.1", u"abc:6000", u"10.0.0.1:6000",
                      u"255.255.255.255:6000", u":"}) {
        table.Unregister(text);
        EXPECT_EQ(StateOf(table), (Associations{{0xE6010101, 6000}})) << Narrow(text);
    }
}

TEST(MulticastTable, WhenEveryPortIsTakenAssignmentFailsAndChangesNothing) {
    MulticastTable table;
    // Typed groups outside the assigned range, so only the ports run out.
    for (std::uint32_t port = 5000; port <= 65535; ++port) {
        ASSERT_EQ(table.AddGroupPort(MulticastTable::FormatGroup(0xE8000000 + port), port),
                  MulticastStatus::Ok);
    }
    EXPECT_EQ(Rejected(table, u""), Failure(u"Multicast port is out of range"));
    table.Unregister(u"232.0.117.48:1");  // 0xE8000000 + 30000 held port 30000
    EXPECT_EQ(Registered(table, u""), u"225.0.0.0:30000");
    EXPECT_EQ(Rejected(table, u""), Failure(u"Multicast port is out of range"));
}

}  // namespace
}  // namespace vantor
