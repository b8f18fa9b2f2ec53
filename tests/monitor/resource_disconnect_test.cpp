#include "monitor/resource_disconnect.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "monitor/activity_record.h"
#include "server/automation.h"

namespace vantor {
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
    std::unique_ptr<RestrictionsNotifierObject> CreateRestrictionsNotifier() override {
        return nullptr;
    }

    bool reachable = true;
    std::optional<std::vector<std::u16string>> users = std::vector<std::u16string>{};
    std::vector<std::int32_t> disconnected;
};

std::u16string User(std::u16string_view resource, std::int32_t pointer) {
    std::string number = std::to_string(pointer);
    return FieldTag(u"Resource") + std::u16string(resource) + FieldTag(u"User") + u"u" +
           FieldTag(u"IP") + u"10.0.0.1" + FieldTag(u"Protocol") + u"MMS-HTTP" + FieldTag(u"Time") +
           u"1" + FieldTag(u"Pointer") + std::u16string(number.begin(), number.end());
}

TEST(ResourceDisconnect, FolderMatchesItsLowerCasedPrefixAndBroadcastItsNameIgnoringCase) {
    const std::vector<std::u16string> users = {
        User(u"movies\\a.wmv", 1),  User(u"Movies\\a.wmv", 2),  User(u"moviesx\\a.wmv", 3),
        User(u"movies", 4),         User(u"movies\\s\\b", 5),   User(u"news", 6),
        User(u"NEWS", 7),           User(u"news\\a", 8),        User(u"newsx", 9),
        User(u"\u00c4rzte\\a", 10), User(u"\u00e4rzte\\a", 11), u"garbage"};
    struct Case {
        std::u16string name;
        bool isFolder;
        std::vector<std::int32_t> disconnected;
    };
    for (const Case& c :
         {Case{u"Movies", true, {1, 5}}, Case{u"movies", true, {1, 5}}, Case{u"movies", false, {4}},
          Case{u"News", false, {6, 7}}, Case{u"Sport", false, {}},
          // Only ASCII letters are lowered: the server lists "Ärzte" as it is.
          Case{u"\u00c4RZTE", true, {10}}}) {
        FakeServer server;
        server.users = users;
        DisconnectResourceUsers(server, c.name, c.isFolder);
        EXPECT_EQ(server.disconnected, c.disconnected);
    }
}

TEST(ResourceDisconnect, UnreachableServerOrNoListDisconnectsNobody) {
    FakeServer down;  // no object: must not be used
    down.reachable = false;
    DisconnectResourceUsers(down, u"news", false);

    FakeServer silent;
    silent.users = std::nullopt;
    DisconnectResourceUsers(silent, u"news", false);
    EXPECT_TRUE(silent.disconnected.empty());
}

}  // namespace
}  // namespace vantor
