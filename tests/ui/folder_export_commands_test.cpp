#include "ui/folder_export_commands.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/host_address.h"
#include "ui/contents_folder.h"
#include "ui/ui_fakes.h"

namespace vantor {
namespace {

using test::FakeFileStore;
using test::RecordingPrompter;

class FixedDirectoryReader : public DirectoryReader {
public:
    std::optional<std::vector<DirectoryEntry>> ReadDirectory(const std::string& path) override {
        if (path == "/media/movies") {
            return std::vector<DirectoryEntry>{{"2009", true}, {"a.wmv", false}, {"b.wma", false}};
        }
        if (path == "/media/movies/2009") {
            return std::vector<DirectoryEntry>{{"Tom & Jerry.wmv", false}};
        }
        if (path == "/media/movies/d\xe9j\xe0") {
            return std::vector<DirectoryEntry>{{"latin\xe9.mp3", false}};
        }
        return std::nullopt;
    }
};

class FixedHost : public HostAddress {
public:
    std::string LocalIPv4Address() override { return "192.168.1.10"; }
};

// Tells the user's own files from the shared data files.
class UserFileStore : public FakeFileStore {
public:
    bool ReplaceUserFile(const std::string& path, std::span<const std::uint8_t> bytes) override {
        userFiles.push_back(path);
        return FakeFileStore::ReplaceUserFile(path, bytes);
    }
    std::vector<std::string> userFiles;
};

class UnwritableFileStore : public FakeFileStore {
public:
    bool ReplaceFile(const std::string&, std::span<const std::uint8_t>) override { return false; }
};

struct Fixture {
    Fixture() {
        record.kind = ResourceKind::VirtualFolder;
        record.name = u"Movies";
        record.source = u"/media/movies";
        shown.ShowFolder("/media/movies", true);
        list.SetText(list.Listing(), 1, ContentsColumn::Description, u"Size: 1.00 MB; . ");
    }
    // Answers with path, remembering what was offered.
    SaveFileDialog Answer(std::string path, bool accept = true) {
        return [this, path, accept](SaveFileChoice& choice) {
            offered.push_back(choice);
            choice.path = path;
            return accept;
        };
    }
    std::string Written(const std::string& path) const {
        const auto& bytes = files.files.at(path);
        return {bytes.begin(), bytes.end()};
    }

    ResourceRecord record;
    FixedDirectoryReader reader;
    ContentsList list;
    ContentsFolder shown{list, reader, nullptr};
    UserFileStore files;
    FixedHost host;
    RecordingPrompter prompter;
    FolderExportCommands commands{files, host, prompter};
    std::vector<SaveFileChoice> offered;
};

TEST(FolderExportCommands, WriteWhereTheSaveDialogSaysForTheFolderShown) {
    Fixture f;
    EXPECT_EQ(f.commands.ExportWebPage(f.record, f.shown, u"5119", f.Answer("/out/page")),
              ExportOutcome::Written);
    ASSERT_EQ(f.offered.size(), 1u);
    EXPECT_EQ(f.offered[0].path, "movies.html");
    EXPECT_EQ(f.offered[0].filterName, u"HTML Files (*.html)");
    const std::string page = f.Written("/out/page");  // the name as typed, no extension added
    EXPECT_NE(page.find("<td>\r\nSize: 1.00 MB; . </td>"), std::string::npos);
    EXPECT_NE(page.find("mms://192.168.1.10:5119/Movies/b.wma\""), std::string::npos);
    EXPECT_EQ(page.find("2009"), std::string::npos);  // subfolder rows are not exported

    EXPECT_EQ(f.commands.GeneratePlaylist(f.record, f.shown, u"5119", f.Answer("/out/list.wpl")),
              ExportOutcome::Written);
    EXPECT_EQ(f.offered[1].path, "movies.wpl");
    EXPECT_EQ(f.offered[1].filterPattern, u"*.wpl");
    EXPECT_NE(f.Written("/out/list.wpl").find("content=\"2\""), std::string::npos);

    // Both are the user's files, whose mode the umask decides.
    EXPECT_EQ(f.files.userFiles, (std::vector<std::string>{"/out/page", "/out/list.wpl"}));

    // Cancelled: nothing written, nothing said.
    EXPECT_EQ(f.commands.ExportWebPage(f.record, f.shown, u"5119", f.Answer("/out/x", false)),
              ExportOutcome::Cancelled);
    EXPECT_EQ(f.files.writes.size(), 2u);
    EXPECT_TRUE(f.prompter.shown.empty());

    // No folder shown: not even the dialog.
    f.shown.ShowSelection(nullptr, AuthMethod::Anonymous);
    EXPECT_EQ(f.commands.GeneratePlaylist(f.record, f.shown, u"5119", f.Answer("/out/y")),
              ExportOutcome::NoFolder);
    EXPECT_EQ(f.offered.size(), 3u);
}

TEST(FolderExportCommands, RefusalsAndFailuresAreShownAndLeaveNoFile) {
    Fixture f;
    f.list.Clear();
    f.shown.ShowFolder("/media/movies", true);
    f.shown.Activate(0);  // into 2009, which holds "Tom & Jerry.wmv"
    EXPECT_EQ(f.commands.GeneratePlaylist(f.record, f.shown, u"5119", f.Answer("/out/2009.wpl")),
              ExportOutcome::Refused);
    EXPECT_TRUE(f.files.writes.empty());
    ASSERT_EQ(f.prompter.shown.size(), 1u);
    EXPECT_EQ(f.prompter.shown[0].text,
              u"WMP playlist can not have files containing characters '#&'. Please rename such "
              u"files and try again.");
    EXPECT_EQ(f.prompter.shown[0].caption, u"VantorConfig - Error");
    EXPECT_EQ(f.prompter.shown[0].icon, MessageIcon::Error);

    // The page takes the name raw, with the folder label two levels deep.
    EXPECT_EQ(f.commands.ExportWebPage(f.record, f.shown, u"5119", f.Answer("/out/2009.html")),
              ExportOutcome::Written);
    EXPECT_EQ(f.offered[1].path, "2009.html");
    EXPECT_NE(
        f.Written("/out/2009.html").find("mms://192.168.1.10:5119/Movies\\2009/Tom & Jerry.wmv"),
        std::string::npos);

    UnwritableFileStore unwritable;
    FolderExportCommands failing(unwritable, f.host, f.prompter);
    f.shown.Activate(0);  // back up
    EXPECT_EQ(failing.GeneratePlaylist(f.record, f.shown, u"5119", f.Answer("/ro/x.wpl")),
              ExportOutcome::CannotCreate);
    ASSERT_EQ(f.prompter.shown.size(), 2u);
    EXPECT_EQ(f.prompter.shown[1].text, u"Unable to create file");
    EXPECT_EQ(f.prompter.shown[1].caption, u"VantorConfig - Error");
}

// A folder and a file whose names are no UTF-8: the export names them by their bytes, and
// proposes the folder's own name for the file.
TEST(FolderExportCommands, NamesThatAreNoUtf8AreExportedAsTheirBytes) {
    Fixture f;
    f.shown.ShowFolder("/media/movies/d\xe9j\xe0", false);
    EXPECT_EQ(f.commands.GeneratePlaylist(f.record, f.shown, u"5119", f.Answer("/out/l.wpl")),
              ExportOutcome::Written);
    EXPECT_EQ(f.offered[0].path, "d\xe9j\xe0.wpl");
    const std::string playlist = f.Written("/out/l.wpl");
    EXPECT_NE(playlist.find("<title>d\xe9j\xe0</title>"), std::string::npos) << playlist;
    EXPECT_NE(
        playlist.find("<media src=\"mms://192.168.1.10:5119/Movies\\d\xe9j\xe0/latin\xe9.mp3\"/>"),
        std::string::npos)
        << playlist;
}

}  // namespace
}  // namespace vantor
