#include "sim/call_formatter.h"

#include <QDBusArgument>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QStringList>

namespace vantor::sim {

QString FormatArgument(const QVariant& argument) {
    const QMetaType type = argument.metaType();
    if (type == QMetaType::fromType<bool>()) {
        return argument.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    }
    if (type == QMetaType::fromType<QStringList>()) {
        return u'[' + argument.toStringList().join(u',') + u']';
    }
    if (type == QMetaType::fromType<QDBusObjectPath>()) {
        return argument.value<QDBusObjectPath>().path();
    }
    if (type == QMetaType::fromType<QDBusVariant>()) {
        return FormatArgument(argument.value<QDBusVariant>().variant());
    }
    if (type == QMetaType::fromType<QDBusArgument>()) {
        return u'<' + argument.value<QDBusArgument>().currentSignature() + u'>';
    }
    if (argument.canConvert<QString>()) {
        return argument.toString();
    }
    return u'<' + QString::fromLatin1(type.name()) + u'>';
}

QString FormatCall(const QString& call, const QVariantList& arguments) {
    QString entry = call;
    for (const QVariant& argument : arguments) {
        entry += u' ';
        entry += FormatArgument(argument);
    }
    return entry;
}

}  // namespace vantor::sim
