#pragma once

// What main() builds over the real Linux platform layer (this machine's, or the one VANTOR_HOST
// names), with a recording prompter so that a message shows up in a test.

#include "config/multicast_table.h"
#include "platform/linux_installation_environment.h"
#include "ui/help_pages.h"
#include "ui/linux_app_services.h"
#include "ui/qt_desktop_services.h"
#include "ui/ui_fakes.h"

namespace vantor::integration {

struct RealServices {
    AuthMethod defaultAuthMethod = AuthMethod::Anonymous;
    MulticastTable multicastTable;
    LinuxPlatform platform;
    test::RecordingPrompter prompter;
    QtDesktopServices desktop;
    // The help pages are this machine's, whichever server the window administers.
    LinuxInstallationEnvironment here;
    HelpPages help{desktop, here, ChooseHelpFolder(here, "")};
    AppServices services =
        LinuxAppServices(platform, defaultAuthMethod, multicastTable, prompter, desktop, help);
};

}  // namespace vantor::integration
