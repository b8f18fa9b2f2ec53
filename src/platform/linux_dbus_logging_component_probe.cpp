#include "platform/linux_dbus_logging_component_probe.h"

#include <QDBusMessage>
#include <QRegularExpression>
#include <QString>
#include <QXmlStreamReader>

#include "platform/linux_dbus_automation_call.h"
#include "platform/linux_system_bus.h"

namespace vantor {
namespace {

constexpr char IntrospectableInterface[] = "org.freedesktop.DBus.Introspectable";

// A well-known bus name: two or more dot-separated elements of letters, digits, '_' and '-',
// none starting with a digit, 255 characters at most.
bool IsWellKnownBusName(const QString& name) {
    static const QRegularExpression pattern(
        QStringLiteral("^[A-Za-z_-][A-Za-z0-9_-]*(\\.[A-Za-z_-][A-Za-z0-9_-]*)+$"));
    return name.size() <= 255 && pattern.match(name).hasMatch();
}

// True when the introspection data lists the interface (at its top level, the object's own).
bool ListsInterface(const QString& xml, const QString& interface) {
    QXmlStreamReader reader(xml);
    int depth = 0;
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
            case QXmlStreamReader::StartElement:
                ++depth;
                if (depth == 2 && reader.name() == u"interface" &&
                    reader.attributes().value(QLatin1String("name")) == interface) {
                    return true;
                }
                break;
            case QXmlStreamReader::EndElement:
                --depth;
                break;
            default:
                break;
        }
    }
    return false;
}

}  // namespace

LinuxDbusLoggingComponentProbe::LinuxDbusLoggingComponentProbe(int callTimeoutMs)
    : callTimeoutMs_(callTimeoutMs) {}

bool LinuxDbusLoggingComponentProbe::CanCreate(const std::u16string& progId) {
    const QString name = QString::fromStdU16String(progId);
    if (!IsWellKnownBusName(name)) {
        return false;
    }
    // A name nobody owns (and the bus cannot start) fails the call itself.
    QDBusConnection connection = AutomationBusConnection();
    QDBusMessage call = QDBusMessage::createMethodCall(name, QString::fromLatin1(bus::ObjectPath),
                                                       QString::fromLatin1(IntrospectableInterface),
                                                       QStringLiteral("Introspect"));
    const QDBusMessage reply = CallSystemBus(connection, call, callTimeoutMs_);
    return reply.type() == QDBusMessage::ReplyMessage && reply.signature() == u"s" &&
           ListsInterface(reply.arguments().value(0).toString(),
                          QString::fromLatin1(bus::LoggingInterface));
}

}  // namespace vantor
