#pragma once

// vantor-sim's control interface, for tests and the demo: bus name Vantor.Sim, object "/",
// interface Vantor.Sim.Control. Its calls are not recorded in the call log and ignore the hang
// and result settings. sim_control_names.h holds the method names.
//
// The unit
//   SetStartDelay(u ms)          time spent activating (default 1000, or --start-delay)
//   SetStopDelay(u ms)           time spent deactivating (default 1000, or --stop-delay)
//   SetStartFails(b)             activating ends in "failed" instead of "active"
//   SetStopHangs(b)              deactivating never ends; clearing it lets a hung stop finish
//                                after the stop delay
//   SetUnitMissing(b)            Vantor.service is answered like a unit systemd does not know
//   SetAuthorization(s)          what polkit makes of StartUnit and StopUnit: "granted"
//                                (default), "denied" (AccessDenied), "prompt" (allowed when the
//                                call allows interactive authorization, else
//                                InteractiveAuthorizationRequired), "cancelled" (as "prompt",
//                                but the user dismisses it: AccessDenied). The refused call is
//                                logged and changes nothing. InvalidArgs for any other text.
//   GetState() -> s              the unit's ActiveState
// Bus names
//   SetUnreachable(s busName, b) gives up the name (or never takes it) while set, so the object
//                                cannot be created; one of the five automation names or
//                                org.freedesktop.systemd1. InvalidArgs for any other.
// What the server answers
//   FeedActiveUsers(as)          records for GetActiveUsers, GetLiveConnections, GetMediaUsage:
//   FeedLiveConnections(as)      answered as fed; until fed a list has no data
//   FeedMediaUsage(as)
//   SetThroughput(ai)            GetThroughput's ten values; fewer are padded with 0, more are
//                                InvalidArgs
//   SetNoData(s query, b)        "GetUsers", "GetActiveUsers", "GetLiveConnections" or
//                                "GetMediaUsage" answers hasData false with no records
//   SetMulticastAnswer(s folder, u result, s multicastingText, s otherText)
//                                GetMulticastStatus answers this for the folder, whatever it does
//   ClearMulticastAnswer(s folder)
//   SetHang(s call, b)           the call ("Interface.Method", e.g.
//                                "Vantor.VTRConfig.ReloadConfiguration" or
//                                "org.freedesktop.DBus.Properties.Get") is recorded but never
//                                answered; the sim itself stays responsive
//   SetResult(s call, u result)  the call still runs, but answers this result code (calls whose
//   ClearResult(s call)          first reply value is a result code)
// What the server saw
//   GetCallLog() -> as           calls received, oldest first (format: call_formatter.h), at
//   ClearCallLog()               most the 10000 most recent
//   GetLoadedConfig() -> (u reloads, u version, as names)
//                                successful reloads of DIR/Quorvane/config.vtr, and the version
//                                and resource names (file order) of the last file read
//   GetUserAccounts() -> as      the users, "name\tgroup\tpassword\tinfo" each (group 1-3)
// Custom logging components
//   SetLoggingComponent(s busName, b implementsLogging)
//                                owns busName (any name but the sim's own) with an object at "/"
//                                that implements Vantor.Logging, or only an unrelated interface
//   RemoveLoggingComponent(s busName)
//                                gives it up; InvalidArgs when the sim does not play it
// The process
//   Quit()                       answers, then gives up its names and exits 0

#include "sim/method_table.h"

namespace vantor::sim {

class SimServer;

void RegisterControlInterface(MethodTable& table, SimServer& server);

}  // namespace vantor::sim
