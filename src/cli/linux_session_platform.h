#pragma once

#include "cli/config_session.h"
#include "cli/media_commands.h"
#include "platform/linux_platform.h"

namespace vantor {

// The real system behind a command that reads or changes the configuration, as the session and
// the folder exports reach it.
struct LinuxSessionPlatform {
    LinuxPlatform system;
    SessionPlatform platform{.files = system.files,
                             .environment = system.installation,
                             .serviceManager = system.serviceManager,
                             .clock = system.clock,
                             .automation = system.automation};
    ExportPlatform exports{.files = system.files,
                           .output = system.userFiles,
                           .environment = system.installation,
                           .reader = system.directories,
                           .probe = system.mediaProbe,
                           .host = system.hostAddress};
};

}  // namespace vantor
