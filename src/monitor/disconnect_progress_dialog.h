#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include <QObject>
#include <QPointer>
#include <QProgressDialog>

#include "monitor/resource_disconnect.h"
#include "platform/linux_clock.h"

class QWidget;

namespace vantor {

class AutomationFactory;

// One run of disconnects (DisconnectMatchingUsers) on a thread of its own, so a server that
// hangs never holds up the window. A progress dialog, window-modal over owner, comes up when
// the run takes longer than a moment; its Cancel stops the run before the next user. When the
// run ends, done gets the outcome on the user-interface thread and the run deletes itself. It is
// a child of owner: when owner goes first, the run is stopped, waited for, and done is dropped.
class DisconnectProgressDialog : public QObject {
    Q_OBJECT
public:
    using Done = std::function<void(const DisconnectOutcome&)>;

    // Starts the run; the returned object belongs to owner.
    static DisconnectProgressDialog* Start(AutomationFactory& automation, QWidget& owner,
                                           ActiveUserMatch match, const std::u16string& text,
                                           Done done);
    ~DisconnectProgressDialog() override;

    // The dialog, made hidden at the start (tests look at it).
    QProgressDialog* Progress() const { return progress_; }

    // How long a run goes on before its dialog shows.
    static constexpr int ShowAfterMs = 500;

private:
    DisconnectProgressDialog(QWidget& owner, Done done);
    void OnProgress(int done, int total);
    void OnFinished(const DisconnectOutcome& outcome);

    QPointer<QProgressDialog> progress_;
    Done done_;
    LinuxClock clock_;
    std::atomic<bool> stop_{false};
    // Last: started once the rest is ready.
    std::thread thread_;
};

}  // namespace vantor
