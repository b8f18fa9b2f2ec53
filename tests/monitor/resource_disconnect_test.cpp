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
struct Server {
    bool reachable = true;
    std::optional<std::vector<std::u16string>> users = std::vector<std::u16string>{};
    int queries = 0;
    std::vector<std::int32_t> disconnected;
};

class FakeResourcesInUse : public ResourcesInUseObject {
public:
    explicit FakeResourcesInUse(Server& server) : server_(server) {}
    TextListResult GetActiveUsers() override {
        ++server_.queries;
        return {SOk, server_.users};
    }
    HResult DisconnectUser(std::int32_t pointer) override {
        server_.disconnected.push_back(pointer);
        return EFail;  // results are not looked at
    }
    TextListResult GetLiveConnections() override { return {}; }
    ThroughputResult GetThroughput() override { return {}; }
    TextListResult GetMediaUsage() override { return {}; }

private:
    Server& server_;
};

class FakeFactory : public AutomationFactory {
public:
    explicit FakeFactory(Server& server) : server_(server) {}
    std::unique_ptr<VtrConfigObject> CreateVtrConfig() override { return nullptr; }
    std::unique_ptr<UsersAccessObject> CreateUsersAccess() override { return nullptr; }
    std::unique_ptr<ResourcesInUseObject> CreateResourcesInUse() override {
        return server_.reachable ? std::make_unique<FakeResourcesInUse>(server_) : nullptr;
    }
    std::unique_ptr<FileMCastTriggerObject> CreateFileMCastTrigger() override { return nullptr; }
    std::unique_ptr<RestrictionsNotifierObject> CreateRestrictionsNotifier() override {
        return nullptr;
    }

private:
    Server& server_;
};

std::u16string User(std::u16string_view resource, std::int32_t pointer) {
    std::string number = std::to_string(pointer);
    return FieldTag(u"Resource") + std::u16string(resource) + FieldTag(u"User") + u"u" +
           FieldTag(u"IP") + u"10.0.0.1" + FieldTag(u"Protocol") + u"MMS-HTTP" + FieldTag(u"Time") +
           u"1" + FieldTag(u"Pointer") + std::u16string(number.begin(), number.end());
}

std::vector<std::int32_t> Disconnected(std::vector<std::u16string> users, std::u16string name,
                                       bool isFolder) {
    Server server;
    server.users = std::move(users);
    FakeFactory factory(server);
    DisconnectResourceUsers(factory, name, isFolder);
    return server.disconnected;
}

TEST(ResourceDisconnect, FolderMatchesItsLowerCasedPrefix) {
    std::vector<std::u16string> users = {User(u"movies\\a.wmv", 1),      User(u"Movies\\a.wmv", 2),
                                         User(u"moviesx\\a.wmv", 3),     User(u"movies", 4),
                                         User(u"movies\\sub\\b.wmv", 5), User(u"news", 6),
                                         User(u"movies\\a.wmv", 7)};
    EXPECT_EQ(Disconnected(users, u"Movies", true), (std::vector<std::int32_t>{1, 5, 7}));
    EXPECT_EQ(Disconnected(users, u"movies", true), (std::vector<std::int32_t>{1, 5, 7}));
    // Only ASCII letters are lowered: the server lists "Ärzte" as it is.
    EXPECT_EQ(
        Disconnected({User(u"\u00c4rzte\\a", 1), User(u"\u00e4rzte\\a", 2)}, u"\u00c4RZTE", true),
        (std::vector<std::int32_t>{1}));
}

TEST(ResourceDisconnect, BroadcastMatchesItsNameIgnoringCase) {
    std::vector<std::u16string> users = {User(u"news", 1), User(u"NEWS", 2), User(u"news\\a", 3),
                                         User(u"newsx", 4), User(u"News", 5)};
    EXPECT_EQ(Disconnected(users, u"News", false), (std::vector<std::int32_t>{1, 2, 5}));
    EXPECT_EQ(Disconnected(users, u"Sport", false), (std::vector<std::int32_t>{}));
}

TEST(ResourceDisconnect, UnreachableServerOrNoListDisconnectsNobody) {
    Server down;
    down.reachable = false;
    FakeFactory downFactory(down);
    DisconnectResourceUsers(downFactory, u"news", false);
    EXPECT_EQ(down.queries, 0);

    Server silent;
    silent.users = std::nullopt;
    FakeFactory silentFactory(silent);
    DisconnectResourceUsers(silentFactory, u"news", false);
    EXPECT_EQ(silent.queries, 1);
    EXPECT_TRUE(silent.disconnected.empty());

    // A damaged record has an empty resource and matches nothing.
    EXPECT_TRUE(Disconnected({u"garbage"}, u"news", false).empty());
}

}  // namespace
}  // namespace vantor
