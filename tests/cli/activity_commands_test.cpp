#include "cli/activity_commands.h"

#include <sstream>

#include <gtest/gtest.h>

#include "cli/config_commands.h"
#include "monitor/activity_fakes.h"
#include "ui/ui_fakes.h"

namespace vantor {
namespace {

struct Cli {
    Cli() {
        server.users =
            std::vector<std::u16string>{test::UserRecord(u"news", u"7", u"bob", u"3725"),
                                        test::UserRecord(u"clips\\a.mp4", u"8", u"Ann", u"59"),
                                        test::UserRecord(u"news", u"9", u"cy", u"0")};
    }
    ServerState state = ServerState::Running;
    test::FakeActivityServer server;
    test::FakeClock clock;
    std::ostringstream out, err;
};

TEST(ActivityCommands, PrintsAPageAsTheWindowFillsIt) {
    Cli c;
    EXPECT_EQ(RunActivity({"users", 0}, c.state, c.server, c.out, c.err), ExitOk);
    EXPECT_EQ(c.out.str(),
              "User ID\tResource\tUser IP\tProtocol\tTime\n"
              "Ann\tclips\\a.mp4\t10.0.0.1\tMMS-HTTP\t00:00:59\n"
              "bob\tnews\t10.0.0.1\tMMS-HTTP\t01:02:05\n"
              "cy\tnews\t10.0.0.1\tMMS-HTTP\t00:00:00\n");
    std::ostringstream throughput;
    EXPECT_EQ(RunActivity({"throughput"}, c.state, c.server, throughput, c.err), ExitOk);
    EXPECT_NE(throughput.str().find("-----\t-----\t-----\nTOTAL\t0\t0\n"), std::string::npos);

    EXPECT_EQ(RunActivity({"sessions"}, c.state, c.server, c.out, c.err), ExitUsage);
    c.state = ServerState::Stopped;
    std::ostringstream none;
    EXPECT_EQ(RunActivity({"users"}, c.state, c.server, none, c.err), ExitFailure);
    EXPECT_EQ(none.str(), "");
    EXPECT_NE(c.err.str().find("vantorctl: the media server is not running"), std::string::npos);
}

DisconnectOptions Row(int row, bool all = false) {
    DisconnectOptions options;
    options.row = row;
    options.all = all;
    return options;
}

TEST(ActivityCommands, DisconnectsARowOrAllUsersOfItsResourceAfterTheQuestion) {
    Cli c;
    SessionPrompter no(false, c.err);
    EXPECT_EQ(RunDisconnect(Row(1), c.state, c.server, no, c.clock, c.err), ExitOk);
    EXPECT_EQ(c.server.disconnected, std::vector<std::int32_t>{8});
    EXPECT_EQ(RunDisconnect(Row(0, true), c.state, c.server, no, c.clock, c.err), ExitFailure);
    EXPECT_EQ(c.server.disconnected.size(), 1u);
    EXPECT_NE(c.err.str().find("Confirmation: Are you sure to kick all current users of news?"),
              std::string::npos);
    SessionPrompter yes(true, c.err);
    EXPECT_EQ(RunDisconnect(Row(0, true), c.state, c.server, yes, c.clock, c.err), ExitOk);
    EXPECT_EQ(c.server.disconnected, (std::vector<std::int32_t>{8, 7, 9}));
    EXPECT_EQ(RunDisconnect(Row(3), c.state, c.server, yes, c.clock, c.err), ExitFailure);
    EXPECT_NE(c.err.str().find("vantorctl: there is no active user 3\n"), std::string::npos);
}

TEST(ActivityCommands, DisconnectNamesTheUserAndRefusesWhenNobodyMatches) {
    Cli c;
    c.server.users->push_back(test::UserRecord(u"news", u"10", u"bob", u"5", u"10.0.0.2"));
    SessionPrompter yes(true, c.err);
    DisconnectOptions bob;
    bob.user = "bob";
    bob.address = "10.0.0.1";
    bob.resource = "news";
    EXPECT_EQ(RunDisconnect(bob, c.state, c.server, yes, c.clock, c.err), ExitOk);
    EXPECT_EQ(c.server.disconnected, std::vector<std::int32_t>{7});

    // ROW with the user: the row must still show them (row 1 is bob at 10.0.0.1 sorted by user
    // ID, but by then it is bob at 10.0.0.2).
    c.server.users->erase(c.server.users->begin());
    DisconnectOptions moved = bob;
    moved.row = 1;
    moved.sortColumn = 0;
    c.server.disconnected.clear();
    EXPECT_EQ(RunDisconnect(moved, c.state, c.server, yes, c.clock, c.err), ExitFailure);
    EXPECT_TRUE(c.server.disconnected.empty());
    EXPECT_NE(c.err.str().find("vantorctl: no active user matches (user bob, address 10.0.0.1, "
                               "resource news)\n"),
              std::string::npos);

    // Ann leaves between the listing and the disconnect, and carol takes her handle: nobody is
    // disconnected, and it is said.
    c.server.users = std::vector<std::u16string>{test::UserRecord(u"clips\\a.mp4", u"8", u"Ann")};
    c.server.afterList = [](test::FakeActivityServer& server) {
        server.users =
            std::vector<std::u16string>{test::UserRecord(u"clips\\a.mp4", u"8", u"carol")};
    };
    DisconnectOptions ann;
    ann.user = "Ann";
    std::ostringstream err;
    EXPECT_EQ(RunDisconnect(ann, c.state, c.server, yes, c.clock, err), ExitFailure);
    EXPECT_TRUE(c.server.disconnected.empty());
    EXPECT_EQ(err.str(), "vantorctl: no active user matches (user Ann)\n");

    // Nothing named at all is a usage error.
    EXPECT_EQ(RunDisconnect(DisconnectOptions{}, c.state, c.server, yes, c.clock, err), ExitUsage);
    EXPECT_NE(err.str().find("vantorctl: name the user: ROW, or --user, --address and --resource"),
              std::string::npos);
}

}  // namespace
}  // namespace vantor
