#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "monitor/restrictions_document.h"
#include "ui/ui_fakes.h"

namespace vantor::test {

// A server whose restrictions notification object counts its RestrictionsChanged calls; it
// cannot be reached while up is false.
struct RestrictionsServer : FakeAutomation {
    std::unique_ptr<RestrictionsNotifierObject> CreateRestrictionsNotifier() override {
        struct Object : RestrictionsNotifierObject {
            explicit Object(int& calls) : calls(calls) {}
            HResult RestrictionsChanged() override {
                ++calls;
                return EFail;  // the tool does not look at the answer
            }
            int& calls;
        };
        return up ? std::make_unique<Object>(changed) : nullptr;
    }
    bool up = true;
    int changed = 0;
};

// A whole restrictions file: the declaration, and the root in the default namespace around body.
inline std::string RestrictionsFile(const std::string& body) {
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<IPRestrictionsConfig xmlns=\"" +
           std::string(RestrictionsNamespace) + "\">" + body + "</IPRestrictionsConfig>\n";
}

// The root's content as the tool writes it: the mode, then the two lists.
inline std::string RestrictionsBody(const std::string& mode, std::vector<std::string> exceptions,
                                    std::vector<std::string> allowed) {
    std::string body = "<AccessMode Active=\"" + mode + "\"/>";
    for (auto& [list, addresses] : {std::pair(std::string("ExceptionMediaServerList"), exceptions),
                                    {"AllowedMediaServerList", allowed}}) {
        body += "<" + list + (addresses.empty() ? "/>" : ">");
        for (const std::string& address : addresses) {
            body += "<Address>" + address + "</Address>";
        }
        body += addresses.empty() ? "" : "</" + list + ">";
    }
    return body;
}

}  // namespace vantor::test
