#include "platform/linux_host_address.h"

#include <arpa/inet.h>
#include <array>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace vantor {

std::string LinuxHostAddress::LocalIPv4Address() {
    std::array<char, 260> name{};
    if (::gethostname(name.data(), name.size() - 1) != 0) {
        return {};
    }
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (::getaddrinfo(name.data(), nullptr, &hints, &found) != 0 || found == nullptr) {
        return {};
    }
    std::array<char, INET_ADDRSTRLEN> text{};
    const auto* address = reinterpret_cast<const sockaddr_in*>(found->ai_addr);
    const bool ok = ::inet_ntop(AF_INET, &address->sin_addr, text.data(), text.size()) != nullptr;
    ::freeaddrinfo(found);
    return ok ? std::string(text.data()) : std::string();
}

}  // namespace vantor
