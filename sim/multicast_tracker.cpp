#include "sim/multicast_tracker.h"

namespace vantor::sim {

void MulticastTracker::Start(const QString& folder, const QString& group, qint32 port) {
    sessions_.insert(folder, Session{group, port});
}

bool MulticastTracker::Stop(const QString& folder) {
    return sessions_.remove(folder) > 0;
}

void MulticastTracker::SetAnswer(const QString& folder, const MulticastAnswer& answer) {
    overrides_.insert(folder, answer);
}

MulticastAnswer MulticastTracker::Status(const QString& folder) const {
    if (const auto fixed = overrides_.constFind(folder); fixed != overrides_.cend()) {
        return *fixed;
    }
    if (const auto session = sessions_.constFind(folder); session != sessions_.cend()) {
        return MulticastAnswer{0, session->group + u':' + QString::number(session->port), {}};
    }
    return MulticastAnswer{1, {}, QString::fromUtf8(NotMulticastingText)};
}

}  // namespace vantor::sim
