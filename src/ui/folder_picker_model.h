#pragma once

#include <string>
#include <vector>

namespace vantor {

class DirectoryReader;

// The folder picker of a window for another machine: that machine's folders, listed through
// its directory reader, so the path picked is one the server there can open. Paths and names
// are the bytes the machine gave.
class FolderPickerModel {
public:
    explicit FolderPickerModel(DirectoryReader& reader);

    // Shows path, else the nearest folder above it that can be listed, else "/".
    void Start(const std::string& path);
    // Shows the folder at path (as typed: absolute, or below the one shown). False, with a
    // message, when it cannot be listed; what is shown stays.
    bool Open(const std::string& path);
    // OK with typed in the folder field: a path typed but not yet opened is what the user
    // means, and is opened first. False, with a message, when it cannot be listed.
    bool OnOk(const std::string& typed);
    // Into the subfolder of that row; up to the folder above ("/" has none).
    bool Enter(std::size_t row);
    bool Up();

    const std::string& Current() const { return current_; }
    // The folders in the one shown, in the user's collation order.
    const std::vector<std::string>& Subfolders() const { return subfolders_; }
    // Why the last Open did not happen.
    const std::u16string& Message() const { return message_; }

private:
    bool List(const std::string& path);

    DirectoryReader& reader_;
    std::string current_ = "/";
    std::vector<std::string> subfolders_;
    std::u16string message_;
};

// The folder that holds path ("/" for "/" and for the folders right below it).
std::string ParentFolder(const std::string& path);

}  // namespace vantor
