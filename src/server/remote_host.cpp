#include "server/remote_host.h"

#include <charconv>

namespace vantor {
namespace {

// A user may carry an '@' of its own (a directory's user@domain); the host cannot.
bool Clean(std::string_view part, bool atAllowed = false) {
    if (part.empty() || part.front() == '-') {
        return false;
    }
    for (const char c : part) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte <= ' ' || byte == 0x7f || (c == '@' && !atAllowed)) {
            return false;
        }
    }
    return true;
}

}  // namespace

std::optional<RemoteHost> ParseRemoteHost(std::string_view text) {
    RemoteHost parsed;
    if (const auto at = text.rfind('@'); at != std::string_view::npos) {
        parsed.user = std::string(text.substr(0, at));
        text.remove_prefix(at + 1);
        if (!Clean(parsed.user, true)) {
            return std::nullopt;
        }
    }
    std::string_view host = text, port;
    if (text.starts_with('[')) {
        const auto close = text.find(']');
        if (close == std::string_view::npos) {
            return std::nullopt;
        }
        host = text.substr(1, close - 1);
        const std::string_view rest = text.substr(close + 1);
        if (!rest.empty()) {
            if (!rest.starts_with(':')) {
                return std::nullopt;
            }
            port = rest.substr(1);
        }
    } else if (const auto colon = text.find(':'); colon != std::string_view::npos) {
        host = text.substr(0, colon);
        port = text.substr(colon + 1);
        if (port.empty() || port.find(':') != std::string_view::npos) {
            return std::nullopt;  // a bare IPv6 address needs its brackets
        }
    }
    if (!Clean(host)) {
        return std::nullopt;
    }
    parsed.host = std::string(host);
    if (!port.empty() || text.ends_with(':')) {
        int value = 0;
        const auto [end, error] = std::from_chars(port.data(), port.data() + port.size(), value);
        if (error != std::errc() || end != port.data() + port.size() || value < 1 ||
            value > 65535) {
            return std::nullopt;
        }
        parsed.port = value;
    }
    return parsed;
}

std::string HostLabel(const RemoteHost& host) {
    std::string label = host.user.empty() ? std::string() : host.user + "@";
    const bool bracket = host.host.find(':') != std::string::npos;
    label += bracket ? "[" + host.host + "]" : host.host;
    if (host.port) {
        label += ":" + std::to_string(*host.port);
    }
    return label;
}

}  // namespace vantor
