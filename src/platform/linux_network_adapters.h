#pragma once

#include "platform/network_adapters.h"

namespace vantor {

// The adapters as getifaddrs lists them: IPv4 addresses only, in its order.
class LinuxNetworkAdapters final : public NetworkAdapters {
public:
    std::vector<std::string> Ipv4Addresses() override;
};

}  // namespace vantor
