#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>

#include "config/interval_set.h"

namespace vantor {

enum class MulticastStatus {
    Ok = 0,
    GroupInvalid = 1,        // the group text is not an IPv4 address
    GroupDuplicate = 2,      // the group is already registered
    GroupOutOfRange = 3,     // outside 224.0.0.1-239.255.255.255; when assigning: no free group
    PortDuplicate = 4,       // the port is already registered
    PortOutOfRange = 5,      // outside 5000-65535; when assigning: no free port
    OutputUnusable = 6,      // a group could not be written as text (never happens here)
    AssociationMissing = 7,  // removal: the group is not registered
};

// The registry of the multicast groups and ports that the resources of the loaded configuration
// use, so that no two resources share a group or a port. One exists per process, created empty
// at start-up, filled while the configuration loads and changed by the resource editors. Only
// the user-interface thread uses it, so it has no lock.
//
// Groups are IPv4 addresses in host byte order (224.0.0.1 is 0xE0000001). Every registered group
// has exactly one association, whose port is registered too; every change adds to or removes
// from all three containers together, and a rejected request changes nothing.
class MulticastTable {
public:
    static constexpr std::uint32_t kLowestGroup = 0xE0000001;         // 224.0.0.1
    static constexpr std::uint32_t kHighestGroup = 0xEFFFFFFF;        // 239.255.255.255
    static constexpr std::uint32_t kFirstAssignedGroup = 0xE1000000;  // 225.0.0.0
    static constexpr std::uint32_t kLastAssignedGroup = 0xE7FFFFFF;   // 231.255.255.255
    static constexpr std::uint32_t kLowestPort = 5000;
    static constexpr std::uint32_t kHighestPort = 65535;

    MulticastTable() = default;
    MulticastTable(const MulticastTable&) = delete;
    MulticastTable& operator=(const MulticastTable&) = delete;

    // Registers the group and port of a text "group:port". An empty text gets the lowest free
    // group of 225.0.0.0-231.255.255.255 with the lowest free port, written into it as
    // "group:port"; the message is then left alone. On failure returns false, leaves the text
    // as it was and sets the message to the text to show the user. When no group or no port is
    // left to assign, that is a failure like the others, with its out-of-range message.
    bool Register(std::u16string& groupText, std::u16string& message);
    // Forgets the group named in "group:port" and the port registered with it (which need not
    // be the one written in the text). A text that names no registered group changes nothing.
    void Unregister(const std::u16string& groupText);

    // The steps of the two calls above, public so that each can be checked on its own.

    // Reads a group (no port) as the C library's inet_addr does, after converting it to
    // Windows-1252. GroupInvalid for a text inet_addr rejects, and for 255.255.255.255 (which
    // inet_addr cannot tell from a rejection); GroupOutOfRange outside 224.0.0.1-239.255.255.255.
    // group is the address on Ok and 0 otherwise.
    static MulticastStatus ParseGroup(std::u16string_view text, std::uint32_t& group);
    // Checks, in this order, the group text (ParseGroup), a clash with a registered group, a
    // clash with a registered port and the port range, then registers the pair.
    MulticastStatus AddGroupPort(std::u16string_view groupText, std::uint32_t port);
    // Registers the lowest free group of the assignment range with the lowest free port and
    // returns them. GroupOutOfRange or PortOutOfRange, with groupText empty and port 0, when
    // nothing is free. (Each group needs a port of its own and there are far fewer ports than
    // groups, so in practice the ports run out first.)
    MulticastStatus AssignFree(std::u16string& groupText, std::uint32_t& port);
    // Removes the group of "group:port" with the port of its association. GroupInvalid when the
    // text has no ':', the status of ParseGroup when the group does not read,
    // AssociationMissing when the group is not registered; nothing changes in those cases.
    MulticastStatus RemoveGroup(std::u16string_view groupText);
    // The smallest value of low..high that is not in the set; 0 when all are taken (none of the
    // ranges used here contains 0).
    static std::uint32_t LowestFree(const IntervalSet& set, std::uint32_t low, std::uint32_t high);
    // Dotted decimal, as inet_ntoa writes it ("225.0.0.0").
    static std::u16string FormatGroup(std::uint32_t group);

    const IntervalSet& Groups() const { return groups_; }
    const IntervalSet& Ports() const { return ports_; }
    // group -> the port registered with it
    const std::map<std::uint32_t, std::uint32_t>& Associations() const { return associations_; }

private:
    void Insert(std::uint32_t group, std::uint32_t port);

    IntervalSet groups_;
    IntervalSet ports_;
    std::map<std::uint32_t, std::uint32_t> associations_;
};

}  // namespace vantor
