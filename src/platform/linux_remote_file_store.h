#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/file_store.h"

namespace vantor {

class RemoteBridge;

// The data files of the server's machine, through its bridge: the same atomic replace, lock and
// stamps as there, since the bridge does them with that machine's own file store. A lost bridge
// reads as files that cannot be read or written, and as a lock that cannot be had.
class RemoteFileStore : public FileStore {
public:
    explicit RemoteFileStore(RemoteBridge& bridge) : bridge_(bridge) {}

    std::optional<std::vector<std::uint8_t>> ReadFile(const std::string& path) override;
    bool ReplaceFile(const std::string& path, std::span<const std::uint8_t> bytes) override;
    bool ReplaceUserFile(const std::string& path, std::span<const std::uint8_t> bytes) override;
    LockResult LockForUpdate(const std::string& path) override;
    std::optional<FileStamp> Stamp(const std::string& path) override;

private:
    bool Replace(const char* op, const std::string& path, std::span<const std::uint8_t> bytes);

    RemoteBridge& bridge_;
};

}  // namespace vantor
