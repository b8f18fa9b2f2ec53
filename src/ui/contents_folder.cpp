#include "ui/contents_folder.h"

#include <utility>

#include "config/catalogue.h"
#include "config/text_codec.h"
#include "monitor/media_info_worker.h"
#include "ui/resource_selection.h"

namespace vantor {
namespace {

bool IsHidden(std::string_view name) {
    return !name.empty() && name.front() == '.';
}

bool IsDotOrDotDot(std::string_view name) {
    return name == "." || name == "..";
}

ContentsRow NamedRow(ContentsRowKind kind, std::uint32_t image, const std::string& name,
                     const std::u16string& folder) {
    ContentsRow row;
    row.kind = kind;
    row.imageIndex = image;
    row.Text(ContentsColumn::Name) = Utf8ToUtf16(name);
    row.Text(ContentsColumn::Path) = folder;
    return row;
}

}  // namespace

std::string TrimFolderPath(std::string path) {
    while (path.size() > 1 && path.back() == '/') {
        path.pop_back();
    }
    return path;
}

std::string JoinFolderPath(const std::string& folder, std::string_view name) {
    std::string path = folder;
    if (path.empty() || path.back() != '/') {
        path += '/';
    }
    path += name;
    return path;
}

FolderListing FolderRows(const std::vector<DirectoryEntry>& entries, const std::string& folder,
                         bool belowRoot) {
    FolderListing listing;
    listing.rows.reserve(entries.size() + 1);
    listing.names.reserve(entries.size() + 1);
    if (belowRoot) {
        ContentsRow up;
        up.kind = ContentsRowKind::Up;
        up.imageIndex = UpRowImage;
        listing.rows.push_back(std::move(up));
        listing.names.emplace_back();
    }
    const std::u16string folderText = Utf8ToUtf16(folder);
    const auto add = [&](ContentsRowKind kind, std::uint32_t image, const std::string& name) {
        listing.rows.push_back(NamedRow(kind, image, name, folderText));
        listing.names.push_back(name);
    };
    for (const DirectoryEntry& entry : entries) {
        if (entry.isDirectory && !IsDotOrDotDot(entry.name)) {
            add(ContentsRowKind::Subfolder, SubfolderRowImage, entry.name);
        }
    }
    for (const DirectoryEntry& entry : entries) {
        if (!entry.isDirectory && !IsHidden(entry.name)) {
            add(ContentsRowKind::File, FileRowImage, entry.name);
        }
    }
    return listing;
}

ContentsFolder::ContentsFolder(ContentsList& list, DirectoryReader& reader, MediaInfoWorker* worker)
    : list_(list), reader_(reader), worker_(worker) {}

void ContentsFolder::Restart() {
    if (worker_ != nullptr) {
        worker_->Restart();
    }
}

void ContentsFolder::ShowSelection(CatalogueItem* selected, AuthMethod defaultAuthMethod) {
    Restart();
    if (selected != nullptr && selected->Record().kind == ResourceKind::VirtualFolder) {
        ShowFolder(Utf16ToUtf8(selected->Record().source), true);
        return;
    }
    current_.clear();
    root_.clear();
    names_.clear();
    vantor::ShowSelection(selected, defaultAuthMethod, list_);
}

bool ContentsFolder::ShowFolder(const std::string& path, bool isRoot) {
    Restart();
    current_ = TrimFolderPath(path);
    if (isRoot) {
        root_ = current_;
    }
    names_.clear();
    const auto entries = reader_.ReadDirectory(current_);
    if (!entries) {
        list_.Clear();
        return false;
    }
    FolderListing listing = FolderRows(*entries, current_, current_ != root_);
    names_ = std::move(listing.names);
    list_.Replace(std::move(listing.rows));
    namesListing_ = list_.Listing();
    if (worker_ == nullptr) {
        return true;
    }
    std::vector<MediaJob> jobs;
    for (std::size_t row = 0; row < list_.RowCount(); ++row) {
        if (list_.Row(row).kind == ContentsRowKind::File) {
            jobs.push_back(MediaJob{.row = row, .path = JoinFolderPath(current_, names_[row])});
        }
    }
    worker_->Scan(list_.Listing(), std::move(jobs));
    return true;
}

ContentsActivation ContentsFolder::Activate(std::size_t row) {
    ContentsActivation activation;
    if (row >= list_.RowCount()) {
        return activation;
    }
    const ContentsRow& target = list_.Row(row);
    const std::string name = EntryName(row);
    switch (target.kind) {
        case ContentsRowKind::File:
            activation.action = ContentsActivation::Action::OpenFile;
            activation.path = JoinFolderPath(current_, name);
            break;
        case ContentsRowKind::Subfolder:
            ShowFolder(JoinFolderPath(current_, name), false);
            break;
        case ContentsRowKind::Up: {
            const std::size_t slash = current_.rfind('/');
            if (slash != std::string::npos) {
                ShowFolder(slash == 0 ? std::string("/") : current_.substr(0, slash), false);
            }
            break;
        }
        default: {
            const RowActivation other = ActivateRow(list_, row);
            activation.item = other.item;
            activation.command = other.command;
            activation.parameter = other.parameter;
            if (other.action == RowActivation::Action::SelectItem) {
                activation.action = ContentsActivation::Action::SelectItem;
            } else if (other.action == RowActivation::Action::Command) {
                activation.action = ContentsActivation::Action::Command;
            }
            break;
        }
    }
    return activation;
}

const std::string& ContentsFolder::EntryName(std::size_t row) const {
    static const std::string none;
    if (namesListing_ != list_.Listing() || row >= names_.size()) {
        return none;
    }
    return names_[row];
}

void ContentsFolder::Click(std::size_t row) {
    if (worker_ == nullptr || row >= list_.RowCount()) {
        return;
    }
    const ContentsRow& target = list_.Row(row);
    if (target.kind == ContentsRowKind::File && target.Text(ContentsColumn::Description).empty()) {
        worker_->Prioritise(list_.Listing(), row);
    }
}

std::size_t ContentsFolder::ApplyResults(std::size_t max) {
    if (worker_ == nullptr) {
        return 0;
    }
    std::vector<MediaResult> results = worker_->TakeResults(max);
    for (MediaResult& result : results) {
        list_.SetText(result.listing, result.row, ContentsColumn::Description,
                      std::move(result.description));
    }
    return results.size();
}

}  // namespace vantor
