#include "server/remote_host.h"

#include <gtest/gtest.h>

namespace vantor {
namespace {

TEST(RemoteHost, ReadsUserHostAndPortAndRefusesWhatSshWouldMisread) {
    struct Case {
        const char* text;
        RemoteHost parsed;
    };
    const Case good[] = {
        {"media1", {"", "media1", std::nullopt}},
        {"ann@media1.example:2222", {"ann", "media1.example", 2222}},
        {"[::1]:22", {"", "::1", 22}},
        {"root@[fe80::1]", {"root", "fe80::1", std::nullopt}},
        {"a@b@rack-7", {"a@b", "rack-7", std::nullopt}},  // the last @ separates
        {"m\u00e9dia", {"", "m\u00e9dia", std::nullopt}},
    };
    for (const Case& c : good) {
        EXPECT_EQ(ParseRemoteHost(c.text), c.parsed) << c.text;
        EXPECT_EQ(HostLabel(c.parsed), c.text);
    }
    for (const char* bad : {"", "@host", "ann@", "-oProxyCommand=evil", "ann@-p", "host:", "host:0",
                            "host:65536", "host:22x", "fe80::1", "[::1", "[::1]x", "two words",
                            "tab\there", "host:2:2", "user @host", ":22"}) {
        EXPECT_EQ(ParseRemoteHost(bad), std::nullopt) << bad;
    }
}

}  // namespace
}  // namespace vantor
