#include "platform/linux_file_store.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace vantor {
namespace {

// A new data file may be written by everyone, whatever the umask: the server and the other
// administrators' tools share the data folder, which is made so that everyone may write.
constexpr mode_t kNewFileMode = 0666;
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

}  // namespace

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
    bytes.reserve(static_cast<std::size_t>(status.st_size));
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
    const mode_t mode = exists ? (old.st_mode & 07777) : kNewFileMode;
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
