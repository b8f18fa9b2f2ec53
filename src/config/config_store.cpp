#include "config/config_store.h"

#include <memory>
#include <utility>
#include <vector>

#include "config/config_file.h"
#include "config/multicast_table.h"
#include "platform/file_store.h"
#include "platform/prompter.h"
#include "server/automation.h"

namespace vantor {

ConfigStore::ConfigStore(AuthMethod& defaultAuthMethod, MulticastTable& multicastTable,
                         const ServerState& serverState, FileStore& fileStore,
                         AutomationFactory& automationFactory, Prompter& prompter,
                         std::string configPath)
    : defaultAuthMethod_(defaultAuthMethod),
      multicastTable_(multicastTable),
      serverState_(serverState),
      fileStore_(fileStore),
      automationFactory_(automationFactory),
      prompter_(prompter),
      configPath_(std::move(configPath)) {}

void ConfigStore::LoadConfiguration() {
    catalogue_.Clear();
    server_ = ServerConfig{};
    defaultAuthMethod_ = AuthMethod::Anonymous;
    loadedVersion_.reset();

    if (configPath_.empty()) {
        return;
    }
    std::optional<std::vector<std::uint8_t>> bytes = fileStore_.ReadFile(configPath_);
    if (!bytes) {
        return;
    }
    ConfigFileContents contents = ReadConfigFile(*bytes);
    bytes.reset();  // the records below can be as large as the file; don't hold both
    loadedVersion_ = contents.version;
    server_ = std::move(contents.server);
    defaultAuthMethod_ = contents.defaultAuthMethod;

    // Groups are registered in file order, so of two clashing groups the first one stored wins.
    // A group that clashes or is invalid stays in its record, unregistered.
    for (const ResourceRecord& record : contents.records) {
        if (!record.multicastGroup.empty()) {
            std::u16string group = record.multicastGroup;
            std::u16string message;
            multicastTable_.Register(group, message);
        }
    }
    catalogue_.InsertLoaded(std::move(contents.records));
}

ServerConfig ConfigStore::ServerAsSaved() const {
    // A limit that is off is stored as 0, so that is what it reads back as.
    ServerConfig saved = server_;
    if (!saved.limitConnectionsPerUser) {
        saved.maxConnectionsPerUser = 0;
    }
    if (!saved.limitAnonymousConnections) {
        saved.maxAnonymousConnections = 0;
    }
    return saved;
}

std::vector<std::uint8_t> ConfigStore::FileBytes() const {
    return WriteConfigFile(ServerAsSaved(), defaultAuthMethod_, catalogue_);
}

void ConfigStore::SaveConfiguration() {
    const ServerConfig written = ServerAsSaved();
    const std::vector<std::uint8_t> bytes =
        WriteConfigFile(written, defaultAuthMethod_, catalogue_);
    if (configPath_.empty() || !fileStore_.ReplaceFile(configPath_, bytes)) {
        // Nothing was written, so nothing changes, in memory either.
        prompter_.ShowMessage(std::u16string(ConfigFileUpdateFailedText),
                              std::u16string(ConfigStoreErrorCaption));
        return;
    }
    // The limits that are off read back as 0; memory says the same from now on.
    server_.maxConnectionsPerUser = written.maxConnectionsPerUser;
    server_.maxAnonymousConnections = written.maxAnonymousConnections;

    if (serverState_ != ServerState::Running) {
        return;
    }
    std::unique_ptr<VtrConfigObject> vtrConfig = automationFactory_.CreateVtrConfig();
    if (vtrConfig == nullptr) {
        prompter_.ShowMessage(std::u16string(ServerUpdateFailedText),
                              std::u16string(ConfigStoreErrorCaption));
        return;
    }
    // The server reports nothing useful back; the file is written either way.
    vtrConfig->ReloadConfiguration();
}

}  // namespace vantor
