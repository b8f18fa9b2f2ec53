#include "sim/systemd_manager.h"

#include <memory>

#include <QCoreApplication>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QVariantMap>

#include "platform/automation_bus.h"
#include "sim/exec_command.h"
#include "sim/sim_server.h"
#include "sim/systemd_unit_path.h"

namespace vantor::sim {
namespace {

const QString ManagerInterface = QString::fromLatin1(bus::SystemdManagerInterface);
const QString UnitInterface = QString::fromLatin1(bus::SystemdUnitInterface);
const QString ServiceInterface = QString::fromLatin1(bus::SystemdServiceInterface);
const QString ServerUnit = QString::fromLatin1(bus::ServerUnit);
const QString PropertiesInterface = QStringLiteral("org.freedesktop.DBus.Properties");
const QString JobPathPrefix = QStringLiteral("/org/freedesktop/systemd1/job/");
const QString UnitDescription = QStringLiteral("Vantor media server (vantor-sim)");

const QString NoSuchUnitError = QStringLiteral("org.freedesktop.systemd1.NoSuchUnit");
const QString InvalidArgsError = QStringLiteral("org.freedesktop.DBus.Error.InvalidArgs");
const QString UnknownObjectError = QStringLiteral("org.freedesktop.DBus.Error.UnknownObject");
const QString UnknownInterfaceError = QStringLiteral("org.freedesktop.DBus.Error.UnknownInterface");
const QString UnknownPropertyError = QStringLiteral("org.freedesktop.DBus.Error.UnknownProperty");
const QString ReadOnlyError = QStringLiteral("org.freedesktop.DBus.Error.PropertyReadOnly");

const QStringList JobModes = {
    QStringLiteral("replace"),
    QStringLiteral("fail"),
    QStringLiteral("isolate"),
    QStringLiteral("ignore-dependencies"),
    QStringLiteral("ignore-requirements"),
    QStringLiteral("flush"),
    QStringLiteral("replace-irreversibly"),
    QStringLiteral("triggering"),
    QStringLiteral("restart"),
};

bool IsServerUnit(const SimServer& server, const QString& name) {
    return name == ServerUnit && !server.UnitMissing();
}

QString SubStateText(UnitState state) {
    switch (state) {
        case UnitState::Inactive:
            return QStringLiteral("dead");
        case UnitState::Activating:
            return QStringLiteral("start");
        case UnitState::Active:
            return QStringLiteral("running");
        case UnitState::Deactivating:
            return QStringLiteral("stop");
        case UnitState::Failed:
            return QStringLiteral("failed");
    }
    return QStringLiteral("dead");
}

QVariant ExecStartValue(SimServer& server, bool known) {
    QList<ExecCommand> commands;
    if (known) {
        ExecCommand command;
        command.path = server.ExecutablePath();
        command.argv = QStringList{command.path} + server.CommandLine().mid(1);
        if (server.State() == UnitState::Active) {
            command.pid = static_cast<quint32>(QCoreApplication::applicationPid());
        }
        commands.append(command);
    }
    return QVariant::fromValue(commands);
}

// The properties of one interface of the unit; nothing for an interface a unit does not have.
std::optional<QVariantMap> UnitProperties(SimServer& server, const QString& unitName,
                                          const QString& interface) {
    const bool known = IsServerUnit(server, unitName);
    const UnitState state = known ? server.State() : UnitState::Inactive;
    if (interface == UnitInterface) {
        const std::string_view active = ActiveStateText(state);
        return QVariantMap{
            {QStringLiteral("Id"), unitName},
            {QStringLiteral("Names"), QStringList{unitName}},
            {QStringLiteral("Description"), known ? UnitDescription : QString()},
            {QStringLiteral("LoadState"),
             known ? QStringLiteral("loaded") : QStringLiteral("not-found")},
            {QStringLiteral("ActiveState"), QString::fromLatin1(active.data(), active.size())},
            {QStringLiteral("SubState"), SubStateText(state)},
        };
    }
    if (interface == ServiceInterface) {
        const quint32 pid = known && state == UnitState::Active
                                ? static_cast<quint32>(QCoreApplication::applicationPid())
                                : 0;
        return QVariantMap{
            {QStringLiteral("ExecStart"), ExecStartValue(server, known)},
            {QStringLiteral("MainPID"), QVariant::fromValue(pid)},
        };
    }
    return std::nullopt;
}

CallAnswer NoSuchUnit(const QString& name, const char* why) {
    return CallAnswer::Error(NoSuchUnitError,
                             QStringLiteral("Unit %1 %2.").arg(name, QString::fromLatin1(why)));
}

QVariantList Path(const QString& path) {
    return {QVariant::fromValue(QDBusObjectPath(path))};
}

void AddManagerMethods(MethodTable& manager, SimServer& server) {
    manager.Add({ManagerInterface, QStringLiteral("LoadUnit"), QStringLiteral("s"),
                 QStringLiteral("o"), [](const QDBusMessage& call) {
                     return CallAnswer::Values(
                         Path(UnitObjectPath(call.arguments()[0].toString())));
                 }});
    manager.Add({ManagerInterface, QStringLiteral("GetUnit"), QStringLiteral("s"),
                 QStringLiteral("o"), [&server](const QDBusMessage& call) {
                     const QString name = call.arguments()[0].toString();
                     if (!IsServerUnit(server, name)) {
                         return NoSuchUnit(name, "not loaded");
                     }
                     return CallAnswer::Values(Path(UnitObjectPath(name)));
                 }});

    auto jobs = std::make_shared<quint32>(0);
    const auto jobMethod = [&server, jobs](void (SimServer::*operation)()) {
        return [&server, jobs, operation](const QDBusMessage& call) {
            const QString name = call.arguments()[0].toString();
            const QString mode = call.arguments()[1].toString();
            if (!IsServerUnit(server, name)) {
                return NoSuchUnit(name, "not found");
            }
            if (!JobModes.contains(mode)) {
                return CallAnswer::Error(InvalidArgsError,
                                         QStringLiteral("Job mode %1 invalid.").arg(mode));
            }
            // systemd asks polkit only once it knows the unit and the job.
            if (const auto refusal = JobRefusal(server.Settings().authorization,
                                                call.isInteractiveAuthorizationAllowed())) {
                return CallAnswer::Error(QString::fromLatin1(refusal->data(), refusal->size()),
                                         QStringLiteral("Access denied"));
            }
            (server.*operation)();
            *jobs += 1;
            return CallAnswer::Values(Path(JobPathPrefix + QString::number(*jobs)));
        };
    };
    manager.Add({ManagerInterface, QStringLiteral("StartUnit"), QStringLiteral("ss"),
                 QStringLiteral("o"), jobMethod(&SimServer::StartUnit)});
    manager.Add({ManagerInterface, QStringLiteral("StopUnit"), QStringLiteral("ss"),
                 QStringLiteral("o"), jobMethod(&SimServer::StopUnit)});
}

void AddUnitProperties(MethodTable& units, SimServer& server) {
    units.Add({PropertiesInterface, QStringLiteral("Get"), QStringLiteral("ss"),
               QStringLiteral("v"), [&server](const QDBusMessage& call) {
                   const std::optional<QString> unit = UnitNameFromPath(call.path());
                   if (!unit) {
                       return CallAnswer::Error(UnknownObjectError, call.path());
                   }
                   const QString interface = call.arguments()[0].toString();
                   const QString property = call.arguments()[1].toString();
                   const std::optional<QVariantMap> properties =
                       UnitProperties(server, *unit, interface);
                   if (!properties || !properties->contains(property)) {
                       return CallAnswer::Error(
                           UnknownPropertyError,
                           QStringLiteral("Unknown property %1.%2").arg(interface, property));
                   }
                   return CallAnswer::Values(
                       {QVariant::fromValue(QDBusVariant(properties->value(property)))});
               }});
    units.Add({PropertiesInterface, QStringLiteral("GetAll"), QStringLiteral("s"),
               QStringLiteral("a{sv}"), [&server](const QDBusMessage& call) {
                   const std::optional<QString> unit = UnitNameFromPath(call.path());
                   if (!unit) {
                       return CallAnswer::Error(UnknownObjectError, call.path());
                   }
                   const QString interface = call.arguments()[0].toString();
                   const std::optional<QVariantMap> properties =
                       UnitProperties(server, *unit, interface);
                   if (!properties) {
                       return CallAnswer::Error(UnknownInterfaceError, interface);
                   }
                   return CallAnswer::Values({*properties});
               }});
    units.Add({PropertiesInterface, QStringLiteral("Set"), QStringLiteral("ssv"), QString(),
               [](const QDBusMessage& call) {
                   return CallAnswer::Error(
                       ReadOnlyError,
                       QStringLiteral("Property %1.%2 is read-only")
                           .arg(call.arguments()[0].toString(), call.arguments()[1].toString()));
               }});
    for (const char* name : {"Id", "LoadState", "ActiveState", "SubState", "Description"}) {
        units.AddPropertyDescription(UnitInterface, QString::fromLatin1(name), QStringLiteral("s"));
    }
    units.AddPropertyDescription(UnitInterface, QStringLiteral("Names"), QStringLiteral("as"));
    units.AddPropertyDescription(ServiceInterface, QStringLiteral("ExecStart"),
                                 QStringLiteral("a(sasbttttuii)"));
    units.AddPropertyDescription(ServiceInterface, QStringLiteral("MainPID"), QStringLiteral("u"));
}

}  // namespace

void RegisterSystemdObjects(MethodTable& manager, MethodTable& units, SimServer& server) {
    RegisterExecCommandType();
    AddManagerMethods(manager, server);
    AddUnitProperties(units, server);
}

}  // namespace vantor::sim
