// The file store of another machine through `vantorctl bridge`, run here as the far side:
// the same bytes, stamps and lock as the machine's own file store, names that a shell would
// take apart arriving whole, and a bridge that goes away failing every call cleanly.

#include "cli/bridge_command.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <filesystem>
#include <sstream>
#include <string>
#include <sys/types.h>
#include <vector>

#include <gtest/gtest.h>

#include "cli/vantorctl_fixture.h"
#include "platform/linux_bridge_protocol.h"
#include "platform/linux_file_store.h"
#include "platform/linux_platform.h"
#include "platform/linux_remote_bridge.h"
#include "platform/linux_remote_file_store.h"
#include "platform/linux_remote_machine.h"

namespace vantor {
namespace {

using Bytes = std::vector<std::uint8_t>;
using namespace std::chrono_literals;

// The kernel lets a killed process's lock go a moment after the signal.
bool QuietlyWaitForLock(LinuxFileStore& files, const std::string& path) {
    for (int tries = 0; tries < 50; ++tries) {
        if (files.LockForUpdate(path).status == LockStatus::Locked) {
            return true;
        }
    }
    return false;
}

TEST_F(Vantorctl, TheBridgeServesTheMachinesFilesAsItsOwnStoreDoes) {
    RemoteBridge bridge({VANTOR_CTL_PATH, "bridge"});
    RemoteFileStore remote(bridge);
    LinuxFileStore local(300ms);
    // A folder and a file whose names a shell would split, expand or run.
    const std::string dir = At("dir with blanks 'quoted' $(touch pwned); rm -rf x \u00e9t\u00e9");
    std::filesystem::create_directory(dir);
    const std::string path = dir + "/config \"2\".vtr";
    Bytes bytes(70000);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<std::uint8_t>(i * 7 + (i >> 9));  // every byte value, newlines too
    }
    EXPECT_EQ(remote.Stamp(path), std::nullopt);
    EXPECT_EQ(remote.ReadFile(path), std::nullopt);
    ASSERT_TRUE(remote.ReplaceFile(path, bytes));
    EXPECT_EQ(local.ReadFile(path), bytes);
    EXPECT_EQ(remote.ReadFile(path), bytes);
    EXPECT_EQ(remote.Stamp(path), local.Stamp(path));
    EXPECT_FALSE(std::filesystem::exists(At("pwned")));
    EXPECT_FALSE(std::filesystem::exists("pwned"));
    EXPECT_FALSE(remote.ReplaceFile(At("no/such/folder/file"), bytes));

    // The lock taken through the bridge is the machine's lock, held until it is released.
    {
        LockResult held = remote.LockForUpdate(path);
        ASSERT_EQ(held.status, LockStatus::Locked);
        EXPECT_EQ(local.LockForUpdate(path).status, LockStatus::Busy);
    }
    EXPECT_EQ(local.LockForUpdate(path).status, LockStatus::Locked);
}

TEST_F(Vantorctl, ALostBridgeFailsEveryCallAndLetsItsLocksGo) {
    const std::string path = At("config.vtr");
    LinuxFileStore local(300ms);
    ASSERT_TRUE(local.ReplaceFile(path, Bytes{1, 2, 3}));
    {
        // The link breaks while the bridge holds the lock: the lock goes with its process, and
        // releasing it afterwards is a call that fails at once.
        const std::string pidFile = At("bridge.pid");
        RemoteBridge bridge(
            {"sh", "-c", "echo $$ >\"$0\"; exec \"$1\" bridge", pidFile, VANTOR_CTL_PATH});
        RemoteFileStore remote(bridge);
        LockResult held = remote.LockForUpdate(path);
        ASSERT_EQ(held.status, LockStatus::Locked);
        EXPECT_EQ(local.LockForUpdate(path).status, LockStatus::Busy);
        const pid_t pid = std::stoi(ReadWhole<std::string>(pidFile));
        ASSERT_EQ(kill(pid, SIGKILL), 0);
        EXPECT_TRUE(QuietlyWaitForLock(local, path));
        EXPECT_EQ(remote.ReadFile(path), std::nullopt);
        EXPECT_TRUE(bridge.Lost());
    }
    // A login that greets before the bridge starts is no broken bridge.
    RemoteBridge greeted(
        {"sh", "-c", "echo 'Welcome to rack-7'; echo; exec \"$0\" bridge", VANTOR_CTL_PATH});
    EXPECT_EQ(RemoteFileStore(greeted).ReadFile(path), (Bytes{1, 2, 3}));
    // A far side that is not a bridge at all: it answers nothing that can be read.
    RemoteBridge notABridge({"sh", "-c", "echo hello; cat >/dev/null"}, 2000ms);
    RemoteFileStore remote(notABridge);
    EXPECT_EQ(remote.ReadFile(path), std::nullopt);
    EXPECT_TRUE(notABridge.Lost());
    EXPECT_FALSE(remote.ReplaceFile(path, Bytes{9}));
    EXPECT_EQ(remote.LockForUpdate(path).status, LockStatus::Unreachable);
    EXPECT_EQ(local.ReadFile(path), (Bytes{1, 2, 3}));
    // A program that cannot be started is a bridge lost from the start.
    RemoteBridge missing({"/nonexistent/vantorctl", "bridge"});
    EXPECT_TRUE(missing.Lost());
}

// A second of 8 kHz mono 8-bit PCM, written by hand.
Bytes Wave() {
    Bytes bytes;
    const auto text = [&](const char* four) { bytes.insert(bytes.end(), four, four + 4); };
    const auto u32 = [&](std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            bytes.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    };
    const auto u16 = [&](std::uint16_t v) {
        bytes.push_back(static_cast<std::uint8_t>(v));
        bytes.push_back(static_cast<std::uint8_t>(v >> 8));
    };
    text("RIFF"), u32(36 + 8000), text("WAVE"), text("fmt "), u32(16), u16(1), u16(1);
    u32(8000), u32(8000), u16(1), u16(8), text("data"), u32(8000);
    bytes.resize(bytes.size() + 8000, 128);
    return bytes;
}

TEST_F(Vantorctl, FoldersAreListedAndMediaProbedWhereTheyAre) {
    RemoteBridge bridge({VANTOR_CTL_PATH, "bridge"});
    LinuxPlatform here;
    const std::string dir = At("media");
    std::filesystem::create_directories(dir + "/sub folder");
    WriteWhole(dir + "/tone.wav", Wave());
    WriteWhole(dir + "/latin\xe9.mp3", Bytes{0, 0, 0});  // a name that is no UTF-8
    const auto sorted = [](std::optional<std::vector<DirectoryEntry>> entries) {
        if (entries) {
            std::sort(entries->begin(), entries->end(),
                      [](const auto& a, const auto& b) { return a.name < b.name; });
        }
        return entries;
    };
    const auto listed = sorted(RemoteDirectoryReader(bridge).ReadDirectory(dir));
    ASSERT_TRUE(listed.has_value());
    EXPECT_EQ(listed, sorted(here.directories.ReadDirectory(dir)));
    EXPECT_EQ(std::count_if(listed->begin(), listed->end(),
                            [](const auto& e) { return e.name == "latin\xe9.mp3"; }),
              1);
    EXPECT_EQ(RemoteDirectoryReader(bridge).ReadDirectory(dir + "/missing"), std::nullopt);

    RemoteMediaProbe remote(bridge);
    for (const char* name : {"/tone.wav", "/latin\xe9.mp3"}) {
        const MediaFacts facts = remote.Probe(dir + name, [] { return false; });
        EXPECT_EQ(facts, here.mediaProbe.Probe(dir + name, [] { return false; })) << name;
    }
    EXPECT_TRUE(remote.Probe(dir + "/tone.wav", [] { return false; }).renders);
    EXPECT_FALSE(remote.Probe(dir + "/tone.wav", [] { return true; }).renders);
}

TEST(BridgeProtocol, FileBytesTravelAsBase64OfEveryLength) {
    const Bytes all = {0x00, 0xff, 0x0a, 0x22, 0x5c, 0x80};
    const char* expected[] = {"", "AA==", "AP8=", "AP8K", "AP8KIg==", "AP8KIlw=", "AP8KIlyA"};
    for (std::size_t size = 0; size <= all.size(); ++size) {
        const Bytes bytes(all.begin(), all.begin() + static_cast<std::ptrdiff_t>(size));
        EXPECT_EQ(bridge::EncodeBase64(bytes), expected[size]);
        EXPECT_EQ(bridge::DecodeBase64(expected[size]), bytes);
    }
    for (const char* bad : {"AP8", "AP8*", "A===", "=AAA"}) {
        EXPECT_EQ(bridge::DecodeBase64(bad), std::nullopt) << bad;
    }
}

TEST_F(Vantorctl, TheBridgeTellsWhereTheMachineKeepsItsDataAndWhatItsAddressesAre) {
    // The far side's own settings decide, not the tool's: its common folder is another one.
    const std::string farData = At("far side");
    std::filesystem::create_directory(farData);
    RemoteBridge bridge({"env", "VANTOR_COMMON_APPDATA=" + farData, VANTOR_CTL_PATH, "bridge"});
    RemoteInstallationEnvironment remote(bridge);
    LinuxPlatform here;
    const FolderQueryResult folder = remote.CommonAppDataFolder();
    EXPECT_EQ(std::pair(folder.result, folder.path), std::pair(SOk, farData));
    EXPECT_TRUE(remote.PathExists(farData));
    EXPECT_FALSE(remote.PathExists(farData + "/Quorvane"));
    EXPECT_EQ(remote.CreateSharedFolder(farData + "/Quorvane"), SOk);
    EXPECT_EQ(std::filesystem::status(farData + "/Quorvane").permissions(),
              std::filesystem::perms::all);
    EXPECT_EQ(remote.QueryOsVersion().version, OsVersion::Later);
    EXPECT_EQ(remote.ReadFileVersion(VANTOR_CTL_PATH), std::nullopt);
    EXPECT_EQ(remote.OwnExecutablePath(), here.installation.OwnExecutablePath());
    EXPECT_EQ(RemoteNetworkAdapters(bridge).Ipv4Addresses(), here.adapters.Ipv4Addresses());
    EXPECT_EQ(RemoteHostAddress(bridge).LocalIPv4Address(), here.hostAddress.LocalIPv4Address());
    EXPECT_FALSE(bridge.Lost());
}

TEST(BridgeProtocol, AnswersCarryTheirRequestsIdAndBadLinesAreRefused) {
    LinuxPlatform system;
    BridgeServices services{system.files,       system.installation, system.adapters,
                            system.hostAddress, system.directories,  system.mediaProbe};
    std::istringstream in(
        "{\"id\": 4, \"op\": \"hello\"}\n"
        "not json\n"
        "{\"id\": 5, \"op\": \"format the disk\"}\n"
        "{\"id\": 6, \"op\": \"replace\", \"path\": \"/tmp/x\", \"data\": \"@@@\"}\n");
    std::ostringstream out;
    EXPECT_EQ(RunBridge(services, in, out), 0);
    EXPECT_EQ(out.str(),
              "{\"id\":4,\"ok\":true,\"version\":1}\n"
              "{\"error\":\"not JSON\",\"id\":null,\"ok\":false}\n"
              "{\"error\":\"unknown operation\",\"id\":5,\"ok\":false}\n"
              "{\"error\":\"no data\",\"id\":6,\"ok\":false}\n");
}

}  // namespace
}  // namespace vantor
