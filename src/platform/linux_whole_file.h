#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace vantor {

// A local file's bytes, held at once in memory that is made ready in one step: read into
// memory that fills a page at a time, a file of tens of megabytes costs thousands of page
// faults, each several microseconds on a virtual machine.
class WholeFile {
public:
    enum class Status { Read, NotRegular, Unreadable };

    // The file's bytes, or why there are none. A file that is not a regular one (a pipe, a
    // folder) is left to be read as a stream.
    static std::optional<WholeFile> Read(const std::string& path, Status& status);

    WholeFile(WholeFile&& other) noexcept;
    WholeFile& operator=(WholeFile&& other) noexcept;
    WholeFile(const WholeFile&) = delete;
    WholeFile& operator=(const WholeFile&) = delete;
    ~WholeFile();

    std::string_view Text() const { return {data_, size_}; }

private:
    WholeFile(char* data, std::size_t capacity, std::size_t size)
        : data_(data), capacity_(capacity), size_(size) {}

    char* data_ = nullptr;
    std::size_t capacity_ = 0;
    std::size_t size_ = 0;
};

}  // namespace vantor
