#pragma once

#include <compare>
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "config/name_collator.h"
#include "config/resource_record.h"

namespace vantor {

// One item of the resource tree: the record it shows and the text it shows it with. The item
// owns its record; both live until the item is removed.
class CatalogueItem {
public:
    ResourceRecord& Record() { return record_; }
    const ResourceRecord& Record() const { return record_; }
    const std::u16string& Text() const { return text_; }
    CatalogueItem* Parent() const { return parent_; }
    const std::vector<std::unique_ptr<CatalogueItem>>& Children() const { return children_; }
    // Position among the parent's children (0 for the root).
    std::size_t Row() const;

private:
    friend class Catalogue;
    CatalogueItem(ResourceRecord record, std::u16string text, CatalogueItem* parent)
        : record_(std::move(record)), text_(std::move(text)), parent_(parent) {}

    ResourceRecord record_;
    std::u16string text_;
    CatalogueItem* parent_;
    std::vector<std::unique_ptr<CatalogueItem>> children_;
};

// Told about every structural change, so a view (a Qt item model) can follow the catalogue.
// Each Before* call is followed by the matching After* call once the change is made.
class CatalogueObserver {
public:
    virtual ~CatalogueObserver() = default;
    virtual void BeforeInsert(const CatalogueItem& parent, std::size_t row) = 0;
    virtual void AfterInsert() = 0;
    virtual void BeforeRemove(const CatalogueItem& parent, std::size_t row) = 0;
    virtual void AfterRemove() = 0;
    virtual void TextChanged(const CatalogueItem& item) = 0;
    virtual void BeforeReset() = 0;
    virtual void AfterReset() = 0;
};

// The catalogue of published resources as an ordered tree: the root "Media Server" with the
// branches "File resources" and "Live broadcasts", each holding its resources. A resource is
// placed by its display text when it is inserted and stays there when its text changes later.
class Catalogue {
public:
    // Builds the three fixed items; resources sort in the collator's order (by default the
    // user's collation locale, see NameCollator).
    explicit Catalogue(NameCollator collator = NameCollator());
    Catalogue(const Catalogue&) = delete;
    Catalogue& operator=(const Catalogue&) = delete;

    CatalogueItem& Root() { return *root_; }
    const CatalogueItem& Root() const { return *root_; }
    CatalogueItem& FileResources() { return *root_->children_[0]; }
    const CatalogueItem& FileResources() const { return *root_->children_[0]; }
    CatalogueItem& LiveBroadcasts() { return *root_->children_[1]; }
    const CatalogueItem& LiveBroadcasts() const { return *root_->children_[1]; }
    // The branch that holds records of this kind, or nullptr for the fixed kinds.
    CatalogueItem* BranchFor(ResourceKind kind);
    const CatalogueItem* BranchFor(ResourceKind kind) const;

    // Inserts the record under its branch before the first sibling whose text compares greater
    // (so equal texts keep their insertion order), with the display text and the branch's
    // resource image. nullptr, and nothing inserted, for a kind other than the two stored ones.
    CatalogueItem* InsertResourceItem(ResourceRecord record);
    // The result of inserting each record in turn, in O(n log n) when the branches start empty
    // (as they do while a file is loaded). Records of other kinds are skipped. Announced to the
    // observer as one reset.
    void InsertLoaded(std::vector<ResourceRecord> records);
    // Replaces an item's text in place; the item is not moved.
    void SetItemText(CatalogueItem& item, std::u16string text);
    // Removes a resource item and its record. Fixed items are never removed.
    void RemoveItem(CatalogueItem& item);
    // Back to the three fixed items alone.
    void Clear();
    // Clear, then InsertLoaded, announced as one reset: a view keeps nothing of the old items.
    void Reload(std::vector<ResourceRecord> records);

    // The tree's sort order: the display texts in the collator's order, letter case ignored.
    std::weak_ordering CompareDisplayText(std::u16string_view a, std::u16string_view b) const {
        return collator_.Compare(a, b);
    }

    // True when a resource of either branch has this name, ignoring ASCII letter case.
    bool ResourceNameExists(std::u16string_view name) const;

    void SetObserver(CatalogueObserver* observer) { observer_ = observer; }

private:
    // A new, not yet attached item for a resource record under this branch.
    static std::unique_ptr<CatalogueItem> MakeResourceItem(ResourceRecord record,
                                                           CatalogueItem& branch);
    // Where a text goes among the branch's children: before the first one that compares greater.
    std::size_t InsertionRow(const CatalogueItem& branch, std::u16string_view text) const;

    NameCollator collator_;
    std::unique_ptr<CatalogueItem> root_;
    CatalogueObserver* observer_ = nullptr;
};

}  // namespace vantor
