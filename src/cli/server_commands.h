#pragma once

#include <iosfwd>
#include <optional>
#include <string>

#include "cli/config_session.h"
#include "server/set_password_model.h"

namespace vantor {

class CommandTable;
class LoggingComponentProbe;
class NetworkAdapters;

// `--interface` names an entry the dialog's list does not offer; the offered ones follow.
inline constexpr char InterfaceNotOfferedText[] =
    "vantorctl: the network interface list offers only: ";
// The stored interface is not an address of this machine: the dialog shows, and OK stores,
// "Any available" instead. Said on standard error so that the change is not silent.
inline constexpr char InterfaceReplacedText[] =
    "vantorctl: note: the stored network interface is not an address of this machine: ";
// The word that clears a limit's check box; the number stays as it was.
inline constexpr char NoLimitWord[] = "none";

struct ServerShowOptions {
    ConfigSessionOptions session;  // --file only
    bool json = false;
};

// One option per field of the "Server properties" dialog; a missing one leaves its control as
// the dialog opens it.
struct ServerSetOptions {
    ConfigSessionOptions session;  // --file only: the dialog asks nothing
    std::optional<std::string> networkInterface;
    std::optional<std::string> playerPort;
    std::optional<std::string> liveSourcePort;
    // A number (the box checked) or NoLimitWord (the box cleared).
    std::optional<std::string> maxConnections;
    std::optional<std::string> maxConnectionsPerUser;
    std::optional<std::string> maxAnonymousConnections;
    std::optional<std::string> maxThroughput;
    std::optional<std::string> logging;  // disabled, standard or custom
    std::optional<std::string> loggingComponent;
    bool archivalPassword = false;  // "Set Password...", the two lines read from standard input
    std::optional<std::string> archivalAddress;
    std::optional<std::string> archivalPort;
    std::optional<std::string> auth;  // anonymous, internal or session
};

// What the dialog reaches beyond the configuration.
struct ServerPropertiesPlatform {
    NetworkAdapters& adapters;
    LoggingComponentProbe& loggingProbe;
    PasswordHasher hasher = HashPassword;
};

// `vantorctl server show`: every field as the dialog opens on it, labelled as there, or one JSON
// object whose keys and words are those `server set` takes. ExitFailure when a named file is
// missing or cannot be read.
int RunServerShow(const ServerShowOptions& options, SessionPlatform& platform,
                  ServerPropertiesPlatform& dialogPlatform, std::ostream& out, std::ostream& err);

// `vantorctl server set`: plays the options into the dialog's model as clicks and typing, then
// OK, and commits as the dialog's OK does (the restart warning on err, then the save and a
// running server's reload). ExitFailure, with the dialog's message on err and no byte written,
// when OK or the password dialog refuses; warnings are not failures.
int RunServerSet(const ServerSetOptions& options, SessionPlatform& platform,
                 ServerPropertiesPlatform& dialogPlatform, std::istream& in, std::ostream& err);

// Adds `server show|set`, then the `user` commands of the dialog's users list.
void AddServerCommands(CommandTable& table);

}  // namespace vantor
