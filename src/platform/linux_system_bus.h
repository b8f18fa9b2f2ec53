#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QString>

namespace vantor {

// The system bus as the tool reaches it: the address in DBUS_SYSTEM_BUS_ADDRESS when set (tests
// and the demo point it at a private bus), the standard socket otherwise.
QString SystemBusAddress();

// A named connection of our own rather than Qt's default system bus: connecting again under the
// same name returns the open connection, and a failed one is dropped so the next call tries
// again (the bus may come up after the tool).
QDBusConnection ConnectSystemBus(const QString& connectionName);

// A blocking call on that bus. When the bus is another machine's (reached through ssh), a
// window's thread waits for the answer off itself, so a slow link does not freeze the window.
QDBusMessage CallSystemBus(const QDBusConnection& connection, const QDBusMessage& message,
                           int timeoutMs);

}  // namespace vantor
