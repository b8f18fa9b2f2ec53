#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "config/catalogue.h"
#include "config/config_file.h"
#include "config/resource_record.h"
#include "config/server_config.h"
#include "platform/file_store.h"
#include "server/server_state.h"

namespace vantor {

class AutomationFactory;
class MulticastTable;
class Prompter;

inline constexpr std::u16string_view ConfigFileUpdateFailedText =
    u"Unable to update configuration file";
inline constexpr std::u16string_view ServerUpdateFailedText =
    u"Unable to update media server with the new configuration";
inline constexpr std::u16string_view ConfigStoreErrorCaption = u"VantorConfig - Error";
inline constexpr std::u16string_view ConfigFileBusyText =
    u"Another program is changing the configuration file. Nothing was changed; try again in a "
    u"moment.";
// The messages of a change that meets another program's change to the same thing. The name
// goes between the two parts.
inline constexpr std::u16string_view ChangedMeanwhileStart = u"\"";
inline constexpr std::u16string_view DeletedMeanwhileEnd =
    u"\" was deleted by another program meanwhile. Nothing was changed; the tree shows the "
    u"configuration file as it is now.";
inline constexpr std::u16string_view EditedMeanwhileEnd =
    u"\" was changed by another program meanwhile. Nothing was changed; the tree shows the "
    u"configuration file as it is now.";
inline constexpr std::u16string_view NameTakenMeanwhileStart = u"A resource named \"";
inline constexpr std::u16string_view NameTakenMeanwhileEnd =
    u"\" was added by another program meanwhile. Nothing was changed; the tree shows the "
    u"configuration file as it is now.";
inline constexpr std::u16string_view ServerChangedMeanwhileText =
    u"The same server settings were changed by another program meanwhile. Nothing was changed; "
    u"the settings are now those of the configuration file.";

// The one resource a command changed, so that it can be made again on a file that another
// program replaced meanwhile: before is the record as it was read (nothing for a new one),
// after the record to save (nothing when it was deleted). Both empty: no resource changed.
struct ResourceChange {
    std::optional<ResourceRecord> before;
    std::optional<ResourceRecord> after;
};

enum class SaveOutcome {
    Saved,
    // Another program had replaced the file: the change was made on its content, which memory
    // now holds.
    Merged,
    // Nothing was written, and memory holds the file as it is (another program holds the lock,
    // or its change meets this one); the message was shown.
    NotSaved,
    // The write failed; the message was shown.
    Failed,
};

// The in-memory configuration: the server settings and the catalogue, read from config.vtr and
// written back whole after every change. Other programs write the file too: every save holds
// the file's update lock and first checks that the file is still the one last read or written,
// else makes its change on the new content. The process-wide objects it fills or consults are
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
    // resources from the file and registers their multicast groups, announced to the catalogue's
    // observer as one reset. A missing or unreadable file leaves the defaults without a message.
    // False when a file is there but its bytes cannot be read (a folder, no permission).
    bool LoadConfiguration();
    // Rewrites the file from memory and, while the server runs, asks it to reload. change is the
    // resource the command changed in memory (the server settings are compared with those last
    // read). Reports its own failures to the user.
    SaveOutcome SaveConfiguration(const ResourceChange& change = {});
    // The bytes SaveConfiguration would write now.
    std::vector<std::uint8_t> FileBytes() const;

    // Takes the file's update lock and keeps it until the store goes, so that a load and the
    // saves after it are one step for every other writer (a command-line run). Busy: another
    // program held it for longer than a writer waits.
    LockStatus HoldLock();
    // True when another program replaced or changed the file since it was last read or written
    // here (the stamp first, the bytes only when the stamp moved).
    bool FileChangedOnDisk();
    // True when stamp is the one of the file as last read or written here (nothing: no file).
    bool IsBaselineStamp(const std::optional<FileStamp>& stamp) const {
        return stamp == baselineStamp_;
    }

private:
    ServerConfig ServerAsSaved() const;
    void LoadFrom(std::optional<std::vector<std::uint8_t>> bytes);
    // Memory becomes what a file holds (nothing: there is none, the defaults), announced as one
    // reset of the tree.
    void Take(std::optional<ConfigFileContents> contents);
    void RememberBaseline(std::optional<FileStamp> stamp,
                          const std::optional<std::vector<std::uint8_t>>& bytes);
    // Reads the file when its stamp moved; nothing when it is still the baseline.
    bool ReadIfChanged(std::optional<std::vector<std::uint8_t>>& fresh);
    // Memory becomes the fresh file with this store's change made on it; false, with the
    // message shown and memory holding the file, when the two changes meet.
    bool MergeInto(std::optional<std::vector<std::uint8_t>> fresh, const ResourceChange& change);
    // The change made on the records of the file; false, with the message shown and nothing
    // changed, when it meets what another program did.
    bool MergeResource(std::vector<ResourceRecord>& records, const ResourceChange& change);
    void ShowError(std::u16string text);

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
    std::unique_ptr<FileLock> heldLock_;
    // The file as last read or written here: its stamp and a hash of its bytes (nothing when
    // there was no file), and the server settings it held.
    std::optional<FileStamp> baselineStamp_;
    std::optional<std::uint64_t> baselineHash_;
    ServerConfig baselineServer_;
    AuthMethod baselineAuthMethod_ = AuthMethod::Anonymous;
};

}  // namespace vantor
