#include "config/catalogue.h"

#include <algorithm>
#include <utility>

#include "config/resource_texts.h"

namespace vantor {

namespace {

ResourceRecord FixedRecord(ResourceKind kind, std::u16string_view name, std::uint32_t image) {
    ResourceRecord record;
    record.kind = kind;
    record.enabled = true;
    record.authMethod = AuthMethod::None;
    record.name = name;
    record.imageIndex = image;
    record.playTimeLimit = 0;
    return record;
}

bool IsResourceKind(ResourceKind kind) {
    return kind == ResourceKind::VirtualFolder || kind == ResourceKind::LiveBroadcast;
}

char16_t AsciiLower(char16_t c) {
    return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 0x20) : c;
}

bool EqualIgnoringAsciiCase(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i] != b[i] && AsciiLower(a[i]) != AsciiLower(b[i])) {
            return false;
        }
    }
    return true;
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

void Catalogue::InsertLoaded(std::vector<ResourceRecord> records) {
    CatalogueItem* branches[] = {&FileResources(), &LiveBroadcasts()};
    std::vector<std::unique_ptr<CatalogueItem>> added[2];
    for (ResourceRecord& record : records) {
        if (IsResourceKind(record.kind)) {
            const int which = record.kind == ResourceKind::VirtualFolder ? 0 : 1;
            added[which].push_back(MakeResourceItem(std::move(record), *branches[which]));
        }
    }
    if (added[0].empty() && added[1].empty()) {
        return;
    }
    if (observer_ != nullptr) {
        observer_->BeforeReset();
    }
    for (int which = 0; which < 2; ++which) {
        auto& children = branches[which]->children_;
        if (children.empty()) {
            // Inserting before the first greater sibling keeps a list sorted with equal texts in
            // arrival order, which is exactly what a stable sort gives.
            children = std::move(added[which]);
            std::stable_sort(children.begin(), children.end(), [](const auto& a, const auto& b) {
                return CompareDisplayText(a->text_, b->text_) < 0;
            });
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
