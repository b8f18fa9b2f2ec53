#include "ui/activity_monitor_pane.h"

namespace vantor {

ActivityMonitorPane::ActivityMonitorPane(const ServerState& serverState, QWidget* parent)
    : QTabWidget(parent), serverState_(serverState) {}

}  // namespace vantor
