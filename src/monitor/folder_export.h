#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vantor {

inline constexpr std::u16string_view ExportErrorCaption = u"VantorConfig - Error";
inline constexpr std::u16string_view UnableToCreateFileText = u"Unable to create file";
inline constexpr std::u16string_view PlaylistNameRefusedText =
    u"WMP playlist can not have files containing characters '#&'. Please rename such files and "
    u"try again.";
inline constexpr std::u16string_view WebPageFilterName = u"HTML Files (*.html)";
inline constexpr std::u16string_view WebPageFilterPattern = u"*.html";
inline constexpr std::u16string_view WebPageExtension = u".html";
inline constexpr std::u16string_view PlaylistFilterName = u"WPL Files (*.wpl)";
inline constexpr std::u16string_view PlaylistFilterPattern = u"*.wpl";
inline constexpr std::u16string_view PlaylistExtension = u".wpl";

// Names of files and folders here are the bytes the directory gave: UTF-8 as a rule, but not
// always, and a name that is not must still name its file in the export.
struct ExportedFile {
    std::string name;
    std::u16string description;
};

// What both exports are made of. Links are written as they stand: nothing is escaped.
struct FolderExport {
    std::string folderLabel;  // the folder's name (UTF-8), then its subfolders with '\' between
    std::string title;        // the last component of the folder's path
    std::u16string host;      // this computer's address, or empty
    std::u16string playerPort;
    std::vector<ExportedFile> files;
};

// The virtual folder's name followed by the part of currentFolder beyond source, with '\'
// between the parts as the server names them ("Movies\2009\June"). Paths use '/'.
std::string FolderLabel(std::u16string_view folderName, std::string_view source,
                        std::string_view currentFolder);
// The bytes after the last '/' of path.
std::string LastPathComponent(std::string_view path);

// True when a file name would break a playlist entry ('#' or '&').
bool RefusedInPlaylist(std::string_view fileName);

// A name in the exports' code page: its UTF-8 characters as Windows-1252 ('?' for what it cannot
// hold), and each byte that is no part of a UTF-8 character as that byte, so that a name in an
// older single-byte encoding still names its file.
std::string NameToAnsi(std::string_view name);

// The HTML page and the WPL playlist, as Windows-1252 bytes ('?' for what it cannot hold).
std::string WebPageBytes(const FolderExport& folder);
std::string PlaylistBytes(const FolderExport& folder);

}  // namespace vantor
