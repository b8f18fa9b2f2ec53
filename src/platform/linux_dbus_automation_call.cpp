#include "platform/linux_dbus_automation_call.h"

#include <QDBusMessage>
#include <QStringList>

#include "platform/linux_system_bus.h"

namespace vantor {

namespace {

constexpr char ConnectionName[] = "vantor_automation";

constexpr char DBusName[] = "org.freedesktop.DBus";
constexpr char DBusPath[] = "/org/freedesktop/DBus";
constexpr char DBusInterface[] = "org.freedesktop.DBus";

HResult ResultOfError(const QDBusMessage& reply) {
    const QString error = reply.errorName();
    if (error == u"org.freedesktop.DBus.Error.NoReply" ||
        error == u"org.freedesktop.DBus.Error.Timeout" ||
        error == u"org.freedesktop.DBus.Error.TimedOut") {
        return AutomationCallTimedOut;
    }
    if (error == u"org.freedesktop.DBus.Error.ServiceUnknown" ||
        error == u"org.freedesktop.DBus.Error.NameHasNoOwner" ||
        error == u"org.freedesktop.DBus.Error.Disconnected" ||
        error.startsWith(u"org.freedesktop.DBus.Error.Spawn.")) {
        return AutomationServerUnavailable;
    }
    return EFail;
}

// A call to the bus itself; an invalid message when it did not answer.
QDBusMessage CallBus(QDBusConnection& connection, const char* method, const QVariantList& arguments,
                     int timeoutMs) {
    QDBusMessage message = QDBusMessage::createMethodCall(QString(DBusName), QString(DBusPath),
                                                          QString(DBusInterface), QString(method));
    message.setArguments(arguments);
    return CallSystemBus(connection, message, timeoutMs);
}

}  // namespace

QDBusConnection AutomationBusConnection() {
    return ConnectSystemBus(QString(ConnectionName));
}

AutomationBusClient::AutomationBusClient(int callTimeoutMs) : callTimeoutMs_(callTimeoutMs) {}

bool AutomationBusClient::CanReach(const QString& busName) const {
    QDBusConnection connection = AutomationBusConnection();
    if (!connection.isConnected()) {
        return false;
    }
    const QDBusMessage owner = CallBus(connection, "NameHasOwner", {busName}, callTimeoutMs_);
    if (owner.type() == QDBusMessage::ReplyMessage && owner.signature() == u"b" &&
        owner.arguments().value(0).toBool()) {
        return true;
    }
    const QDBusMessage activatable =
        CallBus(connection, "ListActivatableNames", {}, callTimeoutMs_);
    return activatable.type() == QDBusMessage::ReplyMessage && activatable.signature() == u"as" &&
           activatable.arguments().value(0).toStringList().contains(busName);
}

AutomationReply AutomationBusClient::Call(const QString& busName, const QString& method,
                                          const QVariantList& arguments,
                                          QStringView replySignature) const {
    QDBusConnection connection = AutomationBusConnection();
    if (!connection.isConnected()) {
        return {AutomationServerUnavailable, {}};
    }
    QDBusMessage message =
        QDBusMessage::createMethodCall(busName, QString(bus::ObjectPath), busName, method);
    message.setArguments(arguments);
    const QDBusMessage reply = CallSystemBus(connection, message, callTimeoutMs_);
    if (reply.type() != QDBusMessage::ReplyMessage) {
        return {ResultOfError(reply), {}};
    }
    if (reply.signature() != replySignature) {
        return {AutomationBadReply, {}};
    }
    QVariantList values = reply.arguments();
    const HResult result = values.takeFirst().toUInt();
    return {result, std::move(values)};
}

}  // namespace vantor
