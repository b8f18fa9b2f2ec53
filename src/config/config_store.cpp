#include "config/config_store.h"

#include <memory>
#include <span>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

// Inlined: the one function used needs no library at run time.
#define XXH_INLINE_ALL
#include <xxhash.h>

#include "config/ascii_case.h"
#include "config/config_file.h"
#include "config/multicast_table.h"
#include "config/resource_texts.h"
#include "platform/prompter.h"
#include "server/automation.h"

namespace vantor {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Every save hashes what it wrote, so the hash has to keep up with memory: XXH3 does.
std::uint64_t HashBytes(const Bytes& bytes) {
    return XXH3_64bits(bytes.data(), bytes.size());
}

// What a record reads back as once written: the file keeps some fields narrower than memory.
ResourceRecord RecordAsStored(const ResourceRecord& record) {
    const ResourceRecord* records[] = {&record};
    ConfigFileContents read =
        ReadConfigFile(WriteConfigFile(ServerConfig{}, AuthMethod::Anonymous, records));
    return read.records.empty() ? record : std::move(read.records.front());
}

struct StoredServer {
    ServerConfig server;
    AuthMethod defaultAuthMethod = AuthMethod::Anonymous;
};

StoredServer ServerAsStored(const ServerConfig& server, AuthMethod defaultAuthMethod) {
    ConfigFileContents read = ReadConfigFile(
        WriteConfigFile(server, defaultAuthMethod, std::span<const ResourceRecord* const>{}));
    return {std::move(read.server), read.defaultAuthMethod};
}

// Three-way merge of one group of fields that belong together: the side that changed the group
// wins; when both did, differently, the changes meet.
template <typename... Field>
bool MergeGroup(ServerConfig& out, const ServerConfig& base, const ServerConfig& mine,
                const ServerConfig& theirs, Field ServerConfig::*... fields) {
    const auto pick = [&](const ServerConfig& config) { return std::tie(config.*fields...); };
    if (pick(mine) == pick(base)) {
        ((out.*fields = theirs.*fields), ...);
        return true;
    }
    if (pick(theirs) == pick(base) || pick(theirs) == pick(mine)) {
        ((out.*fields = mine.*fields), ...);
        return true;
    }
    return false;
}

// Every field of the settings, a limit's switch together with its value.
bool MergeServer(ServerConfig& out, const ServerConfig& base, const ServerConfig& mine,
                 const ServerConfig& theirs) {
    using S = ServerConfig;
    return MergeGroup(out, base, mine, theirs, &S::playerPort) &&
           MergeGroup(out, base, mine, theirs, &S::liveSourcePort) &&
           MergeGroup(out, base, mine, theirs, &S::limitConnections, &S::maxConnections) &&
           MergeGroup(out, base, mine, theirs, &S::limitConnectionsPerUser,
                      &S::maxConnectionsPerUser) &&
           MergeGroup(out, base, mine, theirs, &S::limitAnonymousConnections,
                      &S::maxAnonymousConnections) &&
           MergeGroup(out, base, mine, theirs, &S::limitThroughput, &S::maxThroughputKBps) &&
           MergeGroup(out, base, mine, theirs, &S::loggingMode, &S::loggingProgId) &&
           MergeGroup(out, base, mine, theirs, &S::archivalPassword) &&
           MergeGroup(out, base, mine, theirs, &S::networkInterface) &&
           MergeGroup(out, base, mine, theirs, &S::archivalServerAddress, &S::archivalServerPort);
}

// The record a change was based on, by kind and exact name; records.size() when it is gone.
std::size_t FindExact(const std::vector<ResourceRecord>& records, const ResourceRecord& record) {
    for (std::size_t i = 0; i < records.size(); ++i) {
        if (records[i].kind == record.kind && records[i].name == record.name) {
            return i;
        }
    }
    return records.size();
}

bool NameTaken(const std::vector<ResourceRecord>& records, std::u16string_view name,
               std::size_t except) {
    for (std::size_t i = 0; i < records.size(); ++i) {
        if (i != except && EqualIgnoringAsciiCase(records[i].name, name)) {
            return true;
        }
    }
    return false;
}

std::u16string Quoted(std::u16string_view start, const std::u16string& name,
                      std::u16string_view end) {
    return std::u16string(start) + name + std::u16string(end);
}

}  // namespace

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

bool ConfigStore::LoadConfiguration() {
    std::optional<FileStamp> stamp;
    std::optional<Bytes> bytes;
    if (!configPath_.empty()) {
        // The stamp before the bytes: a replace in between then shows as a change of stamp
        // whose bytes equal the baseline's, never as a new stamp over old bytes.
        stamp = fileStore_.Stamp(configPath_);
        bytes = fileStore_.ReadFile(configPath_);
    }
    const bool readable = bytes || !stamp;
    RememberBaseline(stamp, bytes);
    LoadFrom(std::move(bytes));
    return readable;
}

void ConfigStore::RememberBaseline(std::optional<FileStamp> stamp,
                                   const std::optional<Bytes>& bytes) {
    baselineStamp_ = stamp;
    baselineHash_ = bytes ? std::make_optional(HashBytes(*bytes)) : std::nullopt;
}

void ConfigStore::LoadFrom(std::optional<Bytes> bytes) {
    if (!bytes) {
        Take(std::nullopt);
        return;
    }
    ConfigFileContents contents = ReadConfigFile(*bytes);
    bytes.reset();  // the records below can be as large as the file; don't hold both
    Take(std::move(contents));
}

void ConfigStore::Take(std::optional<ConfigFileContents> contents) {
    if (!contents) {
        // No file: the defaults.
        server_ = ServerConfig{};
        defaultAuthMethod_ = AuthMethod::Anonymous;
        loadedVersion_.reset();
        baselineServer_ = server_;
        baselineAuthMethod_ = defaultAuthMethod_;
        catalogue_.Reload({});
        return;
    }
    loadedVersion_ = contents->version;
    server_ = std::move(contents->server);
    defaultAuthMethod_ = contents->defaultAuthMethod;
    baselineServer_ = server_;
    baselineAuthMethod_ = defaultAuthMethod_;

    // Groups are registered in file order, so of two clashing groups the first one stored wins.
    // A group that clashes or is invalid stays in its record, unregistered.
    for (const ResourceRecord& record : contents->records) {
        if (!record.multicastGroup.empty()) {
            std::u16string group = record.multicastGroup;
            std::u16string message;
            multicastTable_.Register(group, message);
        }
    }
    catalogue_.Reload(std::move(contents->records));
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

LockStatus ConfigStore::HoldLock() {
    LockResult result = fileStore_.LockForUpdate(configPath_);
    heldLock_ = std::move(result.lock);
    return result.status;
}

bool ConfigStore::ReadIfChanged(std::optional<Bytes>& fresh) {
    const std::optional<FileStamp> stamp = fileStore_.Stamp(configPath_);
    if (stamp == baselineStamp_) {
        return false;
    }
    fresh = fileStore_.ReadFile(configPath_);
    const std::optional<std::uint64_t> hash =
        fresh ? std::make_optional(HashBytes(*fresh)) : std::nullopt;
    if (hash == baselineHash_) {
        // Touched or copied back, not changed: the new stamp stands for the same content.
        baselineStamp_ = stamp;
        return false;
    }
    RememberBaseline(stamp, fresh);
    return true;
}

bool ConfigStore::FileChangedOnDisk() {
    std::optional<Bytes> fresh;
    const std::optional<FileStamp> oldStamp = baselineStamp_;
    const std::optional<std::uint64_t> oldHash = baselineHash_;
    if (!ReadIfChanged(fresh)) {
        return false;
    }
    // Only asked; the caller reloads, which takes the baseline again.
    baselineStamp_ = oldStamp;
    baselineHash_ = oldHash;
    return true;
}

void ConfigStore::ShowError(std::u16string text) {
    prompter_.ShowMessage(std::move(text), std::u16string(ConfigStoreErrorCaption));
}

bool ConfigStore::MergeResource(std::vector<ResourceRecord>& records,
                                const ResourceChange& change) {
    std::size_t index = records.size();
    if (change.before) {
        index = FindExact(records, *change.before);
        if (index == records.size()) {
            if (!change.after) {
                return true;  // deleted here and there alike
            }
            ShowError(Quoted(ChangedMeanwhileStart, change.before->name, DeletedMeanwhileEnd));
            return false;
        }
        if (records[index] != RecordAsStored(*change.before)) {
            ShowError(Quoted(ChangedMeanwhileStart, change.before->name, EditedMeanwhileEnd));
            return false;
        }
    }
    if (!change.after) {
        if (index != records.size()) {
            records.erase(records.begin() + static_cast<std::ptrdiff_t>(index));
        }
        return true;
    }
    if (NameTaken(records, change.after->name, index)) {
        ShowError(Quoted(NameTakenMeanwhileStart, change.after->name, NameTakenMeanwhileEnd));
        return false;
    }
    if (index != records.size()) {
        records[index] = *change.after;
    } else {
        records.push_back(*change.after);
    }
    return true;
}

bool ConfigStore::MergeInto(std::optional<Bytes> fresh, const ResourceChange& change) {
    const StoredServer mine = ServerAsStored(ServerAsSaved(), defaultAuthMethod_);
    std::optional<ConfigFileContents> contents;
    if (fresh) {
        contents = ReadConfigFile(*fresh);
        fresh.reset();
    }
    const ServerConfig theirs = contents ? contents->server : ServerConfig{};
    const AuthMethod theirsAuth = contents ? contents->defaultAuthMethod : AuthMethod::Anonymous;

    // Every check before any change, so that a refusal leaves the file's content as it is.
    ServerConfig merged = theirs;
    const bool authMerged = mine.defaultAuthMethod == baselineAuthMethod_ ||
                            theirsAuth == baselineAuthMethod_ ||
                            theirsAuth == mine.defaultAuthMethod;
    const AuthMethod mergedAuth =
        mine.defaultAuthMethod != baselineAuthMethod_ ? mine.defaultAuthMethod : theirsAuth;
    const bool hadFile = contents.has_value();
    ConfigFileContents result = hadFile ? std::move(*contents) : ConfigFileContents{};
    // A refusal shows the file as it is.
    const auto refuse = [&] {
        Take(hadFile ? std::make_optional(std::move(result)) : std::nullopt);
        return false;
    };
    if (!authMerged || !MergeServer(merged, baselineServer_, mine.server, theirs)) {
        ShowError(std::u16string(ServerChangedMeanwhileText));
        return refuse();
    }
    if (!MergeResource(result.records, change)) {
        return refuse();
    }
    result.server = merged;
    result.defaultAuthMethod = mergedAuth;
    Take(std::move(result));
    // The baseline is the file as it is, until this store writes its own.
    baselineServer_ = theirs;
    baselineAuthMethod_ = theirsAuth;
    return true;
}

SaveOutcome ConfigStore::SaveConfiguration(const ResourceChange& change) {
    if (configPath_.empty()) {
        ShowError(std::u16string(ConfigFileUpdateFailedText));
        return SaveOutcome::Failed;
    }
    LockResult lock;
    if (heldLock_ == nullptr) {
        lock = fileStore_.LockForUpdate(configPath_);
        if (lock.status == LockStatus::Unreachable) {
            // Out of reach is not changed nor gone: nothing is compared, merged or written.
            ShowError(std::u16string(ConfigFileUpdateFailedText));
            return SaveOutcome::Failed;
        }
        if (lock.status == LockStatus::Busy) {
            ShowError(std::u16string(ConfigFileBusyText));
            // What the window shows is what the file holds.
            LoadConfiguration();
            return SaveOutcome::NotSaved;
        }
    }
    std::optional<Bytes> fresh;
    SaveOutcome outcome = SaveOutcome::Saved;
    if (ReadIfChanged(fresh)) {
        if (!MergeInto(std::move(fresh), change)) {
            return SaveOutcome::NotSaved;
        }
        outcome = SaveOutcome::Merged;
    }

    const ServerConfig written = ServerAsSaved();
    Bytes bytes = WriteConfigFile(written, defaultAuthMethod_, catalogue_);
    if (!fileStore_.ReplaceFile(configPath_, bytes)) {
        // Nothing was written, so nothing changes, in memory either.
        ShowError(std::u16string(ConfigFileUpdateFailedText));
        return SaveOutcome::Failed;
    }
    RememberBaseline(fileStore_.Stamp(configPath_), bytes);
    bytes = {};
    const StoredServer stored = ServerAsStored(written, defaultAuthMethod_);
    baselineServer_ = stored.server;
    baselineAuthMethod_ = stored.defaultAuthMethod;
    // The limits that are off read back as 0; memory says the same from now on.
    server_.maxConnectionsPerUser = written.maxConnectionsPerUser;
    server_.maxAnonymousConnections = written.maxAnonymousConnections;

    if (serverState_ != ServerState::Running) {
        return outcome;
    }
    std::unique_ptr<VtrConfigObject> vtrConfig = automationFactory_.CreateVtrConfig();
    if (vtrConfig == nullptr) {
        ShowError(std::u16string(ServerUpdateFailedText));
        return outcome;
    }
    // The server reports nothing useful back; the file is written either way.
    vtrConfig->ReloadConfiguration();
    return outcome;
}

}  // namespace vantor
