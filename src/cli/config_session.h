#pragma once

#include <iosfwd>
#include <memory>
#include <optional>
#include <string>

#include "cli/headless_services.h"
#include "config/config_store.h"
#include "config/multicast_table.h"
#include "config/resource_record.h"
#include "server/server_state.h"

namespace CLI {
class App;
}

namespace vantor {

class CatalogueItem;
class Clock;
class InstallationEnvironment;
class ServiceManager;

// Printed after a question the window would have asked, when --yes was not given.
inline constexpr char AnswerWithYesText[] = "vantorctl: not done; give --yes to answer Yes";
inline constexpr char NoSuchResourceText[] = "vantorctl: there is no resource named ";

// What every command that changes the configuration takes.
struct ConfigSessionOptions {
    // Work on this file instead of the located config.vtr; the server is then left alone (no
    // reload, no multicast or user questions asked of it).
    std::optional<std::string> file;
    // Answer Yes to every question the window would ask; without it the command is refused there.
    bool yes = false;
};

// Adds --file and --yes to a command.
void AddConfigSessionOptions(CLI::App& command, ConfigSessionOptions& options);

// For the commands that only read: a file named with --file must be there, as the defaults
// would hide a typing error. False, with a message, when it is not.
bool NamedFileExists(const ConfigSessionOptions& options, FileStore& files, std::ostream& err);

// The platform a session reaches.
struct SessionPlatform {
    FileStore& files;
    InstallationEnvironment& environment;
    ServiceManager& serviceManager;
    Clock& clock;
    AutomationFactory& automation;
};

// The configuration as the window holds it after start-up: loaded from the file, its multicast
// groups registered, the server's state queried (when working on the located file), and the
// process-wide objects the editors share.
class ConfigSession {
public:
    ConfigSession(const ConfigSessionOptions& options, SessionPlatform& platform,
                  std::ostream& err);
    ConfigSession(const ConfigSession&) = delete;
    ConfigSession& operator=(const ConfigSession&) = delete;

    // Loads the configuration. False, with a message, when a named file exists but cannot be
    // read (a missing one is a new configuration, as at the window's start-up).
    bool Open();

    ConfigStore& Store() { return *store_; }
    MulticastTable& Multicast() { return multicastTable_; }
    AuthMethod& DefaultAuthMethod() { return defaultAuthMethod_; }
    const ServerState& State() const { return serverState_; }
    // The server's objects; none can be reached when working on a named file.
    AutomationFactory& Automation();
    SessionPrompter& Prompter() { return prompter_; }
    FileStore& Files() { return platform_.files; }
    std::ostream& Err() { return err_; }

    // The resource of that name: the exact name first, else one that differs only in letter case
    // (the names the tool keeps apart). nullptr, with a message, when there is none.
    CatalogueItem* FindResource(const std::u16string& name);

    // ExitOk when nothing was refused and nothing failed, ExitFailure otherwise (and a hint when
    // a question stopped the command).
    int ExitCode();

private:
    const ConfigSessionOptions& options_;
    SessionPlatform& platform_;
    std::ostream& err_;
    SessionPrompter prompter_;
    NoAutomation noAutomation_;
    AuthMethod defaultAuthMethod_ = AuthMethod::Anonymous;
    MulticastTable multicastTable_;
    ServerState serverState_ = ServerState::Stopped;
    std::unique_ptr<ConfigStore> store_;
};

}  // namespace vantor
