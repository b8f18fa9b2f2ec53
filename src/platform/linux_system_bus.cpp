#include "platform/linux_system_bus.h"

#include <cstdlib>

#include "platform/linux_window_thread_wait.h"

namespace vantor {

namespace {

constexpr char SystemBusVariable[] = "DBUS_SYSTEM_BUS_ADDRESS";
constexpr char DefaultSystemBusAddress[] = "unix:path=/var/run/dbus/system_bus_socket";

}  // namespace

QString SystemBusAddress() {
    const char* address = std::getenv(SystemBusVariable);
    return QString::fromUtf8(address != nullptr && *address != '\0' ? address
                                                                    : DefaultSystemBusAddress);
}

namespace {

// Another machine's bus is reached through ssh: a new connection takes round trips.
bool BusIsRemote() {
    return SystemBusAddress().startsWith(QStringLiteral("unixexec:"));
}

}  // namespace

QDBusConnection ConnectSystemBus(const QString& connectionName) {
    QDBusConnection connection(connectionName);
    if (!BusIsRemote()) {
        connection = QDBusConnection::connectToBus(SystemBusAddress(), connectionName);
    } else if (!connection.isConnected()) {
        RunOffWindowThread([&connection, &connectionName] {
            connection = QDBusConnection::connectToBus(SystemBusAddress(), connectionName);
        });
    }
    if (!connection.isConnected()) {
        QDBusConnection::disconnectFromBus(connectionName);
    }
    return connection;
}

QDBusMessage CallSystemBus(const QDBusConnection& connection, const QDBusMessage& message,
                           int timeoutMs) {
    // A local bus answers at once or within its time-out, as it always has.
    if (!BusIsRemote()) {
        return connection.call(message, QDBus::Block, timeoutMs);
    }
    QDBusMessage reply;
    RunOffWindowThread([&] { reply = connection.call(message, QDBus::Block, timeoutMs); });
    return reply;
}

}  // namespace vantor
