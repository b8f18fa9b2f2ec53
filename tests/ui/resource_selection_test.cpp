#include "ui/resource_selection.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "config/catalogue.h"

namespace vantor {
namespace {

ResourceRecord Folder(std::u16string name, std::u16string source) {
    ResourceRecord record;
    record.kind = ResourceKind::VirtualFolder;
    record.name = std::move(name);
    record.source = std::move(source);
    return record;
}

ResourceRecord Broadcast(std::u16string name, std::u16string source) {
    ResourceRecord record = Folder(std::move(name), std::move(source));
    record.kind = ResourceKind::LiveBroadcast;
    return record;
}

// The four column texts of a row, for compact comparisons.
std::vector<std::u16string> Texts(const ContentsRow& row) {
    return {row.texts.begin(), row.texts.end()};
}

// A catalogue with the cases the list has to get right.
struct Fixture {
    Fixture() {
        ResourceRecord music = Folder(u"Music", u"/srv/media/music");
        music.enabled = false;  // shown "Music (disabled)" in the tree, bare in the list
        music.authMethod = AuthMethod::InheritDefault;
        music.userGroups = BasicUsers | AdvancedUsers;
        music.description = u"All the albums";
        catalogue.InsertResourceItem(music);

        ResourceRecord lectures = Folder(u"lectures", u"/srv/media/lectures");
        lectures.authMethod = AuthMethod::Internal;
        lectures.userGroups = 0;
        catalogue.InsertResourceItem(lectures);

        ResourceRecord archive = Folder(u"Archive", u"/srv/archive");
        archive.authMethod = AuthMethod::Anonymous;
        catalogue.InsertResourceItem(archive);

        ResourceRecord dynamic = Broadcast(u"Studio", u"0@9f86d081884c7d659a2feaa0c55ad015");
        dynamic.authMethod = AuthMethod::SessionBased;
        dynamic.description = u"Live from the studio";
        catalogue.InsertResourceItem(dynamic);

        ResourceRecord fixed = Broadcast(u"Camera", u"12@192.168.1.20");
        fixed.authMethod = AuthMethod::Internal;
        fixed.userGroups = AllUsers;
        catalogue.InsertResourceItem(fixed);

        ResourceRecord relay = Broadcast(u"Relay", u"vtr://upstream:8080/news");
        relay.authMethod = static_cast<AuthMethod>(9);  // unknown: shown as internal
        relay.userGroups = MediumUsers;
        catalogue.InsertResourceItem(relay);
    }

    CatalogueItem& Child(CatalogueItem& branch, std::u16string_view name) {
        for (const auto& child : branch.Children()) {
            if (child->Record().name == name) {
                return *child;
            }
        }
        ADD_FAILURE() << "no such child";
        return branch;
    }

    Catalogue catalogue;
    ContentsList list;
};

TEST(ResourceSelection, RootListsTheTwoBranchesWithEmptyColumns) {
    Fixture f;
    ShowSelection(&f.catalogue.Root(), AuthMethod::Internal, f.list);

    ASSERT_EQ(f.list.RowCount(), 2u);
    const ContentsRow& files = f.list.Row(0);
    const ContentsRow& live = f.list.Row(1);
    EXPECT_EQ(Texts(files), (std::vector<std::u16string>{u"File resources", u"", u"", u""}));
    EXPECT_EQ(Texts(live), (std::vector<std::u16string>{u"Live broadcasts", u"", u"", u""}));
    EXPECT_EQ(files.imageIndex, FileResourcesImage);
    EXPECT_EQ(live.imageIndex, LiveBroadcastsImage);
    EXPECT_EQ(files.kind, ContentsRowKind::TreeItem);
    EXPECT_EQ(files.item, &f.catalogue.FileResources());
    EXPECT_EQ(live.item, &f.catalogue.LiveBroadcasts());
}

TEST(ResourceSelection, FileResourcesListsEachFolderInTreeOrder) {
    Fixture f;
    CatalogueItem& branch = f.catalogue.FileResources();
    ShowSelection(&branch, AuthMethod::Internal, f.list);

    // Tree order is the sorted display text: "Archive", "lectures", "Music (disabled)".
    ASSERT_EQ(f.list.RowCount(), 3u);
    EXPECT_EQ(Texts(f.list.Row(0)),
              (std::vector<std::u16string>{u"Archive", u"/srv/archive", u"Anonymous access", u""}));
    EXPECT_EQ(Texts(f.list.Row(1)),
              (std::vector<std::u16string>{u"lectures", u"/srv/media/lectures",
                                           u"Internal authentication. ", u""}));
    // The disabled folder under its bare name; inherit resolved with the default (internal)
    // and the folder's own groups.
    EXPECT_EQ(Texts(f.list.Row(2)),
              (std::vector<std::u16string>{u"Music", u"/srv/media/music",
                                           u"Internal authentication. Basic and advanced users",
                                           u"All the albums"}));
    for (std::size_t row = 0; row < 3; ++row) {
        EXPECT_EQ(f.list.Row(row).kind, ContentsRowKind::TreeItem);
        EXPECT_EQ(f.list.Row(row).imageIndex, VirtualFolderImage);
        EXPECT_EQ(f.list.Row(row).item, branch.Children()[row].get());
    }

    // The default is read when the list is filled, not remembered from an earlier listing.
    ShowSelection(&branch, AuthMethod::Anonymous, f.list);
    EXPECT_EQ(f.list.Row(2).Text(ContentsColumn::Accessibility), u"Anonymous access");
}

TEST(ResourceSelection, LiveBroadcastsShowDynamicOrTheirSource) {
    Fixture f;
    ShowSelection(&f.catalogue.LiveBroadcasts(), AuthMethod::Anonymous, f.list);

    ASSERT_EQ(f.list.RowCount(), 3u);
    EXPECT_EQ(Texts(f.list.Row(0)),
              (std::vector<std::u16string>{u"Camera", u"12@192.168.1.20",
                                           u"Internal authentication. All users", u""}));
    EXPECT_EQ(Texts(f.list.Row(1)),
              (std::vector<std::u16string>{u"Relay", u"vtr://upstream:8080/news",
                                           u"Internal authentication. Medium users", u""}));
    EXPECT_EQ(Texts(f.list.Row(2)),
              (std::vector<std::u16string>{u"Studio", u"Dynamic", u"Session-based authentication",
                                           u"Live from the studio"}));
    EXPECT_EQ(f.list.Row(2).imageIndex, LiveBroadcastImage);

    // A selected broadcast lists itself once, as the row that opens its editor.
    CatalogueItem& studio = f.Child(f.catalogue.LiveBroadcasts(), u"Studio");
    ShowSelection(&studio, AuthMethod::Anonymous, f.list);
    ASSERT_EQ(f.list.RowCount(), 1u);
    EXPECT_EQ(f.list.Row(0).kind, ContentsRowKind::SelectedLiveBroadcast);
    EXPECT_EQ(f.list.Row(0).item, nullptr);
    EXPECT_EQ(f.list.Row(0).imageIndex, LiveBroadcastImage);
    EXPECT_EQ(Texts(f.list.Row(0)),
              (std::vector<std::u16string>{u"Studio", u"Dynamic", u"Session-based authentication",
                                           u"Live from the studio"}));
}

TEST(ResourceSelection, EveryNewSelectionStartsANewListing) {
    Fixture f;
    ShowSelection(&f.catalogue.FileResources(), AuthMethod::Internal, f.list);
    const std::uint64_t before = f.list.Listing();

    // A virtual folder's own listing comes from its folder on disk; until then it is empty.
    ShowSelection(&f.Child(f.catalogue.FileResources(), u"Music"), AuthMethod::Internal, f.list);
    EXPECT_EQ(f.list.RowCount(), 0u);
    EXPECT_GT(f.list.Listing(), before);

    ShowSelection(&f.catalogue.Root(), AuthMethod::Internal, f.list);
    const std::uint64_t root = f.list.Listing();
    ShowSelection(nullptr, AuthMethod::Internal, f.list);
    EXPECT_EQ(f.list.RowCount(), 0u);
    EXPECT_GT(f.list.Listing(), root);

    // An empty branch lists nothing.
    Catalogue empty;
    ShowSelection(&empty.LiveBroadcasts(), AuthMethod::Internal, f.list);
    EXPECT_EQ(f.list.RowCount(), 0u);
}

TEST(ResourceSelection, DoubleClickDecisions) {
    Fixture f;
    ShowSelection(&f.catalogue.Root(), AuthMethod::Internal, f.list);
    RowActivation branch = ActivateRow(f.list, 1);
    EXPECT_EQ(branch.action, RowActivation::Action::SelectItem);
    EXPECT_EQ(branch.item, &f.catalogue.LiveBroadcasts());

    ShowSelection(&f.catalogue.FileResources(), AuthMethod::Internal, f.list);
    RowActivation folder = ActivateRow(f.list, 2);
    EXPECT_EQ(folder.action, RowActivation::Action::SelectItem);
    EXPECT_EQ(folder.item, &f.Child(f.catalogue.FileResources(), u"Music"));

    ShowSelection(&f.Child(f.catalogue.LiveBroadcasts(), u"Camera"), AuthMethod::Internal, f.list);
    RowActivation edit = ActivateRow(f.list, 0);
    EXPECT_EQ(edit.action, RowActivation::Action::Command);
    EXPECT_EQ(edit.command, 205);
    EXPECT_EQ(edit.parameter, -1);
    EXPECT_EQ(edit.item, nullptr);

    // Past the last row, and the folder view's rows, are not this list's to handle.
    EXPECT_EQ(ActivateRow(f.list, 1).action, RowActivation::Action::None);
    ContentsList folderView;
    for (ContentsRowKind kind :
         {ContentsRowKind::File, ContentsRowKind::Subfolder, ContentsRowKind::Up}) {
        ContentsRow row;
        row.kind = kind;
        folderView.Append(row);
    }
    folderView.Append(ContentsRow{});  // a tree-item row that lost its item
    for (std::size_t row = 0; row < folderView.RowCount(); ++row) {
        EXPECT_EQ(ActivateRow(folderView, row).action, RowActivation::Action::None) << row;
    }
}

}  // namespace
}  // namespace vantor
