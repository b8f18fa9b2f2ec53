#include "ui/resource_selection.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "config/catalogue.h"

namespace vantor {
namespace {

using Texts = std::vector<std::u16string>;

ResourceRecord Resource(ResourceKind kind, std::u16string name, std::u16string source,
                        AuthMethod authMethod, UserGroups groups = 0,
                        std::u16string description = {}) {
    ResourceRecord record;
    record.kind = kind;
    record.name = std::move(name);
    record.source = std::move(source);
    record.authMethod = authMethod;
    record.userGroups = groups;
    record.description = std::move(description);
    return record;
}

// A catalogue with the cases the list has to get right (the texts' own rules are tested with
// resource_texts.h). Tree order: Archive, "Music (disabled)"; Camera, Studio.
struct Fixture {
    Fixture() {
        ResourceRecord music =
            Resource(ResourceKind::VirtualFolder, u"Music", u"/srv/media/music",
                     AuthMethod::InheritDefault, BasicUsers | AdvancedUsers, u"All the albums");
        music.enabled = false;
        catalogue.InsertResourceItem(music);
        catalogue.InsertResourceItem(Resource(ResourceKind::VirtualFolder, u"Archive",
                                              u"/srv/archive", AuthMethod::Anonymous));
        catalogue.InsertResourceItem(
            Resource(ResourceKind::LiveBroadcast, u"Studio", u"0@9f86d081884c7d659a2feaa0c55ad015",
                     AuthMethod::SessionBased, 0, u"Live from the studio"));
        catalogue.InsertResourceItem(Resource(ResourceKind::LiveBroadcast, u"Camera",
                                              u"12@192.168.1.20", AuthMethod::Internal, AllUsers));
    }

    Texts Row(std::size_t row) const {
        return {list.Row(row).texts.begin(), list.Row(row).texts.end()};
    }
    CatalogueItem& Folder(std::size_t row) { return *catalogue.FileResources().Children()[row]; }
    CatalogueItem& Live(std::size_t row) { return *catalogue.LiveBroadcasts().Children()[row]; }

    Catalogue catalogue;
    ContentsList list;
};

TEST(ResourceSelection, RootAndBranchesListTheirChildrenInTreeOrder) {
    Fixture f;
    ShowSelection(&f.catalogue.Root(), AuthMethod::Internal, f.list);
    ASSERT_EQ(f.list.RowCount(), 2u);
    EXPECT_EQ(f.Row(0), (Texts{u"File resources", u"", u"", u""}));
    EXPECT_EQ(f.Row(1), (Texts{u"Live broadcasts", u"", u"", u""}));
    EXPECT_EQ(f.list.Row(0).imageIndex, FileResourcesImage);
    EXPECT_EQ(f.list.Row(1).imageIndex, LiveBroadcastsImage);
    EXPECT_EQ(f.list.Row(0).kind, ContentsRowKind::TreeItem);
    EXPECT_EQ(f.list.Row(0).item, &f.catalogue.FileResources());
    EXPECT_EQ(f.list.Row(1).item, &f.catalogue.LiveBroadcasts());

    ShowSelection(&f.catalogue.FileResources(), AuthMethod::Internal, f.list);
    ASSERT_EQ(f.list.RowCount(), 2u);
    EXPECT_EQ(f.Row(0), (Texts{u"Archive", u"/srv/archive", u"Anonymous access", u""}));
    // The disabled folder under its bare name; inherit resolved with the default (internal)
    // and the folder's own groups.
    EXPECT_EQ(f.Row(1),
              (Texts{u"Music", u"/srv/media/music",
                     u"Internal authentication. Basic and advanced users", u"All the albums"}));
    for (std::size_t row = 0; row < 2; ++row) {
        EXPECT_EQ(f.list.Row(row).kind, ContentsRowKind::TreeItem);
        EXPECT_EQ(f.list.Row(row).imageIndex, VirtualFolderImage);
        EXPECT_EQ(f.list.Row(row).item, &f.Folder(row));
    }
    // The default is read when the list is filled, not remembered from an earlier listing.
    ShowSelection(&f.catalogue.FileResources(), AuthMethod::Anonymous, f.list);
    EXPECT_EQ(f.list.Row(1).Text(ContentsColumn::Accessibility), u"Anonymous access");

    ShowSelection(&f.catalogue.LiveBroadcasts(), AuthMethod::Anonymous, f.list);
    ASSERT_EQ(f.list.RowCount(), 2u);
    EXPECT_EQ(f.Row(0),
              (Texts{u"Camera", u"12@192.168.1.20", u"Internal authentication. All users", u""}));
    const Texts studio{u"Studio", u"Dynamic", u"Session-based authentication",
                       u"Live from the studio"};
    EXPECT_EQ(f.Row(1), studio);
    EXPECT_EQ(f.list.Row(1).imageIndex, LiveBroadcastImage);

    // A selected broadcast lists itself once, as the row that opens its editor.
    ShowSelection(&f.Live(1), AuthMethod::Anonymous, f.list);
    ASSERT_EQ(f.list.RowCount(), 1u);
    EXPECT_EQ(f.Row(0), studio);
    EXPECT_EQ(f.list.Row(0).kind, ContentsRowKind::SelectedLiveBroadcast);
    EXPECT_EQ(f.list.Row(0).item, nullptr);
    EXPECT_EQ(f.list.Row(0).imageIndex, LiveBroadcastImage);
}

TEST(ResourceSelection, EveryNewSelectionStartsANewListing) {
    Fixture f;
    ShowSelection(&f.catalogue.FileResources(), AuthMethod::Internal, f.list);
    const std::uint64_t before = f.list.Listing();
    // A virtual folder's own listing comes from its folder on disk; until then it is empty.
    ShowSelection(&f.Folder(1), AuthMethod::Internal, f.list);
    EXPECT_EQ(f.list.RowCount(), 0u);
    EXPECT_GT(f.list.Listing(), before);

    ShowSelection(&f.catalogue.Root(), AuthMethod::Internal, f.list);
    const std::uint64_t root = f.list.Listing();
    ShowSelection(nullptr, AuthMethod::Internal, f.list);
    EXPECT_EQ(f.list.RowCount(), 0u);
    EXPECT_GT(f.list.Listing(), root);

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
    RowActivation folder = ActivateRow(f.list, 1);
    EXPECT_EQ(folder.action, RowActivation::Action::SelectItem);
    EXPECT_EQ(folder.item, &f.Folder(1));

    ShowSelection(&f.Live(0), AuthMethod::Internal, f.list);
    RowActivation edit = ActivateRow(f.list, 0);
    EXPECT_EQ(edit.action, RowActivation::Action::Command);
    EXPECT_EQ(edit.command, 205);
    EXPECT_EQ(edit.parameter, -1);
    EXPECT_EQ(edit.item, nullptr);

    // Past the last row, the folder view's rows and a tree-item row that lost its item are
    // not this list's to handle.
    EXPECT_EQ(ActivateRow(f.list, 1).action, RowActivation::Action::None);
    ContentsList folderView;
    for (ContentsRowKind kind : {ContentsRowKind::File, ContentsRowKind::Subfolder,
                                 ContentsRowKind::Up, ContentsRowKind::TreeItem}) {
        ContentsRow row;
        row.kind = kind;
        folderView.Append(row);
    }
    for (std::size_t row = 0; row < folderView.RowCount(); ++row) {
        EXPECT_EQ(ActivateRow(folderView, row).action, RowActivation::Action::None) << row;
    }
}

}  // namespace
}  // namespace vantor
