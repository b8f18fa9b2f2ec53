#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <sys/types.h>
#include <vector>

#include "platform/file_store.h"

namespace vantor {

// Whole-file access with POSIX calls. A replacement is written to "<name>.XXXXXX" beside the
// target, flushed, given the old file's permission bits (or, for a new file, 0666 for data files
// and 0666 less the umask for the user's own) and renamed over the target, so the server never
// reads a half-written file. The update lock is flock on "<name>.lock" beside the target.
class LinuxFileStore : public FileStore {
public:
    static constexpr std::chrono::milliseconds kDefaultLockWait{5000};

    explicit LinuxFileStore(std::chrono::milliseconds lockWait = kDefaultLockWait);

    std::optional<std::vector<std::uint8_t>> ReadFile(const std::string& path) override;
    bool ReplaceFile(const std::string& path, std::span<const std::uint8_t> bytes) override;
    bool ReplaceUserFile(const std::string& path, std::span<const std::uint8_t> bytes) override;
    LockResult LockForUpdate(const std::string& path) override;
    std::optional<FileStamp> Stamp(const std::string& path) override;

private:
    bool Replace(const std::string& path, std::span<const std::uint8_t> bytes, mode_t newFileMode);

    std::chrono::milliseconds lockWait_;
};

}  // namespace vantor
