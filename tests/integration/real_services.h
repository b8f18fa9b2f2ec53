#pragma once

// What main() builds over the real Linux platform layer, with a recording prompter so that a
// message shows up in a test; for the window run against vantor-sim.

#include "config/multicast_table.h"
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
    HelpPages help{desktop, platform.installation, ChooseHelpFolder(platform.installation, "")};
    AppServices services =
        LinuxAppServices(platform, defaultAuthMethod, multicastTable, prompter, desktop, help);
};

}  // namespace vantor::integration
