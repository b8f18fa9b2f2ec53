#pragma once

#include <iosfwd>

namespace vantor {

class CommandTable;
class FileStore;

// `vantorctl bridge`: what a tool on another machine runs here over ssh. Serves its requests
// (one JSON line each, see platform/linux_bridge_protocol.h) on standard input and output with
// this machine's file store until its input ends; the locks it holds go with it. Returns 0.
int RunBridge(FileStore& files, std::istream& in, std::ostream& out);

void AddBridgeCommand(CommandTable& table);

}  // namespace vantor
