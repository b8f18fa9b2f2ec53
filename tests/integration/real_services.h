#pragma once

// What main() builds over the real Linux platform layer, with a recording prompter so that a
// message shows up in a test; for the window run against vantor-sim.

#include "config/multicast_table.h"
#include "platform/linux_clock.h"
#include "platform/linux_dbus_automation.h"
#include "platform/linux_file_store.h"
#include "platform/linux_installation_environment.h"
#include "platform/linux_systemd_service_manager.h"
#include "ui/app_services.h"
#include "ui/help_pages.h"
#include "ui/qt_desktop_services.h"
#include "ui/ui_fakes.h"

namespace vantor::integration {

struct RealServices {
    AuthMethod defaultAuthMethod = AuthMethod::Anonymous;
    MulticastTable multicastTable;
    LinuxFileStore files;
    LinuxInstallationEnvironment installation;
    LinuxSystemdServiceManager serviceManager;
    LinuxClock clock;
    LinuxDbusAutomationFactory automation;
    test::RecordingPrompter prompter;
    QtDesktopServices desktop;
    HelpPages help{desktop, installation, ChooseHelpFolder(installation, "")};
    AppServices services{
        defaultAuthMethod, multicastTable, files,   installation, serviceManager, clock,
        automation,        prompter,       desktop, help};
};

}  // namespace vantor::integration
