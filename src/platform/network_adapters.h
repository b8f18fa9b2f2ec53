#pragma once

#include <string>
#include <vector>

namespace vantor {

// The machine's network adapters as the server properties list them.
class NetworkAdapters {
public:
    virtual ~NetworkAdapters() = default;
    // Every IPv4 address of every adapter, as dotted text, adapters and addresses in the order
    // the system gives them; empty when the system gives no adapter information.
    virtual std::vector<std::string> Ipv4Addresses() = 0;
};

}  // namespace vantor
