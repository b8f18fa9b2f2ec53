#include "config/catalogue.h"

#include <algorithm>
#include <utility>

#include "config/ascii_case.h"
#include "config/resource_texts.h"

namespace vantor {

namespace {

ResourceRecord FixedRecord(ResourceKind kind, std::u16string_view name, std::uint32_t image) {
    ResourceRecord record;
    record.kind = kind;
    record.authMethod = AuthMethod::None;
    record.name = name;
    record.imageIndex = image;
    record.playTimeLimit = 0;
    return record;
}

bool IsResourceKind(ResourceKind kind) {
    return kind == ResourceKind::VirtualFolder || kind == ResourceKind::LiveBroadcast;
}

// Lower-case partner of a non-ASCII upper-case letter of the scripts administrators are likely
// to name resources in; everything else maps to itself.
char16_t FoldNonAscii(char16_t c) {
    auto plus = [c](int delta) { return static_cast<char16_t>(c + delta); };
    if (c < 0x100) {  // Latin-1 Supplement; U+00D7 is the multiplication sign
        return c >= 0xC0 && c <= 0xDE && c != 0xD7 ? plus(0x20) : c;
    }
    if (c < 0x180) {  // Latin Extended-A: upper/lower pairs, with a few lone letters between
        if (c == 0x178) {
            return 0xFF;  // Y with diaeresis, whose small letter is in Latin-1
        }
        if ((c <= 0x12F) || (c >= 0x132 && c <= 0x137) || (c >= 0x14A && c <= 0x177)) {
            return static_cast<char16_t>(c | 1);  // upper case on the even code point
        }
        if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E)) {
            return c & 1 ? plus(1) : c;  // upper case on the odd code point
        }
        return c;
    }
    if (c >= 0x386 && c <= 0x3C2) {  // Greek
        if (c >= 0x391 && c <= 0x3AB && c != 0x3A2) {
            return plus(0x20);
        }
        switch (c) {
            case 0x386:
                return 0x3AC;
            case 0x388:
            case 0x389:
            case 0x38A:
                return plus(0x25);
            case 0x38C:
                return 0x3CC;
            case 0x38E:
            case 0x38F:
                return plus(0x3F);
            case 0x3C2:
                return 0x3C3;  // final sigma sorts as sigma
            default:
                return c;
        }
    }
    if (c >= 0x400 && c <= 0x4BF) {  // Cyrillic
        if (c <= 0x40F) {
            return plus(0x50);
        }
        if (c <= 0x42F) {
            return plus(0x20);
        }
        if ((c >= 0x460 && c <= 0x481) || c >= 0x48A) {
            return static_cast<char16_t>(c | 1);
        }
        return c;
    }
    return c;
}

inline char16_t FoldCase(char16_t c) {
    return c < 0x80 ? AsciiLower(c) : FoldNonAscii(c);
}

}  // namespace

std::size_t CatalogueItem::Row() const {
    if (parent_ == nullptr) {
        return 0;
    }
    const auto& siblings = parent_->children_;
    for (std::size_t row = 0; row < siblings.size(); ++row) {
        if (siblings[row].get() == this) {
            return row;
        }
    }
    return 0;
}

// Sorting by display text must give the same order on every machine, whatever the user's locale,
// so it is a plain code-unit comparison after case folding. ASCII letters fold A-Z to a-z, so
// "a b" < "a1" < "ab" and "Music" equals "music" (equal texts keep their insertion order).
// Beyond ASCII, the upper-case letters of Latin-1 Supplement (U+00C0-U+00DE but U+00D7), of Latin
// Extended-A (its upper/lower pairs, and U+0178 to U+00FF), of Greek (U+0391-U+03AB to +0x20, the
// accented capitals U+0386-U+038F to their small letters, final sigma to sigma) and of Cyrillic
// (U+0410-U+042F to +0x20, U+0400-U+040F to +0x50, the pairs U+0460-U+0481 and U+048A-U+04BF)
// fold to lower case; other code units, surrogates included, stand for themselves. Since every
// code unit folds to exactly one code unit, this is a lexicographic order on the folded texts and
// hence a strict weak ordering. Accented letters sort after the unaccented alphabet of their
// script (by code point), which is predictable if not dictionary order.
std::weak_ordering CompareDisplayText(std::u16string_view a, std::u16string_view b) {
    const std::size_t common = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < common; ++i) {
        char16_t x = a[i];
        char16_t y = b[i];
        if (x == y) {
            continue;
        }
        x = FoldCase(x);
        y = FoldCase(y);
        if (x != y) {
            return x < y ? std::weak_ordering::less : std::weak_ordering::greater;
        }
    }
    return a.size() <=> b.size();
}

Catalogue::Catalogue() {
    root_.reset(
        new CatalogueItem(FixedRecord(ResourceKind::ServerRoot, MediaServerName, ServerRootImage),
                          std::u16string(MediaServerName), nullptr));
    root_->children_.emplace_back(new CatalogueItem(
        FixedRecord(ResourceKind::FileResourcesBranch, FileResourcesName, FileResourcesImage),
        std::u16string(FileResourcesName), root_.get()));
    root_->children_.emplace_back(new CatalogueItem(
        FixedRecord(ResourceKind::LiveBroadcastsBranch, LiveBroadcastsName, LiveBroadcastsImage),
        std::u16string(LiveBroadcastsName), root_.get()));
}

CatalogueItem* Catalogue::BranchFor(ResourceKind kind) {
    return const_cast<CatalogueItem*>(std::as_const(*this).BranchFor(kind));
}

const CatalogueItem* Catalogue::BranchFor(ResourceKind kind) const {
    switch (kind) {
        case ResourceKind::VirtualFolder:
            return &FileResources();
        case ResourceKind::LiveBroadcast:
            return &LiveBroadcasts();
        default:
            return nullptr;
    }
}

std::unique_ptr<CatalogueItem> Catalogue::MakeResourceItem(ResourceRecord record,
                                                           CatalogueItem& branch) {
    record.imageIndex =
        record.kind == ResourceKind::VirtualFolder ? VirtualFolderImage : LiveBroadcastImage;
    std::u16string text = DisplayText(record);
    return std::unique_ptr<CatalogueItem>(
        new CatalogueItem(std::move(record), std::move(text), &branch));
}

std::size_t Catalogue::InsertionRow(const CatalogueItem& branch, std::u16string_view text) {
    // A linear scan, not a binary search: after renames the siblings need not be in order, and
    // the new item still goes before the first greater one.
    const auto& siblings = branch.children_;
    std::size_t row = 0;
    while (row < siblings.size() && CompareDisplayText(siblings[row]->text_, text) <= 0) {
        ++row;
    }
    return row;
}

CatalogueItem* Catalogue::InsertResourceItem(ResourceRecord record) {
    CatalogueItem* branch = BranchFor(record.kind);
    if (branch == nullptr) {
        return nullptr;
    }
    std::unique_ptr<CatalogueItem> item = MakeResourceItem(std::move(record), *branch);
    const std::size_t row = InsertionRow(*branch, item->text_);
    if (observer_ != nullptr) {
        observer_->BeforeInsert(*branch, row);
    }
    CatalogueItem* inserted = item.get();
    branch->children_.insert(branch->children_.begin() + static_cast<std::ptrdiff_t>(row),
                             std::move(item));
    if (observer_ != nullptr) {
        observer_->AfterInsert();
    }
    return inserted;
}

namespace {

// A sort handle for one loaded item: the first folded code units of its text packed into
// integers (first unit in the highest bits, missing units as 0) so that most comparisons are a
// few integer compares with no pointer chased. A unit folds to 0 only when it is 0, and a text
// that ends before the other is the smaller one, so "keys less" implies "texts less"; equal keys
// fall back to the full comparison. Twelve units get past most of the shared prefixes names often
// have ("Concert 2019 ...").
struct LoadedSortEntry {
    static constexpr std::size_t KeyWords = 3;
    static constexpr std::size_t KeyUnits = KeyWords * 4;

    std::uint64_t key[KeyWords];
    const char16_t* text;
    std::uint32_t size;
    std::uint32_t index;  // arrival order, which decides between equal texts
};

LoadedSortEntry MakeSortEntry(std::u16string_view text, std::size_t index) {
    LoadedSortEntry entry{{},
                          text.data(),
                          static_cast<std::uint32_t>(text.size()),
                          static_cast<std::uint32_t>(index)};
    const std::size_t units = std::min(text.size(), LoadedSortEntry::KeyUnits);
    for (std::size_t i = 0; i < units; ++i) {
        entry.key[i / 4] |= std::uint64_t{FoldCase(text[i])} << (48 - 16 * (i % 4));
    }
    return entry;
}

bool SortsBefore(const LoadedSortEntry& a, const LoadedSortEntry& b) {
    for (std::size_t i = 0; i < LoadedSortEntry::KeyWords; ++i) {
        if (a.key[i] != b.key[i]) {
            return a.key[i] < b.key[i];
        }
    }
    // Equal keys with both texts at least as long as the key mean equal folded prefixes, so the
    // rest decides (lengths compare the same with the prefix taken off).
    const std::size_t skip =
        a.size >= LoadedSortEntry::KeyUnits && b.size >= LoadedSortEntry::KeyUnits
            ? LoadedSortEntry::KeyUnits
            : 0;
    const std::weak_ordering order =
        CompareDisplayText(std::u16string_view(a.text + skip, a.size - skip),
                           std::u16string_view(b.text + skip, b.size - skip));
    if (order != 0) {
        return order < 0;
    }
    return a.index < b.index;
}

// The entries in SortsBefore order: first distributed by their first folded unit (a stable
// counting sort), then each run of equal first units sorted on its own, which saves most of the
// comparisons of one big sort.
std::unique_ptr<LoadedSortEntry[]> SortLoaded(const std::vector<LoadedSortEntry>& entries) {
    auto sorted = std::make_unique_for_overwrite<LoadedSortEntry[]>(entries.size());
    if (entries.size() < 4096) {  // not worth the counting
        std::copy(entries.begin(), entries.end(), sorted.get());
        std::sort(sorted.get(), sorted.get() + entries.size(), SortsBefore);
        return sorted;
    }
    auto firstUnit = [](const LoadedSortEntry& entry) {
        return static_cast<std::size_t>(entry.key[0] >> 48);
    };
    std::vector<std::uint32_t> starts(0x10000 + 1, 0);
    for (const LoadedSortEntry& entry : entries) {
        ++starts[firstUnit(entry) + 1];
    }
    for (std::size_t unit = 0; unit < 0x10000; ++unit) {
        starts[unit + 1] += starts[unit];
    }
    std::vector<std::uint32_t> next(starts.begin(), starts.end() - 1);
    for (const LoadedSortEntry& entry : entries) {
        sorted[next[firstUnit(entry)]++] = entry;
    }
    for (std::size_t unit = 0; unit < 0x10000; ++unit) {
        std::sort(sorted.get() + starts[unit], sorted.get() + starts[unit + 1], SortsBefore);
    }
    return sorted;
}

}  // namespace

void Catalogue::InsertLoaded(std::vector<ResourceRecord> records) {
    CatalogueItem* branches[] = {&FileResources(), &LiveBroadcasts()};
    std::vector<std::unique_ptr<CatalogueItem>> added[2];
    // Sort handles, for a branch that starts empty (as both do while a file is loaded).
    std::vector<LoadedSortEntry> entries[2];
    const bool sortAll[2] = {branches[0]->children_.empty(), branches[1]->children_.empty()};
    std::size_t counts[2] = {0, 0};
    for (const ResourceRecord& record : records) {
        if (IsResourceKind(record.kind)) {
            ++counts[record.kind == ResourceKind::VirtualFolder ? 0 : 1];
        }
    }
    for (int which = 0; which < 2; ++which) {
        added[which].reserve(counts[which]);
        if (sortAll[which]) {
            entries[which].reserve(counts[which]);
        }
    }
    for (ResourceRecord& record : records) {
        if (!IsResourceKind(record.kind)) {
            continue;
        }
        const int which = record.kind == ResourceKind::VirtualFolder ? 0 : 1;
        // As MakeResourceItem does, but the record is moved straight into place, once.
        record.imageIndex = which == 0 ? VirtualFolderImage : LiveBroadcastImage;
        CatalogueItem* item =
            new CatalogueItem(ResourceRecord{}, DisplayText(record), branches[which]);
        added[which].emplace_back(item);
        item->record_ = std::move(record);
        if (sortAll[which]) {
            // While the text is still in the cache.
            entries[which].push_back(MakeSortEntry(item->text_, added[which].size() - 1));
        }
    }
    records = {};  // moved-from shells; free them before the sort needs memory
    if (added[0].empty() && added[1].empty()) {
        return;
    }
    if (observer_ != nullptr) {
        observer_->BeforeReset();
    }
    for (int which = 0; which < 2; ++which) {
        auto& children = branches[which]->children_;
        if (sortAll[which]) {
            // Inserting before the first greater sibling keeps a list sorted with equal texts in
            // arrival order, which is exactly what a stable sort gives; the arrival index as the
            // last key makes an unstable sort of small handles do the same, faster.
            const std::unique_ptr<LoadedSortEntry[]> sorted = SortLoaded(entries[which]);
            children.reserve(entries[which].size());
            for (std::size_t i = 0; i < entries[which].size(); ++i) {
                children.push_back(std::move(added[which][sorted[i].index]));
            }
        } else {
            for (auto& item : added[which]) {
                const std::size_t row = InsertionRow(*branches[which], item->text_);
                children.insert(children.begin() + static_cast<std::ptrdiff_t>(row),
                                std::move(item));
            }
        }
    }
    if (observer_ != nullptr) {
        observer_->AfterReset();
    }
}

void Catalogue::SetItemText(CatalogueItem& item, std::u16string text) {
    item.text_ = std::move(text);
    if (observer_ != nullptr) {
        observer_->TextChanged(item);
    }
}

void Catalogue::RemoveItem(CatalogueItem& item) {
    CatalogueItem* parent = item.parent_;
    if (parent != &FileResources() && parent != &LiveBroadcasts()) {
        return;  // a fixed item, or one that is not ours
    }
    auto& siblings = parent->children_;
    const auto found = std::find_if(siblings.begin(), siblings.end(),
                                    [&item](const auto& child) { return child.get() == &item; });
    if (found == siblings.end()) {
        return;
    }
    const auto row = static_cast<std::size_t>(found - siblings.begin());
    if (observer_ != nullptr) {
        observer_->BeforeRemove(*parent, row);
    }
    siblings.erase(found);
    if (observer_ != nullptr) {
        observer_->AfterRemove();
    }
}

void Catalogue::Clear() {
    if (observer_ != nullptr) {
        observer_->BeforeReset();
    }
    FileResources().children_.clear();
    LiveBroadcasts().children_.clear();
    if (observer_ != nullptr) {
        observer_->AfterReset();
    }
}

void Catalogue::Reload(std::vector<ResourceRecord> records) {
    CatalogueObserver* observer = std::exchange(observer_, nullptr);
    if (observer != nullptr) {
        observer->BeforeReset();
    }
    Clear();
    InsertLoaded(std::move(records));
    observer_ = observer;
    if (observer != nullptr) {
        observer->AfterReset();
    }
}

bool Catalogue::ResourceNameExists(std::u16string_view name) const {
    for (const CatalogueItem* branch : {&FileResources(), &LiveBroadcasts()}) {
        for (const auto& child : branch->children_) {
            if (EqualIgnoringAsciiCase(child->record_.name, name)) {
                return true;
            }
        }
    }
    return false;
}

}  // namespace vantor
