#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/linux_clock.h"
#include "platform/linux_dbus_automation.h"
#include "platform/linux_dbus_logging_component_probe.h"
#include "platform/linux_directory_reader.h"
#include "platform/linux_ffmpeg_media_probe.h"
#include "platform/linux_file_store.h"
#include "platform/linux_host_address.h"
#include "platform/linux_installation_environment.h"
#include "platform/linux_network_adapters.h"
#include "platform/linux_systemd_service_manager.h"
#include "platform/server_connection.h"
#include "server/remote_host.h"

namespace vantor {

class RemoteBridge;

// The name of the variable that names the machine to administer ([USER@]HOST[:PORT]); this one
// when it is unset. `--host` sets it for the process.
inline constexpr char HostVariable[] = "VANTOR_HOST";

// The machine VANTOR_HOST names: nothing for this one (unset or empty), or the host; an error
// text when the variable holds something that is no host.
struct HostChoice {
    std::optional<RemoteHost> host;
    std::string error;
};
HostChoice ChosenHost();

// Points the process's system bus at the chosen machine's (over ssh, as the files go), before
// anything reaches the bus. Nothing to do for this machine.
void UseChosenHostsBus(const HostChoice& choice);

// Every platform service over the real system, built in one place for the window and vantorctl.
// The services that touch the server's machine (its files, folders, media, paths, addresses)
// are this machine's,
// or another's through a bridge over ssh when VANTOR_HOST names one; the bus follows
// DBUS_SYSTEM_BUS_ADDRESS, which UseChosenHostsBus set. Constructing them is cheap: each
// reaches the system only when asked (the first platform for a remote host opens the ssh
// session, which the others made while it lives share).
class LinuxPlatform {
public:
    LinuxPlatform();
    ~LinuxPlatform();
    LinuxPlatform(const LinuxPlatform&) = delete;
    LinuxPlatform& operator=(const LinuxPlatform&) = delete;

    // The other machine's label, empty for this one.
    const std::string& HostLabelText() const { return hostLabel_; }
    // False when the other machine cannot be reached (its bridge is lost).
    bool Reachable() const;

    struct Remote;

private:
    // This machine's link, which is never lost.
    struct LocalConnection : ServerConnection {
        bool Lost() const override { return false; }
        bool Reconnect() override { return true; }
    };

    // Shared by every platform of the process that names the same host: one bridge, one ssh
    // session.
    std::shared_ptr<Remote> remote_;
    LinuxFileStore localFiles_;
    LinuxInstallationEnvironment localInstallation_;
    LinuxHostAddress localHostAddress_;
    LinuxNetworkAdapters localAdapters_;
    LinuxDirectoryReader localDirectories_;
    LinuxFfmpegMediaProbe localMediaProbe_;
    LocalConnection localConnection_;
    std::string hostLabel_;

public:
    FileStore& files;
    // This machine's files, whichever machine the server is on: what the user saves here (an
    // exported page or playlist) goes to the desktop they sit at.
    FileStore& userFiles;
    InstallationEnvironment& installation;
    LinuxSystemdServiceManager serviceManager;
    LinuxClock clock;
    LinuxDbusAutomationFactory automation;
    DirectoryReader& directories;
    MediaProbe& mediaProbe;
    HostAddress& hostAddress;
    NetworkAdapters& adapters;
    LinuxDbusLoggingComponentProbe logging;
    ServerConnection& connection;
};

}  // namespace vantor
