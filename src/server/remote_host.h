#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vantor {

// The machine a tool administers, as the user names it: [USER@]HOST[:PORT], where HOST may be an
// alias of the user's ssh configuration. An IPv6 address goes in brackets ([::1]:2222).
struct RemoteHost {
    std::string user;  // empty: ssh's own choice
    std::string host;
    std::optional<int> port;

    bool operator==(const RemoteHost&) const = default;
};

inline constexpr std::string_view BadHostText =
    "is not a host: give [USER@]HOST[:PORT], without blanks, and not starting with '-'";

// Nothing when text cannot be a host: empty parts, a port that is not 1-65535, blanks or control
// characters, or a part starting with '-' (ssh would take it for an option).
std::optional<RemoteHost> ParseRemoteHost(std::string_view text);
// How the host reads in the window's title and the state pane: as typed, less nothing.
std::string HostLabel(const RemoteHost& host);

}  // namespace vantor
