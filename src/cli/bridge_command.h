#pragma once

#include <iosfwd>

namespace vantor {

class CommandTable;
class DirectoryReader;
class FileStore;
class MediaProbe;
class HostAddress;
class InstallationEnvironment;
class NetworkAdapters;

// This machine's services that a tool elsewhere reaches through the bridge.
struct BridgeServices {
    FileStore& files;
    InstallationEnvironment& installation;
    NetworkAdapters& adapters;
    HostAddress& hostAddress;
    DirectoryReader& directories;
    MediaProbe& mediaProbe;
};

// `vantorctl bridge`: what a tool on another machine runs here over ssh. Serves its requests
// (one JSON line each, see platform/linux_bridge_protocol.h) on standard input and output with
// this machine's services until its input ends; the locks it holds go with it. Returns 0.
int RunBridge(BridgeServices& services, std::istream& in, std::ostream& out);

void AddBridgeCommand(CommandTable& table);

}  // namespace vantor
