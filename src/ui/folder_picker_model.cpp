#include "ui/folder_picker_model.h"

#include <algorithm>

#include "config/name_collator.h"
#include "config/text_codec.h"
#include "platform/directory_reader.h"

namespace vantor {
namespace {

std::string Normalized(std::string path) {
    while (path.size() > 1 && path.back() == '/') {
        path.pop_back();
    }
    return path.empty() ? "/" : path;
}

std::string Joined(const std::string& folder, const std::string& name) {
    return folder == "/" ? "/" + name : folder + "/" + name;
}

}  // namespace

std::string ParentFolder(const std::string& path) {
    const std::string normalized = Normalized(path);
    const std::size_t slash = normalized.rfind('/');
    return slash == 0 || slash == std::string::npos ? "/" : normalized.substr(0, slash);
}

FolderPickerModel::FolderPickerModel(DirectoryReader& reader) : reader_(reader) {}

void FolderPickerModel::Start(const std::string& path) {
    std::string folder = Normalized(path.empty() || path.front() != '/' ? "/" : path);
    while (!List(folder) && folder != "/") {
        folder = ParentFolder(folder);
    }
    message_.clear();
}

bool FolderPickerModel::Open(const std::string& path) {
    const std::string folder =
        Normalized(!path.empty() && path.front() == '/' ? path : Joined(current_, path));
    if (!List(folder)) {
        message_ = Utf8ToUtf16(folder) + u" cannot be listed.";
        return false;
    }
    message_.clear();
    return true;
}

bool FolderPickerModel::OnOk(const std::string& typed) {
    return typed == current_ || Open(typed);
}

bool FolderPickerModel::Enter(std::size_t row) {
    return row < subfolders_.size() && Open(Joined(current_, subfolders_[row]));
}

bool FolderPickerModel::Up() {
    return current_ != "/" && Open(ParentFolder(current_));
}

bool FolderPickerModel::List(const std::string& path) {
    const auto entries = reader_.ReadDirectory(path);
    if (!entries) {
        return false;
    }
    // Each name decoded once for the order; the bytes are what is kept.
    std::vector<std::pair<std::u16string, std::string>> folders;
    for (const DirectoryEntry& entry : *entries) {
        if (entry.isDirectory && entry.name != "." && entry.name != "..") {
            folders.emplace_back(Utf8ToUtf16(entry.name), entry.name);
        }
    }
    const NameCollator collator;
    std::stable_sort(folders.begin(), folders.end(), [&collator](const auto& a, const auto& b) {
        return collator.Compare(a.first, b.first) < 0;
    });
    current_ = path;
    subfolders_.clear();
    for (auto& folder : folders) {
        subfolders_.push_back(std::move(folder.second));
    }
    return true;
}

}  // namespace vantor
