#include "config/catalogue.h"

#include <algorithm>
#include <string>
#include <system_error>
#include <thread>
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

Catalogue::Catalogue(NameCollator collator) : collator_(std::move(collator)) {
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

std::size_t Catalogue::InsertionRow(const CatalogueItem& branch, std::u16string_view text) const {
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

// A sort handle for one loaded item: its collation key with the key's first sixteen bytes
// packed into integers (first byte in the highest bits, missing bytes as 0) so that most
// comparisons are two integer compares with no pointer chased. Equal heads fall back to comparing
// the whole keys, and equal keys (texts the collator finds equal) to the arrival order.
struct LoadedSortEntry {
    static constexpr std::size_t HeadBytes = 16;

    std::uint64_t head[2];
    const char* key;
    std::uint32_t size;   // of the key
    std::uint32_t index;  // arrival order, which decides between equal texts
};

// Sort handles for the items, in their order. Making ICU's sort keys is most of a large load's
// work, so for many items a few workers make them over slices of the items at once (comparing
// does not change a collator), each into a buffer of its own that keys ends up holding.
std::vector<LoadedSortEntry> MakeSortEntries(
    const std::vector<std::unique_ptr<CatalogueItem>>& items, const NameCollator& collator,
    std::vector<std::string>& keys) {
    std::vector<LoadedSortEntry> entries(items.size());
    const std::size_t workers =
        items.size() < 16384 ? 1
                             : std::clamp<std::size_t>(std::thread::hardware_concurrency(), 1, 4);
    keys.assign(workers, std::string());
    auto makeSlice = [&](std::size_t slice) {
        const std::size_t begin = items.size() * slice / workers;
        const std::size_t end = items.size() * (slice + 1) / workers;
        std::string& buffer = keys[slice];
        buffer.reserve((end - begin) * 32);  // about a name's key
        std::vector<std::size_t> offsets(end - begin);
        for (std::size_t i = begin; i < end; ++i) {
            offsets[i - begin] = buffer.size();
            const std::size_t size = collator.AppendSortKey(items[i]->Text(), buffer);
            entries[i].size = static_cast<std::uint32_t>(size);
            entries[i].index = static_cast<std::uint32_t>(i);
        }
        // The buffer no longer moves.
        for (std::size_t i = begin; i < end; ++i) {
            LoadedSortEntry& entry = entries[i];
            entry.key = buffer.data() + offsets[i - begin];
            entry.head[0] = entry.head[1] = 0;
            const std::size_t bytes = std::min<std::size_t>(entry.size, LoadedSortEntry::HeadBytes);
            for (std::size_t at = 0; at < bytes; ++at) {
                entry.head[at / 8] |= std::uint64_t{static_cast<unsigned char>(entry.key[at])}
                                      << (56 - 8 * (at % 8));
            }
        }
    };
    std::vector<std::thread> threads;
    for (std::size_t slice = 1; slice < workers; ++slice) {
        try {
            threads.emplace_back(makeSlice, slice);
        } catch (const std::system_error&) {
            makeSlice(slice);  // no thread to be had: this one does the slice
        }
    }
    makeSlice(0);
    for (std::thread& thread : threads) {
        thread.join();
    }
    return entries;
}

// The entries in key order, equal keys in arrival order: first distributed by the key's first
// two bytes (a stable counting sort), then each run of equal first bytes sorted on its own, which
// saves most of the comparisons of one big sort.
std::unique_ptr<LoadedSortEntry[]> SortLoaded(const std::vector<LoadedSortEntry>& entries) {
    const auto before = [](const LoadedSortEntry& a, const LoadedSortEntry& b) {
        if (a.head[0] != b.head[0]) {
            return a.head[0] < b.head[0];
        }
        if (a.head[1] != b.head[1]) {
            return a.head[1] < b.head[1];
        }
        // Equal heads of two long keys are equal first bytes, so the rest decides; a short key's
        // head is padded with zeros, so it compares whole.
        const std::size_t skip =
            a.size > LoadedSortEntry::HeadBytes && b.size > LoadedSortEntry::HeadBytes
                ? LoadedSortEntry::HeadBytes
                : 0;
        const int order = std::string_view(a.key + skip, a.size - skip)
                              .compare(std::string_view(b.key + skip, b.size - skip));
        return order != 0 ? order < 0 : a.index < b.index;
    };
    auto sorted = std::make_unique_for_overwrite<LoadedSortEntry[]>(entries.size());
    if (entries.size() < 4096) {  // not worth the counting
        std::copy(entries.begin(), entries.end(), sorted.get());
        std::sort(sorted.get(), sorted.get() + entries.size(), before);
        return sorted;
    }
    auto firstBytes = [](const LoadedSortEntry& entry) {
        return static_cast<std::size_t>(entry.head[0] >> 48);
    };
    std::vector<std::uint32_t> starts(0x10000 + 1, 0);
    for (const LoadedSortEntry& entry : entries) {
        ++starts[firstBytes(entry) + 1];
    }
    for (std::size_t bucket = 0; bucket < 0x10000; ++bucket) {
        starts[bucket + 1] += starts[bucket];
    }
    std::vector<std::uint32_t> next(starts.begin(), starts.end() - 1);
    for (const LoadedSortEntry& entry : entries) {
        sorted[next[firstBytes(entry)]++] = entry;
    }
    for (std::size_t bucket = 0; bucket < 0x10000; ++bucket) {
        std::sort(sorted.get() + starts[bucket], sorted.get() + starts[bucket + 1], before);
    }
    return sorted;
}

}  // namespace

void Catalogue::InsertLoaded(std::vector<ResourceRecord> records) {
    CatalogueItem* branches[] = {&FileResources(), &LiveBroadcasts()};
    std::vector<std::unique_ptr<CatalogueItem>> added[2];
    const bool sortAll[2] = {branches[0]->children_.empty(), branches[1]->children_.empty()};
    std::size_t counts[2] = {0, 0};
    for (const ResourceRecord& record : records) {
        if (IsResourceKind(record.kind)) {
            ++counts[record.kind == ResourceKind::VirtualFolder ? 0 : 1];
        }
    }
    for (int which = 0; which < 2; ++which) {
        added[which].reserve(counts[which]);
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
            std::vector<std::string> keys;
            const std::unique_ptr<LoadedSortEntry[]> sorted =
                SortLoaded(MakeSortEntries(added[which], collator_, keys));
            children.reserve(added[which].size());
            for (std::size_t i = 0; i < added[which].size(); ++i) {
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
