#pragma once

#include "cli/config_session.h"
#include "platform/linux_clock.h"
#include "platform/linux_dbus_automation.h"
#include "platform/linux_file_store.h"
#include "platform/linux_installation_environment.h"
#include "platform/linux_systemd_service_manager.h"

namespace vantor {

// The real system behind a configuration-changing command.
struct LinuxSessionPlatform {
    LinuxFileStore files;
    LinuxInstallationEnvironment environment;
    LinuxSystemdServiceManager serviceManager;
    LinuxClock clock;
    LinuxDbusAutomationFactory automation;
    SessionPlatform platform{.files = files,
                             .environment = environment,
                             .serviceManager = serviceManager,
                             .clock = clock,
                             .automation = automation};
};

}  // namespace vantor
