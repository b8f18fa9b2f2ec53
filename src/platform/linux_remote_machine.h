#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/directory_reader.h"
#include "platform/host_address.h"
#include "platform/installation_environment.h"
#include "platform/linux_installation_environment.h"
#include "platform/media_probe.h"
#include "platform/network_adapters.h"

namespace vantor {

class RemoteBridge;

// What the server's machine says of itself, through its bridge: where its data lives, whether
// its paths exist, its service's program, its network addresses. The tool's own executable and
// the path separator stay this machine's (both are '/', and the tool runs here). A lost bridge
// answers as a machine whose queries fail.
class RemoteInstallationEnvironment : public InstallationEnvironment {
public:
    explicit RemoteInstallationEnvironment(RemoteBridge& bridge) : bridge_(bridge) {}

    OsVersionResult QueryOsVersion() override;
    std::string ReadServiceImagePath(const std::string& product) override;
    std::optional<FileVersion> ReadFileVersion(const std::string& path) override;
    FolderQueryResult CommonAppDataFolder() override;
    std::string OwnExecutablePath() override;
    char PathSeparator() const override { return '/'; }
    bool PathExists(const std::string& path) override;
    HResult CreateSharedFolder(const std::string& path) override;

private:
    RemoteBridge& bridge_;
    LinuxInstallationEnvironment here_;
};

class RemoteNetworkAdapters : public NetworkAdapters {
public:
    explicit RemoteNetworkAdapters(RemoteBridge& bridge) : bridge_(bridge) {}
    std::vector<std::string> Ipv4Addresses() override;

private:
    RemoteBridge& bridge_;
};

class RemoteHostAddress : public HostAddress {
public:
    explicit RemoteHostAddress(RemoteBridge& bridge) : bridge_(bridge) {}
    std::string LocalIPv4Address() override;

private:
    RemoteBridge& bridge_;
};

// The server's folders, listed there; names stay the bytes its file system gave.
class RemoteDirectoryReader : public DirectoryReader {
public:
    explicit RemoteDirectoryReader(RemoteBridge& bridge) : bridge_(bridge) {}
    std::optional<std::vector<DirectoryEntry>> ReadDirectory(const std::string& path) override;
    bool Exists(const std::string& path) override;

private:
    RemoteBridge& bridge_;
};

// Media files probed where they are: the facts travel, the file does not. A probe under way is
// not interrupted; one asked after cancelling is not made.
class RemoteMediaProbe : public MediaProbe {
public:
    explicit RemoteMediaProbe(RemoteBridge& bridge) : bridge_(bridge) {}
    MediaFacts Probe(const std::string& path, const std::function<bool()>& cancelled) override;

private:
    RemoteBridge& bridge_;
};

}  // namespace vantor
