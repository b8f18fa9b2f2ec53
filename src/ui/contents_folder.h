#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "config/resource_record.h"
#include "platform/directory_reader.h"
#include "ui/contents_list.h"

namespace vantor {

class CatalogueItem;
class MediaInfoWorker;

// The pictures of the folder listing's rows.
inline constexpr std::uint32_t FileRowImage = 4;
inline constexpr std::uint32_t SubfolderRowImage = 1;
inline constexpr std::uint32_t UpRowImage = 5;

// A folder path as the listing keeps it: without a trailing '/', except the root of the file
// system itself.
std::string TrimFolderPath(std::string path);
// folder + '/' + name, without doubling the separator after "/".
std::string JoinFolderPath(const std::string& folder, std::string_view name);

// One folder's rows, with the name of each as the bytes the directory gave: a name need not be
// UTF-8, and only its display is decoded (an ill-formed byte shows as U+FFFD), so the file is
// still found by the bytes wherever the name is used.
struct FolderListing {
    std::vector<ContentsRow> rows;
    std::vector<std::string> names;  // one per row; empty for the "up" row
};

// The rows of one folder: the "up" row when the folder is below root, every subfolder (hidden
// ones too), then every file that is not hidden (a name starting with '.'), each group in the
// order the file system gave.
FolderListing FolderRows(const std::vector<DirectoryEntry>& entries, const std::string& folder,
                         bool belowRoot);

// What a double click on a row of the contents list asks of the window.
struct ContentsActivation {
    enum class Action {
        None,        // nothing (or the list already moved to another folder)
        OpenFile,    // open path with the desktop's program for it
        SelectItem,  // select item in the tree
        Command,     // send command with parameter to the frame
    };
    Action action = Action::None;
    std::string path;
    CatalogueItem* item = nullptr;
    int command = 0;
    int parameter = 0;
};

// The contents list when it shows a virtual folder's directory: the listing, stepping into
// subfolders and back up, and the media summaries that the worker fills in. For the other tree
// items it lists what the catalogue says. User-interface thread only; the worker may be null
// (no summaries).
class ContentsFolder {
public:
    ContentsFolder(ContentsList& list, DirectoryReader& reader, MediaInfoWorker* worker);

    // Refills the list for the tree's selection: a virtual folder lists its source as the root.
    void ShowSelection(CatalogueItem* selected, AuthMethod defaultAuthMethod);
    // Lists path; as the root when isRoot. A folder that cannot be listed leaves the list empty
    // and gives false.
    bool ShowFolder(const std::string& path, bool isRoot);

    ContentsActivation Activate(std::size_t row);
    // A click on a file row without a summary puts it first in the worker's queue.
    void Click(std::size_t row);
    // Writes the worker's waiting results into their rows (older listings are dropped); how
    // many it took. At most max per call, so one call never holds the caller long.
    std::size_t ApplyResults(std::size_t max);

    // The name of a file or subfolder row of the folder listed now, as the directory gave it;
    // empty for any other row, or when the list has been refilled by someone else since.
    const std::string& EntryName(std::size_t row) const;

    // The folder listed now ("" when the list shows no folder) and the selected folder's root.
    const std::string& CurrentFolder() const { return current_; }
    const std::string& RootFolder() const { return root_; }
    const ContentsList& List() const { return list_; }
    ContentsList& List() { return list_; }

private:
    void Restart();

    ContentsList& list_;
    DirectoryReader& reader_;
    MediaInfoWorker* worker_;
    std::string current_;
    std::string root_;
    std::vector<std::string> names_;  // EntryName's, for the listing numbered namesListing_
    std::uint64_t namesListing_ = 0;
};

}  // namespace vantor
