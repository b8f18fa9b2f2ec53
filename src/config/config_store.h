#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "config/catalogue.h"
#include "config/resource_record.h"
#include "config/server_config.h"
#include "server/server_state.h"

namespace vantor {

class AutomationFactory;
class FileStore;
class MulticastTable;
class Prompter;

inline constexpr std::u16string_view ConfigFileUpdateFailedText =
    u"Unable to update configuration file";
inline constexpr std::u16string_view ServerUpdateFailedText =
    u"Unable to update media server with the new configuration";
inline constexpr std::u16string_view ConfigStoreErrorCaption = u"VantorConfig - Error";

// The in-memory configuration: the server settings and the catalogue, read from config.vtr once
// and written back whole after every change. The process-wide objects it fills or consults are
// passed in by reference and must outlive it.
class ConfigStore {
public:
    // configPath is UTF-8; empty when the file could not be located, which reads as a missing
    // file and fails every save.
    ConfigStore(AuthMethod& defaultAuthMethod, MulticastTable& multicastTable,
                const ServerState& serverState, FileStore& fileStore,
                AutomationFactory& automationFactory, Prompter& prompter, std::string configPath);
    ConfigStore(const ConfigStore&) = delete;
    ConfigStore& operator=(const ConfigStore&) = delete;

    ServerConfig& Server() { return server_; }
    const ServerConfig& Server() const { return server_; }
    Catalogue& Resources() { return catalogue_; }
    const Catalogue& Resources() const { return catalogue_; }
    const std::string& ConfigPath() const { return configPath_; }
    // The format version of the file last loaded; nothing when no file could be read.
    std::optional<std::uint32_t> LoadedVersion() const { return loadedVersion_; }

    // Starts over from the defaults and an empty catalogue, then takes the settings and the
    // resources from the file and registers their multicast groups. A missing or unreadable
    // file leaves the defaults without a message.
    void LoadConfiguration();
    // Rewrites the file from memory and, while the server runs, asks it to reload. Reports its
    // own failures to the user.
    void SaveConfiguration();
    // The bytes SaveConfiguration would write now.
    std::vector<std::uint8_t> FileBytes() const;

private:
    ServerConfig ServerAsSaved() const;

    AuthMethod& defaultAuthMethod_;
    MulticastTable& multicastTable_;
    const ServerState& serverState_;
    FileStore& fileStore_;
    AutomationFactory& automationFactory_;
    Prompter& prompter_;
    std::string configPath_;
    ServerConfig server_;
    Catalogue catalogue_;
    std::optional<std::uint32_t> loadedVersion_;
};

}  // namespace vantor
