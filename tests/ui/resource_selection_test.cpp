#include "ui/resource_selection.h"

#include <array>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "config/catalogue.h"

namespace vantor {
namespace {

using Texts = std::array<std::u16string, ContentsColumnCount>;
using Rows = std::vector<std::tuple<ContentsRowKind, const CatalogueItem*, std::uint32_t, Texts>>;
constexpr auto TreeItem = ContentsRowKind::TreeItem;

// A catalogue with the cases the list has to get right (the texts' own rules are tested with
// resource_texts.h). Tree order: Archive, "Music (disabled)"; Studio.
struct Fixture {
    Fixture() {
        Add(ResourceKind::VirtualFolder, u"Music", u"/srv/music", AuthMethod::InheritDefault,
            BasicUsers | AdvancedUsers, u"All the albums", false);
        Add(ResourceKind::VirtualFolder, u"Archive", u"/srv/archive", AuthMethod::Anonymous);
        Add(ResourceKind::LiveBroadcast, u"Studio", u"0@9f86d081884c7d659a2feaa0c55ad015",
            AuthMethod::SessionBased, 0, u"Live from the studio");
    }
    void Add(ResourceKind kind, std::u16string name, std::u16string source, AuthMethod authMethod,
             UserGroups groups = 0, std::u16string description = {}, bool enabled = true) {
        ResourceRecord record;
        record.kind = kind;
        record.name = std::move(name);
        record.source = std::move(source);
        record.authMethod = authMethod;
        record.userGroups = groups;
        record.description = std::move(description);
        record.enabled = enabled;
        ASSERT_NE(catalogue.InsertResourceItem(record), nullptr);
    }
    Rows Show(CatalogueItem* selected, AuthMethod defaultAuthMethod) {
        ShowSelection(selected, defaultAuthMethod, list);
        Rows rows;
        for (const ContentsRow& row : list.Rows()) {
            rows.emplace_back(row.kind, row.item, row.imageIndex, row.texts);
        }
        return rows;
    }
    CatalogueItem& Folder(std::size_t row) { return *catalogue.FileResources().Children()[row]; }

    Catalogue catalogue;
    ContentsList list;
};

TEST(ResourceSelection, EachSelectionListsItsChildrenOrItself) {
    Fixture f;
    Catalogue& c = f.catalogue;
    const Texts files{u"File resources"}, live{u"Live broadcasts"};
    EXPECT_EQ(f.Show(&c.Root(), AuthMethod::Internal),
              (Rows{{TreeItem, &c.FileResources(), FileResourcesImage, files},
                    {TreeItem, &c.LiveBroadcasts(), LiveBroadcastsImage, live}}));
    // The disabled folder under its bare name; inherit resolved with the default (internal)
    // and the folder's own groups.
    const Texts archive{u"Archive", u"/srv/archive", u"Anonymous access", u""};
    const Texts music{u"Music", u"/srv/music", u"Internal authentication. Basic and advanced users",
                      u"All the albums"};
    EXPECT_EQ(f.Show(&c.FileResources(), AuthMethod::Internal),
              (Rows{{TreeItem, &f.Folder(0), VirtualFolderImage, archive},
                    {TreeItem, &f.Folder(1), VirtualFolderImage, music}}));
    // The default is read when the list is filled, not remembered from an earlier listing.
    EXPECT_EQ(std::get<Texts>(f.Show(&c.FileResources(), AuthMethod::Anonymous).at(1))[2],
              u"Anonymous access");
    // A selected broadcast lists itself once, as the row that opens its editor.
    const Texts studio{u"Studio", u"Dynamic", u"Session-based authentication",
                       u"Live from the studio"};
    EXPECT_EQ(
        f.Show(c.LiveBroadcasts().Children()[0].get(), AuthMethod::Anonymous),
        (Rows{{ContentsRowKind::SelectedLiveBroadcast, nullptr, LiveBroadcastImage, studio}}));
}

TEST(ResourceSelection, EveryNewSelectionStartsANewListing) {
    Fixture f;
    Catalogue empty;
    std::uint64_t last = f.list.Listing();
    std::vector<std::size_t> sizes;
    for (CatalogueItem* selected :
         std::vector<CatalogueItem*>{&f.catalogue.FileResources(), &f.Folder(1),
                                     &f.catalogue.Root(), nullptr, &empty.LiveBroadcasts()}) {
        sizes.push_back(f.Show(selected, AuthMethod::Internal).size());
        EXPECT_GT(f.list.Listing(), last);
        last = f.list.Listing();
    }
    // A virtual folder's own listing comes from its folder on disk; until then it is empty.
    EXPECT_EQ(sizes, (std::vector<std::size_t>{2, 0, 2, 0, 0}));
    // (Selecting and editing are tested on the window.) A folder view's rows are not this
    // list's to handle.
    ContentsRow file;
    file.kind = ContentsRowKind::File;
    f.list.Replace({file});
    EXPECT_EQ(ActivateRow(f.list, 0).action, RowActivation::Action::None);
    EXPECT_EQ(ActivateRow(f.list, 1).action, RowActivation::Action::None);
}

}  // namespace
}  // namespace vantor
