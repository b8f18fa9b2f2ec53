#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vantor {

// The first entry of the network interface list: the server listens on every address.
inline constexpr std::u16string_view AnyAvailableInterfaceText = u"Any available";

struct NetworkInterfaceChoices {
    std::vector<std::u16string> entries;
    std::size_t selected = 0;
};

// "Any available", then every address of the machine in the order given, skipping "0.0.0.0".
// The entry equal to stored (exactly, letter case included) is selected, the last one when
// several are; with none equal, "Any available" is.
NetworkInterfaceChoices BuildNetworkInterfaceChoices(const std::vector<std::string>& addresses,
                                                     std::u16string_view stored);

}  // namespace vantor
