#pragma once

#include "platform/host_address.h"

namespace vantor {

// gethostname, then getaddrinfo for IPv4; the first address it returns.
class LinuxHostAddress : public HostAddress {
public:
    std::string LocalIPv4Address() override;
};

}  // namespace vantor
