#include "editors/multicast_table.h"

#include <map>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

namespace vantor {
namespace {

constexpr std::u16string_view kRanges =
    u".\nThe valid group range is: 224.0.0.1 - 239.255.255.255. "
    u"The valid port range is: 5000 - 65535.";

std::u16string Failure(std::u16string_view status) {
    return std::u16string(status) + std::u16string(kRanges);
}

std::u16string Text(std::string_view ascii) {
    return std::u16string(ascii.begin(), ascii.end());
}

using Associations = std::map<std::uint32_t, std::uint32_t>;

// The whole observable state, and a check that the three containers agree with each other.
Associations StateOf(const MulticastTable& table) {
    const Associations& associations = table.Associations();
    EXPECT_EQ(table.Groups().Size(), associations.size());
    EXPECT_EQ(table.Ports().Size(), associations.size());
    for (auto [group, port] : associations) {
        EXPECT_TRUE(table.Groups().Contains(group));
        EXPECT_TRUE(table.Ports().Contains(port));
    }
    return associations;
}

// Registers text, expecting success, and returns what the text became.
std::u16string Registered(MulticastTable& table, std::u16string text) {
    std::u16string message = u"untouched";
    EXPECT_TRUE(table.Register(text, message)) << std::string(text.begin(), text.end());
    EXPECT_EQ(message, u"untouched");
    return text;
}

// Registers text, expecting a rejection that leaves the table and the text alone; returns the
// message.
std::u16string Rejected(MulticastTable& table, std::u16string_view text) {
    Associations before = StateOf(table);
    std::u16string inOut(text);
    std::u16string message;
    EXPECT_FALSE(table.Register(inOut, message)) << std::string(text.begin(), text.end());
    EXPECT_EQ(inOut, text);
    EXPECT_EQ(StateOf(table), before);
    return message;
}

TEST(MulticastTable, EmptyTextGetsTheLowestFreeGroupAndPort) {
    MulticastTable table;
    EXPECT_EQ(Registered(table, u""), u"225.0.0.0:5000");
    EXPECT_EQ(Registered(table, u""), u"225.0.0.1:5001");
    EXPECT_EQ(Registered(table, u""), u"225.0.0.2:5002");
    EXPECT_EQ(StateOf(table),
              (Associations{{0xE1000000, 5000}, {0xE1000001, 5001}, {0xE1000002, 5002}}));

    MulticastTable gapFirst;
    Registered(gapFirst, u"225.0.0.1:5001");
    EXPECT_EQ(Registered(gapFirst, u""), u"225.0.0.0:5000");
    EXPECT_EQ(Registered(gapFirst, u""), u"225.0.0.2:5002");

    // Group and port are chosen apart: each is the lowest of its own kind.
    MulticastTable apart;
    Registered(apart, u"225.0.0.0:9000");
    EXPECT_EQ(Registered(apart, u""), u"225.0.0.1:5000");
}

TEST(MulticastTable, TypedGroupsOutsideTheAssignedRangeOnlyTakeTheirPorts) {
    MulticastTable table;
    Registered(table, u"224.0.0.1:5000");
    Registered(table, u"224.255.255.255:5001");
    Registered(table, u"232.0.0.0:5002");
    Registered(table, u"239.255.255.255:5004");
    EXPECT_EQ(Registered(table, u""), u"225.0.0.0:5003");
    EXPECT_EQ(Registered(table, u""), u"225.0.0.1:5005");
    // A typed group at the top of the assigned range does not stop the ones below it.
    Registered(table, u"231.255.255.255:6000");
    EXPECT_EQ(Registered(table, u""), u"225.0.0.2:5006");
}

TEST(MulticastTable, GroupMustBeAnAddressInTheMulticastRange) {
    MulticastTable table;
    std::u16string outOfRange = Failure(u"Multicast Group address is out of range");
    std::u16string invalid = Failure(u"Multicast Group address is invalid");
    EXPECT_EQ(Rejected(table, u"224.0.0.0:6000"), outOfRange);
    EXPECT_EQ(Rejected(table, u"240.0.0.1:6000"), outOfRange);
    EXPECT_EQ(Rejected(table, u"10.0.0.1:6000"), outOfRange);
    EXPECT_EQ(Rejected(table, u"0:6000"), outOfRange);
    EXPECT_EQ(Rejected(table, u"abc:6000"), invalid);
    EXPECT_EQ(Rejected(table, u"255.255.255.255:6000"), invalid);
    EXPECT_EQ(Rejected(table, u"0xFFFFFFFF:6000"), invalid);
    EXPECT_EQ(Rejected(table, u":6000"), invalid);
    EXPECT_EQ(Rejected(table, u" 230.1.1.1:6000"), invalid);
    EXPECT_EQ(Rejected(table, u"230.1.1.1x:6000"), invalid);
    EXPECT_EQ(Rejected(table, u"230.1.1.256:6000"), invalid);
    EXPECT_EQ(Rejected(table, u"230.1.1\u0416:6000"), invalid);  // not in Windows-1252

    Registered(table, u"224.0.0.1:6000");
    Registered(table, u"239.255.255.255:6001");
    Registered(table, u"0xE6000001:6002");          // one hexadecimal part
    Registered(table, u"0346.2:6003");              // octal, a.b form
    Registered(table, u"230.1.1.1 trailing:6004");  // inet_addr stops at white space
    EXPECT_EQ(StateOf(table), (Associations{{0xE0000001, 6000},
                                            {0xE6000001, 6002},
                                            {0xE6000002, 6003},
                                            {0xE6010101, 6004},
                                            {0xEFFFFFFF, 6001}}));
}

TEST(MulticastTable, TextWithoutColonGetsTheShortMessageAlone) {
    MulticastTable table;
    EXPECT_EQ(Rejected(table, u"230.1.1.1"), u"No port is specified in the multicast group");
    EXPECT_EQ(Rejected(table, u"abc"), u"No port is specified in the multicast group");
    EXPECT_EQ(Rejected(table, u" "), u"No port is specified in the multicast group");
}

TEST(MulticastTable, PortIsReadLikePercentDAndMustBeInRange) {
    MulticastTable table;
    std::u16string outOfRange = Failure(u"Multicast port is out of range");
    for (std::u16string_view text :
         {u"230.1.1.1:80", u"230.1.1.1:4999", u"230.1.1.1:65536", u"230.1.1.1:70000",
          u"230.1.1.1:-1", u"230.1.1.1:-60536", u"230.1.1.1:", u"230.1.1.1:abc", u"230.1.1.1: ",
          u"230.1.1.1:4294972296", u"230.1.1.1:0"}) {
        EXPECT_EQ(Rejected(table, text), outOfRange) << std::string(text.begin(), text.end());
    }
    Registered(table, u"230.1.1.1:5000");
    Registered(table, u"230.1.1.2:65535");
    Registered(table, u"230.1.1.3: 6000");
    Registered(table, u"230.1.1.4:+6001");
    Registered(table, u"230.1.1.5:6002abc");
    Registered(table, u"230.1.1.6:6003:7000");  // the first colon splits
    EXPECT_EQ(StateOf(table), (Associations{{0xE6010101, 5000},
                                            {0xE6010102, 65535},
                                            {0xE6010103, 6000},
                                            {0xE6010104, 6001},
                                            {0xE6010105, 6002},
                                            {0xE6010106, 6003}}));
}

TEST(MulticastTable, ClashesAreCheckedAfterTheGroupAndBeforeThePortRange) {
    MulticastTable table;
    Registered(table, u"230.1.1.1:6000");
    std::u16string groupClash = Failure(u"Duplicate Multicast group address");
    std::u16string portClash = Failure(u"Duplicate Multicast port");
    EXPECT_EQ(Rejected(table, u"230.1.1.1:7000"), groupClash);
    EXPECT_EQ(Rejected(table, u"230.001.001.001:7000"), groupClash);
    EXPECT_EQ(Rejected(table, u"0xE6010101:7000"), groupClash);
    EXPECT_EQ(Rejected(table, u"230.1.1.2:6000"), portClash);
    EXPECT_EQ(Rejected(table, u"230.1.1.2: +6000x"), portClash);
    // The first failing check decides.
    EXPECT_EQ(Rejected(table, u"230.1.1.1:6000"), groupClash);
    EXPECT_EQ(Rejected(table, u"230.1.1.1:80"), groupClash);
    EXPECT_EQ(Rejected(table, u"230.1.1.1:abc"), groupClash);
    EXPECT_EQ(Rejected(table, u"10.0.0.1:6000"),
              Failure(u"Multicast Group address is out of range"));
    EXPECT_EQ(Rejected(table, u"abc:6000"), Failure(u"Multicast Group address is invalid"));
    EXPECT_EQ(Rejected(table, u"230.1.1.2:80"), Failure(u"Multicast port is out of range"));
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
    for (std::u16string_view text : {u"230.1.1.9:6000", u"", u"230.1.1.1", u"abc:6000",
                                     u"10.0.0.1:6000", u"255.255.255.255:6000", u":"}) {
        table.Unregister(std::u16string(text));
        EXPECT_EQ(StateOf(table), (Associations{{0xE6010101, 6000}}))
            << std::string(text.begin(), text.end());
    }

    EXPECT_EQ(table.RemoveGroup(u"230.1.1.9:6000"), MulticastStatus::AssociationMissing);
    EXPECT_EQ(table.RemoveGroup(u"230.1.1.1"), MulticastStatus::GroupInvalid);
    EXPECT_EQ(table.RemoveGroup(u"abc:1"), MulticastStatus::GroupInvalid);
    EXPECT_EQ(table.RemoveGroup(u"10.0.0.1:1"), MulticastStatus::GroupOutOfRange);
    EXPECT_EQ(table.RemoveGroup(u"230.1.1.1:1"), MulticastStatus::Ok);
    EXPECT_EQ(table.RemoveGroup(u"230.1.1.1:1"), MulticastStatus::AssociationMissing);
    EXPECT_TRUE(StateOf(table).empty());
}

TEST(MulticastTable, WhenEveryPortIsTakenAssignmentFailsAndChangesNothing) {
    MulticastTable table;
    // Typed groups outside the assigned range, so only the ports run out.
    for (std::uint32_t port = 5000; port <= 65535; ++port) {
        ASSERT_EQ(table.AddGroupPort(MulticastTable::FormatGroup(0xE8000000 + port), port),
                  MulticastStatus::Ok);
    }
    EXPECT_EQ(Rejected(table, u""), Failure(u"Multicast port is out of range"));
    std::u16string group = u"stale";
    std::uint32_t port = 1;
    EXPECT_EQ(table.AssignFree(group, port), MulticastStatus::PortOutOfRange);
    EXPECT_EQ(group, u"");
    EXPECT_EQ(port, 0u);
    EXPECT_EQ(table.Associations().size(), 60536u);

    table.Unregister(u"232.0.117.48:1");  // 0xE8000000 + 30000 held port 30000
    EXPECT_EQ(Registered(table, u""), u"225.0.0.0:30000");
    EXPECT_EQ(Rejected(table, u""), Failure(u"Multicast port is out of range"));
}

TEST(MulticastTable, SmallPiecesBehaveOnTheirOwn) {
    std::uint32_t group = 1;
    EXPECT_EQ(MulticastTable::ParseGroup(u"230.1.1.1", group), MulticastStatus::Ok);
    EXPECT_EQ(group, 0xE6010101u);
    EXPECT_EQ(MulticastTable::ParseGroup(u"224.0.0.0", group), MulticastStatus::GroupOutOfRange);
    EXPECT_EQ(group, 0u);
    EXPECT_EQ(MulticastTable::ParseGroup(u"4026531840", group), MulticastStatus::GroupOutOfRange);
    EXPECT_EQ(MulticastTable::ParseGroup(u"255.255.255.255", group), MulticastStatus::GroupInvalid);
    EXPECT_EQ(MulticastTable::ParseGroup(u"", group), MulticastStatus::GroupInvalid);

    EXPECT_EQ(MulticastTable::FormatGroup(0xE1000000), u"225.0.0.0");
    EXPECT_EQ(MulticastTable::FormatGroup(0xEFFFFFFF), u"239.255.255.255");

    IntervalSet set;
    EXPECT_EQ(MulticastTable::LowestFree(set, 5000, 5002), 5000u);
    set.Insert(5000);
    set.Insert(5001);
    EXPECT_EQ(MulticastTable::LowestFree(set, 5000, 5002), 5002u);
    set.Insert(5002);
    EXPECT_EQ(MulticastTable::LowestFree(set, 5000, 5002), 0u);
}

// A reference registry built the plain way (ordered sets walked value by value), driven with
// the same random requests; both must give the same answers and keep the same content.
class ReferenceTable {
public:
    std::optional<std::pair<std::uint32_t, std::uint32_t>> AssignFree() {
        std::uint32_t group = MulticastTable::kFirstAssignedGroup;
        while (groups_.count(group) != 0) {
            ++group;
        }
        std::uint32_t port = MulticastTable::kLowestPort;
        while (port <= MulticastTable::kHighestPort && ports_.count(port) != 0) {
            ++port;
        }
        if (port > MulticastTable::kHighestPort) {
            return std::nullopt;
        }
        Add(group, port);
        return std::pair(group, port);
    }
    std::u16string_view Add(std::uint32_t group, std::uint32_t port) {
        if (groups_.count(group) != 0) {
            return u"Duplicate Multicast group address";
        }
        if (ports_.count(port) != 0) {
            return u"Duplicate Multicast port";
        }
        if (port < 5000 || port > 65535) {
            return u"Multicast port is out of range";
        }
        groups_.insert(group);
        ports_.insert(port);
        associations_[group] = port;
        return {};
    }
    void Remove(std::uint32_t group) {
        auto found = associations_.find(group);
        if (found != associations_.end()) {
            ports_.erase(found->second);
            groups_.erase(group);
            associations_.erase(found);
        }
    }
    const Associations& State() const { return associations_; }

private:
    std::set<std::uint32_t> groups_;
    std::set<std::uint32_t> ports_;
    Associations associations_;
};

TEST(MulticastTable, AgreesWithAPlainReferenceUnderRandomUse) {
    std::mt19937 random(2024);
    MulticastTable table;
    ReferenceTable reference;
    for (int step = 0; step < 20000; ++step) {
        // Groups near the start of the assigned range and ports near the lowest valid one, so
        // that typed texts, assignments and removals keep running into each other.
        std::uint32_t group = (random() % 5 == 0 ? 0xE0FFFFF0 : 0xE1000000) + random() % 40;
        std::uint32_t port = 4995 + random() % 45;
        std::u16string typed =
            MulticastTable::FormatGroup(group) + u':' + Text(std::to_string(port));
        switch (random() % 3) {
            case 0: {
                std::u16string text;
                std::u16string message;
                auto expected = reference.AssignFree();
                ASSERT_TRUE(expected.has_value());
                ASSERT_TRUE(table.Register(text, message));
                EXPECT_EQ(text, MulticastTable::FormatGroup(expected->first) + u':' +
                                    Text(std::to_string(expected->second)));
                break;
            }
            case 1: {
                std::u16string message;
                std::u16string_view expected = reference.Add(group, port);
                std::u16string text = typed;
                ASSERT_EQ(table.Register(text, message), expected.empty());
                EXPECT_EQ(text, typed);
                if (!expected.empty()) {
                    EXPECT_EQ(message, Failure(expected));
                }
                break;
            }
            default:
                reference.Remove(group);
                table.Unregister(typed);
                break;
        }
        ASSERT_EQ(StateOf(table), reference.State()) << "step " << step;
    }
}

}  // namespace
}  // namespace vantor
