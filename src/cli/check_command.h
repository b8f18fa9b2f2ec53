#pragma once

#include <iosfwd>
#include <optional>
#include <string>

namespace vantor {

class CommandTable;
class DirectoryReader;
class FileStore;
class InstallationEnvironment;

struct CheckOptions {
    bool json = false;
    std::optional<std::string> file;  // default: the located config file
};

// `vantorctl check`: reads a configuration without changing it and prints what the tool's
// dialogs would refuse in it, or the server could not use, one finding per line on out (or as
// one JSON object). ExitOk when there is nothing to report, ExitFailure with findings,
// ExitUsage when the file cannot be read (said on err).
int RunCheck(const CheckOptions& options, FileStore& files, DirectoryReader& directories,
             InstallationEnvironment& environment, std::ostream& out, std::ostream& err);

// Adds `check`.
void AddCheckCommand(CommandTable& table);

}  // namespace vantor
