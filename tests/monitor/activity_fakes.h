#pragma once

// A server whose activity object answers from lists a test sets, and records what it is told.

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "cli/headless_services.h"
#include "monitor/activity_record.h"
#include "platform/clock.h"
#include "platform/prompter.h"
#include "server/automation.h"

namespace vantor::test {

struct FakeActivityServer : NoAutomation {
    std::unique_ptr<ResourcesInUseObject> CreateResourcesInUse() override {
        struct Object : ResourcesInUseObject {
            explicit Object(FakeActivityServer& server) : server(server) {}
            TextListResult GetActiveUsers() override {
                TextListResult list{server.usersResult, server.users};
                if (server.afterList) {
                    server.afterList(server);
                }
                return list;
            }
            HResult DisconnectUser(std::int32_t pointer) override {
                server.disconnected.push_back(pointer);
                if (server.onDisconnect) {
                    server.onDisconnect(pointer);
                }
                return server.refused.contains(pointer) ? EFail : SOk;
            }
            TextListResult GetLiveConnections() override { return {SOk, server.live}; }
            ThroughputResult GetThroughput() override { return {SOk, server.throughput}; }
            TextListResult GetMediaUsage() override { return {SOk, server.usage}; }
            FakeActivityServer& server;
        };
        ++created;
        return reachable ? std::make_unique<Object>(*this) : nullptr;
    }

    bool reachable = true;
    int created = 0;
    std::optional<std::vector<std::u16string>> users;
    HResult usersResult = SOk;  // a failure: the list went unanswered
    std::optional<std::vector<std::u16string>> live;
    std::optional<std::vector<std::u16string>> usage;
    std::array<std::int32_t, 10> throughput{};
    std::vector<std::int32_t> disconnected;          // every DisconnectUser call, in order
    std::set<std::int32_t> refused;                  // handles whose DisconnectUser fails
    std::function<void(std::int32_t)> onDisconnect;  // runs within each DisconnectUser call
    // Runs after each GetActiveUsers has taken its answer: the list as the next call sees it.
    std::function<void(FakeActivityServer&)> afterList;
};

// An active-user record.
inline std::u16string UserRecord(std::u16string_view resource, std::u16string_view pointer,
                                 std::u16string_view user = u"u", std::u16string_view time = u"1",
                                 std::u16string_view ip = u"10.0.0.1") {
    return FieldTag(u"Resource") + std::u16string(resource) + FieldTag(u"User") +
           std::u16string(user) + FieldTag(u"IP") + std::u16string(ip) + FieldTag(u"Protocol") +
           u"MMS-HTTP" + FieldTag(u"Time") + std::u16string(time) + FieldTag(u"Pointer") +
           std::u16string(pointer);
}

inline std::u16string UsageRecord(std::u16string_view name, std::u16string_view users,
                                  std::u16string_view throughput) {
    return FieldTag(u"ResourceName") + std::u16string(name) + FieldTag(u"Users") +
           std::u16string(users) + FieldTag(u"Throughput") + std::u16string(throughput);
}

}  // namespace vantor::test
