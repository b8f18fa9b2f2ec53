#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace vantor {

// What tells one version of a file from another without reading it: a replace brings a new
// inode, a change in place moves the size or the times.
struct FileStamp {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::uint64_t size = 0;
    std::int64_t modifiedNs = 0;
    std::int64_t changedNs = 0;
    bool folder = false;  // a folder, not a file

    bool operator==(const FileStamp&) const = default;
};

// Held from the read a change is based on to the replace that writes it; released when it goes.
class FileLock {
public:
    virtual ~FileLock() = default;
};

enum class LockStatus {
    Locked,
    // Another program held the lock for longer than a writer waits.
    Busy,
    // No lock file can be made beside the file (a folder this user may not write): no write
    // there can succeed either, so the caller goes on without one.
    Unavailable,
    // The machine that holds the file cannot be reached (its link is lost): nothing there can be
    // read or written, and what cannot be read there is not gone.
    Unreachable,
};

struct LockResult {
    LockStatus status = LockStatus::Unavailable;
    std::unique_ptr<FileLock> lock;  // set when Locked
};

// Whole-file reads and writes of the server's data files. Paths are UTF-8.
class FileStore {
public:
    virtual ~FileStore() = default;
    // The file's bytes; nothing when it is missing or cannot be read.
    virtual std::optional<std::vector<std::uint8_t>> ReadFile(const std::string& path) = 0;
    // Replaces the file atomically with bytes: readers see either the old or the new content.
    // False, with the old file exactly as it was, when the target cannot be written or the
    // write fails or comes up short. A new data file is shared: everyone may write it.
    virtual bool ReplaceFile(const std::string& path, std::span<const std::uint8_t> bytes) = 0;
    // The same for a file of the user's own (an export): a new one gets the umask's mode.
    virtual bool ReplaceUserFile(const std::string& path, std::span<const std::uint8_t> bytes) = 0;
    // The exclusive update lock of a data file, which every writer of it takes; waits a few
    // seconds for another holder before answering Busy.
    virtual LockResult LockForUpdate(const std::string& path) = 0;
    // Nothing when the file is missing or cannot be looked at.
    virtual std::optional<FileStamp> Stamp(const std::string& path) = 0;
};

}  // namespace vantor
