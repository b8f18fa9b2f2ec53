#include "platform/linux_directory_reader.h"

#include <cerrno>
#include <dirent.h>
#include <memory>
#include <sys/stat.h>

namespace vantor {

std::optional<std::vector<DirectoryEntry>> LinuxDirectoryReader::ReadDirectory(
    const std::string& path) {
    std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(path.c_str()), ::closedir);
    if (!dir) {
        return std::nullopt;
    }
    std::vector<DirectoryEntry> entries;
    while (const dirent* entry = ::readdir(dir.get())) {
        DirectoryEntry item{.name = entry->d_name, .isDirectory = entry->d_type == DT_DIR};
        if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) {
            // Only some file systems fill the type in, and a link is what it points to.
            struct stat status {};
            item.isDirectory = ::fstatat(::dirfd(dir.get()), entry->d_name, &status, 0) == 0 &&
                               S_ISDIR(status.st_mode);
        }
        entries.push_back(std::move(item));
    }
    return entries;
}

bool LinuxDirectoryReader::Exists(const std::string& path) {
    struct stat status {};
    // A folder on the way that may not be entered hides whether it is there: it may be.
    return stat(path.c_str(), &status) == 0 || errno == EACCES;
}

}  // namespace vantor
