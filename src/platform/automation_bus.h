#pragma once

// How the media server's automation objects, the service manager and the stand-in server meet
// on D-Bus. Shared by the tool, vantorctl and vantor-sim, so both ends agree by construction.
//
// Each automation object is a well-known name on the system bus (DBUS_SYSTEM_BUS_ADDRESS when
// set), its object at "/", with an interface of the same name. Results are HResult values ('u').
//
// Vantor.VTRConfig
//   ReloadConfiguration() -> (u result)
// Vantor.UsersAccess
//   AddUser(s name, i group, s password, s info) -> (u result, s errorText, b success)
//   SetUserPassword(s name, s password)            -> (u result, s errorText, b success)
//   UpdateUser(s name, i group, s info)            -> (u result, s errorText, b success)
//   DeleteUser(s name)                             -> (u result, s errorText, b success)
//   GetUsers()                                     -> (u result, b hasData, as records)
// Vantor.ResourcesInUse
//   GetActiveUsers()     -> (u result, b hasData, as records)
//   DisconnectUser(i pointer) -> (u result)
//   GetLiveConnections() -> (u result, b hasData, as records)
//   GetThroughput()      -> (u result, ai values)      ten values
//   GetMediaUsage()      -> (u result, b hasData, as records)
// Vantor.FileMCastTrigger
//   StartMulticast(s name, s path, s group, i port, b randomOrder) -> (u result)
//   StopMulticast(s name) -> (u result)
//   GetMulticastStatus(s name) -> (u result, s multicastingText, s otherText)
// Vantor.RestrictionsNotification
//   RestrictionsChanged() -> (u result)
// Vantor.Logging: the interface a custom logging component implements, at "/" under the bus
//   name the administrator gives as its ProgID. The tool only tests that it is there.
//   LogEvent(s text) -> (u result)

namespace vantor::bus {

inline constexpr char ObjectPath[] = "/";

inline constexpr char VtrConfigName[] = "Vantor.VTRConfig";
inline constexpr char UsersAccessName[] = "Vantor.UsersAccess";
inline constexpr char ResourcesInUseName[] = "Vantor.ResourcesInUse";
inline constexpr char FileMCastTriggerName[] = "Vantor.FileMCastTrigger";
inline constexpr char RestrictionsNotificationName[] = "Vantor.RestrictionsNotification";
inline constexpr char LoggingInterface[] = "Vantor.Logging";

// systemd's manager, which vantor-sim also plays, and the server's unit.
inline constexpr char SystemdName[] = "org.freedesktop.systemd1";
inline constexpr char SystemdPath[] = "/org/freedesktop/systemd1";
inline constexpr char SystemdManagerInterface[] = "org.freedesktop.systemd1.Manager";
inline constexpr char SystemdUnitInterface[] = "org.freedesktop.systemd1.Unit";
inline constexpr char SystemdServiceInterface[] = "org.freedesktop.systemd1.Service";
inline constexpr char ServerUnit[] = "Vantor.service";

// vantor-sim's control interface for tests and the demo.
inline constexpr char SimName[] = "Vantor.Sim";
inline constexpr char SimControlInterface[] = "Vantor.Sim.Control";

// No call waits longer than this: a hung server must not freeze the tool.
inline constexpr int CallTimeoutMs = 3000;

}  // namespace vantor::bus
