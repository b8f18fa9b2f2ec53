#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace vantor {

// Whole-file reads and writes of the server's data files. Paths are UTF-8.
class FileStore {
public:
    virtual ~FileStore() = default;
    // The file's bytes; nothing when it is missing or cannot be read.
    virtual std::optional<std::vector<std::uint8_t>> ReadFile(const std::string& path) = 0;
    // Replaces the file atomically with bytes: readers see either the old or the new content.
    // False, with the old file exactly as it was, when the target cannot be written or the
    // write fails or comes up short.
    virtual bool ReplaceFile(const std::string& path, std::span<const std::uint8_t> bytes) = 0;
};

}  // namespace vantor
