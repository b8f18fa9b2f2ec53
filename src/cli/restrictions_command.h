#pragma once

#include <iosfwd>
#include <optional>
#include <string>

namespace CLI {
class App;
}

namespace vantor {

class CommandTable;

class AutomationFactory;
class FileStore;
class InstallationEnvironment;

// Reported when `mode allow` would deny every delegate: the dialog's OK is disabled then too.
inline constexpr char AllowedListEmptyText[] =
    "vantorctl: the allowed list is empty; add an address to it (add --list allow ADDRESS) "
    "before denying every other delegate";
inline constexpr char NoAddressText[] = "vantorctl: the address is empty";
inline constexpr char RestrictionsNotWrittenText[] = "vantorctl: cannot write ";

enum class RestrictionsAction { List, Add, Remove, Mode };

struct RestrictionsOptions {
    std::optional<std::string> file;  // default: the located restrictions file
    RestrictionsAction action = RestrictionsAction::List;
    // "except" or "allow": the list to add to or remove from (default: the current mode's), or
    // the mode to set.
    std::optional<std::string> list;
    std::string address;
};

// Adds `restrictions [--file FILE] list | add [--list except|allow] ADDRESS |
// remove [--list except|allow] ADDRESS | mode except|allow` to app, filling options.
CLI::App* AddRestrictionsCommand(CLI::App& app, RestrictionsOptions& options);

// `vantorctl restrictions`: the restrictions dialog's model played from the command line, with its
// trimming and messages. A missing or unreadable file is a new default document. `list` prints
// the mode's stored text, then "1 ADDRESS" and "2 ADDRESS" lines, list 1 first. A change is
// written as the dialog's OK writes it and, when the server's notification object can be
// reached, RestrictionsChanged is called once. ExitFailure when the change was refused or the
// file could not be written (nothing is written or called then).
int RunRestrictions(const RestrictionsOptions& options, FileStore& files,
                    InstallationEnvironment& environment, AutomationFactory& automation,
                    std::ostream& out, std::ostream& err);

// Adds `restrictions` to the program's commands.
void AddRestrictionsCommands(CommandTable& table);

}  // namespace vantor
