#pragma once

#include <QTabWidget>

#include "server/server_state.h"

namespace vantor {

// The lower right pane of the main window, where the server's activity pages go. It reads the
// frame's server state, since the server is asked about its activity only while it runs.
class ActivityMonitorPane : public QTabWidget {
    Q_OBJECT
public:
    explicit ActivityMonitorPane(const ServerState& serverState, QWidget* parent = nullptr);

    const ServerState& State() const { return serverState_; }

private:
    const ServerState& serverState_;
};

}  // namespace vantor
