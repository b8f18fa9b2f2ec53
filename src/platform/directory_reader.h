#pragma once

#include <optional>
#include <string>
#include <vector>

namespace vantor {

struct DirectoryEntry {
    std::string name;  // UTF-8, as the file system holds it
    bool isDirectory = false;

    bool operator==(const DirectoryEntry&) const = default;
};

// Lists folders on disk.
class DirectoryReader {
public:
    virtual ~DirectoryReader() = default;
    // The entries of the folder at path, in the order the file system returns them, "." and ".."
    // included when it reports them; nothing when the folder cannot be listed. A link counts as
    // what it points to.
    virtual std::optional<std::vector<DirectoryEntry>> ReadDirectory(const std::string& path) = 0;
};

}  // namespace vantor
