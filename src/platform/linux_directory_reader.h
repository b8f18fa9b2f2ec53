#pragma once

#include "platform/directory_reader.h"

namespace vantor {

class LinuxDirectoryReader : public DirectoryReader {
public:
    std::optional<std::vector<DirectoryEntry>> ReadDirectory(const std::string& path) override;
    bool Exists(const std::string& path) override;
};

}  // namespace vantor
