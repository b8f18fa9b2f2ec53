#include "platform/linux_directory_reader.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "ui/contents_folder.h"

namespace vantor {
namespace {

namespace fs = std::filesystem;

TEST(LinuxDirectoryReader, ListsEntriesWithLinksAsWhatTheyPointTo) {
    const fs::path dir = fs::temp_directory_path() / ("vantor-dir-" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir / "sub");
    fs::create_directories(dir / ".hidden-folder");
    std::ofstream(dir / "a.mp3") << "x";
    std::ofstream(dir / ".hidden.mp3") << "x";
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
                                                     {"link-to-a.mp3", false},
                                                     {"link-to-sub", true},
                                                     {"sub", true}}));

    // The listing's rules over the real entries: folders first, hidden files left out.
    const std::vector<ContentsRow> rows = FolderRows(*entries, dir.string(), false);
    std::vector<std::pair<ContentsRowKind, std::u16string>> shown;
    for (const ContentsRow& row : rows) {
        shown.emplace_back(row.kind, row.Text(ContentsColumn::Name));
    }
    std::sort(shown.begin(), shown.end());
    EXPECT_EQ(shown, (std::vector<std::pair<ContentsRowKind, std::u16string>>{
                         {ContentsRowKind::File, u"a.mp3"},
                         {ContentsRowKind::File, u"dangling"},
                         {ContentsRowKind::File, u"link-to-a.mp3"},
                         {ContentsRowKind::Subfolder, u".hidden-folder"},
                         {ContentsRowKind::Subfolder, u"link-to-sub"},
                         {ContentsRowKind::Subfolder, u"sub"}}));

    fs::remove_all(dir);
    EXPECT_FALSE(reader.ReadDirectory(dir.string()).has_value());
}

}  // namespace
}  // namespace vantor
