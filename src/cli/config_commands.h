#pragma once

#include <iosfwd>
#include <optional>
#include <string>

namespace vantor {

class CommandTable;
class FileStore;
class InstallationEnvironment;

// Exit codes of vantorctl.
inline constexpr int ExitOk = 0;
inline constexpr int ExitFailure = 1;
inline constexpr int ExitUsage = 2;
// `apply --check`: the document asks for changes (CI fails on drift with it).
inline constexpr int ExitChangesPlanned = 3;

struct ShowOptions {
    bool json = false;
    std::optional<std::string> file;  // default: the located config file
};

struct NormalizeOptions {
    std::string file;
    std::optional<std::string> out;  // default: back to file
};

// `vantorctl show`: loads the configuration as the tool does at start-up and prints it.
int RunShow(const ShowOptions& options, FileStore& files, InstallationEnvironment& environment,
            std::ostream& out, std::ostream& err);

// `vantorctl normalize`: loads FILE as at start-up and writes it as the tool saves it.
int RunNormalize(const NormalizeOptions& options, FileStore& files, std::ostream& err);

// Adds `show` and `normalize`.
void AddConfigCommands(CommandTable& table);

}  // namespace vantor
