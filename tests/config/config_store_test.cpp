#include "config/config_store.h"

#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "cli/headless_services.h"
#include "config/catalogue.h"
#include "config/config_bytes.h"
#include "config/multicast_table.h"
#include "config/other_program.h"
#include "config/text_codec.h"
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
    LockResult LockForUpdate(const std::string& path) override {
        if (busy) {
            return {LockStatus::Busy, nullptr};
        }
        return test::FakeFileStore::LockForUpdate(path);
    }
    bool failReplace = false;
    bool busy = false;
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

// Another program writing the same file.
struct OtherProgram : test::OtherProgram {
    explicit OtherProgram(FileStore& files) : test::OtherProgram(files, ConfigPath) {}
};

// Each resource as "name description" (enabled) or "name description off", folders first.
std::vector<std::string> Resources(const ConfigStore& store) {
    std::vector<std::string> lines;
    for (const CatalogueItem* branch :
         {&store.Resources().FileResources(), &store.Resources().LiveBroadcasts()}) {
        for (const auto& child : branch->Children()) {
            const ResourceRecord& record = child->Record();
            lines.push_back(Utf16ToUtf8(record.name) + " " + Utf16ToUtf8(record.description) +
                            (record.enabled ? "" : " off"));
        }
    }
    return lines;
}

// The window's store over a file with the folders Clips and Music, and another program that
// has read the same file.
struct TwoWriters {
    TwoWriters() {
        OtherProgram first(window.files);
        first.Add(u"Clips");
        first.Add(u"Music");
        window.store.LoadConfiguration();
        other.store.LoadConfiguration();
    }
    std::vector<std::string> FileResources() {
        OtherProgram reader(window.files);
        return Resources(reader.store);
    }
    const std::vector<std::uint8_t>& FileBytes() { return window.files.files.at(ConfigPath); }

    StoreFixture window;
    OtherProgram other{window.files};
};

TEST(ConfigStore, ASaveOverAFileChangedMeanwhileKeepsBothChanges) {
    TwoWriters w;
    using Lines = std::vector<std::string>;
    // The other program adds a folder and a broadcast and moves the player port; the window
    // edits a folder it had read and sets the logging mode.
    w.other.Add(u"News");
    w.other.Add(u"Camera", ResourceKind::LiveBroadcast);
    w.other.store.Server().playerPort = u"6000";
    w.other.store.SaveConfiguration();
    CatalogueItem& clips = *w.window.store.Resources().FileResources().Children()[0];
    ResourceChange change{.before = clips.Record(), .after = std::nullopt};
    clips.Record().description = u"edited";
    change.after = clips.Record();
    w.window.store.Server().loggingMode = 1;
    EXPECT_EQ(w.window.store.SaveConfiguration(change), SaveOutcome::Merged);
    EXPECT_EQ(w.FileResources(), (Lines{"Clips edited", "Music ", "News ", "Camera "}));
    EXPECT_EQ(Resources(w.window.store), w.FileResources());
    OtherProgram reader(w.window.files);
    EXPECT_EQ(std::pair(reader.store.Server().playerPort, reader.store.Server().loggingMode),
              std::pair(std::u16string(u"6000"), 1u));
    EXPECT_EQ(w.window.store.Server().playerPort, u"6000");

    // Deleted here and there alike is no clash; a disable meets a deletion of another record.
    w.other.store.LoadConfiguration();
    w.other.Delete(u"News");
    w.other.Delete(u"Camera");
    CatalogueItem& camera = *w.window.store.Resources().LiveBroadcasts().Children()[0];
    ResourceChange deleted{.before = camera.Record(), .after = std::nullopt};
    w.window.store.Resources().RemoveItem(camera);
    EXPECT_EQ(w.window.store.SaveConfiguration(deleted), SaveOutcome::Merged);
    EXPECT_EQ(w.FileResources(), (Lines{"Clips edited", "Music "}));
    EXPECT_EQ(w.window.messages.str(), "");

    // Nothing new on disk: saved as it is. Touched without a change of content: the same.
    EXPECT_EQ(w.window.store.SaveConfiguration(), SaveOutcome::Saved);
    ++w.window.files.generation[ConfigPath];
    CatalogueItem& music = *w.window.store.Resources().FileResources().Children()[1];
    ResourceChange disabled{.before = music.Record(), .after = std::nullopt};
    music.Record().enabled = false;
    disabled.after = music.Record();
    EXPECT_EQ(w.window.store.SaveConfiguration(disabled), SaveOutcome::Saved);
    EXPECT_EQ(w.FileResources(), (Lines{"Clips edited", "Music  off"}));
}

TEST(ConfigStore, ChangesThatMeetAreRefusedAndChangeNoByte) {
    using Edit = std::function<void(OtherProgram&)>;
    const auto describe = [](std::u16string_view name, std::u16string text) {
        return [name, text](OtherProgram& program) {
            program.Edit(name, [&](ResourceRecord& record) { record.description = text; });
        };
    };
    const auto port = [](std::u16string text) {
        return [text](OtherProgram& program) {
            program.store.Server().playerPort = text;
            program.store.SaveConfiguration();
        };
    };
    struct Case {
        Edit theirs, mine;
        std::string message;
    };
    const std::string end =
        " Nothing was changed; the tree shows the configuration file as it is now.\n";
    const Case cases[] = {
        {[](OtherProgram& p) { p.Delete(u"Clips"); }, describe(u"Clips", u"mine"),
         "VantorConfig - Error: \"Clips\" was deleted by another program meanwhile." + end},
        {describe(u"Clips", u"theirs"), describe(u"Clips", u"mine"),
         "VantorConfig - Error: \"Clips\" was changed by another program meanwhile." + end},
        {describe(u"Clips", u"theirs"), [](OtherProgram& p) { p.Delete(u"Clips"); },
         "VantorConfig - Error: \"Clips\" was changed by another program meanwhile." + end},
        {[](OtherProgram& p) { p.Add(u"news"); }, [](OtherProgram& p) { p.Add(u"News"); },
         "VantorConfig - Error: A resource named \"News\" was added by another program "
         "meanwhile." +
             end},
        {[](OtherProgram& p) { p.Add(u"News", ResourceKind::LiveBroadcast); },
         [](OtherProgram& p) {
             p.Edit(u"Clips", [](ResourceRecord& record) { record.name = u"NEWS"; });
         },
         "VantorConfig - Error: A resource named \"NEWS\" was added by another program "
         "meanwhile." +
             end},
        {port(u"6000"), port(u"7000"),
         "VantorConfig - Error: The same server settings were changed by another program "
         "meanwhile. Nothing was changed; the settings are now those of the configuration "
         "file.\n"},
    };
    int index = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(index++);
        TwoWriters w;
        OtherProgram window(w.window.files);
        c.theirs(w.other);
        const std::vector<std::uint8_t> theirs = w.FileBytes();
        const std::size_t writes = w.window.files.writes.size();
        c.mine(window);
        EXPECT_EQ(window.messages.str(), c.message);
        EXPECT_EQ(w.window.files.writes.size(), writes);
        EXPECT_EQ(w.FileBytes(), theirs);
        // What the window shows is what the file holds.
        EXPECT_EQ(Resources(window.store), w.FileResources());
        EXPECT_EQ(window.store.Server().playerPort, w.other.store.Server().playerPort);
    }
}

TEST(ConfigStore, ABusyLockWritesNothingAndShowsTheFileAsItIs) {
    TwoWriters w;
    CatalogueItem& clips = *w.window.store.Resources().FileResources().Children()[0];
    ResourceChange change{.before = clips.Record(), .after = std::nullopt};
    w.window.store.Resources().RemoveItem(clips);
    w.window.files.busy = true;
    const std::vector<std::uint8_t> before = w.FileBytes();
    const int replaces = w.window.files.replaces;
    EXPECT_EQ(w.window.store.SaveConfiguration(change), SaveOutcome::NotSaved);
    EXPECT_EQ(w.window.messages.str(),
              "VantorConfig - Error: Another program is changing the configuration file. Nothing "
              "was changed; try again in a moment.\n");
    EXPECT_EQ(w.window.files.replaces, replaces);
    EXPECT_EQ(w.FileBytes(), before);
    EXPECT_EQ(Resources(w.window.store), (std::vector<std::string>{"Clips ", "Music "}));
}

}  // namespace
}  // namespace vantor
