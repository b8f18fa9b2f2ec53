#pragma once

#include <QDBusConnection>
#include <QString>

namespace vantor {

// The system bus as the tool reaches it: the address in DBUS_SYSTEM_BUS_ADDRESS when set (tests
// and the demo point it at a private bus), the standard socket otherwise.
QString SystemBusAddress();

// A named connection of our own rather than Qt's default system bus: connecting again under the
// same name returns the open connection, and a failed one is dropped so the next call tries
// again (the bus may come up after the tool).
QDBusConnection ConnectSystemBus(const QString& connectionName);

}  // namespace vantor
