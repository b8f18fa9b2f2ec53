#include "ui/folder_export_commands.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <utility>
#include <vector>

#include "config/resource_record.h"
#include "config/text_codec.h"
#include "monitor/folder_export.h"
#include "platform/file_store.h"
#include "platform/host_address.h"
#include "platform/prompter.h"
#include "ui/contents_folder.h"

namespace vantor {
namespace {

// A folder path without a separator is no folder the list could show.
bool ShowsFolder(const ContentsFolder& shown) {
    return shown.CurrentFolder().find('/') != std::string::npos;
}

bool AskWhere(const SaveFileDialog& save, std::u16string_view filterName,
              std::u16string_view filterPattern, std::u16string_view extension,
              const ContentsFolder& shown, std::string& path) {
    SaveFileChoice choice{
        .filterName = std::u16string(filterName),
        .filterPattern = std::u16string(filterPattern),
        .path = LastPathComponent(shown.CurrentFolder()) + Utf16ToUtf8(extension)};
    if (!RunSubDialog(save, choice) || choice.path.empty()) {
        return false;
    }
    path = std::move(choice.path);
    return true;
}

}  // namespace

FolderExportCommands::FolderExportCommands(FileStore& files, HostAddress& host, Prompter& prompter)
    : files_(files), host_(host), prompter_(prompter) {}

FolderExport FolderExportCommands::Collect(const ResourceRecord& folder,
                                           const ContentsFolder& shown,
                                           const std::u16string& playerPort) {
    FolderExport collected{
        .folderLabel = FolderLabel(folder.name, Utf16ToUtf8(folder.source), shown.CurrentFolder()),
        .title = LastPathComponent(shown.CurrentFolder()),
        .host = Utf8ToUtf16(host_.LocalIPv4Address()),
        .playerPort = playerPort,
        .files = {}};
    // Only file rows, in the list's order, with whatever summary they hold now; each by the
    // name the directory gave, not the one shown.
    const std::vector<ContentsRow>& rows = shown.List().Rows();
    for (std::size_t row = 0; row < rows.size(); ++row) {
        if (rows[row].kind == ContentsRowKind::File) {
            collected.files.push_back(
                {shown.EntryName(row), rows[row].Text(ContentsColumn::Description)});
        }
    }
    return collected;
}

ExportOutcome FolderExportCommands::ExportWebPage(const ResourceRecord& folder,
                                                  const ContentsFolder& shown,
                                                  const std::u16string& playerPort,
                                                  const SaveFileDialog& save) {
    return Export(ExportKind::WebPage, folder, shown, playerPort, save);
}

ExportOutcome FolderExportCommands::GeneratePlaylist(const ResourceRecord& folder,
                                                     const ContentsFolder& shown,
                                                     const std::u16string& playerPort,
                                                     const SaveFileDialog& save) {
    return Export(ExportKind::Playlist, folder, shown, playerPort, save);
}

ExportOutcome FolderExportCommands::Export(ExportKind kind, const ResourceRecord& folder,
                                           const ContentsFolder& shown,
                                           const std::u16string& playerPort,
                                           const SaveFileDialog& save) {
    if (!ShowsFolder(shown)) {
        return ExportOutcome::NoFolder;
    }
    const bool page = kind == ExportKind::WebPage;
    std::string path;
    if (!AskWhere(save, page ? WebPageFilterName : PlaylistFilterName,
                  page ? WebPageFilterPattern : PlaylistFilterPattern,
                  page ? WebPageExtension : PlaylistExtension, shown, path)) {
        return ExportOutcome::Cancelled;
    }
    const FolderExport collected = Collect(folder, shown, playerPort);
    if (page) {
        return Write(path, WebPageBytes(collected));
    }
    // Checked before anything is created, so a refusal leaves no file behind.
    for (const ExportedFile& file : collected.files) {
        if (RefusedInPlaylist(file.name)) {
            prompter_.ShowMessage(std::u16string(PlaylistNameRefusedText),
                                  std::u16string(ExportErrorCaption), MessageIcon::Error);
            return ExportOutcome::Refused;
        }
    }
    return Write(path, PlaylistBytes(collected));
}

ExportOutcome FolderExportCommands::Write(const std::string& path, const std::string& bytes) {
    const std::span<const std::uint8_t> data(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                             bytes.size());
    // The user's own file, not a data file the server shares: the umask decides its mode.
    if (!files_.ReplaceUserFile(path, data)) {
        prompter_.ShowMessage(std::u16string(UnableToCreateFileText),
                              std::u16string(ExportErrorCaption), MessageIcon::Error);
        return ExportOutcome::CannotCreate;
    }
    return ExportOutcome::Written;
}

}  // namespace vantor
