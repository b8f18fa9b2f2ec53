#include "sim/logging_components.h"

#include <QDBusError>

#include "platform/automation_bus.h"
#include "platform/hresult.h"
#include "sim/method_table.h"

namespace vantor::sim {
namespace {

// The interface a service that is not a logging component offers instead.
constexpr char OtherInterface[] = "Vantor.Sim.NotLogging";

bool IsSimOwnName(const QString& name) {
    for (const char* own :
         {bus::SimName, bus::SystemdName, bus::VtrConfigName, bus::UsersAccessName,
          bus::ResourcesInUseName, bus::FileMCastTriggerName, bus::RestrictionsNotificationName}) {
        if (name == QLatin1String(own)) {
            return true;
        }
    }
    return false;
}

}  // namespace

LoggingComponents::LoggingComponents(QString busAddress, CallPolicy& policy, QObject* parent)
    : QObject(parent), busAddress_(std::move(busAddress)), policy_(policy) {}

LoggingComponents::~LoggingComponents() {
    RemoveAll();
}

bool LoggingComponents::Add(const QString& busName, bool implementsLogging, QString& error) {
    if (IsSimOwnName(busName)) {
        error = QStringLiteral("%1 is a name of the server's own").arg(busName);
        return false;
    }
    Remove(busName);
    const QString connectionName = QStringLiteral("vantor-sim-logging-%1").arg(nextConnection_++);
    QDBusConnection connection =
        busAddress_.isEmpty()
            ? QDBusConnection::connectToBus(QDBusConnection::SystemBus, connectionName)
            : QDBusConnection::connectToBus(busAddress_, connectionName);
    auto* object = new MethodTable(policy_, this);
    const QString interface =
        QString::fromLatin1(implementsLogging ? bus::LoggingInterface : OtherInterface);
    object->Add({interface, QStringLiteral("LogEvent"), QStringLiteral("s"), QStringLiteral("u"),
                 [](const QDBusMessage&) {
                     return CallAnswer::Values({QVariant::fromValue<quint32>(SOk)});
                 }});
    if (!connection.isConnected() ||
        !connection.registerVirtualObject(QString::fromLatin1(bus::ObjectPath), object) ||
        !connection.registerService(busName)) {
        error = QStringLiteral("cannot own %1: %2").arg(busName, connection.lastError().message());
        delete object;
        QDBusConnection::disconnectFromBus(connectionName);
        return false;
    }
    connections_.insert(busName, Component{connectionName, object});
    return true;
}

bool LoggingComponents::Remove(const QString& busName) {
    const auto found = connections_.find(busName);
    if (found == connections_.end()) {
        return false;
    }
    QDBusConnection connection(found->connectionName);
    connection.unregisterService(busName);
    connection.unregisterObject(QString::fromLatin1(bus::ObjectPath));
    QDBusConnection::disconnectFromBus(found->connectionName);
    delete found->object;
    connections_.erase(found);
    return true;
}

void LoggingComponents::RemoveAll() {
    for (const QString& name : connections_.keys()) {
        Remove(name);
    }
}

}  // namespace vantor::sim
