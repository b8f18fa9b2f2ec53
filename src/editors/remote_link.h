#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vantor {

// How a delegate broadcast reaches the other media server, in the order of the dialog's
// "Connect using protocol" list; the index is what the list and the link store.
enum RemoteProtocol : int {
    TcpProtocol = 0,
    HttpProtocol = 1,
    HttpsProtocol = 2,
};

inline constexpr std::u16string_view RemoteLinkScheme = u"vtr://";

// The four pieces of a delegate broadcast's link.
struct RemoteLinkParts {
    std::u16string alias;
    std::u16string address;
    std::int32_t port = 0;
    int protocol = TcpProtocol;

    bool operator==(const RemoteLinkParts&) const = default;
};

// "vtr://" + protocol prefix + address + ":port/" + alias. Any protocol index but TCP and HTTP,
// including none selected (-1), writes HTTPS.
std::u16string ComposeRemoteLink(std::u16string_view alias, std::u16string_view address,
                                 std::int32_t port, int protocol);

// Reads the pieces back as far as the link allows: it stops at the first missing separator and
// leaves that piece and the ones after it as parts held them. A link not starting with "vtr://"
// changes nothing. A composed link parses back to its pieces unless the address holds a ':'.
void ParseRemoteLink(std::u16string_view link, RemoteLinkParts& parts);

// The port the dialog proposes when a protocol is chosen (HTTPS's also for no selection).
std::int32_t ProposedPort(int protocol);

}  // namespace vantor
