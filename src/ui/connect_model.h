#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "server/remote_host.h"

namespace vantor {

inline constexpr std::u16string_view ConnectTitle = u"Connect to server";
inline constexpr std::u16string_view ConnectHostLabelText = u"Server ([user@]host[:port]):";
inline constexpr std::u16string_view ConnectExplanationText =
    u"The server's machine is reached with ssh, so your keys, agent and ssh configuration "
    u"apply. A new window opens for it.";
inline constexpr std::u16string_view ConnectNoHostMessage = u"No server is given";
inline constexpr std::u16string_view ConnectBadHostMessage =
    u"This is not a server name: give [user@]host[:port], without blanks, not starting with "
    u"'-'";
// How many hosts the list keeps, the last one used first.
inline constexpr std::size_t RecentHostCount = 10;

// The "Connect to server" dialog: a host typed or picked from the recent ones. OnOk answers a
// message to show (the dialog stays open) or nothing, and then Host() is the host to open a
// window for and Recent() the list to keep.
class ConnectModel {
public:
    explicit ConnectModel(std::vector<std::string> recent);

    void SetHostText(std::string text) { text_ = std::move(text); }
    const std::string& HostText() const { return text_; }
    const std::vector<std::string>& Recent() const { return recent_; }

    std::optional<std::u16string> OnOk();
    const RemoteHost& Host() const { return host_; }

private:
    std::string text_;
    std::vector<std::string> recent_;
    RemoteHost host_;
};

}  // namespace vantor
