#include "ui/folder_picker_model.h"

#include <map>

#include <gtest/gtest.h>

#include "platform/directory_reader.h"

namespace vantor {
namespace {

using Names = std::vector<std::string>;

// A machine's folders: each listed folder with its entries; any other path cannot be listed.
struct Folders : DirectoryReader {
    std::optional<std::vector<DirectoryEntry>> ReadDirectory(const std::string& path) override {
        const auto found = listed.find(path);
        if (found == listed.end()) {
            return std::nullopt;
        }
        return found->second;
    }
    std::map<std::string, std::vector<DirectoryEntry>> listed = {
        {"/", {{".", true}, {"..", true}, {"srv", true}, {"etc", true}, {"vmlinuz", false}}},
        {"/srv", {{"zoo", true}, {"\xc3\x89t\xc3\xa9", true}, {"music", true}, {"a.mp3", false}}},
        {"/srv/music", {}},
        {"/srv/bad\xff", {}},
    };
};

TEST(FolderPicker, ListsTheMachinesFoldersInCollationOrderAndMovesAround) {
    Folders machine;
    FolderPickerModel model(machine);
    // The start folder cannot be listed: the nearest one above that can.
    model.Start("/srv/gone/deeper/");
    EXPECT_EQ(model.Current(), "/srv");
    EXPECT_EQ(model.Subfolders(), (Names{"\xc3\x89t\xc3\xa9", "music", "zoo"}));
    ASSERT_TRUE(model.Enter(1));
    EXPECT_EQ(model.Current(), "/srv/music");
    EXPECT_FALSE(model.Enter(0));  // no such row
    ASSERT_TRUE(model.Up());
    ASSERT_TRUE(model.Up());
    EXPECT_EQ(model.Current(), "/");
    EXPECT_EQ(model.Subfolders(), (Names{"etc", "srv"}));
    EXPECT_FALSE(model.Up());

    // A typed path, absolute or below the folder shown; one that cannot be listed changes nothing.
    EXPECT_FALSE(model.Open("etc"));
    EXPECT_EQ(model.Message(), u"/etc cannot be listed.");
    EXPECT_EQ(model.Current(), "/");
    EXPECT_EQ(model.Subfolders(), (Names{"etc", "srv"}));
    ASSERT_TRUE(model.Open("/srv/music/"));
    EXPECT_EQ(model.Current(), "/srv/music");
    EXPECT_EQ(model.Message(), u"");
    // OK takes a path typed but not opened; one that cannot be listed keeps the dialog open.
    EXPECT_TRUE(model.OnOk("/srv/music"));
    EXPECT_FALSE(model.OnOk("/srv/gone"));
    EXPECT_EQ(model.Message(), u"/srv/gone cannot be listed.");
    EXPECT_TRUE(model.OnOk("/srv"));
    EXPECT_EQ(model.Current(), "/srv");
    // Bytes that are no UTF-8 are kept as they are.
    ASSERT_TRUE(model.Open("/srv/bad\xff"));
    EXPECT_EQ(model.Current(), "/srv/bad\xff");

    // Nothing above can be listed either: the root, whatever is typed.
    model.Start("relative/path");
    EXPECT_EQ(model.Current(), "/");
    EXPECT_EQ(ParentFolder("/srv"), "/");
    EXPECT_EQ(ParentFolder("/srv/music//"), "/srv");
}

}  // namespace
}  // namespace vantor
