#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>

#include <QTabWidget>

#include "monitor/activity_monitor_model.h"
#include "server/server_state.h"

class QMenu;
class QTimer;
class QTreeView;

namespace vantor {

class ActivityPageItemModel;
class AutomationFactory;
class Clock;
class Prompter;
class ServerWatcher;

// The activity monitor's refresh timer: its id and its period.
inline constexpr int ActivityRefreshTimerId = 2112;
inline constexpr int ActivityRefreshPeriodMs = 10000;

// The lower right pane of the main window: a tab per activity page, each a list bound to the
// activity model. The server is asked in the background (through the watcher, and disconnects on
// a thread of their own), so a server that hangs never stalls the window; what it last answered
// stays shown.
class ActivityMonitorPane : public QTabWidget {
    Q_OBJECT
public:
    // Makes the pages and starts the refresh timer.
    ActivityMonitorPane(const ServerState& serverState, AutomationFactory& automation,
                        Prompter& prompter, Clock& clock, ServerWatcher& watcher,
                        QWidget* parent = nullptr);
    ~ActivityMonitorPane() override;

    // Sizes the columns by the pane's width once it is known (now, or when first shown).
    void InsertColumns();
    // Clears the current page and, after a short wait, fills it from the server in the
    // background.
    void Refresh();

    const ServerState& State() const { return serverState_; }
    ActivityMonitorModel& Model() { return model_; }
    QTimer* RefreshTimer() const { return refreshTimer_; }
    QTreeView* PageView(ActivityPage page) const;
    // The menu a right click at a position of the Active Users list opens; nullptr when none is
    // offered there. The caller owns it.
    QMenu* ContextMenuAt(const QPoint& position);
    // True while a refresh waits for its delay or for the server's answer.
    bool RefreshPending() const { return latestTicket_ != settledTicket_; }
    // Disconnects chosen from the menu that are still under way (off the user-interface thread).
    int DisconnectsRunning() const { return disconnectsRunning_; }

signals:
    // Every ActivityRefreshPeriodMs: what else the window refreshes with the pages (the
    // multicast status line) follows this.
    void RefreshTimerFired();
    // A refresh has filled its page (or found nothing to fill it with).
    void PageRefreshed(ActivityPage page);
    // A disconnect chosen from the menu has ended and told what it could not do.
    void DisconnectFinished();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void SizeColumns();
    void Fetch(std::uint64_t ticket);
    void RefreshIf(bool needed);
    void ShowSortIndicator(ActivityPage page);
    // Runs the request in the background; the page is refreshed when it ends.
    void RunDisconnect(std::optional<DisconnectRequest> request);

    const ServerState& serverState_;
    AutomationFactory& automation_;
    ServerWatcher& watcher_;
    ActivityMonitorModel model_;
    std::array<QTreeView*, ActivityPageCount> views_{};
    std::array<ActivityPageItemModel*, ActivityPageCount> itemModels_{};
    QTimer* refreshTimer_ = nullptr;
    bool columnsPending_ = false;
    // The last refresh begun, and the last one whose page is filled (or found nothing to fill).
    std::uint64_t latestTicket_ = 0;
    std::uint64_t settledTicket_ = 0;
    int disconnectsRunning_ = 0;
};

}  // namespace vantor
