#pragma once

// Names of vantor-sim's control interface (Vantor.Sim at "/", interface Vantor.Sim.Control), for
// tests and scripts that drive the stand-in server. control_interface.h describes each method.

namespace vantor::sim::control {

inline constexpr char SetStartDelay[] = "SetStartDelay";                // (u ms)
inline constexpr char SetStopDelay[] = "SetStopDelay";                  // (u ms)
inline constexpr char SetStartFails[] = "SetStartFails";                // (b)
inline constexpr char SetStopHangs[] = "SetStopHangs";                  // (b)
inline constexpr char SetUnitMissing[] = "SetUnitMissing";              // (b)
inline constexpr char SetAuthorization[] = "SetAuthorization";          // (s)
inline constexpr char FeedActiveUsers[] = "FeedActiveUsers";            // (as)
inline constexpr char FeedLiveConnections[] = "FeedLiveConnections";    // (as)
inline constexpr char FeedMediaUsage[] = "FeedMediaUsage";              // (as)
inline constexpr char SetThroughput[] = "SetThroughput";                // (ai) up to ten values
inline constexpr char SetNoData[] = "SetNoData";                        // (s query, b)
inline constexpr char SetMulticastAnswer[] = "SetMulticastAnswer";      // (s folder, u, s, s)
inline constexpr char ClearMulticastAnswer[] = "ClearMulticastAnswer";  // (s folder)
inline constexpr char SetUnreachable[] = "SetUnreachable";              // (s busName, b)
inline constexpr char SetHang[] = "SetHang";                            // (s Interface.Method, b)
inline constexpr char SetResult[] = "SetResult";                        // (s Interface.Method, u)
inline constexpr char ClearResult[] = "ClearResult";                    // (s Interface.Method)
inline constexpr char GetCallLog[] = "GetCallLog";                      // () -> as
inline constexpr char ClearCallLog[] = "ClearCallLog";                  // ()
inline constexpr char GetLoadedConfig[] = "GetLoadedConfig";            // () -> (u, u, as)
inline constexpr char GetUserAccounts[] = "GetUserAccounts";            // () -> as
inline constexpr char GetState[] = "GetState";                          // () -> s
inline constexpr char Quit[] = "Quit";                                  // ()
inline constexpr char SetLoggingComponent[] = "SetLoggingComponent";    // (s busName, b logging)
inline constexpr char RemoveLoggingComponent[] = "RemoveLoggingComponent";  // (s busName)

// The D-Bus error the control methods answer with when an argument makes no sense.
inline constexpr char InvalidArgsError[] = "org.freedesktop.DBus.Error.InvalidArgs";

}  // namespace vantor::sim::control
