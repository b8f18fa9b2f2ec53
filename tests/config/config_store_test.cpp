#include "config/config_store.h"

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "config/config_bytes.h"
#include "editors/multicast_table.h"
#include "platform/file_store.h"
#include "platform/prompter.h"
#include "server/automation.h"

namespace vantor {
namespace {

using test::ConfigBytes;
using Message = std::pair<std::u16string, std::u16string>;

const std::string ConfigPath = "/data/config.vtr";
const Message FileMessage = {u"Unable to update configuration file", u"VantorConfig - Error"};
const Message ReloadMessage = {u"Unable to update media server with the new configuration",
                               u"VantorConfig - Error"};

class FakeFileStore : public FileStore {
public:
    std::optional<std::vector<std::uint8_t>> ReadFile(const std::string& path) override {
        auto found = files.find(path);
        return found == files.end() ? std::nullopt : std::optional(found->second);
    }
    bool ReplaceFile(const std::string& path, std::span<const std::uint8_t> bytes) override {
        ++replaces;
        if (!failReplace) {
            files[path].assign(bytes.begin(), bytes.end());
        }
        return !failReplace;
    }

    std::map<std::string, std::vector<std::uint8_t>> files;
    bool failReplace = false;
    int replaces = 0;
};

class FakeAutomation : public AutomationFactory {
public:
    struct VtrConfig : VtrConfigObject {
        explicit VtrConfig(int& reloads) : reloads(reloads) {}
        HResult ReloadConfiguration() override {
            ++reloads;
            return EFail;  // the store must not care
        }
        int& reloads;
    };

    std::unique_ptr<VtrConfigObject> CreateVtrConfig() override {
        ++creates;
        return available ? std::make_unique<VtrConfig>(reloads) : nullptr;
    }
    std::unique_ptr<UsersAccessObject> CreateUsersAccess() override { return nullptr; }
    std::unique_ptr<ResourcesInUseObject> CreateResourcesInUse() override { return nullptr; }
    std::unique_ptr<FileMCastTriggerObject> CreateFileMCastTrigger() override { return nullptr; }
    std::unique_ptr<RestrictionsNotifierObject> CreateRestrictionsNotifier() override {
        return nullptr;
    }

    bool available = true;
    int creates = 0;
    int reloads = 0;
};

class RecordingPrompter : public Prompter {
public:
    void ShowMessage(const std::u16string& text, const std::u16string& caption) override {
        messages.emplace_back(text, caption);
    }
    bool AskYesNo(const std::u16string&, const std::u16string&) override { return false; }

    std::vector<Message> messages;
};

struct StoreFixture {
    explicit StoreFixture(std::string path = ConfigPath)
        : store(authMethod, multicast, state, files, automation, prompter, std::move(path)) {}

    AuthMethod authMethod = AuthMethod::SessionBased;
    MulticastTable multicast;
    ServerState state = ServerState::Stopped;
    FakeFileStore files;
    FakeAutomation automation;
    RecordingPrompter prompter;
    ConfigStore store;
};

TEST(ConfigStore, MissingEmptyAndUnlocatedFiles) {
    StoreFixture missing;
    missing.store.Server().playerPort = u"1";
    missing.store.Resources().InsertResourceItem(ResourceRecord{});
    missing.store.LoadConfiguration();
    EXPECT_EQ(missing.store.Server(), ServerConfig{});
    EXPECT_EQ(missing.authMethod, AuthMethod::Anonymous);
    EXPECT_FALSE(missing.store.LoadedVersion().has_value());
    EXPECT_TRUE(missing.store.Resources().FileResources().Children().empty());
    EXPECT_TRUE(missing.prompter.messages.empty());

    StoreFixture empty;
    empty.files.files[ConfigPath] = {};
    empty.store.LoadConfiguration();
    EXPECT_EQ(empty.store.LoadedVersion(), 50u);
    ServerConfig portsEmpty;  // their counts cannot be read
    portsEmpty.playerPort = portsEmpty.liveSourcePort = u"";
    EXPECT_EQ(empty.store.Server(), portsEmpty);

    // No path: reads as missing, and every save fails with the file message.
    StoreFixture unlocated("");
    unlocated.store.LoadConfiguration();
    EXPECT_EQ(unlocated.store.Server(), ServerConfig{});
    unlocated.state = ServerState::Running;
    unlocated.store.SaveConfiguration();
    EXPECT_EQ(unlocated.files.replaces, 0);
    EXPECT_EQ(unlocated.prompter.messages, std::vector<Message>{FileMessage});
    EXPECT_EQ(unlocated.automation.creates, 0);
}

TEST(ConfigStore, LoadSortsTheTreeAndSaveWritesItInTreeOrder) {
    StoreFixture fixture;
    ConfigBytes file;
    // Out of order, live broadcasts before folders, one folder disabled. "zulu" comes first in
    // the file but last in the tree: it wins the port 5000. The group of "Alpha" clashes on the
    // port and stays unregistered (but kept in its record); an invalid group is kept too.
    file.Header(60).Record(60, 2, u"zulu", u"225.0.0.1:5000").Record(60, 1, u"Music");
    file.Record(60, 2, u"Alpha", u"225.0.0.2:5000").Record(60, 1, u"Mus", u"not a group");
    file.Record(60, 1, u"Musa", u"225.0.0.3:5001", 0x08);
    fixture.files.files[ConfigPath] = file.Bytes();

    fixture.store.LoadConfiguration();
    EXPECT_EQ(fixture.store.LoadedVersion(), 60u);
    EXPECT_EQ(fixture.authMethod, AuthMethod::Internal);
    EXPECT_EQ(fixture.store.Server().networkInterface, u"eth0 \u00e9");
    // "Musa (disabled)" sorts after "Mus" and before "Music" as its display text.
    const CatalogueItem& files = fixture.store.Resources().FileResources();
    ASSERT_EQ(files.Children().size(), 3u);
    EXPECT_EQ(files.Children()[1]->Text(), u"Musa (disabled)");
    std::u16string message;
    for (auto [group, free] : {std::pair(u"225.0.0.1:6000", false),
                               {u"225.0.0.2:6001", true},
                               {u"226.0.0.1:5001", false}}) {
        std::u16string text = group;
        EXPECT_EQ(fixture.multicast.Register(text, message), free);
    }
    EXPECT_EQ(fixture.multicast.Associations().size(), 3u);

    // Saved as it was read, each branch in tree order, the groups that were not registered too.
    fixture.store.SaveConfiguration();
    ConfigBytes sorted;
    sorted.Header(60).Record(60, 1, u"Mus", u"not a group");
    sorted.Record(60, 1, u"Musa", u"225.0.0.3:5001", 0x08).Record(60, 1, u"Music");
    sorted.Record(60, 2, u"Alpha", u"225.0.0.2:5000").Record(60, 2, u"zulu", u"225.0.0.1:5000");
    EXPECT_EQ(fixture.files.files[ConfigPath], sorted.Bytes());

    // A second load starts from scratch rather than adding to the tree.
    fixture.store.LoadConfiguration();
    EXPECT_EQ(files.Children().size(), 3u);
}

TEST(ConfigStore, SaveZeroesLimitsThatAreOff) {
    StoreFixture fixture;
    fixture.store.LoadConfiguration();
    ServerConfig& server = fixture.store.Server();
    server.maxConnectionsPerUser = 5;
    server.maxAnonymousConnections = 9;

    fixture.files.failReplace = true;
    fixture.store.SaveConfiguration();
    EXPECT_EQ(server.maxConnectionsPerUser, 5u);  // nothing was written, memory is as it was

    fixture.files.failReplace = false;
    fixture.store.SaveConfiguration();
    EXPECT_EQ(server.maxConnectionsPerUser, 0u);
    EXPECT_EQ(server.maxAnonymousConnections, 0u);

    server.limitConnectionsPerUser = true;
    server.maxConnectionsPerUser = 5;
    fixture.store.SaveConfiguration();
    EXPECT_EQ(server.maxConnectionsPerUser, 5u);
    EXPECT_EQ(server.maxAnonymousConnections, 0u);
}

TEST(ConfigStore, SaveNotifiesTheServerOnlyWhileItRuns) {
    using enum ServerState;
    struct Case {
        ServerState state;
        bool reachable, writable;
        int creates, reloads;
        std::vector<Message> messages;
    };
    const Case cases[] = {{Stopped, true, true, 0, 0, {}},
                          {NotResponding, true, true, 0, 0, {}},
                          {ChangingState, true, true, 0, 0, {}},
                          {Running, true, true, 1, 1, {}},
                          {Running, false, true, 1, 0, {ReloadMessage}},
                          {Running, true, false, 0, 0, {FileMessage}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.state) * 10 + c.reachable * 2 + c.writable);
        StoreFixture fixture;
        fixture.state = c.state;
        fixture.automation.available = c.reachable;
        fixture.files.failReplace = !c.writable;
        fixture.store.SaveConfiguration();
        EXPECT_EQ(fixture.files.replaces, 1);
        EXPECT_EQ(fixture.files.files.count(ConfigPath), c.writable ? 1u : 0u);
        EXPECT_EQ(fixture.automation.creates, c.creates);
        EXPECT_EQ(fixture.automation.reloads, c.reloads);
        EXPECT_EQ(fixture.prompter.messages, c.messages);
        // The state is read at each save, not when the store was made.
        fixture.state = Stopped;
        fixture.store.SaveConfiguration();
        EXPECT_EQ(fixture.automation.reloads, c.reloads);
    }
}

}  // namespace
}  // namespace vantor
