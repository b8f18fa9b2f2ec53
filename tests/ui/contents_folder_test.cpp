#include "ui/contents_folder.h"

#include <map>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "config/catalogue.h"
#include "monitor/media_info_worker.h"
#include "platform/media_probe.h"

namespace vantor {
namespace {

// Folders held in memory, each entry list in the order "the file system" returns it.
class FakeDirectoryReader : public DirectoryReader {
public:
    std::optional<std::vector<DirectoryEntry>> ReadDirectory(const std::string& path) override {
        read.push_back(path);
        const auto found = folders.find(path);
        return found != folders.end() ? std::make_optional(found->second) : std::nullopt;
    }
    std::map<std::string, std::vector<DirectoryEntry>> folders;
    std::vector<std::string> read;
};

// Every file renders as audio of one second and 1 024 000 bytes, so its summary is fixed.
class OneSecondProbe : public MediaProbe {
public:
    MediaFacts Probe(const std::string& path, const std::function<bool()>&) override {
        probed.push_back(path);
        MediaFacts facts;
        facts.renders = true;
        facts.hasAudio = true;
        facts.fileSize = 1'024'000;
        facts.duration = 10'000'000;
        return facts;
    }
    std::vector<std::string> probed;
};

constexpr std::u16string_view kOneSecond =
    u"Size: 1.00 MB; Time: 00:00:01. Audio - 0.0 kByte/s; 0.0 kHz; Mono.";

struct Fixture {
    Fixture() {
        reader.folders["/srv/movies"] = {{".", true},     {"..", true},           {"b.mp4", false},
                                         {"2009", true},  {".hidden.mp4", false}, {".cache", true},
                                         {"a.mp3", false}};
        reader.folders["/srv/movies/2009"] = {{"June", true}, {"c.wav", false}};
        ResourceRecord record;
        record.kind = ResourceKind::VirtualFolder;
        record.name = u"Movies";
        record.source = u"/srv/movies/";
        folderItem = catalogue.InsertResourceItem(record);
    }
    // (kind, name, path) of every row.
    std::vector<std::tuple<ContentsRowKind, std::u16string, std::u16string>> Rows() const {
        std::vector<std::tuple<ContentsRowKind, std::u16string, std::u16string>> rows;
        for (const ContentsRow& row : list.Rows()) {
            rows.emplace_back(row.kind, row.Text(ContentsColumn::Name),
                              row.Text(ContentsColumn::Path));
        }
        return rows;
    }

    Catalogue catalogue;
    CatalogueItem* folderItem = nullptr;
    FakeDirectoryReader reader;
    OneSecondProbe probe;
    MediaInfoWorker worker{probe, nullptr};
    ContentsList list;
    ContentsFolder folder{list, reader, &worker};
};

constexpr auto File = ContentsRowKind::File;
constexpr auto Subfolder = ContentsRowKind::Subfolder;
constexpr auto Up = ContentsRowKind::Up;

TEST(ContentsFolder, ListsSubfoldersThenVisibleFilesAndStepsDownAndUp) {
    Fixture f;
    f.folder.ShowSelection(f.folderItem, AuthMethod::Anonymous);
    EXPECT_EQ(f.folder.RootFolder(), "/srv/movies");
    EXPECT_EQ(f.Rows(), (decltype(f.Rows()){{Subfolder, u"2009", u"/srv/movies"},
                                            {Subfolder, u".cache", u"/srv/movies"},
                                            {File, u"b.mp4", u"/srv/movies"},
                                            {File, u"a.mp3", u"/srv/movies"}}));
    EXPECT_EQ(f.list.Row(0).imageIndex, SubfolderRowImage);
    EXPECT_EQ(f.list.Row(2).imageIndex, FileRowImage);

    const ContentsActivation open = f.folder.Activate(3);
    EXPECT_EQ(open.action, ContentsActivation::Action::OpenFile);
    EXPECT_EQ(open.path, "/srv/movies/a.mp3");

    EXPECT_EQ(f.folder.Activate(0).action, ContentsActivation::Action::None);
    EXPECT_EQ(f.folder.CurrentFolder(), "/srv/movies/2009");
    EXPECT_EQ(f.Rows(), (decltype(f.Rows()){{Up, u"", u""},
                                            {Subfolder, u"June", u"/srv/movies/2009"},
                                            {File, u"c.wav", u"/srv/movies/2009"}}));
    EXPECT_EQ(f.list.Row(0).imageIndex, UpRowImage);
    EXPECT_EQ(f.folder.Activate(2).path, "/srv/movies/2009/c.wav");

    // A folder that cannot be listed: an empty list, and still a way back only by the tree. A
    // click past the end asks for nothing (and reads no row).
    f.folder.Activate(1);
    EXPECT_EQ(f.folder.CurrentFolder(), "/srv/movies/2009/June");
    EXPECT_EQ(f.list.RowCount(), 0u);
    f.folder.Click(0);

    f.folder.ShowFolder("/srv/movies/2009", false);
    f.folder.Activate(0);  // up
    EXPECT_EQ(f.folder.CurrentFolder(), "/srv/movies");
    EXPECT_EQ(f.list.Row(0).kind, Subfolder);  // the root has no "up" row

    // Another tree item: the catalogue's rows, and no folder any more.
    f.folder.ShowSelection(&f.catalogue.FileResources(), AuthMethod::Anonymous);
    EXPECT_EQ(f.folder.CurrentFolder(), "");
    ASSERT_EQ(f.list.RowCount(), 1u);
    EXPECT_EQ(f.folder.Activate(0).action, ContentsActivation::Action::SelectItem);
    EXPECT_EQ(f.folder.Activate(0).item, f.folderItem);
    // A selected broadcast's own row sends the frame the command that edits it.
    ResourceRecord news;
    news.kind = ResourceKind::LiveBroadcast;
    news.name = u"News";
    f.folder.ShowSelection(f.catalogue.InsertResourceItem(news), AuthMethod::Anonymous);
    const ContentsActivation edit = f.folder.Activate(0);
    EXPECT_EQ(std::tie(edit.action, edit.command, edit.parameter),
              std::make_tuple(ContentsActivation::Action::Command, 205, -1));
}

// Names that are no UTF-8 show decoded, and every use takes the bytes the directory gave.
TEST(ContentsFolder, NamesThatAreNoUtf8AreUsedAsTheirBytes) {
    Fixture f;
    f.reader.folders["/srv/movies"] = {{"d\xe9j\xe0", true}, {"latin\xe9.mp3", false}};
    f.reader.folders["/srv/movies/d\xe9j\xe0"] = {{"\xff.wav", false}};
    f.folder.ShowSelection(f.folderItem, AuthMethod::Anonymous);
    EXPECT_EQ(f.Rows(), (decltype(f.Rows()){{Subfolder, u"d\ufffdj\ufffd", u"/srv/movies"},
                                            {File, u"latin\ufffd.mp3", u"/srv/movies"}}));
    EXPECT_EQ(f.folder.EntryName(1), "latin\xe9.mp3");
    EXPECT_EQ(f.folder.Activate(1).path, "/srv/movies/latin\xe9.mp3");
    ASSERT_TRUE(f.worker.RunOnce());
    EXPECT_EQ(f.probe.probed, std::vector<std::string>{"/srv/movies/latin\xe9.mp3"});

    f.folder.Activate(0);
    EXPECT_EQ(f.folder.CurrentFolder(), "/srv/movies/d\xe9j\xe0");
    EXPECT_EQ(f.Rows(), (decltype(f.Rows()){{Up, u"", u""},
                                            {File, u"\ufffd.wav", u"/srv/movies/d\ufffdj\ufffd"}}));
    EXPECT_EQ(f.folder.Activate(1).path, "/srv/movies/d\xe9j\xe0/\xff.wav");
    EXPECT_EQ(f.folder.EntryName(0), "");  // the "up" row has no name

    // Once the list shows something else, no row has a folder entry's name.
    f.list.Replace(std::vector<ContentsRow>(2));
    EXPECT_EQ(f.folder.EntryName(1), "");
}

TEST(ContentsFolder, FolderPathsLoseTrailingSlashesButTheRootStays) {
    EXPECT_EQ(std::pair(TrimFolderPath("/srv/movies//"), TrimFolderPath("/")),
              std::pair(std::string("/srv/movies"), std::string("/")));
}

TEST(ContentsFolder, SummariesFillTheirRowsAndAClickGoesFirst) {
    Fixture f;
    f.folder.ShowSelection(f.folderItem, AuthMethod::Anonymous);
    f.folder.Click(3);  // a.mp3, before b.mp4
    f.folder.Click(0);  // a subfolder: nothing to summarise
    ASSERT_TRUE(f.worker.RunOnce());
    EXPECT_EQ(f.probe.probed, std::vector<std::string>{"/srv/movies/a.mp3"});
    EXPECT_EQ(f.folder.ApplyResults(10), 1u);
    EXPECT_EQ(f.list.Row(3).Text(ContentsColumn::Description), kOneSecond);
    EXPECT_EQ(f.list.Row(2).Text(ContentsColumn::Description), u"");

    // A summary computed before the user stepped into a subfolder is not written into it.
    ASSERT_TRUE(f.worker.RunOnce());
    f.folder.Activate(0);
    EXPECT_EQ(f.folder.ApplyResults(10), 0u);
    while (f.worker.RunOnce()) {
    }
    EXPECT_EQ(f.folder.ApplyResults(10), 1u);
    EXPECT_EQ(f.list.Row(2).Text(ContentsColumn::Description), kOneSecond);
    EXPECT_EQ(f.list.Row(1).Text(ContentsColumn::Description), u"");

    // A root with files only: the first row is a file too.
    f.reader.folders["/srv/clips"] = {{"only.wav", false}};
    f.folder.ShowFolder("/srv/clips", true);
    while (f.worker.RunOnce()) {
    }
    EXPECT_EQ(f.folder.ApplyResults(10), 1u);
    EXPECT_EQ(f.list.Row(0).Text(ContentsColumn::Description), kOneSecond);

    // Selecting something that is not a folder stops the old folder's summaries.
    f.folder.ShowSelection(f.folderItem, AuthMethod::Anonymous);
    f.folder.ShowSelection(&f.catalogue.FileResources(), AuthMethod::Anonymous);
    f.probe.probed.clear();
    EXPECT_FALSE(f.worker.RunOnce());
    EXPECT_TRUE(f.probe.probed.empty());
}

}  // namespace
}  // namespace vantor
