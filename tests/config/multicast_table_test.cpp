#include "config/multicast_table.h"

#include <gtest/gtest.h>

using namespace vantor;

using Associations = std::map<std::uint32_t, std::uint32_t>;

// A rejection as Reg returns it.
static std::u16string Failure(std::u16string_view status) {
    return u"!" + std::u16string(status) +
           u".\nThe valid group range is: 224.0.0.1 - 239.255.255.255. "
           u"The valid port range is: 5000 - 65535.";
}

// The associations, after checking that the group and port sets hold as many values; which
// values they hold shows in what the table accepts next.
static Associations StateOf(const MulticastTable& table) {
    const Associations& associations = table.Associations();
    EXPECT_EQ(table.Groups().Size(), associations.size());
    EXPECT_EQ(table.Ports().Size(), associations.size());
    return associations;
}

// Registers text and returns what the text became, or "!" and the message when rejected; a
// rejection must leave the text and the table alone.
static std::u16string Reg(MulticastTable& table, std::u16string text) {
    const Associations before = StateOf(table);
    const std::u16string original = text;
    std::u16string message;
    if (table.Register(text, message)) {
        return text;
    }
    EXPECT_EQ(text, original);
    EXPECT_EQ(StateOf(table), before);
    return u"!" + message;
}

TEST(MulticastTable, EmptyTextGetsTheLowestFreeGroupAndPort) {
    MulticastTable gapFirst, typed;
    // The lowest free values, a gap before the registered ones first.
    EXPECT_EQ(Reg(gapFirst, u"225.0.0.1:5001"), u"225.0.0.1:5001");
    EXPECT_EQ(Reg(gapFirst, u""), u"225.0.0.0:5000");
    EXPECT_EQ(Reg(gapFirst, u""), u"225.0.0.2:5002");
    // Group and port are chosen apart, and typed groups outside the assigned range only take
    // their ports; one at the top of the range stops none below it.
    for (auto text : {u"225.0.0.0:9000", u"224.0.0.1:5000", u"224.255.255.255:5001",
                      u"232.0.0.0:5002", u"231.255.255.255:6000", u"239.255.255.255:65535"}) {
        EXPECT_EQ(Reg(typed, text), text);
    }
    EXPECT_EQ(Reg(typed, u""), u"225.0.0.1:5003");
    EXPECT_EQ(Reg(typed, u""), u"225.0.0.2:5004");
}

TEST(MulticastTable, ChecksTheTextInOrderAndReadsTheGroupLikeTheCLibrary) {
    // Against a table that holds 230.1.1.1:6000. The first failing check decides: the colon,
    // the group, a group clash, a port clash, the port range.
    const std::pair<std::u16string, std::vector<std::u16string_view>> rows[] = {
        {u"!No port is specified in the multicast group", {u"230.1.1.2", u" ", u"abc"}},
        {Failure(u"Multicast Group address is out of range"),
         {u"224.0.0.0:6001", u"240.0.0.1:6001", u"10.0.0.1:6001", u"0:6001", u"10.0.0.1:6000"}},
        // 255.255.255.255 is what inet_addr fails with; U+0416 is not in Windows-1252.
        {Failure(u"Multicast Group address is invalid"),
         {u"abc:6001", u"255.255.255.255:6001", u":6001", u" 230.1.1.2:6001", u"230.1.1\u0416:6001",
          u"abc:6000"}},
        {Failure(u"Duplicate Multicast group address"),
         {u"230.1.1.1:7000", u"230.001.001.001:7000", u"230.1.1.1:6000", u"230.1.1.1:abc"}},
        {Failure(u"Duplicate Multicast port"), {u"230.1.1.2:6000", u"230.1.1.2: +6000x"}},
        // The port reads as "%d" does, neither wrapped to 16 nor to 32 bits; no number at all
        // counts as out of range.
        {Failure(u"Multicast port is out of range"),
         {u"230.1.1.2:4999", u"230.1.1.2:65536", u"230.1.1.2:-60536", u"230.1.1.2:4294972296",
          u"230.1.1.2:", u"230.1.1.2:abc"}},
        // Octal and hexadecimal parts, fewer than four parts, inet_addr stopping at white space,
        // the port read as "%d" does, only the first colon splitting: all are 230.1.1.2:6001.
        {u"",
         {u"230.1.1.2 trailing:6001", u"0xE6010102:6001", u"0346.1.258:6001", u"230.65794:6001",
          u"230.1.1.2: +6001abc", u"230.1.1.2:6001:7000"}},
    };
    for (const auto& [message, texts] : rows) {
        for (std::u16string_view text : texts) {
            MulticastTable table;
            Reg(table, u"230.1.1.1:6000");
            EXPECT_EQ(Reg(table, std::u16string(text)), message.empty() ? text : message)
                << std::string(text.begin(), text.end());
            if (message.empty()) {
                EXPECT_EQ(StateOf(table), (Associations{{0xE6010101, 6000}, {0xE6010102, 6001}}));
            }
        }
    }
}

TEST(MulticastTable, UnregisterFreesTheGroupAndItsPortAndAssignmentFailsWhenNoPortIsLeft) {
    MulticastTable table;
    Reg(table, u"230.1.1.1:6000");
    Reg(table, u"230.1.1.2:6001");
    table.Unregister(u"230.1.1.1:9999");  // the port in the text does not matter
    EXPECT_EQ(StateOf(table), (Associations{{0xE6010102, 6001}}));
    Reg(table, u"230.1.1.1:6000");
    table.Unregister(u"230.001.1.2:");
    // Texts that name no registered group change nothing.
    for (auto text : {u"230.1.1.9:6000", u"", u"230.1.1.1", u"abc:6000", u"10.0.0.1:6000",
                      u"255.255.255.255:6000", u":"}) {
        table.Unregister(text);
    }
    EXPECT_EQ(StateOf(table), (Associations{{0xE6010101, 6000}}));
    MulticastTable full;
    // Typed groups outside the assigned range, so only the ports run out.
    for (std::uint32_t port = 5000; port <= 65535; ++port) {
        ASSERT_EQ(full.AddGroupPort(MulticastTable::FormatGroup(0xE8000000 + port), port),
                  MulticastStatus::Ok);
    }
    EXPECT_EQ(Reg(full, u""), Failure(u"Multicast port is out of range"));
    // Nothing half assigned: no group without a port.
    std::u16string group = u"left over";
    std::uint32_t port = 7;
    EXPECT_EQ(full.AssignFree(group, port), MulticastStatus::PortOutOfRange);
    EXPECT_EQ(std::pair(group, port), std::pair(std::u16string(), 0u));
    full.Unregister(u"232.0.117.48:1");  // 0xE8000000 + 30000 held port 30000
    EXPECT_EQ(Reg(full, u""), u"225.0.0.0:30000");
    EXPECT_EQ(Reg(full, u""), Failure(u"Multicast port is out of range"));
}
