#pragma once

#include <string>
#include <vector>

#include "server/remote_host.h"

namespace vantor {

// The command that runs `vantorctl bridge` on host through the system's OpenSSH client, so the
// user's keys, agent, ~/.ssh/config and known_hosts apply. The client is `ssh`, or the command
// line in VANTOR_SSH_COMMAND (run by the shell, as git does with GIT_SSH_COMMAND); every call
// shares one master connection per host (ControlMaster, ControlPersist) in a private folder
// under XDG_RUNTIME_DIR. Without a terminal ssh never prompts (BatchMode) unless askpass is
// set, as the window does. The remote program is `vantorctl`, or VANTOR_REMOTE_VANTORCTL.
// The host goes to ssh as its own argument after "--" and is never seen by a shell.
std::vector<std::string> SshBridgeCommand(const RemoteHost& host);

// The D-Bus address of host's system bus: the unixexec transport running the same ssh with
// `systemd-stdio-bridge` on the far side, handed the far side's DBUS_SYSTEM_BUS_ADDRESS as its
// --bus-path where that is set there (the bridge itself does not read it).
std::string RemoteSystemBusAddress(const RemoteHost& host);

// The folder of the master connections' sockets, made (mode 0700) when missing.
std::string SshControlFolder();

}  // namespace vantor
