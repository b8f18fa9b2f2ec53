#include "platform/linux_remote_file_store.h"

#include <memory>

#include "platform/linux_bridge_protocol.h"
#include "platform/linux_remote_bridge.h"

namespace vantor {
namespace {

using bridge::Json;

bool Succeeded(const std::optional<Json>& answer) {
    return answer && answer->value("ok", false);
}

// Held on the far side until this goes: then the bridge is told (if it is still there; a lost
// bridge's process has ended, and its locks with it).
class RemoteFileLock : public FileLock {
public:
    RemoteFileLock(RemoteBridge& bridge, long long id) : bridge_(bridge), id_(id) {}
    ~RemoteFileLock() override { bridge_.Call(Json{{"op", "unlock"}, {"lock", id_}}); }

private:
    RemoteBridge& bridge_;
    long long id_;
};

}  // namespace

std::optional<std::vector<std::uint8_t>> RemoteFileStore::ReadFile(const std::string& path) {
    const std::optional<Json> answer = bridge_.Call(bridge::Request("read", path));
    if (!Succeeded(answer) || !answer->contains("data") || !(*answer)["data"].is_string()) {
        return std::nullopt;
    }
    return bridge::DecodeBase64((*answer)["data"].get<std::string>());
}

bool RemoteFileStore::Replace(const char* op, const std::string& path,
                              std::span<const std::uint8_t> bytes) {
    const std::vector<std::uint8_t> copy(bytes.begin(), bytes.end());
    Json request = bridge::Request(op, path);
    request["data"] = bridge::EncodeBase64(copy);
    return Succeeded(bridge_.Call(std::move(request)));
}

bool RemoteFileStore::ReplaceFile(const std::string& path, std::span<const std::uint8_t> bytes) {
    return Replace("replace", path, bytes);
}

bool RemoteFileStore::ReplaceUserFile(const std::string& path,
                                      std::span<const std::uint8_t> bytes) {
    return Replace("replace-user", path, bytes);
}

LockResult RemoteFileStore::LockForUpdate(const std::string& path) {
    const std::optional<Json> answer = bridge_.Call(bridge::Request("lock", path));
    if (!answer) {
        return {LockStatus::Unreachable, nullptr};
    }
    if (!Succeeded(answer)) {
        return {};
    }
    const std::string status = answer->value("status", "");
    if (status == "busy") {
        return {LockStatus::Busy, nullptr};
    }
    if (status != "locked") {
        return {};
    }
    return {LockStatus::Locked,
            std::make_unique<RemoteFileLock>(bridge_, answer->value("lock", -1LL))};
}

std::optional<FileStamp> RemoteFileStore::Stamp(const std::string& path) {
    const std::optional<Json> answer = bridge_.Call(bridge::Request("stamp", path));
    if (!Succeeded(answer)) {
        return std::nullopt;
    }
    return FileStamp{
        .device = answer->value("device", std::uint64_t{0}),
        .inode = answer->value("inode", std::uint64_t{0}),
        .size = answer->value("size", std::uint64_t{0}),
        .modifiedNs = answer->value("modified", std::int64_t{0}),
        .changedNs = answer->value("changed", std::int64_t{0}),
        .folder = answer->value("folder", false),
    };
}

}  // namespace vantor
