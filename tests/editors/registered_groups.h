#pragma once

// The groups a multicast table holds with their ports, in address order: "230.1.1.1:6000 ...".

#include <string>

#include "config/multicast_table.h"

namespace vantor::test {

inline std::string RegisteredGroups(const MulticastTable& table) {
    std::string text;
    for (auto [group, port] : table.Associations()) {
        const std::u16string shown = MulticastTable::FormatGroup(group);
        text += (text.empty() ? "" : " ") + std::string(shown.begin(), shown.end()) + ':' +
                std::to_string(port);
    }
    return text;
}

}  // namespace vantor::test
