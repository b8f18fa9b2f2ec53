#include "editors/remote_link.h"

#include <gtest/gtest.h>

using namespace vantor;
namespace {

TEST(RemoteLink, ComposesSchemeProtocolAddressPortAndAliasAndProposesEachProtocolsPort) {
    // TCP and HTTPS are the delegate editor's; no protocol selected composes as HTTPS.
    EXPECT_EQ(ComposeRemoteLink(u"news", u"10.0.0.5", 80, HttpProtocol),
              u"vtr://http:10.0.0.5:80/news");
    EXPECT_EQ(ComposeRemoteLink(u"a", u"h", 1, -1), u"vtr://https:h:1/a");
    EXPECT_EQ(std::tuple(ProposedPort(TcpProtocol), ProposedPort(HttpProtocol),
                         ProposedPort(HttpsProtocol), ProposedPort(-1)),
              std::tuple(5119, 80, 443, 443));
}

TEST(RemoteLink, ParsesAsFarAsTheLinkAllows) {
    // What the parse starts from, so that untouched pieces show.
    const RemoteLinkParts held{.alias = u"held", .address = u"held", .port = 1, .protocol = 1};
    struct Case {
        std::u16string link;
        RemoteLinkParts parts;
    };
    for (const Case& c : {
             Case{u"vtr://tcp:h:5119/x:y/z", {u"x:y/z", u"h", 5119, TcpProtocol}},
             // Protocol names are exact: anything else is TCP.
             Case{u"vtr://HTTPS:h:80/x", {u"x", u"h", 80, TcpProtocol}},
             // A port without digits keeps the one held; the alias still follows.
             Case{u"vtr://tcp:h:port/x", {u"x", u"h", 1, TcpProtocol}},
             // Each missing separator stops the parse there.
             Case{u"vtr://tcp:h:80", {u"held", u"h", 1, TcpProtocol}},
             Case{u"vtr://https:h", {u"held", u"held", 1, HttpsProtocol}},
             Case{u"vtr://tcp", held},
             Case{u"VTR://tcp:h:80/x", held},
         }) {
        RemoteLinkParts parts = held;
        ParseRemoteLink(c.link, parts);
        EXPECT_EQ(parts, c.parts) << std::string(c.link.begin(), c.link.end());
    }
}

}  // namespace
