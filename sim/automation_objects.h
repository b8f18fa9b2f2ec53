#pragma once

#include "sim/method_table.h"

namespace vantor::sim {

class SimServer;

// The media server's automation interfaces, as platform/automation_bus.h lists them: each under
// the interface named like its bus name, all on the object at "/". The bus names themselves are
// owned only while the unit is active (SimServer). Answers:
//   ReloadConfiguration: S_OK when config.vtr was read, 0x80070002 when it could not be.
//   User calls: success false with the store's error text for an empty or existing name (case
//     aside), an unknown user or a group other than 1-3; result S_OK either way.
//   List queries: hasData false until fed (or when set to no data), else the records as fed.
//   DisconnectUser: S_OK when a record with that Pointer went, S_FALSE when none matched.
//   StopMulticast: S_OK, or S_FALSE when the folder was not multicasting.
void RegisterAutomationObjects(MethodTable& table, SimServer& server);

}  // namespace vantor::sim
