#include "config/config_store.h"

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "config/config_bytes.h"
#include "config/config_file.h"
#include "editors/multicast_table.h"
#include "platform/file_store.h"
#include "platform/prompter.h"
#include "server/automation.h"

namespace vantor {
namespace {

using test::ConfigBytes;

const std::string ConfigPath = "/data/config.vtr";

class FakeFileStore : public FileStore {
public:
    std::optional<std::vector<std::uint8_t>> ReadFile(const std::string& path) override {
        ++reads;
        auto found = files.find(path);
        if (found == files.end()) {
            return std::nullopt;
        }
        return found->second;
    }
    bool ReplaceFile(const std::string& path, std::span<const std::uint8_t> bytes) override {
        ++replaces;
        if (failReplace) {
            return false;
        }
        files[path].assign(bytes.begin(), bytes.end());
        return true;
    }

    std::map<std::string, std::vector<std::uint8_t>> files;
    bool failReplace = false;
    int reads = 0;
    int replaces = 0;
};

class FakeAutomation : public AutomationFactory {
public:
    class VtrConfig : public VtrConfigObject {
    public:
        explicit VtrConfig(FakeAutomation& owner) : owner_(owner) {}
        HResult ReloadConfiguration() override {
            ++owner_.reloads;
            return EFail;  // the store must not care
        }

    private:
        FakeAutomation& owner_;
    };

    std::unique_ptr<VtrConfigObject> CreateVtrConfig() override {
        ++creates;
        if (!available) {
            return nullptr;
        }
        return std::make_unique<VtrConfig>(*this);
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
    bool AskYesNo(const std::u16string&, const std::u16string&) override {
        ADD_FAILURE() << "the store asks no questions";
        return false;
    }

    std::vector<std::pair<std::u16string, std::u16string>> messages;
};

using Message = std::pair<std::u16string, std::u16string>;
const Message FileMessage = {u"Unable to update configuration file", u"VantorConfig - Error"};
const Message ReloadMessage = {u"Unable to update media server with the new configuration",
                               u"VantorConfig - Error"};

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

std::vector<std::u16string> Names(const CatalogueItem& branch) {
    std::vector<std::u16string> names;
    for (const auto& child : branch.Children()) {
        names.push_back(child->Record().name);
    }
    return names;
}

ConfigBytes Header60() {
    ConfigBytes bytes;
    bytes.U32(60).BaseHeader().Str(u"pw").Str(u"eth0").Str(u"").Str(u"");
    return bytes;
}

TEST(ConfigStore, MissingEmptyAndUnlocatedFiles) {
    StoreFixture missing;
    missing.store.Server().playerPort = u"1";
    missing.store.Resources().InsertResourceItem(ResourceRecord{});
    missing.store.LoadConfiguration();
    EXPECT_EQ(missing.files.reads, 1);
    EXPECT_EQ(missing.store.Server(), ServerConfig{});
    EXPECT_EQ(missing.authMethod, AuthMethod::Anonymous);
    EXPECT_FALSE(missing.store.LoadedVersion().has_value());
    EXPECT_TRUE(missing.store.Resources().FileResources().Children().empty());
    EXPECT_TRUE(missing.prompter.messages.empty());

    StoreFixture empty;
    empty.files.files[ConfigPath] = {};
    empty.store.LoadConfiguration();
    EXPECT_EQ(empty.store.LoadedVersion(), 50u);
    EXPECT_EQ(empty.store.Server().playerPort, u"");
    EXPECT_EQ(empty.store.Server().liveSourcePort, u"");
    EXPECT_EQ(empty.store.Server().networkInterface, u"Any available");

    // No path: reads as missing, and every save fails with the file message.
    StoreFixture unlocated("");
    unlocated.store.LoadConfiguration();
    EXPECT_EQ(unlocated.files.reads, 0);
    EXPECT_EQ(unlocated.store.Server(), ServerConfig{});
    unlocated.state = ServerState::Running;
    unlocated.store.SaveConfiguration();
    EXPECT_EQ(unlocated.files.replaces, 0);
    EXPECT_EQ(unlocated.prompter.messages, std::vector<Message>{FileMessage});
    EXPECT_EQ(unlocated.automation.creates, 0);
}

TEST(ConfigStore, LoadSortsTheTreeAndSaveWritesItInTreeOrder) {
    StoreFixture fixture;
    ConfigBytes file = Header60();
    // Out of order, live broadcasts before folders, one folder disabled.
    file.BaseRecord(2, u"zulu").NewerRecordFields();
    file.BaseRecord(1, u"Music").NewerRecordFields();
    file.BaseRecord(2, u"Alpha").NewerRecordFields();
    file.BaseRecord(1, u"Mus").NewerRecordFields();
    file.U8(1).U8(1).U8(7).U8(0x08).U8(0).U8(0).U8(0).U32(0xFFFFFFFF);
    file.Str(u"Musa").Str(u"/m").Str(u"").Str(u"").Str(u"").Str(u"").Str(u"");
    file.U32(0).U32(0).U32(0).U8(0);
    fixture.files.files[ConfigPath] = file.Bytes();

    fixture.store.LoadConfiguration();
    EXPECT_EQ(fixture.store.LoadedVersion(), 60u);
    EXPECT_EQ(fixture.authMethod, AuthMethod::Internal);
    EXPECT_EQ(fixture.store.Server().networkInterface, u"eth0");
    const Catalogue& resources = fixture.store.Resources();
    // "Musa (disabled)" sorts after "Mus" and before "Music" as its display text.
    EXPECT_EQ(Names(resources.FileResources()),
              (std::vector<std::u16string>{u"Mus", u"Musa", u"Music"}));
    EXPECT_EQ(resources.FileResources().Children()[1]->Text(), u"Musa (disabled)");
    EXPECT_EQ(Names(resources.LiveBroadcasts()), (std::vector<std::u16string>{u"Alpha", u"zulu"}));

    fixture.store.SaveConfiguration();
    ASSERT_EQ(fixture.files.replaces, 1);
    ConfigFileContents saved = ReadConfigFile(fixture.files.files[ConfigPath]);
    EXPECT_EQ(saved.version, 60u);
    std::vector<std::u16string> order;
    for (const ResourceRecord& record : saved.records) {
        order.push_back(record.name);
    }
    EXPECT_EQ(order, (std::vector<std::u16string>{u"Mus", u"Musa", u"Music", u"Alpha", u"zulu"}));
    EXPECT_FALSE(saved.records[1].enabled);
    EXPECT_EQ(saved.defaultAuthMethod, AuthMethod::Internal);
    EXPECT_EQ(saved.server, fixture.store.Server());

    // A second load starts from scratch rather than adding to the tree.
    fixture.store.LoadConfiguration();
    EXPECT_EQ(resources.FileResources().Children().size(), 3u);
}

TEST(ConfigStore, SaveZeroesLimitsThatAreOff) {
    StoreFixture fixture;
    fixture.store.LoadConfiguration();
    ServerConfig& server = fixture.store.Server();
    server.maxConnectionsPerUser = 5;
    server.maxAnonymousConnections = 9;

    fixture.files.failReplace = true;
    fixture.store.SaveConfiguration();
    // Nothing was written, so memory is as it was.
    EXPECT_EQ(server.maxConnectionsPerUser, 5u);

    fixture.files.failReplace = false;
    fixture.store.SaveConfiguration();
    EXPECT_EQ(server.maxConnectionsPerUser, 0u);
    EXPECT_EQ(server.maxAnonymousConnections, 0u);

    server.limitConnectionsPerUser = true;
    server.maxConnectionsPerUser = 5;
    fixture.store.SaveConfiguration();
    EXPECT_EQ(server.maxConnectionsPerUser, 5u);
    ConfigFileContents saved = ReadConfigFile(fixture.files.files[ConfigPath]);
    EXPECT_TRUE(saved.server.limitConnectionsPerUser);
    EXPECT_EQ(saved.server.maxConnectionsPerUser, 5u);
    EXPECT_FALSE(saved.server.limitAnonymousConnections);
}

TEST(ConfigStore, SaveNotifiesTheServerOnlyWhileItRuns) {
    for (ServerState state :
         {ServerState::Stopped, ServerState::NotResponding, ServerState::ChangingState}) {
        StoreFixture fixture;
        fixture.state = state;
        fixture.store.SaveConfiguration();
        EXPECT_EQ(fixture.files.replaces, 1);
        EXPECT_EQ(fixture.automation.creates, 0);
        EXPECT_TRUE(fixture.prompter.messages.empty());
    }

    StoreFixture running;
    running.state = ServerState::Running;
    running.store.SaveConfiguration();
    EXPECT_EQ(running.files.replaces, 1);
    EXPECT_EQ(running.automation.reloads, 1);
    EXPECT_TRUE(running.prompter.messages.empty());
    // The state is read at each save, not when the store was made.
    running.state = ServerState::Stopped;
    running.store.SaveConfiguration();
    EXPECT_EQ(running.automation.reloads, 1);

    StoreFixture unreachable;
    unreachable.state = ServerState::Running;
    unreachable.automation.available = false;
    unreachable.store.SaveConfiguration();
    EXPECT_EQ(unreachable.files.files.count(ConfigPath), 1u);
    EXPECT_EQ(unreachable.prompter.messages, std::vector<Message>{ReloadMessage});

    StoreFixture unwritable;
    unwritable.state = ServerState::Running;
    unwritable.files.failReplace = true;
    unwritable.store.SaveConfiguration();
    EXPECT_EQ(unwritable.prompter.messages, std::vector<Message>{FileMessage});
    EXPECT_EQ(unwritable.automation.creates, 0);
    EXPECT_EQ(unwritable.files.files.count(ConfigPath), 0u);
}

TEST(ConfigStore, LoadRegistersMulticastGroupsInFileOrder) {
    StoreFixture fixture;
    ConfigBytes file = Header60();
    // "zulu" comes first in the file but last in the tree: it wins the port 5000. The group of
    // "Alpha" clashes on the port and stays unregistered (but kept in its record); an invalid
    // group is kept too.
    file.BaseRecord(2, u"zulu", u"225.0.0.1:5000").NewerRecordFields();
    file.BaseRecord(2, u"Alpha", u"225.0.0.2:5000").NewerRecordFields();
    file.BaseRecord(1, u"Bad", u"not a group").NewerRecordFields();
    file.BaseRecord(1, u"Folder", u"225.0.0.3:5001").NewerRecordFields();
    fixture.files.files[ConfigPath] = file.Bytes();

    fixture.store.LoadConfiguration();
    const Catalogue& resources = fixture.store.Resources();
    ASSERT_EQ(resources.LiveBroadcasts().Children().size(), 2u);
    EXPECT_EQ(resources.LiveBroadcasts().Children()[0]->Record().multicastGroup, u"225.0.0.2:5000");
    EXPECT_EQ(resources.FileResources().Children()[0]->Record().multicastGroup, u"not a group");

    std::u16string message;
    std::u16string taken = u"225.0.0.1:6000";
    EXPECT_FALSE(fixture.multicast.Register(taken, message));
    std::u16string free = u"225.0.0.2:6001";
    EXPECT_TRUE(fixture.multicast.Register(free, message));
    std::u16string takenPort = u"226.0.0.1:5001";
    EXPECT_FALSE(fixture.multicast.Register(takenPort, message));
    EXPECT_EQ(fixture.multicast.Associations().size(), 3u);
}

}  // namespace
}  // namespace vantor
