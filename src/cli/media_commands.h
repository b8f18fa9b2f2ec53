#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace vantor {

class CommandTable;

class DirectoryReader;
class FileStore;
class HostAddress;
class InstallationEnvironment;
class MediaProbe;

// `vantorctl media-info FILE...`: "NAME<TAB>SUMMARY" per file, NAME as given, SUMMARY as the
// contents list shows it.
int RunMediaInfo(const std::vector<std::string>& files, MediaProbe& probe, std::ostream& out);

struct ExportOptions {
    std::string kind;                      // "html" or "wpl"
    std::string folder;                    // the virtual folder's name
    std::optional<std::string> subfolder;  // '/'-separated, below the folder's directory
    std::string out;
    std::optional<std::string> file;  // default: the located config file
};

// What the window's export commands need, from the platform.
struct ExportPlatform {
    FileStore& files;   // the configuration's
    FileStore& output;  // where the page or playlist is written: this machine's
    InstallationEnvironment& environment;
    DirectoryReader& reader;
    MediaProbe& probe;
    HostAddress& host;
};

// `vantorctl export html|wpl FOLDER [SUBPATH] OUT`: the bytes the window's export writes for the
// folder's listing with every summary filled in; the window's messages on standard error and
// exit code 1 when it refuses or cannot write.
int RunExport(const ExportOptions& options, ExportPlatform& platform, std::ostream& err);

// Adds `media-info` and `export`.
void AddMediaCommands(CommandTable& table);

}  // namespace vantor
