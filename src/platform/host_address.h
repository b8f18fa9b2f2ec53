#pragma once

#include <string>

namespace vantor {

// This computer's address as other machines would use it in a link.
class HostAddress {
public:
    virtual ~HostAddress() = default;
    // The first IPv4 address that a look-up of this computer's own name gives, dotted; empty
    // when the name or the look-up fails.
    virtual std::string LocalIPv4Address() = 0;
};

}  // namespace vantor
