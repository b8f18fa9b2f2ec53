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
// Then the path: another writer held the file's update lock for longer than a change waits.
inline constexpr char RestrictionsBusyText[] =
    "vantorctl: nothing was changed: another program is changing ";
// The path, then this: the file is there but cannot be read, so a change would replace it.
inline constexpr char RestrictionsUnreadableText[] =
    " cannot be read (it is cut short, is not well-formed XML, is larger than 16 MiB or may not be "
    "read by you)";
inline constexpr char RestrictionsRefusedText[] =
    "; nothing was changed. Give --replace-damaged to replace it with a new file, keeping the old "
    "one beside it as a .damaged copy";
// Then the copy's path.
inline constexpr char RestrictionsKeptText[] = "vantorctl: the unreadable file was kept as ";

enum class RestrictionsAction { List, Add, Remove, Mode };

struct RestrictionsOptions {
    std::optional<std::string> file;  // default: the located restrictions file
    RestrictionsAction action = RestrictionsAction::List;
    // "except" or "allow": the list to add to or remove from (default: the current mode's), or
    // the mode to set.
    std::optional<std::string> list;
    std::string address;
    // A change may replace a file that cannot be read (keeping a .damaged copy of it).
    bool replaceDamaged = false;
};

// Adds `restrictions [--file FILE] list | add [--list except|allow] [--replace-damaged] ADDRESS |
// remove [--list except|allow] [--replace-damaged] ADDRESS | mode [--replace-damaged]
// except|allow` to app, filling options.
CLI::App* AddRestrictionsCommand(CLI::App& app, RestrictionsOptions& options);

// `vantorctl restrictions`: the restrictions dialog's model played from the command line, with its
// trimming and messages. A missing file is a new default document; one that is there but cannot
// be read is refused (by `list` too), and replaced by a change only with replaceDamaged. `list`
// prints the mode's stored text, then "1 ADDRESS" and "2 ADDRESS" lines, list 1 first. A change
// holds the file's update lock from before the read to the write, so parallel runs each see the
// one before; it is written as the dialog's OK writes it and, when the server's notification
// object can be reached, RestrictionsChanged is called once. ExitFailure when the change was
// refused, the lock stayed busy or the file could not be written (nothing is written or called
// then).
int RunRestrictions(const RestrictionsOptions& options, FileStore& files,
                    InstallationEnvironment& environment, AutomationFactory& automation,
                    std::ostream& out, std::ostream& err);

// Adds `restrictions` to the program's commands.
void AddRestrictionsCommands(CommandTable& table);

}  // namespace vantor
