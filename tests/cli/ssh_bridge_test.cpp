// Another machine's files reached over ssh: a real sshd on 127.0.0.1 with vantorctl bridge
// behind it, the tool's side through the system's ssh client and the user's own configuration.

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "cli/ssh_server.h"
#include "cli/vantorctl_fixture.h"
#include "platform/linux_file_store.h"
#include "platform/linux_remote_bridge.h"
#include "platform/linux_remote_file_store.h"
#include "platform/linux_ssh_command.h"
#include "server/remote_host.h"

namespace vantor {
namespace {

using Bytes = std::vector<std::uint8_t>;

class SshBridge : public Vantorctl {
protected:
    void SetUp() override {
        Vantorctl::SetUp();
        std::filesystem::create_directory(At("ssh"));
        std::filesystem::create_directory(At("run"));
        server = std::make_unique<test::SshServer>(At("ssh"));
        const std::string failure = server->Start();
        ASSERT_EQ(failure, "");
        setenv("VANTOR_SSH_COMMAND", server->SshCommand().c_str(), 1);
        setenv("VANTOR_REMOTE_VANTORCTL", VANTOR_CTL_PATH, 1);
        setenv("XDG_RUNTIME_DIR", At("run").c_str(), 1);
    }
    void TearDown() override {
        // The master connection would otherwise linger for its persist time.
        const std::string exit = server->SshCommand() + " -o 'ControlPath=" + SshControlFolder() +
                                 "/%C' -O exit test-host 2>/dev/null";
        std::system(exit.c_str());
        server.reset();
        for (const char* name :
             {"VANTOR_SSH_COMMAND", "VANTOR_REMOTE_VANTORCTL", "XDG_RUNTIME_DIR"}) {
            unsetenv(name);
        }
        Vantorctl::TearDown();
    }
    RemoteHost Host() const { return *ParseRemoteHost("test-host"); }

    std::unique_ptr<test::SshServer> server;
};

TEST_F(SshBridge, FilesTravelWholeOverSshWhateverTheirNames) {
    RemoteBridge bridge(SshBridgeCommand(Host()));
    RemoteFileStore remote(bridge);
    LinuxFileStore local;
    const std::string dir = At("média 'x' $(touch pwned); `touch pwned2` \"q\" \\ end");
    std::filesystem::create_directory(dir);
    const std::string path = dir + "/config.vtr";
    const Bytes bytes = {0, 10, 13, 34, 39, 92, 36, 40, 0xff};
    ASSERT_TRUE(remote.ReplaceFile(path, bytes));
    EXPECT_EQ(local.ReadFile(path), bytes);
    EXPECT_EQ(remote.ReadFile(path), bytes);
    EXPECT_EQ(remote.Stamp(path), local.Stamp(path));
    EXPECT_FALSE(std::filesystem::exists(At("pwned")) || std::filesystem::exists("pwned") ||
                 std::filesystem::exists("pwned2"));
    {
        LockResult held = remote.LockForUpdate(path);
        ASSERT_EQ(held.status, LockStatus::Locked);
        EXPECT_EQ(LinuxFileStore(std::chrono::milliseconds(200)).LockForUpdate(path).status,
                  LockStatus::Busy);
    }
    // A second bridge rides the master connection that the first one opened.
    RemoteBridge second(SshBridgeCommand(Host()));
    EXPECT_EQ(RemoteFileStore(second).ReadFile(path), bytes);
    EXPECT_FALSE(bridge.Lost() || second.Lost());
}

TEST_F(SshBridge, AHostWhoseKeyChangedIsRefusedAsSshRefusesIt) {
    // Another machine answers under the known name: ssh refuses, nothing is read or written.
    const std::string knownHosts = server->At("known_hosts");
    ASSERT_EQ(std::system(("ssh-keygen -q -t ed25519 -N '' -f '" + server->At("other_key") +
                           "' </dev/null >/dev/null")
                              .c_str()),
              0);
    const std::string line = ReadWhole<std::string>(knownHosts);
    std::ofstream(knownHosts) << line.substr(0, line.find(' ')) << " "
                              << ReadWhole<std::string>(server->At("other_key.pub"));
    const std::string path = At("config.vtr");
    LinuxFileStore().ReplaceFile(path, Bytes{1});
    RemoteBridge bridge(SshBridgeCommand(Host()), std::chrono::milliseconds(10000));
    RemoteFileStore remote(bridge);
    EXPECT_EQ(remote.ReadFile(path), std::nullopt);
    EXPECT_TRUE(bridge.Lost());
    EXPECT_FALSE(remote.ReplaceFile(path, Bytes{2}));
    EXPECT_EQ(LinuxFileStore().ReadFile(path), Bytes{1});
}

}  // namespace
}  // namespace vantor
