#pragma once

#include <QTabWidget>

#include "server/server_state.h"

class QTimer;

namespace vantor {

// The activity monitor's refresh timer: its id and its period.
inline constexpr int ActivityRefreshTimerId = 2112;
inline constexpr int ActivityRefreshPeriodMs = 10000;

// The lower right pane of the main window, where the server's activity pages go. It reads the
// frame's server state, since the server is asked about its activity only while it runs.
class ActivityMonitorPane : public QTabWidget {
    Q_OBJECT
public:
    // Starts the refresh timer.
    explicit ActivityMonitorPane(const ServerState& serverState, QWidget* parent = nullptr);

    const ServerState& State() const { return serverState_; }
    QTimer* RefreshTimer() const { return refreshTimer_; }

signals:
    // Every ActivityRefreshPeriodMs: what else the window refreshes with the pages (the
    // multicast status line) follows this.
    void RefreshTimerFired();

private:
    const ServerState& serverState_;
    QTimer* refreshTimer_ = nullptr;
};

}  // namespace vantor
