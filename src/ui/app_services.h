#pragma once

#include "config/resource_record.h"

namespace vantor {

class AutomationFactory;
class Clock;
class DesktopServices;
class DirectoryReader;
class FileStore;
class HelpPages;
class HostAddress;
class InstallationEnvironment;
class LoggingComponentProbe;
class MediaProbe;
class MulticastTable;
class NetworkAdapters;
class Prompter;
class ServerConnection;
class ServiceManager;

// Everything the main window reaches outside itself: the process-wide objects created once in
// main() and the platform services. Tests fill it with fakes.
struct AppServices {
    // Process-wide state.
    AuthMethod& defaultAuthMethod;
    MulticastTable& multicastTable;
    // Platform.
    FileStore& files;      // the server's machine's (config.vtr, the restrictions file)
    FileStore& userFiles;  // this desktop's: what the user saves here (exports)
    InstallationEnvironment& installation;
    ServiceManager& serviceManager;
    Clock& clock;
    AutomationFactory& automation;
    Prompter& prompter;
    DesktopServices& desktop;
    DirectoryReader& directories;    // the contents pane's folder listings
    MediaProbe& mediaProbe;          // the contents pane's media summaries
    HostAddress& hostAddress;        // the folder exports' links
    NetworkAdapters& adapters;       // the server properties' interface list
    LoggingComponentProbe& logging;  // the server properties' logging choice
    ServerConnection& connection;    // the link to the server's machine, when it is another
    // The help pages, shown through desktop (the Help menu, the server properties' Help button).
    HelpPages& help;
};

}  // namespace vantor
