#pragma once

#include <iosfwd>
#include <string>

#include "cli/config_session.h"

namespace vantor {

class CommandTable;

inline constexpr char MulticastNeedsServerText[] =
    "vantorctl: multicasting is started and stopped by the running media server";
inline constexpr char MulticastNeedsFileAloneText[] =
    "vantorctl: multicasting needs the media server, which --file leaves alone";
inline constexpr char NotMulticastableText[] =
    " is not an enabled virtual folder delivered by multicast as a playlist";
inline constexpr char MulticastNotStartedText[] = " is not being multicast";
inline constexpr char MulticastNotStoppedText[] = " is still being multicast";

enum class ResourceAction { Delete, Enable, Disable };

struct ResourceActionOptions {
    ResourceAction action = ResourceAction::Delete;
    std::string name;
    ConfigSessionOptions session;
};

struct MulticastOptions {
    bool start = true;
    std::string folder;
    bool json = false;
    ConfigSessionOptions session;  // --file only: starting and stopping asks no question
};

// `resource delete|enable|disable NAME`: the tree's commands on the named resource, with their
// refusals, question, disconnects, save and reload. A refused command writes nothing; enabling
// an enabled resource (or disabling a disabled one) does nothing.
int RunResourceAction(const ResourceActionOptions& options, SessionPlatform& platform,
                      std::ostream& err);

// `multicast start|stop FOLDER`: what the context menu's multicast item does, offered only when
// the menu would offer it. Prints the tree's status line for the folder afterwards (as JSON
// with --json). ExitFailure when the folder is not multicast as asked afterwards.
int RunMulticast(const MulticastOptions& options, SessionPlatform& platform, std::ostream& out,
                 std::ostream& err);

// Adds `folder add|edit`, `resource delete|enable|disable` and `multicast start|stop`.
void AddResourceCommands(CommandTable& table);

}  // namespace vantor
