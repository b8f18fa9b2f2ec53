#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QTimer>

#include "sim/activity_feed.h"
#include "sim/call_policy.h"
#include "sim/config_reloader.h"
#include "sim/demo_activity.h"
#include "sim/logging_components.h"
#include "sim/multicast_tracker.h"
#include "sim/sim_options.h"
#include "sim/unit_lifecycle.h"
#include "sim/user_store.h"

namespace vantor::sim {

// The stand-in media server: the unit's state, the bus names that go with it, and everything the
// server's objects know. The D-Bus objects (systemd_manager, automation_objects,
// control_interface) are thin layers that call into this.
class SimServer : public QObject {
    Q_OBJECT

public:
    SimServer(const SimOptions& options, QDBusConnection bus, QObject* parent = nullptr);

    // Registers the objects and takes the names owned at all times (and the automation names
    // when starting active). False, with the reason, when the bus refuses.
    bool Open(QString& error);
    // Gives up every name, so callers see the server go away before the process does.
    void Close();

    UnitState State() const { return lifecycle_.State(); }
    void StartUnit();
    void StopUnit();
    LifecycleSettings& Settings() { return settings_; }
    void SetStopHangs(bool hangs);
    // A missing unit is answered like any unit systemd does not know.
    bool UnitMissing() const { return unitMissing_; }
    void SetUnitMissing(bool missing) { unitMissing_ = missing; }

    // Keeps a name unowned (or owns it again when it should be). False for a name the sim does
    // not play: the five automation names and org.freedesktop.systemd1 are allowed.
    bool SetUnreachable(const QString& busName, bool unreachable);

    // The list queries ("GetUsers", "GetActiveUsers", "GetLiveConnections", "GetMediaUsage")
    // answered with no data at all. False for another name.
    bool SetNoData(const QString& query, bool noData);
    bool NoData(const QString& query) const { return noData_.contains(query); }

    UserStore& Users() { return users_; }
    ActivityFeed& Activity() { return activity_; }
    MulticastTracker& Multicast() { return multicast_; }
    ConfigReloader& Config() { return config_; }
    CallPolicy& Policy() { return policy_; }
    LoggingComponents& Logging() { return logging_; }

    // What the unit's ExecStart reports: this program and its command line.
    QString ExecutablePath() const;
    QStringList CommandLine() const;

signals:
    void QuitRequested();

private:
    void Apply(const LifecycleStep& step);
    void OnTimer();
    // Owns exactly the names that should be owned now.
    void UpdateNames();

    QDBusConnection bus_;
    LifecycleSettings settings_;
    UnitLifecycle lifecycle_;
    QTimer timer_;
    bool unitMissing_ = false;
    QSet<QString> unreachable_;
    QSet<QString> owned_;
    QSet<QString> noData_;
    UserStore users_;
    ActivityFeed activity_;
    MulticastTracker multicast_;
    ConfigReloader config_;
    CallPolicy policy_;
    // --demo-activity: the players move on every DemoActivityStepMs.
    DemoActivity demoActivity_;
    QTimer demoTimer_;
    LoggingComponents logging_;  // after policy_, which its objects record into
};

}  // namespace vantor::sim
