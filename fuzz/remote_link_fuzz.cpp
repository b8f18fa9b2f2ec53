// Feeds arbitrary text to the delegate link parser, and arbitrary pieces to the link composer:
// parsing never fails, a parsed link's pieces compose to a link that parses to the same pieces
// when its address holds no ':', a composed link always parses back to what it was made of, and
// so does every link the delegate editor's OK accepts the pieces of.
//
// Input: byte 0 picks the protocol index (-1 to 3), bytes 1-4 the port, the rest is UTF-16 text
// that is both parsed as a link and, split at its first U+0000, used as address and alias.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "editors/delegate_editor_model.h"
#include "editors/remote_link.h"

namespace {

using vantor::RemoteLinkParts;

void Require(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "remote_link_fuzz: %s\n", what);
        std::abort();
    }
}

// Every protocol index reads back as one of the three the list has.
int Normalised(int protocol) {
    return protocol == vantor::TcpProtocol || protocol == vantor::HttpProtocol
               ? protocol
               : vantor::HttpsProtocol;
}

void CheckRoundTrip(const RemoteLinkParts& parts) {
    const std::u16string link =
        vantor::ComposeRemoteLink(parts.alias, parts.address, parts.port, parts.protocol);
    RemoteLinkParts back{.alias = u"x", .address = u"x", .port = 1, .protocol = 1};
    vantor::ParseRemoteLink(link, back);
    Require(back.alias == parts.alias, "alias changed");
    Require(back.address == parts.address, "address changed");
    Require(back.port == parts.port, "port changed");
    Require(back.protocol == Normalised(parts.protocol), "protocol changed");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 5) {
        return 0;
    }
    const int protocol = static_cast<int>(data[0] % 5) - 1;
    std::int32_t port = 0;
    std::memcpy(&port, data + 1, sizeof port);
    std::u16string text((size - 5) / 2, u'\0');
    std::memcpy(text.data(), data + 5, text.size() * 2);

    RemoteLinkParts parsed;
    vantor::ParseRemoteLink(text, parsed);
    if (parsed.address.find(u':') == std::u16string::npos) {
        CheckRoundTrip(parsed);
    }

    const std::size_t split = text.find(u'\0');
    RemoteLinkParts pieces{.alias = split == std::u16string::npos ? u"" : text.substr(split + 1),
                           .address = text.substr(0, split),
                           .port = port,
                           .protocol = protocol};
    if (vantor::DelegateEditorModel::CheckRemoteFields(pieces.alias, pieces.address, pieces.port)
            .empty()) {
        CheckRoundTrip(pieces);
    }
    std::erase(pieces.address, u':');
    CheckRoundTrip(pieces);
    return 0;
}
