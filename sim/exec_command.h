#pragma once

#include <QDBusArgument>
#include <QList>
#include <QMetaType>
#include <QString>
#include <QStringList>

namespace vantor::sim {

// One entry of a systemd service's ExecStart property, D-Bus type (sasbttttuii): the program,
// its argument vector, whether failure is ignored, start and exit times (realtime, monotonic),
// the process id and its exit code and status.
struct ExecCommand {
    QString path;
    QStringList argv;
    bool ignoreFailure = false;
    quint64 startRealtime = 0;
    quint64 startMonotonic = 0;
    quint64 exitRealtime = 0;
    quint64 exitMonotonic = 0;
    quint32 pid = 0;
    qint32 code = 0;
    qint32 status = 0;
};

QDBusArgument& operator<<(QDBusArgument& argument, const ExecCommand& command);
const QDBusArgument& operator>>(const QDBusArgument& argument, ExecCommand& command);

// Makes QList<ExecCommand> known to Qt D-Bus as a(sasbttttuii); call once before use.
void RegisterExecCommandType();

}  // namespace vantor::sim

Q_DECLARE_METATYPE(vantor::sim::ExecCommand)
