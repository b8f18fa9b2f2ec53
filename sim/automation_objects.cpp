#include "sim/automation_objects.h"

#include <QList>
#include <QStringList>

#include "platform/automation_bus.h"
#include "platform/hresult.h"
#include "sim/sim_server.h"

namespace vantor::sim {
namespace {

const QString VtrConfig = QString::fromLatin1(bus::VtrConfigName);
const QString UsersAccess = QString::fromLatin1(bus::UsersAccessName);
const QString ResourcesInUse = QString::fromLatin1(bus::ResourcesInUseName);
const QString FileMCastTrigger = QString::fromLatin1(bus::FileMCastTriggerName);
const QString Restrictions = QString::fromLatin1(bus::RestrictionsNotificationName);

// ERROR_FILE_NOT_FOUND as a failure code: the configuration file could not be read.
constexpr HResult FileNotFound = HResultFromError(2);

QVariant Result(HResult result) {
    return QVariant::fromValue<quint32>(result);
}

CallAnswer UserAnswer(const UserChange& change) {
    return CallAnswer::Values({Result(SOk), change.errorText, change.ok});
}

CallAnswer ListAnswer(bool noData, const std::optional<QStringList>& records) {
    if (noData || !records) {
        return CallAnswer::Values({Result(SOk), false, QStringList()});
    }
    return CallAnswer::Values({Result(SOk), true, *records});
}

QString Text(const QDBusMessage& call, int index) {
    return call.arguments()[index].toString();
}
qint32 Int(const QDBusMessage& call, int index) {
    return call.arguments()[index].toInt();
}

void AddVtrConfig(MethodTable& table, SimServer& server) {
    table.Add({VtrConfig, QStringLiteral("ReloadConfiguration"), QString(), QStringLiteral("u"),
               [&server](const QDBusMessage&) {
                   return CallAnswer::Values(
                       {Result(server.Config().Reload() ? SOk : FileNotFound)});
               }});
}

void AddUsersAccess(MethodTable& table, SimServer& server) {
    const QString userOut = QStringLiteral("usb");
    table.Add({UsersAccess, QStringLiteral("AddUser"), QStringLiteral("siss"), userOut,
               [&server](const QDBusMessage& call) {
                   return UserAnswer(server.Users().Add(Text(call, 0), Int(call, 1), Text(call, 2),
                                                        Text(call, 3)));
               }});
    table.Add({UsersAccess, QStringLiteral("SetUserPassword"), QStringLiteral("ss"), userOut,
               [&server](const QDBusMessage& call) {
                   return UserAnswer(server.Users().SetPassword(Text(call, 0), Text(call, 1)));
               }});
    table.Add({UsersAccess, QStringLiteral("UpdateUser"), QStringLiteral("sis"), userOut,
               [&server](const QDBusMessage& call) {
                   return UserAnswer(
                       server.Users().Update(Text(call, 0), Int(call, 1), Text(call, 2)));
               }});
    table.Add({UsersAccess, QStringLiteral("DeleteUser"), QStringLiteral("s"), userOut,
               [&server](const QDBusMessage& call) {
                   return UserAnswer(server.Users().Remove(Text(call, 0)));
               }});
    table.Add({UsersAccess, QStringLiteral("GetUsers"), QString(), QStringLiteral("ubas"),
               [&server](const QDBusMessage& call) {
                   return ListAnswer(server.NoData(call.member()), server.Users().Records());
               }});
}

void AddResourcesInUse(MethodTable& table, SimServer& server) {
    const QString listOut = QStringLiteral("ubas");
    table.Add({ResourcesInUse, QStringLiteral("GetActiveUsers"), QString(), listOut,
               [&server](const QDBusMessage& call) {
                   return ListAnswer(server.NoData(call.member()), server.Activity().ActiveUsers());
               }});
    table.Add({ResourcesInUse, QStringLiteral("DisconnectUser"), QStringLiteral("i"),
               QStringLiteral("u"), [&server](const QDBusMessage& call) {
                   const bool gone = server.Activity().DisconnectUser(Int(call, 0)) > 0;
                   return CallAnswer::Values({Result(gone ? SOk : SFalse)});
               }});
    table.Add({ResourcesInUse, QStringLiteral("GetLiveConnections"), QString(), listOut,
               [&server](const QDBusMessage& call) {
                   return ListAnswer(server.NoData(call.member()),
                                     server.Activity().LiveConnections());
               }});
    table.Add({ResourcesInUse, QStringLiteral("GetThroughput"), QString(), QStringLiteral("uai"),
               [&server](const QDBusMessage&) {
                   const ActivityFeed::Throughput& values = server.Activity().GetThroughput();
                   return CallAnswer::Values({Result(SOk), QVariant::fromValue(QList<qint32>(
                                                               values.begin(), values.end()))});
               }});
    table.Add({ResourcesInUse, QStringLiteral("GetMediaUsage"), QString(), listOut,
               [&server](const QDBusMessage& call) {
                   return ListAnswer(server.NoData(call.member()), server.Activity().MediaUsage());
               }});
}

void AddFileMCastTrigger(MethodTable& table, SimServer& server) {
    table.Add({FileMCastTrigger, QStringLiteral("StartMulticast"), QStringLiteral("sssib"),
               QStringLiteral("u"), [&server](const QDBusMessage& call) {
                   server.Multicast().Start(Text(call, 0), Text(call, 2), Int(call, 3));
                   return CallAnswer::Values({Result(SOk)});
               }});
    table.Add({FileMCastTrigger, QStringLiteral("StopMulticast"), QStringLiteral("s"),
               QStringLiteral("u"), [&server](const QDBusMessage& call) {
                   return CallAnswer::Values(
                       {Result(server.Multicast().Stop(Text(call, 0)) ? SOk : SFalse)});
               }});
    table.Add({FileMCastTrigger, QStringLiteral("GetMulticastStatus"), QStringLiteral("s"),
               QStringLiteral("uss"), [&server](const QDBusMessage& call) {
                   const MulticastAnswer answer = server.Multicast().Status(Text(call, 0));
                   return CallAnswer::Values(
                       {Result(answer.result), answer.multicastingText, answer.otherText});
               }});
}

void AddRestrictionsNotification(MethodTable& table) {
    table.Add({Restrictions, QStringLiteral("RestrictionsChanged"), QString(), QStringLiteral("u"),
               [](const QDBusMessage&) { return CallAnswer::Values({Result(SOk)}); }});
}

}  // namespace

void RegisterAutomationObjects(MethodTable& table, SimServer& server) {
    AddVtrConfig(table, server);
    AddUsersAccess(table, server);
    AddResourcesInUse(table, server);
    AddFileMCastTrigger(table, server);
    AddRestrictionsNotification(table);
}

}  // namespace vantor::sim
