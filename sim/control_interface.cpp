#include "sim/control_interface.h"

#include <QDBusArgument>
#include <QDBusMetaType>
#include <QList>

#include "platform/automation_bus.h"
#include "sim/sim_control_names.h"
#include "sim/sim_server.h"

namespace vantor::sim {
namespace {

const QString ControlInterface = QString::fromLatin1(bus::SimControlInterface);
const QString InvalidArgs = QString::fromLatin1(control::InvalidArgsError);

CallAnswer Done() {
    return CallAnswer::Values({});
}

QString Text(const QDBusMessage& call, int index) {
    return call.arguments()[index].toString();
}
bool Flag(const QDBusMessage& call, int index) {
    return call.arguments()[index].toBool();
}
quint32 Unsigned(const QDBusMessage& call, int index) {
    return call.arguments()[index].toUInt();
}
QStringList Texts(const QDBusMessage& call) {
    return call.arguments()[0].toStringList();
}

QList<qint32> Ints(const QDBusMessage& call) {
    const QVariant argument = call.arguments()[0];
    if (argument.canConvert<QDBusArgument>()) {
        return qdbus_cast<QList<qint32>>(argument.value<QDBusArgument>());
    }
    return argument.value<QList<qint32>>();
}

// Adds a method of the control interface, which is never observed.
void Add(MethodTable& table, const char* member, const char* in, const char* out,
         MethodHandler handler) {
    table.Add({ControlInterface, QString::fromLatin1(member), QString::fromLatin1(in),
               QString::fromLatin1(out), std::move(handler), false});
}

void AddUnitControl(MethodTable& table, SimServer& server) {
    Add(table, control::SetStartDelay, "u", "", [&server](const QDBusMessage& call) {
        server.Settings().startDelayMs = Unsigned(call, 0);
        return Done();
    });
    Add(table, control::SetStopDelay, "u", "", [&server](const QDBusMessage& call) {
        server.Settings().stopDelayMs = Unsigned(call, 0);
        return Done();
    });
    Add(table, control::SetStartFails, "b", "", [&server](const QDBusMessage& call) {
        server.Settings().startFails = Flag(call, 0);
        return Done();
    });
    Add(table, control::SetStopHangs, "b", "", [&server](const QDBusMessage& call) {
        server.SetStopHangs(Flag(call, 0));
        return Done();
    });
    Add(table, control::SetUnitMissing, "b", "", [&server](const QDBusMessage& call) {
        server.SetUnitMissing(Flag(call, 0));
        return Done();
    });
    Add(table, control::SetAuthorization, "s", "", [&server](const QDBusMessage& call) {
        const std::optional<JobAuthorization> authorization =
            JobAuthorizationNamed(Text(call, 0).toStdString());
        if (!authorization) {
            return CallAnswer::Error(
                InvalidArgs, QStringLiteral("%1 is not an authorization").arg(Text(call, 0)));
        }
        server.Settings().authorization = *authorization;
        return Done();
    });
    Add(table, control::GetState, "", "s", [&server](const QDBusMessage&) {
        const std::string_view state = ActiveStateText(server.State());
        return CallAnswer::Values({QString::fromLatin1(state.data(), state.size())});
    });
    Add(table, control::SetUnreachable, "sb", "", [&server](const QDBusMessage& call) {
        if (!server.SetUnreachable(Text(call, 0), Flag(call, 1))) {
            return CallAnswer::Error(
                InvalidArgs, QStringLiteral("%1 is not a name the sim plays").arg(Text(call, 0)));
        }
        return Done();
    });
}

void AddAnswerControl(MethodTable& table, SimServer& server) {
    Add(table, control::FeedActiveUsers, "as", "", [&server](const QDBusMessage& call) {
        server.Activity().FeedActiveUsers(Texts(call));
        return Done();
    });
    Add(table, control::FeedLiveConnections, "as", "", [&server](const QDBusMessage& call) {
        server.Activity().FeedLiveConnections(Texts(call));
        return Done();
    });
    Add(table, control::FeedMediaUsage, "as", "", [&server](const QDBusMessage& call) {
        server.Activity().FeedMediaUsage(Texts(call));
        return Done();
    });
    Add(table, control::SetThroughput, "ai", "", [&server](const QDBusMessage& call) {
        if (!server.Activity().SetThroughput(Ints(call))) {
            return CallAnswer::Error(InvalidArgs, QStringLiteral("at most ten values"));
        }
        return Done();
    });
    Add(table, control::SetNoData, "sb", "", [&server](const QDBusMessage& call) {
        if (!server.SetNoData(Text(call, 0), Flag(call, 1))) {
            return CallAnswer::Error(InvalidArgs,
                                     QStringLiteral("%1 is not a list query").arg(Text(call, 0)));
        }
        return Done();
    });
    Add(table, control::SetMulticastAnswer, "suss", "", [&server](const QDBusMessage& call) {
        server.Multicast().SetAnswer(
            Text(call, 0), MulticastAnswer{Unsigned(call, 1), Text(call, 2), Text(call, 3)});
        return Done();
    });
    Add(table, control::ClearMulticastAnswer, "s", "", [&server](const QDBusMessage& call) {
        server.Multicast().ClearAnswer(Text(call, 0));
        return Done();
    });
    Add(table, control::SetHang, "sb", "", [&server](const QDBusMessage& call) {
        server.Policy().SetHang(Text(call, 0), Flag(call, 1));
        return Done();
    });
    Add(table, control::SetResult, "su", "", [&server](const QDBusMessage& call) {
        server.Policy().SetResult(Text(call, 0), Unsigned(call, 1));
        return Done();
    });
    Add(table, control::ClearResult, "s", "", [&server](const QDBusMessage& call) {
        server.Policy().ClearResult(Text(call, 0));
        return Done();
    });
}

void AddInspection(MethodTable& table, SimServer& server) {
    Add(table, control::GetCallLog, "", "as",
        [&server](const QDBusMessage&) { return CallAnswer::Values({server.Policy().Log()}); });
    Add(table, control::ClearCallLog, "", "", [&server](const QDBusMessage&) {
        server.Policy().ClearLog();
        return Done();
    });
    Add(table, control::GetLoadedConfig, "", "uuas", [&server](const QDBusMessage&) {
        const LoadedConfig& loaded = server.Config().Loaded();
        return CallAnswer::Values({QVariant::fromValue(loaded.reloads),
                                   QVariant::fromValue(loaded.version), loaded.names});
    });
    Add(table, control::GetUserAccounts, "", "as", [&server](const QDBusMessage&) {
        QStringList accounts;
        for (const UserAccount& account : server.Users().Accounts()) {
            accounts.append(QStringList{account.name, QString::number(account.group),
                                        account.password, account.info}
                                .join(u'\t'));
        }
        return CallAnswer::Values({accounts});
    });
    Add(table, control::Quit, "", "", [&server](const QDBusMessage&) {
        // Queued, so the reply goes out before the names do.
        QMetaObject::invokeMethod(&server, &SimServer::QuitRequested, Qt::QueuedConnection);
        return Done();
    });
}

void AddLoggingControl(MethodTable& table, SimServer& server) {
    Add(table, control::SetLoggingComponent, "sb", "", [&server](const QDBusMessage& call) {
        QString error;
        if (!server.Logging().Add(Text(call, 0), Flag(call, 1), error)) {
            return CallAnswer::Error(InvalidArgs, error);
        }
        return Done();
    });
    Add(table, control::RemoveLoggingComponent, "s", "", [&server](const QDBusMessage& call) {
        if (!server.Logging().Remove(Text(call, 0))) {
            return CallAnswer::Error(
                InvalidArgs, QStringLiteral("%1 is not a logging component").arg(Text(call, 0)));
        }
        return Done();
    });
}

}  // namespace

void RegisterControlInterface(MethodTable& table, SimServer& server) {
    AddUnitControl(table, server);
    AddAnswerControl(table, server);
    AddInspection(table, server);
    AddLoggingControl(table, server);
}

}  // namespace vantor::sim
