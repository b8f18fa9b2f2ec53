#pragma once

#include "sim/method_table.h"

namespace vantor::sim {

class SimServer;

// systemd's side of the server's unit, as much of it as the tool uses.
//
// At /org/freedesktop/systemd1, org.freedesktop.systemd1.Manager:
//   LoadUnit(s name) -> o     the unit's path; for a unit other than Vantor.service (or with the
//                             unit set missing) a path whose LoadState is "not-found", as
//                             systemd does for a unit file that does not exist
//   GetUnit(s name) -> o      org.freedesktop.systemd1.NoSuchUnit for any other unit
//   StartUnit(s name, s mode) -> o job
//   StopUnit(s name, s mode) -> o job   NoSuchUnit for any other unit; an unknown mode is
//                             org.freedesktop.DBus.Error.InvalidArgs; then polkit's answer
//                             (SetAuthorization) may refuse it. Job paths are only
//                             numbered: no job objects exist and no job signals are sent.
// At /org/freedesktop/systemd1/unit/<escaped name>, org.freedesktop.DBus.Properties Get/GetAll
// for org.freedesktop.systemd1.Unit (Id, Names, Description, LoadState, ActiveState, SubState)
// and org.freedesktop.systemd1.Service (ExecStart a(sasbttttuii): this program, MainPID).
void RegisterSystemdObjects(MethodTable& manager, MethodTable& units, SimServer& server);

}  // namespace vantor::sim
