#pragma once

#include "platform/linux_platform.h"
#include "ui/app_services.h"

namespace vantor {

// The window's services over the real system; the process-wide objects and the desktop's side
// come from the caller.
inline AppServices LinuxAppServices(LinuxPlatform& platform, AuthMethod& defaultAuthMethod,
                                    MulticastTable& multicastTable, Prompter& prompter,
                                    DesktopServices& desktop, HelpPages& help) {
    return {defaultAuthMethod,
            multicastTable,
            platform.files,
            platform.userFiles,
            platform.installation,
            platform.serviceManager,
            platform.clock,
            platform.automation,
            prompter,
            desktop,
            platform.directories,
            platform.mediaProbe,
            platform.hostAddress,
            platform.adapters,
            platform.logging,
            platform.connection,
            help};
}

}  // namespace vantor
