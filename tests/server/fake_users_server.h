#pragma once

// A users object for the user manager's tests: keeps records "name group info", logs every call
// as a line, and refuses what a test asks it to.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cli/headless_services.h"
#include "server/automation.h"
#include "ui/ui_fakes.h"  // Narrow, RecordingPrompter

namespace vantor::test {

class FakeUsersServer : public NoAutomation {
public:
    struct Object : UsersAccessObject {
        explicit Object(FakeUsersServer& server) : server(server) {}
        UserCallResult AddUser(const std::u16string& name, std::int32_t group,
                               const std::u16string& password,
                               const std::u16string& info) override {
            return server.Change(
                "AddUser " + Narrow(name) + " " + std::to_string(group) + " " + Narrow(password) +
                    " " + Narrow(info),
                [&] {
                    const char16_t* groups[] = {u"?", u"Basic", u"Medium", u"Advanced"};
                    server.records.push_back(name + u' ' + groups[group] + u' ' + info);
                });
        }
        UserCallResult SetUserPassword(const std::u16string& name,
                                       const std::u16string& password) override {
            return server.Change("SetUserPassword " + Narrow(name) + " " + Narrow(password), [] {});
        }
        UserCallResult UpdateUser(const std::u16string& name, std::int32_t group,
                                  const std::u16string& info) override {
            return server.Change(
                "UpdateUser " + Narrow(name) + " " + std::to_string(group) + " " + Narrow(info),
                [] {});
        }
        UserCallResult DeleteUser(const std::u16string& name) override {
            return server.Change("DeleteUser " + Narrow(name), [&] {
                std::erase_if(server.records,
                              [&](const std::u16string& r) { return r.starts_with(name + u' '); });
            });
        }
        TextListResult GetUsers() override {
            server.calls.push_back("GetUsers");
            if (server.listResult != SOk) {
                return {server.listResult, std::nullopt};
            }
            return {SOk, server.noData ? std::nullopt : std::make_optional(server.records)};
        }
        FakeUsersServer& server;
    };

    std::unique_ptr<UsersAccessObject> CreateUsersAccess() override {
        calls.push_back(reachable ? "Create" : "Create failed");
        return reachable ? std::make_unique<Object>(*this) : nullptr;
    }

    template <typename Apply>
    UserCallResult Change(std::string call, Apply apply) {
        calls.push_back(std::move(call));
        if (!refusal.empty()) {
            return {SOk, refusal, false};
        }
        apply();
        return {SOk, u"", true};
    }

    bool reachable = true;
    bool noData = false;
    HResult listResult = SOk;
    std::u16string refusal;  // set: every change is refused with this text
    std::vector<std::u16string> records;
    std::vector<std::string> calls;
};

// The messages shown, one "caption: text" line each, with the icon's number when there is one.
inline std::string Messages(const RecordingPrompter& prompter) {
    std::string text;
    for (const auto& shown : prompter.shown) {
        const int icon = static_cast<int>(shown.icon);
        text += Narrow(shown.caption) + ": " + Narrow(shown.text) +
                (icon == 0 ? "" : " icon " + std::to_string(icon)) + "\n";
    }
    return text;
}

}  // namespace vantor::test
