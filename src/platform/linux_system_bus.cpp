#include "platform/linux_system_bus.h"

#include <cstdlib>

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

QDBusConnection ConnectSystemBus(const QString& connectionName) {
    QDBusConnection connection = QDBusConnection::connectToBus(SystemBusAddress(), connectionName);
    if (!connection.isConnected()) {
        QDBusConnection::disconnectFromBus(connectionName);
    }
    return connection;
}

}  // namespace vantor
