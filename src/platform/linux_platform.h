#pragma once

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

namespace vantor {

// Every platform service over the real system, built in one place for the window and vantorctl.
// Constructing them is cheap: each reaches the system only when asked.
struct LinuxPlatform {
    LinuxFileStore files;
    LinuxInstallationEnvironment installation;
    LinuxSystemdServiceManager serviceManager;
    LinuxClock clock;
    LinuxDbusAutomationFactory automation;
    LinuxDirectoryReader directories;
    LinuxFfmpegMediaProbe mediaProbe;
    LinuxHostAddress hostAddress;
    LinuxNetworkAdapters adapters;
    LinuxDbusLoggingComponentProbe logging;
};

}  // namespace vantor
