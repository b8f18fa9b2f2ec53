#pragma once

#include <functional>
#include <map>
#include <memory>
#include <utility>

#include <QMetaObject>
#include <QObject>
#include <QPointer>

#include "server/latest_job_runner.h"

namespace vantor {

// The queries the window repeats on its own, each on a lane of its own so that a slow one never
// holds up another.
enum class WatchLane { ServerState, Activity, MulticastStatus, ConfigFile };

// Asks the server in the background on behalf of the window: the work runs on the lane's thread
// and its result comes back to the user-interface thread as a queued event, to a receiver that
// may have gone meanwhile (then the result is dropped). While a lane is busy, a new request
// replaces the one waiting, so only the latest is ever run next.
class ServerWatcher : public QObject {
    Q_OBJECT
public:
    explicit ServerWatcher(QObject* parent = nullptr);
    // Waits for the work under way (a call's time-out at most) and drops what waits.
    ~ServerWatcher() override;

    // work runs on the lane's thread and must touch no widget; done runs on this object's
    // thread with its result, unless receiver is gone by then.
    template <typename Result>
    void Submit(WatchLane lane, QObject* receiver, std::function<Result()> work,
                std::function<void(Result)> done) {
        QPointer<QObject> guard(receiver);
        Runner(lane).Submit([this, guard, work = std::move(work), done = std::move(done)] {
            auto result = std::make_shared<Result>(work());
            QMetaObject::invokeMethod(
                this,
                [guard, done, result] {
                    if (!guard.isNull()) {
                        done(std::move(*result));
                    }
                },
                Qt::QueuedConnection);
        });
    }

    bool Busy(WatchLane lane);

private:
    LatestJobRunner& Runner(WatchLane lane);

    std::map<WatchLane, std::unique_ptr<LatestJobRunner>> runners_;
};

}  // namespace vantor
