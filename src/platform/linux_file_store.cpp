#include "platform/linux_file_store.h"

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <utility>

namespace vantor {
namespace {

// A new data file may be written by everyone, whatever the umask: the server and the other
// administrators' tools share the data folder, which is made so that everyone may write.
constexpr mode_t kNewFileMode = 0666;
// How often a waiting writer tries the lock again: short against a save, long against a spin.
constexpr auto kLockRetry = std::chrono::milliseconds(5);
constexpr std::size_t kReadChunk = 64 * 1024;

bool WriteAll(int fd, std::span<const std::uint8_t> bytes) {
    while (!bytes.empty()) {
        const ssize_t written = write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            // A full disk or a file-size limit: the new content would come up short.
            return false;
        }
        bytes = bytes.subspan(static_cast<std::size_t>(written));
    }
    return true;
}

void CloseQuietly(int fd) {
    if (fd >= 0) {
        close(fd);
    }
}

// The folder holding path, for flushing the rename to disk.
std::string FolderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

// The file a replacement must land on: through a symbolic link to its target, so the link
// stays a link.
std::string ResolveTarget(const std::string& path) {
    struct stat status {};
    if (lstat(path.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) {
        return path;
    }
    char* resolved = realpath(path.c_str(), nullptr);
    if (resolved == nullptr) {
        return path;
    }
    std::string target(resolved);
    std::free(resolved);
    return target;
}

// Writers that reach the file through a link, or through a linked folder, take the same lock as
// those that name it.
std::string LockPathFor(const std::string& path) {
    const std::string target = ResolveTarget(path);
    const auto slash = target.rfind('/');
    const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
    char* folder = realpath(FolderOf(target).c_str(), nullptr);
    if (folder == nullptr) {
        return target + ".lock";
    }
    std::string lockPath = std::string(folder) + "/" + name + ".lock";
    std::free(folder);
    return lockPath;
}

// The temporary file of a replacement; removed unless it was renamed over the target.
class TempFile {
public:
    explicit TempFile(std::string pathTemplate) : path_(std::move(pathTemplate)) {
        fd_ = mkostemp(path_.data(), O_CLOEXEC);
    }
    ~TempFile() {
        CloseQuietly(fd_);
        if (!renamed_ && fd_ != kNeverOpened) {
            unlink(path_.c_str());
        }
    }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    int Fd() const { return fd_; }
    bool IsOpen() const { return fd_ >= 0; }

    // Closes the file, reporting a late write error.
    bool Close() {
        const int fd = fd_;
        fd_ = kClosed;
        return close(fd) == 0;
    }
    bool RenameTo(const std::string& target) {
        renamed_ = rename(path_.c_str(), target.c_str()) == 0;
        return renamed_;
    }

private:
    static constexpr int kNeverOpened = -1;
    static constexpr int kClosed = -2;
    std::string path_;
    int fd_ = kNeverOpened;
    bool renamed_ = false;
};

// An open lock file; closing it releases the lock.
class LinuxFileLock : public FileLock {
public:
    explicit LinuxFileLock(int fd) : fd_(fd) {}
    ~LinuxFileLock() override { close(fd_); }
    LinuxFileLock(const LinuxFileLock&) = delete;
    LinuxFileLock& operator=(const LinuxFileLock&) = delete;

private:
    int fd_;
};

// The lock file, made shared as the data files are; read-only is enough for flock when another
// account made it under a narrower umask.
int OpenLockFile(const std::string& lockPath) {
    const int fd = open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, kNewFileMode);
    if (fd >= 0) {
        struct stat status {};
        if (fstat(fd, &status) == 0 && status.st_uid == geteuid() &&
            (status.st_mode & 0777) != kNewFileMode) {
            fchmod(fd, kNewFileMode);  // the umask narrowed it; best effort
        }
        return fd;
    }
    return open(lockPath.c_str(), O_RDONLY | O_CLOEXEC);
}

// The process's umask, read without setting it: umask() itself would change it for a moment under
// every other thread's feet.
mode_t CurrentUmask() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("Umask:", 0) == 0) {
            return static_cast<mode_t>(std::stoul(line.substr(6), nullptr, 8));
        }
    }
    return 022;  // the usual one, where /proc says nothing
}

}  // namespace

LinuxFileStore::LinuxFileStore(std::chrono::milliseconds lockWait) : lockWait_(lockWait) {}

std::optional<std::vector<std::uint8_t>> LinuxFileStore::ReadFile(const std::string& path) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return std::nullopt;
    }
    struct stat status {};
    if (fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        close(fd);
        return std::nullopt;
    }
    std::vector<std::uint8_t> bytes;
    // A chunk more than the size: the read that finds the end then needs no second buffer and
    // no copy of a file of tens of megabytes.
    bytes.reserve(static_cast<std::size_t>(status.st_size) + kReadChunk);
    std::size_t used = 0;
    for (;;) {
        // The size from fstat is only a hint: the file may grow or shrink while it is read.
        bytes.resize(used + kReadChunk);
        const ssize_t got = read(fd, bytes.data() + used, kReadChunk);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            close(fd);
            return std::nullopt;
        }
        if (got == 0) {
            break;
        }
        used += static_cast<std::size_t>(got);
    }
    close(fd);
    bytes.resize(used);
    return bytes;
}

bool LinuxFileStore::ReplaceFile(const std::string& path, std::span<const std::uint8_t> bytes) {
    return Replace(path, bytes, kNewFileMode);
}

bool LinuxFileStore::ReplaceUserFile(const std::string& path, std::span<const std::uint8_t> bytes) {
    return Replace(path, bytes, 0666 & ~CurrentUmask());
}

LockResult LinuxFileStore::LockForUpdate(const std::string& path) {
    if (path.empty()) {
        return {};
    }
    const int fd = OpenLockFile(LockPathFor(path));
    if (fd < 0) {
        return {};
    }
    const auto deadline = std::chrono::steady_clock::now() + lockWait_;
    for (;;) {
        if (flock(fd, LOCK_EX | LOCK_NB) == 0) {
            return {LockStatus::Locked, std::make_unique<LinuxFileLock>(fd)};
        }
        if (errno != EWOULDBLOCK && errno != EINTR) {
            close(fd);
            return {};  // a file system without locks
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            close(fd);
            return {LockStatus::Busy, nullptr};
        }
        std::this_thread::sleep_for(kLockRetry);
    }
}

std::optional<FileStamp> LinuxFileStore::Stamp(const std::string& path) {
    struct stat status {};
    if (path.empty() || stat(path.c_str(), &status) != 0) {
        return std::nullopt;
    }
    constexpr std::int64_t kNsPerSecond = 1'000'000'000;
    return FileStamp{
        .device = static_cast<std::uint64_t>(status.st_dev),
        .inode = static_cast<std::uint64_t>(status.st_ino),
        .size = static_cast<std::uint64_t>(status.st_size),
        .modifiedNs = status.st_mtim.tv_sec * kNsPerSecond + status.st_mtim.tv_nsec,
        .changedNs = status.st_ctim.tv_sec * kNsPerSecond + status.st_ctim.tv_nsec,
        .folder = S_ISDIR(status.st_mode),
    };
}

bool LinuxFileStore::Replace(const std::string& path, std::span<const std::uint8_t> bytes,
                             mode_t newFileMode) {
    if (path.empty()) {
        return false;
    }
    const std::string target = ResolveTarget(path);
    struct stat old {};
    bool exists = false;
    if (stat(target.c_str(), &old) == 0) {
        if (!S_ISREG(old.st_mode)) {
            return false;
        }
        exists = true;
    } else if (errno != ENOENT) {
        return false;
    }

    TempFile temp(target + ".XXXXXX");
    if (!temp.IsOpen() || !WriteAll(temp.Fd(), bytes)) {
        return false;
    }
    if (exists) {
        // Keep the owner too where we may (as root); otherwise the file simply becomes ours.
        if (fchown(temp.Fd(), old.st_uid, old.st_gid) != 0) {
            // Not permitted for an ordinary user: the permission bits below still apply.
        }
    }
    const mode_t mode = exists ? (old.st_mode & 07777) : newFileMode;
    if (fchmod(temp.Fd(), mode) != 0 || fsync(temp.Fd()) != 0 || !temp.Close() ||
        !temp.RenameTo(target)) {
        return false;
    }

    // The new content is in place from here on; flushing the folder only makes the rename
    // durable, so its failure must not report the old file as kept.
    const int folder = open(FolderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        fsync(folder);
        close(folder);
    }
    return true;
}

}  // namespace vantor
