#pragma once

#include <optional>

#include <QString>
#include <QStringList>

#include "sim/unit_lifecycle.h"

namespace vantor::sim {

inline constexpr char UsageText[] =
    "Usage: vantor-sim --data DIR [--bus ADDRESS] [--start-delay MS] [--stop-delay MS]\n"
    "                  [--start-fails] [--stop-hangs] [--running] [--demo-activity]\n"
    "Stands in for the Vantor media server on a D-Bus bus: the systemd unit Vantor.service and,\n"
    "while it is active, the server's automation objects. The bus is ADDRESS, else the system\n"
    "bus (DBUS_SYSTEM_BUS_ADDRESS). The configuration it reloads is DIR/Quorvane/config.vtr.\n"
    "--demo-activity keeps a changing set of players and throughput for the demo.\n";

struct SimOptions {
    QString dataDir;
    QString busAddress;  // empty: the system bus
    LifecycleSettings lifecycle;
    bool running = false;       // start with the unit active
    bool demoActivity = false;  // feed itself a lively, changing activity
};

struct ParsedOptions {
    std::optional<SimOptions> options;  // nothing: print error (or the usage) and exit
    QString error;                      // empty with no options: help was asked for
};

// Parses the arguments after the program name.
ParsedOptions ParseSimOptions(const QStringList& arguments);

}  // namespace vantor::sim
