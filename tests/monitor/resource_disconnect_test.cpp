#include "monitor/resource_disconnect.h"

#include <gtest/gtest.h>

#include "monitor/activity_record.h"
#include "server/automation.h"

using namespace vantor;
namespace {

// Serves a fixed list of active users and records every DisconnectUser call.
struct FakeServer : AutomationFactory {
    std::unique_ptr<ResourcesInUseObject> CreateResourcesInUse() override {
        struct Object : ResourcesInUseObject {
            explicit Object(FakeServer& server) : server(server) {}
            TextListResult GetActiveUsers() override { return {SOk, server.users}; }
            HResult DisconnectUser(std::int32_t pointer) override {
                server.disconnected.push_back(pointer);
                return EFail;  // results are not looked at
            }
            TextListResult GetLiveConnections() override { return {}; }
            ThroughputResult GetThroughput() override { return {}; }
            TextListResult GetMediaUsage() override { return {}; }
            FakeServer& server;
        };
        return reachable ? std::make_unique<Object>(*this) : nullptr;
    }
    std::unique_ptr<VtrConfigObject> CreateVtrConfig() override { return nullptr; }
    std::unique_ptr<UsersAccessObject> CreateUsersAccess() override { return nullptr; }
    std::unique_ptr<FileMCastTriggerObject> CreateFileMCastTrigger() override { return nullptr; }
    std::unique_ptr<RestrictionsNotifierObject> CreateRestrictionsNotifier() override { return {}; }

    bool reachable = true;
    std::optional<std::vector<std::u16string>> users;
    std::vector<std::int32_t> disconnected;
};

std::u16string User(std::u16string_view resource, std::u16string_view pointer) {
    return FieldTag(u"Resource") + std::u16string(resource) + FieldTag(u"User") + u"u" +
           FieldTag(u"IP") + u"10.0.0.1" + FieldTag(u"Protocol") + u"MMS-HTTP" + FieldTag(u"Time") +
           u"1" + FieldTag(u"Pointer") + std::u16string(pointer);
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
        FakeServer server;
        server.users = users;
        DisconnectResourceUsers(server, name, isFolder);
        EXPECT_EQ(server.disconnected, disconnected);
    }
    // An unreachable server (no object: must not be used) or no list disconnects nobody.
    FakeServer down, silent;
    down.reachable = false;
    DisconnectResourceUsers(down, u"news", false);
    DisconnectResourceUsers(silent, u"news", false);
    EXPECT_TRUE(silent.disconnected.empty());
}

}  // namespace
