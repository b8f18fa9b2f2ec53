#include "ui/qt_server_watcher.h"

namespace vantor {

ServerWatcher::ServerWatcher(QObject* parent) : QObject(parent) {}

ServerWatcher::~ServerWatcher() {
    // The lanes' jobs post to this object: they must end before it does.
    runners_.clear();
}

bool ServerWatcher::Busy(WatchLane lane) {
    return Runner(lane).Busy();
}

LatestJobRunner& ServerWatcher::Runner(WatchLane lane) {
    std::unique_ptr<LatestJobRunner>& runner = runners_[lane];
    if (runner == nullptr) {
        runner = std::make_unique<LatestJobRunner>();
    }
    return *runner;
}

}  // namespace vantor
