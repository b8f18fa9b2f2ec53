#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <set>
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

// A file store that says what happens to it, in order: "lock P", "read P", "write P" and
// "unlock P". Its lock can be made busy; a file can be made unreadable, or reported larger than
// it is.
class RestrictionsFileStore : public FakeFileStore {
public:
    std::optional<std::vector<std::uint8_t>> ReadFile(const std::string& path) override {
        events.push_back("read " + path);
        return unreadable.count(path) != 0 ? std::nullopt : FakeFileStore::ReadFile(path);
    }
    bool ReplaceFile(const std::string& path, std::span<const std::uint8_t> bytes) override {
        events.push_back("write " + path);
        return FakeFileStore::ReplaceFile(path, bytes);
    }
    LockResult LockForUpdate(const std::string& path) override {
        if (lockStatus != LockStatus::Locked) {
            return {lockStatus, nullptr};
        }
        FakeFileStore::LockForUpdate(path);
        events.push_back("lock " + path);
        struct Lock : FileLock {
            Lock(std::vector<std::string>& events, std::string path)
                : events(events), path(std::move(path)) {}
            ~Lock() override { events.push_back("unlock " + path); }
            std::vector<std::string>& events;
            std::string path;
        };
        return {LockStatus::Locked, std::make_unique<Lock>(events, path)};
    }
    std::optional<FileStamp> Stamp(const std::string& path) override {
        auto stamp = FakeFileStore::Stamp(path);
        if (stamp && reportedSize.count(path) != 0) {
            stamp->size = reportedSize.at(path);
        }
        return stamp;
    }
    // What another program writes: a new version of the file, outside the events.
    void WriteBehind(const std::string& path, const std::string& text) {
        FakeFileStore::ReplaceFile(
            path, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
    }
    std::string Text(const std::string& path) const {
        return files.count(path) != 0 ? std::string(files.at(path).begin(), files.at(path).end())
                                      : std::string();
    }

    LockStatus lockStatus = LockStatus::Locked;
    std::set<std::string> unreadable;
    std::map<std::string, std::uint64_t> reportedSize;
    std::vector<std::string> events;
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
