#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/file_store.h"

namespace vantor {

// Whole-file access with POSIX calls. A replacement is written to "<name>.XXXXXX" beside the
// target, flushed, given the old file's permission bits (or 0666 less the umask for a new file)
// and renamed over the target, so the server never reads a half-written file.
class LinuxFileStore : public FileStore {
public:
    std::optional<std::vector<std::uint8_t>> ReadFile(const std::string& path) override;
    bool ReplaceFile(const std::string& path, std::span<const std::uint8_t> bytes) override;
};

}  // namespace vantor
