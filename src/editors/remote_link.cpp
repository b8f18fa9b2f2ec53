#include "editors/remote_link.h"

#include <string>

#include "config/decimal_reader.h"

namespace vantor {
namespace {

std::u16string_view Prefix(int protocol) {
    switch (protocol) {
        case TcpProtocol:
            return u"tcp:";
        case HttpProtocol:
            return u"http:";
        default:
            return u"https:";
    }
}

int ProtocolNamed(std::u16string_view name) {
    if (name == u"https") {
        return HttpsProtocol;
    }
    if (name == u"http") {
        return HttpProtocol;
    }
    return TcpProtocol;  // anything else, "TCP" in capitals included
}

}  // namespace

std::u16string ComposeRemoteLink(std::u16string_view alias, std::u16string_view address,
                                 std::int32_t port, int protocol) {
    const std::string portText = ":" + std::to_string(port) + "/";
    std::u16string link(RemoteLinkScheme);
    link += Prefix(protocol);
    link += address;
    link.append(portText.begin(), portText.end());
    link += alias;
    return link;
}

void ParseRemoteLink(std::u16string_view link, RemoteLinkParts& parts) {
    if (!link.starts_with(RemoteLinkScheme)) {
        return;
    }
    std::u16string_view rest = link.substr(RemoteLinkScheme.size());
    const std::size_t protocolEnd = rest.find(u':');
    if (protocolEnd == std::u16string_view::npos) {
        return;
    }
    parts.protocol = ProtocolNamed(rest.substr(0, protocolEnd));
    rest.remove_prefix(protocolEnd + 1);

    const std::size_t addressEnd = rest.find(u':');
    if (addressEnd == std::u16string_view::npos) {
        return;
    }
    parts.address = std::u16string(rest.substr(0, addressEnd));
    rest.remove_prefix(addressEnd + 1);

    const std::size_t portEnd = rest.find(u'/');
    if (portEnd == std::u16string_view::npos) {
        return;
    }
    // "%d": a port without digits leaves the one held before.
    const DecimalReading port = ReadDecimal(rest.substr(0, portEnd));
    if (port.read) {
        parts.port = port.value;
    }
    parts.alias = std::u16string(rest.substr(portEnd + 1));
}

std::int32_t ProposedPort(int protocol) {
    switch (protocol) {
        case TcpProtocol:
            return 5119;
        case HttpProtocol:
            return 80;
        default:
            return 443;
    }
}

}  // namespace vantor
