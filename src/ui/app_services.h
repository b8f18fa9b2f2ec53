#pragma once

#include "config/resource_record.h"

namespace vantor {

class AutomationFactory;
class Clock;
class DesktopServices;
class FileStore;
class HelpPages;
class InstallationEnvironment;
class ManualResetEvent;
class MulticastTable;
class Prompter;
class ServiceManager;

// Everything the main window reaches outside itself: the process-wide objects created once in
// main() and the platform services. Tests fill it with fakes.
struct AppServices {
    // Process-wide state.
    AuthMethod& defaultAuthMethod;
    MulticastTable& multicastTable;
    // Platform.
    FileStore& files;
    InstallationEnvironment& installation;
    ServiceManager& serviceManager;
    Clock& clock;
    AutomationFactory& automation;
    Prompter& prompter;
    DesktopServices& desktop;
    // The help pages, shown through desktop (the Help menu, the server properties' Help button).
    HelpPages& help;
};

}  // namespace vantor
