#include "sim/activity_feed.h"

#include "sim/tagged_record.h"

namespace vantor::sim {

bool ActivityFeed::SetThroughput(const QList<qint32>& values) {
    if (values.size() > ThroughputCount) {
        return false;
    }
    throughput_.fill(0);
    for (qsizetype i = 0; i < values.size(); ++i) {
        throughput_[static_cast<std::size_t>(i)] = values[i];
    }
    return true;
}

qsizetype ActivityFeed::DisconnectUser(qint32 pointer) {
    if (!activeUsers_) {
        return 0;
    }
    return activeUsers_->removeIf(
        [pointer](const QString& record) { return RecordPointer(record) == pointer; });
}

}  // namespace vantor::sim
