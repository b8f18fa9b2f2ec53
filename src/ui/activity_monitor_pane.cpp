#include "ui/activity_monitor_pane.h"

#include <QTimer>

namespace vantor {

ActivityMonitorPane::ActivityMonitorPane(const ServerState& serverState, QWidget* parent)
    : QTabWidget(parent), serverState_(serverState) {
    refreshTimer_ = new QTimer(this);
    refreshTimer_->setObjectName(QStringLiteral("activityRefreshTimer"));
    refreshTimer_->setInterval(ActivityRefreshPeriodMs);
    connect(refreshTimer_, &QTimer::timeout, this, &ActivityMonitorPane::RefreshTimerFired);
    refreshTimer_->start();
}

}  // namespace vantor
