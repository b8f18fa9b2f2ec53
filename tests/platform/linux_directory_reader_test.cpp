#include "platform/linux_directory_reader.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

namespace vantor {
namespace {

namespace fs = std::filesystem;

// Names come as the bytes the file system holds, UTF-8 or not.
TEST(LinuxDirectoryReader, ListsEntriesAsTheirBytesWithLinksAsWhatTheyPointTo) {
    const fs::path dir = fs::temp_directory_path() / ("vantor-dir-" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir / "sub");
    fs::create_directories(dir / ".hidden-folder");
    std::ofstream(dir / "a.mp3") << "x";
    std::ofstream(dir / ".hidden.mp3") << "x";
    std::ofstream(dir / std::string("latin\xe9.mp3")) << "x";
    fs::create_directories(dir / std::string("d\xe9j\xe0"));
    fs::create_directory_symlink(dir / "sub", dir / "link-to-sub");
    fs::create_symlink(dir / "a.mp3", dir / "link-to-a.mp3");
    fs::create_symlink(dir / "gone", dir / "dangling");

    LinuxDirectoryReader reader;
    auto entries = reader.ReadDirectory(dir.string());
    ASSERT_TRUE(entries.has_value());
    std::sort(entries->begin(), entries->end(),
              [](const DirectoryEntry& a, const DirectoryEntry& b) { return a.name < b.name; });
    EXPECT_EQ(*entries, (std::vector<DirectoryEntry>{{".", true},
                                                     {"..", true},
                                                     {".hidden-folder", true},
                                                     {".hidden.mp3", false},
                                                     {"a.mp3", false},
                                                     {"dangling", false},
                                                     {"d\xe9j\xe0", true},
                                                     {"latin\xe9.mp3", false},
                                                     {"link-to-a.mp3", false},
                                                     {"link-to-sub", true},
                                                     {"sub", true}}));

    fs::remove_all(dir);
    EXPECT_FALSE(reader.ReadDirectory(dir.string()).has_value());
}

}  // namespace
}  // namespace vantor
