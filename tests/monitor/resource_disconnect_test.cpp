#include "monitor/resource_disconnect.h"

#include <gtest/gtest.h>

#include "monitor/activity_fakes.h"
#include "ui/ui_fakes.h"

using namespace vantor;
namespace {

using test::FakeActivityServer;

std::u16string User(std::u16string_view resource, std::u16string_view pointer) {
    return test::UserRecord(resource, pointer);
}

std::vector<std::int32_t> Disconnected(const std::vector<std::u16string>& users,
                                       const std::u16string& name, bool isFolder) {
    FakeActivityServer server;
    server.users = users;
    DisconnectResourceUsers(server, name, isFolder);
    return server.disconnected;
}

TEST(ResourceDisconnect, FolderMatchesItsLowerCasedPrefixAndBroadcastItsNameIgnoringCase) {
    const std::vector<std::u16string> users = {
        User(u"movies\\a.wmv", u"1"),  User(u"Movies\\a.wmv", u"2"),
        User(u"moviesx\\a.wmv", u"3"), User(u"movies", u"4"),
        User(u"movies\\s\\b", u"5"),   User(u"news", u"6"),
        User(u"NEWS", u"7"),           User(u"news\\a", u"8"),
        User(u"newsx", u"9"),          u"garbage"};
    using Row = std::tuple<std::u16string, bool, std::vector<std::int32_t>>;
    for (const auto& [name, isFolder, disconnected] :
         {Row{u"Movies", true, {1, 5}}, Row{u"movies", true, {1, 5}}, Row{u"movies", false, {4}},
          Row{u"News", false, {6, 7}}, Row{u"Sport", false, {}}}) {
        EXPECT_EQ(Disconnected(users, name, isFolder), disconnected) << name.size();
    }
    // An unreachable server (no object: must not be used) or no list disconnects nobody.
    FakeActivityServer down, silent;
    down.reachable = false;
    EXPECT_FALSE(DisconnectResourceUsers(down, u"news", false).reached);
    EXPECT_TRUE(DisconnectResourceUsers(silent, u"news", false).listed);
    EXPECT_TRUE(silent.disconnected.empty());
}

TEST(ResourceDisconnect, EveryLetterIsFoldedNotOnlyAscii) {
    // The server lists a folder's files under its lower-cased name, whatever the script.
    const std::vector<std::u16string> users = {
        User(u"\u00e9t\u00e9\\a.mp3", u"1"),  // été\a.mp3
        User(u"\u00c9t\u00e9\\a.mp3", u"2"),  // Été\a.mp3: not how it is listed
        User(u"\u043d\u043e\u0432\u043e\u0441\u0442\u0438", u"3"),  // новости
        User(u"\u041d\u041e\u0412\u041e\u0421\u0422\u0418", u"4"),  // НОВОСТИ
        User(u"stra\u00dfe", u"5"),                                 // straße
        User(u"\u0394\u03b5\u03bb\u03c4\u03b1\\x", u"6"),           // Δελτα\x
        User(u"\u03b4\u03b5\u03bb\u03c4\u03b1\\x", u"7"),           // δελτα\x
    };
    EXPECT_EQ(Disconnected(users, u"\u00c9t\u00e9", true), std::vector<std::int32_t>{1});
    EXPECT_EQ(Disconnected(users, u"\u041d\u043e\u0432\u043e\u0441\u0442\u0438", false),
              (std::vector<std::int32_t>{3, 4}));
    // Full folding: ß is ss.
    EXPECT_EQ(Disconnected(users, u"STRASSE", false), std::vector<std::int32_t>{5});
    EXPECT_EQ(Disconnected(users, u"\u0394\u0395\u039b\u03a4\u0391", true),
              std::vector<std::int32_t>{7});
    EXPECT_EQ(LowerCased(u"\u0130"), u"i\u0307");  // a letter that grows when lowered
}

TEST(ResourceDisconnect, AUserIsMatchedByWhatTheRowShowedNotByTheHandleAlone) {
    ActiveUserRecord alice{u"news", u"alice", u"10.0.0.5", u"MMS-HTTP", 3, 7};
    const ActiveUserMatch match = SameActiveUser(alice);
    EXPECT_TRUE(match(alice));
    for (auto change : {+[](ActiveUserRecord& u) { u.pointer = 8; },
                        +[](ActiveUserRecord& u) { u.user = u"carol"; },
                        +[](ActiveUserRecord& u) { u.ip = u"10.0.0.6"; },
                        +[](ActiveUserRecord& u) { u.resource = u"News"; }}) {
        ActiveUserRecord other = alice;
        change(other);
        EXPECT_FALSE(match(other));
    }
    // Time and protocol change on every refresh and say nothing about who it is.
    ActiveUserRecord later = alice;
    later.time = 99;
    later.protocol = u"RTMP (FLASH)";
    EXPECT_TRUE(match(later));
}

TEST(ResourceDisconnect, OutcomeTellsWhatCouldNotBeDone) {
    FakeActivityServer server;
    server.users = {test::UserRecord(u"news", u"1", u"ann"),
                    test::UserRecord(u"news", u"2", u"bob", u"1", u"10.0.0.2"),
                    test::UserRecord(u"news", u"3", u"cy")};
    server.refused = {2};
    std::vector<std::pair<std::size_t, std::size_t>> steps;
    const DisconnectOutcome outcome = DisconnectMatchingUsers(
        server, UsersOfResourceText(u"news"), nullptr, [&](std::size_t done, std::size_t total) {
            steps.emplace_back(done, total);
            return true;
        });
    EXPECT_EQ(server.disconnected, (std::vector<std::int32_t>{1, 2, 3}));
    EXPECT_EQ(outcome.disconnected.size(), 2u);
    EXPECT_EQ(steps,
              (std::vector<std::pair<std::size_t, std::size_t>>{{0, 3}, {1, 3}, {2, 3}, {3, 3}}));
    EXPECT_EQ(DisconnectOutcomeMessage(outcome),
              u"These users could not be disconnected:\nbob at 10.0.0.2 on news");

    // Stopped by the progress: the rest are not tried.
    server.disconnected.clear();
    const DisconnectOutcome stopped =
        DisconnectMatchingUsers(server, UsersOfResourceText(u"news"), nullptr,
                                [](std::size_t done, std::size_t) { return done < 1; });
    EXPECT_EQ(server.disconnected, std::vector<std::int32_t>{1});
    EXPECT_EQ(DisconnectOutcomeMessage(stopped),
              u"These users could not be disconnected:\nbob at 10.0.0.2 on news\ncy at 10.0.0.1 "
              u"on news\n\nDisconnecting was stopped; the rest were not tried.");

    // The list unanswered is said; no object (the server not running) and all done are not.
    server.usersResult = EFail;
    server.users.reset();
    EXPECT_EQ(DisconnectOutcomeMessage(
                  DisconnectMatchingUsers(server, UsersOfResourceText(u"news"), nullptr)),
              u"The media server did not answer when asked for its users; nobody was "
              u"disconnected.");
    server.usersResult = SOk;
    EXPECT_EQ(DisconnectOutcomeMessage(
                  DisconnectMatchingUsers(server, UsersOfResourceText(u"news"), nullptr)),
              u"");
    server.reachable = false;
    EXPECT_EQ(DisconnectOutcomeMessage(
                  DisconnectMatchingUsers(server, UsersOfResourceText(u"news"), nullptr)),
              u"");
}

TEST(ResourceDisconnect, AHungServerIsGivenUpOnceTheTimeIsSpent) {
    // Each call of a hung server waits its time-out (3 s) before it fails.
    FakeActivityServer server;
    test::FakeClock clock;
    server.users.emplace();
    for (int i = 1; i <= 10; ++i) {
        server.users->push_back(
            User(u"news", std::u16string(1, static_cast<char16_t>(u'0' + i % 10))));
    }
    server.refused = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
    server.onDisconnect = [&clock](std::int32_t) { clock.SleepMs(3000); };
    const DisconnectOutcome outcome =
        DisconnectMatchingUsers(server, UsersOfResourceText(u"news"), &clock);
    // Started at 0, 3, 6 and 9 s; at 12 s the 10 s are spent.
    EXPECT_EQ(server.disconnected.size(), 4u);
    EXPECT_EQ(outcome.failed.size(), 4u);
    EXPECT_EQ(outcome.notTried.size(), 6u);
    const std::u16string message = DisconnectOutcomeMessage(outcome);
    EXPECT_TRUE(
        message.ends_with(u"\n\nThe media server answered too slowly; the rest were not tried."));
    EXPECT_EQ(std::count(message.begin(), message.end(), u'\n'), 12);
}

}  // namespace
