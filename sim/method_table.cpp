#include "sim/method_table.h"

#include <QStringList>

#include "sim/call_formatter.h"
#include "sim/dbus_signature.h"

namespace vantor::sim {
namespace {

const QString IntrospectableInterface = QStringLiteral("org.freedesktop.DBus.Introspectable");
const QString PeerInterface = QStringLiteral("org.freedesktop.DBus.Peer");
const QString UnknownMethodError = QStringLiteral("org.freedesktop.DBus.Error.UnknownMethod");
const QString InvalidArgsError = QStringLiteral("org.freedesktop.DBus.Error.InvalidArgs");

QString ArgumentsXml(const QString& signature, const char* direction) {
    QString xml;
    for (const QString& type : SplitSignature(signature)) {
        xml += QStringLiteral("      <arg type=\"%1\" direction=\"%2\"/>\n")
                   .arg(type, QString::fromLatin1(direction));
    }
    return xml;
}

}  // namespace

void MethodTable::AddPropertyDescription(const QString& interface, const QString& name,
                                         const QString& signature) {
    properties_.append(PropertyDescription{interface, name, signature});
}

const MethodEntry* MethodTable::Find(const QString& interface, const QString& member) const {
    for (const MethodEntry& entry : methods_) {
        // A call without an interface goes to the first method of that name, as D-Bus allows.
        if (entry.member == member && (interface.isEmpty() || entry.interface == interface)) {
            return &entry;
        }
    }
    return nullptr;
}

QString MethodTable::introspect(const QString& /*path*/) const {
    QStringList interfaces;
    for (const MethodEntry& entry : methods_) {
        if (!interfaces.contains(entry.interface)) {
            interfaces.append(entry.interface);
        }
    }
    for (const PropertyDescription& property : properties_) {
        if (!interfaces.contains(property.interface)) {
            interfaces.append(property.interface);
        }
    }
    QString xml;
    for (const QString& interface : interfaces) {
        xml += QStringLiteral("  <interface name=\"%1\">\n").arg(interface);
        for (const MethodEntry& entry : methods_) {
            if (entry.interface == interface) {
                xml += QStringLiteral("    <method name=\"%1\">\n").arg(entry.member);
                xml += ArgumentsXml(entry.inSignature, "in");
                xml += ArgumentsXml(entry.outSignature, "out");
                xml += QStringLiteral("    </method>\n");
            }
        }
        for (const PropertyDescription& property : properties_) {
            if (property.interface == interface) {
                xml += QStringLiteral("    <property name=\"%1\" type=\"%2\" access=\"read\"/>\n")
                           .arg(property.name, property.signature);
            }
        }
        xml += QStringLiteral("  </interface>\n");
    }
    return xml;
}

bool MethodTable::handleMessage(const QDBusMessage& message, const QDBusConnection& connection) {
    if (message.type() != QDBusMessage::MethodCallMessage) {
        return false;
    }
    const QString interface = message.interface();
    if (interface == IntrospectableInterface || interface == PeerInterface) {
        return false;  // Qt answers these from introspect()
    }
    const MethodEntry* entry = Find(interface, message.member());
    if (entry == nullptr) {
        connection.send(message.createErrorReply(
            UnknownMethodError,
            QStringLiteral("No method %1.%2 with signature \"%3\" at %4")
                .arg(interface, message.member(), message.signature(), message.path())));
        return true;
    }
    if (message.signature() != entry->inSignature) {
        connection.send(message.createErrorReply(
            InvalidArgsError,
            QStringLiteral("%1.%2 takes \"%3\", not \"%4\"")
                .arg(entry->interface, entry->member, entry->inSignature, message.signature())));
        return true;
    }
    const QString call = entry->interface + u'.' + entry->member;
    if (entry->observed) {
        policy_.Record(FormatCall(call, message.arguments()));
        if (policy_.Hangs(call)) {
            return true;  // never answered
        }
    }
    CallAnswer answer = entry->handler(message);
    if (!answer.errorName.isEmpty()) {
        connection.send(message.createErrorReply(answer.errorName, answer.errorText));
        return true;
    }
    if (entry->observed && !answer.values.isEmpty() &&
        answer.values.front().metaType() == QMetaType::fromType<quint32>()) {
        if (const std::optional<quint32> result = policy_.Result(call)) {
            answer.values.front() = QVariant::fromValue(*result);
        }
    }
    connection.send(message.createReply(answer.values));
    return true;
}

}  // namespace vantor::sim
