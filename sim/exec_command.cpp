#include "sim/exec_command.h"

#include <QDBusMetaType>

namespace vantor::sim {

QDBusArgument& operator<<(QDBusArgument& argument, const ExecCommand& command) {
    argument.beginStructure();
    argument << command.path << command.argv << command.ignoreFailure << command.startRealtime
             << command.startMonotonic << command.exitRealtime << command.exitMonotonic
             << command.pid << command.code << command.status;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, ExecCommand& command) {
    argument.beginStructure();
    argument >> command.path >> command.argv >> command.ignoreFailure >> command.startRealtime >>
        command.startMonotonic >> command.exitRealtime >> command.exitMonotonic >> command.pid >>
        command.code >> command.status;
    argument.endStructure();
    return argument;
}

void RegisterExecCommandType() {
    qDBusRegisterMetaType<ExecCommand>();
    qDBusRegisterMetaType<QList<ExecCommand>>();
}

}  // namespace vantor::sim
