#pragma once

#include <cstdint>
#include <iosfwd>

#include "server/service_controller.h"
#include "server/service_operation.h"

namespace vantor {

class CommandTable;

class AutomationFactory;

// Reported on standard error when a start or stop did not end well; %s is "start" or "stop".
inline constexpr char ServiceOperationTimedOutText[] =
    "vantorctl: %s: the server did not reach the new state in time";
inline constexpr char ServiceOperationFailedText[] = "vantorctl: %s failed (0x%08X)";
inline constexpr char ServiceOperationNotQueuedText[] = "vantorctl: %s could not be run (0x%08X)";
// Reported when the server took the reload call but answered with a failure.
inline constexpr char ReloadFailedText[] =
    "vantorctl: the media server did not reload the configuration (0x%08X)";

// `vantorctl status`: prints the state pane's text for the server's state. Always ExitOk: the
// state, "does not respond" included, is the answer asked for, not a failure of the command.
int RunStatus(ServiceController& controller, std::ostream& out);

// `vantorctl start` and `vantorctl stop`: runs the operation as the main window's Start/Stop
// command does (on the controller's worker, waiting up to timeoutMs for the new state), waits
// for it, then prints the state pane's texts: first the one shown while it runs ("Media Server is
// starting"), last, alone on its line, the one for the state queried afterwards. ExitOk when that
// state is the one the operation aims at (Running, Stopped), even if the server was there
// already; ExitFailure otherwise. Why an operation did not end well goes to err.
int RunServiceOperation(ServiceController& controller, ServiceOperation operation,
                        std::uint32_t timeoutMs, std::ostream& out, std::ostream& err);

// `vantorctl reload`: asks the server to re-read config.vtr, as saving the configuration does.
// An object that cannot be created prints the tool's message for it to err; a reload the server
// answers with a failure (or does not answer in time) is reported too. Both give ExitFailure.
int RunReload(AutomationFactory& automation, std::ostream& err);

// Adds `status`, `start`, `stop` and `reload`.
void AddServiceCommands(CommandTable& table);

}  // namespace vantor
