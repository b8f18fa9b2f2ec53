#include "platform/linux_platform.h"

#include <cstdlib>
#include <mutex>

#include "platform/linux_remote_bridge.h"
#include "platform/linux_remote_file_store.h"
#include "platform/linux_remote_machine.h"
#include "platform/linux_ssh_command.h"

namespace vantor {

HostChoice ChosenHost() {
    const char* value = std::getenv(HostVariable);
    if (value == nullptr || *value == '\0') {
        return {};
    }
    std::optional<RemoteHost> host = ParseRemoteHost(value);
    if (!host) {
        return {std::nullopt, std::string(value) + " " + std::string(BadHostText)};
    }
    return {std::move(host), {}};
}

void UseChosenHostsBus(const HostChoice& choice) {
    if (choice.host) {
        setenv("DBUS_SYSTEM_BUS_ADDRESS", RemoteSystemBusAddress(*choice.host).c_str(), 1);
    }
}

namespace {

// Long enough for the user to answer ssh's questions (a passphrase, a new host key).
constexpr std::chrono::milliseconds kFirstAnswer{120000};

// Another machine's link: its bridge. The bus over ssh makes its own connection again at the
// next call after it broke.
class BridgeConnection : public ServerConnection {
public:
    explicit BridgeConnection(RemoteBridge& bridge) : bridge_(bridge) {}
    bool Lost() const override { return bridge_.Lost(); }
    bool Reconnect() override { return bridge_.Restart(kFirstAnswer); }

private:
    RemoteBridge& bridge_;
};

}  // namespace

struct LinuxPlatform::Remote {
    explicit Remote(const RemoteHost& host)
        : bridge(SshBridgeCommand(host)),
          connection(bridge),
          files(bridge),
          installation(bridge),
          hostAddress(bridge),
          adapters(bridge),
          directories(bridge),
          mediaProbe(bridge) {}

    RemoteBridge bridge;
    BridgeConnection connection;
    RemoteFileStore files;
    RemoteInstallationEnvironment installation;
    RemoteHostAddress hostAddress;
    RemoteNetworkAdapters adapters;
    RemoteDirectoryReader directories;
    RemoteMediaProbe mediaProbe;
};

namespace {

std::shared_ptr<LinuxPlatform::Remote> SharedRemote(const std::optional<RemoteHost>& host) {
    if (!host) {
        return nullptr;
    }
    static std::mutex mutex;
    static std::weak_ptr<LinuxPlatform::Remote> shared;
    static RemoteHost sharedHost;
    std::lock_guard lock(mutex);
    std::shared_ptr<LinuxPlatform::Remote> remote = shared.lock();
    if (remote == nullptr || sharedHost != *host || remote->bridge.Lost()) {
        remote = std::make_shared<LinuxPlatform::Remote>(*host);
        shared = remote;
        sharedHost = *host;
    }
    return remote;
}

}  // namespace

LinuxPlatform::LinuxPlatform()
    : remote_(SharedRemote(ChosenHost().host)),
      hostLabel_([] {
          const HostChoice choice = ChosenHost();
          return choice.host ? HostLabel(*choice.host) : std::string();
      }()),
      files(remote_ ? static_cast<FileStore&>(remote_->files) : localFiles_),
      userFiles(localFiles_),
      installation(remote_ ? static_cast<InstallationEnvironment&>(remote_->installation)
                           : localInstallation_),
      directories(remote_ ? static_cast<DirectoryReader&>(remote_->directories)
                          : localDirectories_),
      mediaProbe(remote_ ? static_cast<MediaProbe&>(remote_->mediaProbe) : localMediaProbe_),
      hostAddress(remote_ ? static_cast<HostAddress&>(remote_->hostAddress) : localHostAddress_),
      adapters(remote_ ? static_cast<NetworkAdapters&>(remote_->adapters) : localAdapters_),
      connection(remote_ ? static_cast<ServerConnection&>(remote_->connection) : localConnection_) {
}

LinuxPlatform::~LinuxPlatform() = default;

bool LinuxPlatform::Reachable() const {
    return remote_ == nullptr || remote_->bridge.Call({{"op", "hello"}}, kFirstAnswer).has_value();
}

}  // namespace vantor
