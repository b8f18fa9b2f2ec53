#include "config/config_store.h"

#include <memory>
#include <sstream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "cli/headless_services.h"
#include "config/config_bytes.h"
#include "config/multicast_table.h"
#include "platform/file_store.h"
#include "ui/ui_fakes.h"

namespace vantor {
namespace {

using test::ConfigBytes;

const std::string ConfigPath = "/data/config.vtr";
// As the prompter shows them: caption, then text.
const std::string FileMessage = "VantorConfig - Error: Unable to update configuration file\n";
const std::string ReloadMessage =
    "VantorConfig - Error: Unable to update media server with the new configuration\n";

struct FailingFileStore : test::FakeFileStore {
    bool ReplaceFile(const std::string& path, std::span<const std::uint8_t> bytes) override {
        ++replaces;
        return !failReplace && test::FakeFileStore::ReplaceFile(path, bytes);
    }
    bool failReplace = false;
    int replaces = 0;
};

// Reloading fails, which the store must not care about.
class FakeAutomation : public NoAutomation {
public:
    struct VtrConfig : VtrConfigObject {
        explicit VtrConfig(int& reloads) : reloads(reloads) {}
        HResult ReloadConfiguration() override { return ++reloads, EFail; }
        int& reloads;
    };
    std::unique_ptr<VtrConfigObject> CreateVtrConfig() override {
        ++creates;
        return available ? std::make_unique<VtrConfig>(reloads) : nullptr;
    }

    bool available = true;
    int creates = 0, reloads = 0;
};

struct StoreFixture {
    explicit StoreFixture(std::string path = ConfigPath)
        : store(authMethod, multicast, state, files, automation, prompter, std::move(path)) {}

    AuthMethod authMethod = AuthMethod::SessionBased;
    MulticastTable multicast;
    ServerState state = ServerState::Stopped;
    FailingFileStore files;
    FakeAutomation automation;
    std::ostringstream messages;
    StreamPrompter prompter{messages};
    ConfigStore store;
};

TEST(ConfigStore, MissingAndUnlocatedFiles) {
    // Missing: the defaults, whatever was in memory before, and no message.
    StoreFixture missing;
    missing.store.Server().playerPort = u"1";
    missing.store.LoadConfiguration();
    EXPECT_EQ(missing.store.Server(), ServerConfig{});
    EXPECT_EQ(std::tuple(missing.authMethod, missing.store.LoadedVersion(), missing.messages.str()),
              std::tuple(AuthMethod::Anonymous, std::nullopt, ""));

    // No path: every save fails with the file message.
    StoreFixture unlocated("");
    unlocated.state = ServerState::Running;
    unlocated.store.SaveConfiguration();
    EXPECT_EQ(std::pair(unlocated.files.replaces, unlocated.automation.creates), std::pair(0, 0));
    EXPECT_EQ(unlocated.messages.str(), FileMessage);
}

TEST(ConfigStore, LoadSortsTheTreeAndSaveWritesItInTreeOrder) {
    StoreFixture fixture;
    ConfigBytes file, sorted;
    // "zulu" comes first in the file but last in the tree: it wins the port 5000. The group of
    // "Alpha" clashes on the port and stays unregistered (but kept in its record), as does an
    // invalid group.
    file.Header(60).Record(60, 2, u"zulu", u"225.0.0.1:5000").Record(60, 1, u"Music");
    file.Record(60, 2, u"Alpha", u"225.0.0.2:5000").Record(60, 1, u"Mus", u"not a group");
    file.Record(60, 1, u"Musa", u"225.0.0.3:5001", 0x08);
    fixture.files.files[ConfigPath] = file.Bytes();
    fixture.store.LoadConfiguration();
    EXPECT_EQ(fixture.store.LoadedVersion(), 60u);
    EXPECT_EQ(fixture.authMethod, AuthMethod::Internal);
    std::u16string message, taken = u"225.0.0.1:6000", free = u"225.0.0.2:6001",
                            used = u"226.0.0.1:5001";
    EXPECT_FALSE(fixture.multicast.Register(taken, message));
    EXPECT_TRUE(fixture.multicast.Register(free, message));
    EXPECT_FALSE(fixture.multicast.Register(used, message));
    EXPECT_EQ(fixture.multicast.Associations().size(), 3u);

    // Saved in tree order, with the groups that were not registered.
    fixture.store.SaveConfiguration();
    sorted.Header(60).Record(60, 1, u"Mus", u"not a group");
    sorted.Record(60, 1, u"Musa", u"225.0.0.3:5001", 0x08).Record(60, 1, u"Music");
    sorted.Record(60, 2, u"Alpha", u"225.0.0.2:5000").Record(60, 2, u"zulu", u"225.0.0.1:5000");
    EXPECT_EQ(fixture.files.files[ConfigPath], sorted.Bytes());

    // A second load starts from scratch rather than adding to the tree.
    fixture.store.LoadConfiguration();
    EXPECT_EQ(fixture.store.Resources().FileResources().Children().size(), 3u);
}

TEST(ConfigStore, SaveZeroesLimitsThatAreOffOnceWritten) {
    StoreFixture fixture;
    fixture.store.LoadConfiguration();
    ServerConfig& server = fixture.store.Server();
    auto limits = [&] {
        return std::pair(server.maxConnectionsPerUser, server.maxAnonymousConnections);
    };
    server.maxConnectionsPerUser = 5;
    server.maxAnonymousConnections = 9;
    fixture.files.failReplace = true;
    fixture.store.SaveConfiguration();
    EXPECT_EQ(limits(), std::pair(5u, 9u));
    fixture.files.failReplace = false;
    fixture.store.SaveConfiguration();
    EXPECT_EQ(limits(), std::pair(0u, 0u));
    server.limitConnectionsPerUser = true;
    server.maxConnectionsPerUser = 5;
    fixture.store.SaveConfiguration();
    EXPECT_EQ(limits(), std::pair(5u, 0u));
}

TEST(ConfigStore, SaveNotifiesTheServerOnlyWhileItRuns) {
    using enum ServerState;
    struct Case {
        ServerState state;
        bool reachable, writable;
        int creates, reloads;
        std::string messages;
    };
    const Case cases[] = {{Stopped, true, true, 0, 0, ""},
                          {NotResponding, true, true, 0, 0, ""},
                          {Running, true, true, 1, 1, ""},
                          {Running, false, true, 1, 0, ReloadMessage},
                          {Running, true, false, 0, 0, FileMessage}};
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.state) * 10 + c.reachable * 2 + c.writable);
        StoreFixture fixture;
        fixture.state = c.state;
        fixture.automation.available = c.reachable;
        fixture.files.failReplace = !c.writable;
        fixture.store.SaveConfiguration();
        EXPECT_EQ(fixture.files.replaces, 1);
        EXPECT_EQ(fixture.files.files.count(ConfigPath), c.writable ? 1u : 0u);
        EXPECT_EQ(std::pair(fixture.automation.creates, fixture.automation.reloads),
                  std::pair(c.creates, c.reloads));
        EXPECT_EQ(fixture.messages.str(), c.messages);
        // The state is read at each save, not when the store was made.
        fixture.state = Stopped;
        fixture.store.SaveConfiguration();
        EXPECT_EQ(fixture.automation.reloads, c.reloads);
    }
}

}  // namespace
}  // namespace vantor
