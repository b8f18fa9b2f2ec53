#pragma once

#include <string>

#include "editors/sub_dialog.h"
#include "monitor/folder_export.h"

namespace vantor {

class ContentsFolder;
class FileStore;
class HostAddress;
class Prompter;
struct ResourceRecord;

// The save dialog's question and answer: the filter to offer, and the proposed file name in,
// the chosen path (UTF-8, used as typed) out.
struct SaveFileChoice {
    std::u16string filterName;
    std::u16string filterPattern;
    std::string path;
};
using SaveFileDialog = SubDialog<SaveFileChoice>;

enum class ExportOutcome {
    NoFolder,      // the list shows no folder: nothing happens
    Cancelled,     // the save dialog was cancelled
    Refused,       // a file name the playlist cannot hold; no file was created
    CannotCreate,  // the file could not be written
    Written,
};

// The two exports of the folder that the contents list shows ("Export info to web page..." and
// "Generate WMP playlist..."): what they write, where the user says, with their messages.
class FolderExportCommands {
public:
    // The references must outlive the commands.
    FolderExportCommands(FileStore& files, HostAddress& host, Prompter& prompter);

    // folder: the selected virtual folder's record; shown: the list it is shown in.
    ExportOutcome ExportWebPage(const ResourceRecord& folder, const ContentsFolder& shown,
                                const std::u16string& playerPort, const SaveFileDialog& save);
    ExportOutcome GeneratePlaylist(const ResourceRecord& folder, const ContentsFolder& shown,
                                   const std::u16string& playerPort, const SaveFileDialog& save);

private:
    enum class ExportKind { WebPage, Playlist };
    ExportOutcome Export(ExportKind kind, const ResourceRecord& folder, const ContentsFolder& shown,
                         const std::u16string& playerPort, const SaveFileDialog& save);
    FolderExport Collect(const ResourceRecord& folder, const ContentsFolder& shown,
                         const std::u16string& playerPort);
    ExportOutcome Write(const std::string& path, const std::string& bytes);

    FileStore& files_;
    HostAddress& host_;
    Prompter& prompter_;
};

}  // namespace vantor
