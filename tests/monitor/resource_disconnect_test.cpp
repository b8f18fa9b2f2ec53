#include "monitor/resource_disconnect.h"

#include <gtest/gtest.h>

#include "monitor/activity_fakes.h"

using namespace vantor;
namespace {

using test::FakeActivityServer;

std::u16string User(std::u16string_view resource, std::u16string_view pointer) {
    return test::UserRecord(resource, pointer);
}

TEST(ResourceDisconnect, FolderMatchesItsLowerCasedPrefixAndBroadcastItsNameIgnoringCase) {
    const std::vector<std::u16string> users = {
        User(u"movies\\a.wmv", u"1"),  User(u"Movies\\a.wmv", u"2"),  User(u"moviesx\\a.wmv", u"3"),
        User(u"movies", u"4"),         User(u"movies\\s\\b", u"5"),   User(u"news", u"6"),
        User(u"NEWS", u"7"),           User(u"news\\a", u"8"),        User(u"newsx", u"9"),
        User(u"\u00c4rzte\\a", u"10"), User(u"\u00e4rzte\\a", u"11"), u"garbage"};
    // 10 and 11 read as pointer 0. Only ASCII letters are lowered: the server lists "Ärzte" as
    // it is.
    using Row = std::tuple<std::u16string, bool, std::vector<std::int32_t>>;
    for (const auto& [name, isFolder, disconnected] :
         {Row{u"Movies", true, {1, 5}}, Row{u"movies", true, {1, 5}}, Row{u"movies", false, {4}},
          Row{u"News", false, {6, 7}}, Row{u"Sport", false, {}}, Row{u"\u00c4RZTE", true, {10}}}) {
        FakeActivityServer server;
        server.users = users;
        DisconnectResourceUsers(server, name, isFolder);
        EXPECT_EQ(server.disconnected, disconnected);
    }
    // An unreachable server (no object: must not be used) or no list disconnects nobody.
    FakeActivityServer down, silent;
    down.reachable = false;
    DisconnectResourceUsers(down, u"news", false);
    DisconnectResourceUsers(silent, u"news", false);
    EXPECT_TRUE(silent.disconnected.empty());
}

}  // namespace
