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

const MethodSpec* MethodTable::Find(const QString& interface, const QString& member) const {
    for (const MethodSpec& spec : methods_) {
        // A call without an interface goes to the first method of that name, as D-Bus allows.
        if (spec.member == member && (interface.isEmpty() || spec.interface == interface)) {
            return &spec;
        }
    }
    return nullptr;
}

QString MethodTable::introspect(const QString& /*path*/) const {
    QStringList interfaces;
    for (const MethodSpec& spec : methods_) {
        if (!interfaces.contains(spec.interface)) {
            interfaces.append(spec.interface);
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
        for (const MethodSpec& spec : methods_) {
            if (spec.interface == interface) {
                xml += QStringLiteral("    <method name=\"%1\">\n").arg(spec.member);
                xml += ArgumentsXml(spec.inSignature, "in");
                xml += ArgumentsXml(spec.outSignature, "out");
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
    const MethodSpec* spec = Find(interface, message.member());
    if (spec == nullptr) {
        connection.send(message.createErrorReply(
            UnknownMethodError,
            QStringLiteral("No method %1.%2 with signature \"%3\" at %4")
                .arg(interface, message.member(), message.signature(), message.path())));
        return true;
    }
    if (message.signature() != spec->inSignature) {
        connection.send(message.createErrorReply(
            InvalidArgsError,
            QStringLiteral("%1.%2 takes \"%3\", not \"%4\"")
                .arg(spec->interface, spec->member, spec->inSignature, message.signature())));
        return true;
    }
    const QString call = spec->interface + u'.' + spec->member;
    if (spec->observed) {
        policy_.Record(FormatCall(call, message.arguments()));
        if (policy_.Hangs(call)) {
            return true;  // never answered
        }
    }
    CallAnswer answer = spec->handler(message);
    if (!answer.errorName.isEmpty()) {
        connection.send(message.createErrorReply(answer.errorName, answer.errorText));
        return true;
    }
    if (spec->observed && !answer.values.isEmpty() &&
        answer.values.front().metaType() == QMetaType::fromType<quint32>()) {
        if (const std::optional<quint32> result = policy_.Result(call)) {
            answer.values.front() = QVariant::fromValue(*result);
        }
    }
    connection.send(message.createReply(answer.values));
    return true;
}

}  // namespace vantor::sim
