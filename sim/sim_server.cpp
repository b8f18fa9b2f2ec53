#include "sim/sim_server.h"

#include <algorithm>
#include <climits>
#include <utility>

#include <QCoreApplication>
#include <QDBusConnectionInterface>
#include <QDebug>

#include "platform/automation_bus.h"
#include "sim/automation_objects.h"
#include "sim/control_interface.h"
#include "sim/method_table.h"
#include "sim/systemd_manager.h"
#include "sim/systemd_unit_path.h"

namespace vantor::sim {
namespace {

const QStringList AutomationNames = {
    QString::fromLatin1(bus::VtrConfigName),
    QString::fromLatin1(bus::UsersAccessName),
    QString::fromLatin1(bus::ResourcesInUseName),
    QString::fromLatin1(bus::FileMCastTriggerName),
    QString::fromLatin1(bus::RestrictionsNotificationName),
};
const QString SystemdName = QString::fromLatin1(bus::SystemdName);
const QString SimName = QString::fromLatin1(bus::SimName);
const QStringList ListQueries = {
    QStringLiteral("GetUsers"),
    QStringLiteral("GetActiveUsers"),
    QStringLiteral("GetLiveConnections"),
    QStringLiteral("GetMediaUsage"),
};

}  // namespace

SimServer::SimServer(const SimOptions& options, QDBusConnection bus, QObject* parent)
    : QObject(parent),
      bus_(std::move(bus)),
      settings_(options.lifecycle),
      lifecycle_(options.running ? UnitState::Active : UnitState::Inactive),
      config_(ConfigFilePath(options.dataDir)),
      logging_(options.busAddress, policy_) {
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, &SimServer::OnTimer);
    if (options.demoActivity) {
        constexpr int DemoActivityStepMs = 2000;
        demoActivity_.Step(activity_, 0);
        connect(&demoTimer_, &QTimer::timeout, this,
                [this] { demoActivity_.Step(activity_, DemoActivityStepMs / 1000); });
        demoTimer_.start(DemoActivityStepMs);
    }
}

bool SimServer::Open(QString& error) {
    auto* root = new MethodTable(policy_, this);
    RegisterAutomationObjects(*root, *this);
    RegisterControlInterface(*root, *this);
    auto* manager = new MethodTable(policy_, this);
    auto* units = new MethodTable(policy_, this);
    RegisterSystemdObjects(*manager, *units, *this);

    const QString unitsPath = QString::fromLatin1(UnitPathPrefix).chopped(1);
    if (!bus_.registerVirtualObject(QString::fromLatin1(bus::ObjectPath), root) ||
        !bus_.registerVirtualObject(QString::fromLatin1(bus::SystemdPath), manager) ||
        !bus_.registerVirtualObject(unitsPath, units, QDBusConnection::SubPath)) {
        error = QStringLiteral("cannot register the server's objects on the bus");
        return false;
    }
    if (!bus_.registerService(SimName)) {
        error = QStringLiteral("cannot own %1: %2").arg(SimName, bus_.lastError().message());
        return false;
    }
    owned_.insert(SimName);
    UpdateNames();
    if (!owned_.contains(SystemdName)) {
        error = QStringLiteral("cannot own %1 (is another manager on this bus?)").arg(SystemdName);
        return false;
    }
    return true;
}

void SimServer::Close() {
    timer_.stop();
    logging_.RemoveAll();
    for (const QString& name : std::as_const(owned_)) {
        bus_.unregisterService(name);
    }
    owned_.clear();
}

void SimServer::StartUnit() {
    Apply(lifecycle_.Start(settings_));
}

void SimServer::StopUnit() {
    Apply(lifecycle_.Stop(settings_));
}

void SimServer::SetStopHangs(bool hangs) {
    settings_.stopHangs = hangs;
    if (!hangs) {
        Apply(lifecycle_.StopHangLifted(settings_));
    }
}

void SimServer::OnTimer() {
    Apply(lifecycle_.TimerElapsed(settings_));
}

void SimServer::Apply(const LifecycleStep& step) {
    if (!step.changed) {
        return;
    }
    timer_.stop();
    if (step.armTimerMs) {
        timer_.start(static_cast<int>(std::min<unsigned>(*step.armTimerMs, INT_MAX)));
    }
    const std::string_view state = ActiveStateText(lifecycle_.State());
    qInfo().noquote() << "Vantor.service" << QString::fromLatin1(state.data(), state.size());
    UpdateNames();
}

bool SimServer::SetUnreachable(const QString& busName, bool unreachable) {
    if (busName != SystemdName && !AutomationNames.contains(busName)) {
        return false;
    }
    if (unreachable) {
        unreachable_.insert(busName);
    } else {
        unreachable_.remove(busName);
    }
    UpdateNames();
    return true;
}

bool SimServer::SetNoData(const QString& query, bool noData) {
    if (!ListQueries.contains(query)) {
        return false;
    }
    if (noData) {
        noData_.insert(query);
    } else {
        noData_.remove(query);
    }
    return true;
}

void SimServer::UpdateNames() {
    QStringList wanted = {SimName, SystemdName};
    if (lifecycle_.State() == UnitState::Active) {
        wanted += AutomationNames;
    }
    for (const QString& name : AutomationNames + QStringList{SystemdName}) {
        const bool want = wanted.contains(name) && !unreachable_.contains(name);
        if (want && !owned_.contains(name)) {
            if (bus_.registerService(name)) {
                owned_.insert(name);
            } else {
                qWarning().noquote() << "cannot own" << name << ":" << bus_.lastError().message();
            }
        } else if (!want && owned_.contains(name)) {
            bus_.unregisterService(name);
            owned_.remove(name);
        }
    }
}

QString SimServer::ExecutablePath() const {
    return QCoreApplication::applicationFilePath();
}

QStringList SimServer::CommandLine() const {
    return QCoreApplication::arguments();
}

}  // namespace vantor::sim
