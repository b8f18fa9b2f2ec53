#include "ui/connect_model.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace vantor {
namespace {

using Hosts = std::vector<std::string>;

TEST(ConnectModel, RefusesWhatIsNoHostAndKeepsTheRecentOnesLastUsedFirst) {
    ConnectModel empty({});
    EXPECT_EQ(empty.HostText(), "");
    EXPECT_EQ(empty.OnOk(), u"No server is given");
    empty.SetHostText("  \t ");
    EXPECT_EQ(empty.OnOk(), u"No server is given");
    for (const char* bad : {"two words", "-oProxyCommand=x", "host:99999"}) {
        empty.SetHostText(bad);
        EXPECT_EQ(empty.OnOk(),
                  u"This is not a server name: give [user@]host[:port], without blanks, not "
                  u"starting with '-'")
            << bad;
    }
    EXPECT_EQ(empty.Recent(), Hosts{});

    // Opens on the last one used; a host used again moves to the front; the list stays short.
    Hosts many;
    for (int i = 0; i < 12; ++i) {
        many.push_back("rack-" + std::to_string(i));
    }
    ConnectModel model(many);
    EXPECT_EQ(model.HostText(), "rack-0");
    EXPECT_EQ(model.Recent().size(), 10u);
    model.SetHostText(" ann@rack-3:2222 ");
    EXPECT_EQ(model.OnOk(), std::nullopt);
    EXPECT_EQ(model.Host(), (RemoteHost{"ann", "rack-3", 2222}));
    model.SetHostText("rack-4");
    EXPECT_EQ(model.OnOk(), std::nullopt);
    EXPECT_EQ(model.Recent(), (Hosts{"rack-4", "ann@rack-3:2222", "rack-0", "rack-1", "rack-2",
                                     "rack-3", "rack-5", "rack-6", "rack-7", "rack-8"}));
}

}  // namespace
}  // namespace vantor
