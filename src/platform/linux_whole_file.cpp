#include "platform/linux_whole_file.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace vantor {

std::optional<WholeFile> WholeFile::Read(const std::string& path, Status& status) {
    // Looked at before it is opened: a pipe opened and closed again loses what its writer wrote.
    struct stat info {};
    if (stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
        status = Status::NotRegular;
        return std::nullopt;
    }
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        status = Status::Unreadable;
        return std::nullopt;
    }
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(fd);
        status = Status::NotRegular;
        return std::nullopt;
    }
    // The size is a hint, the file may change while it is read: a page more shows its end, and
    // a file that grew past it is read again with room for what it has become.
    std::size_t capacity = static_cast<std::size_t>(info.st_size) + 4096;
    for (;;) {
        void* memory = mmap(nullptr, capacity, PROT_READ | PROT_WRITE,
                            MAP_PRIVATE | MAP_ANONYMOUS | MAP_POPULATE, -1, 0);
        if (memory == MAP_FAILED) {
            close(fd);
            status = Status::Unreadable;
            return std::nullopt;
        }
        WholeFile file(static_cast<char*>(memory), capacity, 0);
        bool failed = false;
        while (file.size_ < capacity) {
            const ssize_t got = pread(fd, file.data_ + file.size_, capacity - file.size_,
                                      static_cast<off_t>(file.size_));
            if (got < 0 && errno == EINTR) {
                continue;
            }
            if (got <= 0) {
                failed = got < 0;
                break;
            }
            file.size_ += static_cast<std::size_t>(got);
        }
        if (failed) {
            close(fd);
            status = Status::Unreadable;
            return std::nullopt;
        }
        if (file.size_ < capacity) {
            close(fd);
            status = Status::Read;
            return file;
        }
        capacity *= 2;
    }
}

WholeFile::WholeFile(WholeFile&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)),
      capacity_(std::exchange(other.capacity_, 0)),
      size_(std::exchange(other.size_, 0)) {}

WholeFile& WholeFile::operator=(WholeFile&& other) noexcept {
    if (this != &other) {
        this->~WholeFile();
        data_ = std::exchange(other.data_, nullptr);
        capacity_ = std::exchange(other.capacity_, 0);
        size_ = std::exchange(other.size_, 0);
    }
    return *this;
}

WholeFile::~WholeFile() {
    if (data_ != nullptr) {
        munmap(data_, capacity_);
    }
}

}  // namespace vantor
