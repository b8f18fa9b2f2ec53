#include "config/multicast_table.h"

#include <initializer_list>

#include "config/decimal_reader.h"
#include "config/ipv4_text.h"
#include "config/text_codec.h"

namespace vantor {
namespace {

constexpr std::u16string_view kNoPortMessage = u"No port is specified in the multicast group";
constexpr std::u16string_view kGroupInvalidText = u"Multicast Group address is invalid";
constexpr std::u16string_view kGroupDuplicateText = u"Duplicate Multicast group address";
constexpr std::u16string_view kGroupOutOfRangeText = u"Multicast Group address is out of range";
constexpr std::u16string_view kPortDuplicateText = u"Duplicate Multicast port";
constexpr std::u16string_view kPortOutOfRangeText = u"Multicast port is out of range";
constexpr std::u16string_view kStatusEnd = u".\n";
constexpr std::u16string_view kGroupRangeFormat = u"The valid group range is: %s - %s. ";
constexpr std::u16string_view kPortRangeFormat = u"The valid port range is: %d - %d.";

// What inet_addr returns both for a rejected text and for 255.255.255.255.
constexpr std::uint32_t kInetAddrNone = 0xFFFFFFFF;

std::u16string Widen(std::string_view ascii) {
    return AnsiToUtf16(ascii);
}

// Fills the %s and %d placeholders of format with values, in order.
std::u16string Fill(std::u16string_view format, std::initializer_list<std::u16string> values) {
    std::u16string text;
    auto value = values.begin();
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] == u'%' && i + 1 < format.size() &&
            (format[i + 1] == u's' || format[i + 1] == u'd') && value != values.end()) {
            text += *value++;
            ++i;
        } else {
            text += format[i];
        }
    }
    return text;
}

std::u16string_view StatusText(MulticastStatus status) {
    switch (status) {
        case MulticastStatus::GroupInvalid:
            return kGroupInvalidText;
        case MulticastStatus::GroupDuplicate:
            return kGroupDuplicateText;
        case MulticastStatus::GroupOutOfRange:
            return kGroupOutOfRangeText;
        case MulticastStatus::PortDuplicate:
            return kPortDuplicateText;
        case MulticastStatus::PortOutOfRange:
            return kPortOutOfRangeText;
        default:
            return {};
    }
}

std::u16string FailureMessage(MulticastStatus status) {
    std::u16string message(StatusText(status));
    message += kStatusEnd;
    message +=
        Fill(kGroupRangeFormat, {MulticastTable::FormatGroup(MulticastTable::kLowestGroup),
                                 MulticastTable::FormatGroup(MulticastTable::kHighestGroup)});
    message += Fill(kPortRangeFormat, {Widen(std::to_string(MulticastTable::kLowestPort)),
                                       Widen(std::to_string(MulticastTable::kHighestPort))});
    return message;
}

}  // namespace

bool MulticastTable::Register(std::u16string& groupText, std::u16string& message) {
    if (groupText.empty()) {
        std::u16string group;
        std::uint32_t port = 0;
        MulticastStatus status = AssignFree(group, port);
        if (status != MulticastStatus::Ok) {
            message = FailureMessage(status);
            return false;
        }
        groupText = group + u':' + Widen(std::to_string(port));
        return true;
    }
    std::size_t colon = groupText.find(u':');
    if (colon == std::u16string::npos) {
        message = kNoPortMessage;
        return false;
    }
    std::u16string_view text = groupText;
    // A port part without a number reads as 0, which is out of range; a negative port turns
    // into a huge unsigned one, out of range too.
    DecimalReading reading = ReadDecimal(text.substr(colon + 1));
    auto port = static_cast<std::uint32_t>(reading.value);
    MulticastStatus status = AddGroupPort(text.substr(0, colon), port);
    if (status != MulticastStatus::Ok) {
        message = FailureMessage(status);
        return false;
    }
    return true;
}

void MulticastTable::Unregister(const std::u16string& groupText) {
    // Callers have nothing to do about a text that was never registered.
    RemoveGroup(groupText);
}

MulticastStatus MulticastTable::ParseGroup(std::u16string_view text, std::uint32_t& group) {
    group = 0;
    std::optional<std::uint32_t> address = ParseIpv4(Utf16ToAnsi(text));
    if (!address || *address == kInetAddrNone) {
        return MulticastStatus::GroupInvalid;
    }
    if (*address < kLowestGroup || *address > kHighestGroup) {
        return MulticastStatus::GroupOutOfRange;
    }
    group = *address;
    return MulticastStatus::Ok;
}

MulticastStatus MulticastTable::AddGroupPort(std::u16string_view groupText, std::uint32_t port) {
    std::uint32_t group = 0;
    MulticastStatus status = ParseGroup(groupText, group);
    if (status != MulticastStatus::Ok) {
        return status;
    }
    if (groups_.Contains(group)) {
        return MulticastStatus::GroupDuplicate;
    }
    if (ports_.Contains(port)) {
        return MulticastStatus::PortDuplicate;
    }
    if (port < kLowestPort || port > kHighestPort) {
        return MulticastStatus::PortOutOfRange;
    }
    Insert(group, port);
    return MulticastStatus::Ok;
}

MulticastStatus MulticastTable::AssignFree(std::u16string& groupText, std::uint32_t& port) {
    groupText.clear();
    port = 0;
    std::uint32_t group = LowestFree(groups_, kFirstAssignedGroup, kLastAssignedGroup);
    if (group == 0) {
        return MulticastStatus::GroupOutOfRange;
    }
    groupText = FormatGroup(group);
    std::uint32_t freePort = LowestFree(ports_, kLowestPort, kHighestPort);
    if (freePort == 0) {
        groupText.clear();
        return MulticastStatus::PortOutOfRange;
    }
    Insert(group, freePort);
    port = freePort;
    return MulticastStatus::Ok;
}

MulticastStatus MulticastTable::RemoveGroup(std::u16string_view groupText) {
    std::size_t colon = groupText.find(u':');
    if (colon == std::u16string_view::npos) {
        return MulticastStatus::GroupInvalid;
    }
    std::uint32_t group = 0;
    MulticastStatus status = ParseGroup(groupText.substr(0, colon), group);
    if (status != MulticastStatus::Ok) {
        return status;
    }
    auto association = associations_.find(group);
    if (association == associations_.end()) {
        return MulticastStatus::AssociationMissing;
    }
    groups_.Erase(group);
    ports_.Erase(association->second);
    associations_.erase(association);
    return MulticastStatus::Ok;
}

std::uint32_t MulticastTable::LowestFree(const IntervalSet& set, std::uint32_t low,
                                         std::uint32_t high) {
    return set.LowestFree(low, high).value_or(0);
}

std::u16string MulticastTable::FormatGroup(std::uint32_t group) {
    return Widen(FormatIpv4(group));
}

void MulticastTable::Insert(std::uint32_t group, std::uint32_t port) {
    groups_.Insert(group);
    ports_.Insert(port);
    associations_.emplace(group, port);
}

}  // namespace vantor
