#pragma once

#include <cstdint>
#include <string>

namespace vantor {

// Server-wide settings stored at the head of config.vtr. The initialisers are the values that
// stay when the file is missing or older than the field. defaultAuthMethod is not here: it is
// one process-wide value owned by main and passed by reference.
struct ServerConfig {
    std::u16string playerPort = u"5119";
    std::u16string liveSourcePort = u"5130";
    bool limitConnections = false;
    std::uint32_t maxConnections = 10;  // low 16 bits stored
    bool limitConnectionsPerUser = false;  // derived on reading
    std::uint32_t maxConnectionsPerUser = 1;  // low 16 bits stored
    bool limitAnonymousConnections = false;  // derived on reading
    std::uint32_t maxAnonymousConnections = 10;  // low 16 bits stored
    bool limitThroughput = false;
    std::uint32_t maxThroughputKBps = 1000;
    std::uint32_t loggingMode = 2;  // 1 disabled, 2 standard, 3 custom; low 16 bits stored
    std::u16string loggingProgId;
    std::u16string archivalPassword;  // SHA-1 hash text
    std::u16string networkInterface = u"Any available";
    std::u16string archivalServerAddress;
    std::u16string archivalServerPort;

    bool operator==(const ServerConfig&) const = default;
};

}  // namespace vantor
