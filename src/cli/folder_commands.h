#pragma once

#include <iosfwd>
#include <optional>
#include <string>

#include "cli/config_session.h"
#include "cli/panel_options.h"

namespace vantor {

class CommandTable;
class FolderEditorModel;

inline constexpr char NotAFolderText[] = " is not a virtual folder";
inline constexpr char GroupNeedsMulticastText[] =
    "vantorctl: --group needs \"Multicast delivery\" (--multicast)";

// `folder add NAME ...` and `folder edit NAME ...`: each option is a control of the virtual
// folder editor; one left out keeps what the editor opened with (the folder's record, or the
// defaults of a new folder).
struct FolderOptions {
    bool update = false;
    std::string name;                    // the new folder's name, or the folder to edit
    std::optional<std::string> newName;  // edit: --name
    std::optional<std::string> path;
    std::optional<std::string> description;
    std::optional<bool> unicast;
    std::optional<bool> multicast;
    std::optional<std::string> group;
    std::optional<bool> playlist;
    std::optional<std::string> order;  // alphabetical | random
    AccessOptions access;
    LimitsOptions limits;
    ConfigSessionOptions session;
};

// Plays the options into an opened editor as the administrator's input, top to bottom.
// Messages the dialog would show on the way go to prompter; the result is empty, or the refusal
// to print when an option's control is disabled with these settings.
std::string PlayFolderOptions(const FolderOptions& options, FolderEditorModel& model,
                              Prompter& prompter);

// Runs the editor on the options, then commits as the window's OK does (the multicast refusal,
// the save and the server's reload).
int RunFolderCommand(const FolderOptions& options, SessionPlatform& platform, std::ostream& err);

// Adds `folder add` and `folder edit`.
void AddFolderCommands(CommandTable& table);

}  // namespace vantor
