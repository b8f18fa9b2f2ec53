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
    // True when something is at path, even what cannot be listed (a folder this user may not
    // read, or one behind a folder he may not enter); by default, what can be listed.
    virtual bool Exists(const std::string& path) { return ReadDirectory(path).has_value(); }
};

}  // namespace vantor
