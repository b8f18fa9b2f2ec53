#pragma once

#include <QList>
#include <QStringList>
#include <array>
#include <optional>

namespace vantor::sim {

// What the server reports about its activity: records fed by a test or the demo, answered as
// they were fed. A list that was never fed is "no data", unlike a list fed empty.
class ActivityFeed {
public:
    static constexpr qsizetype ThroughputCount = 10;
    using Throughput = std::array<qint32, ThroughputCount>;

    void FeedActiveUsers(const QStringList& records) { activeUsers_ = records; }
    void FeedLiveConnections(const QStringList& records) { liveConnections_ = records; }
    void FeedMediaUsage(const QStringList& records) { mediaUsage_ = records; }

    const std::optional<QStringList>& ActiveUsers() const { return activeUsers_; }
    const std::optional<QStringList>& LiveConnections() const { return liveConnections_; }
    const std::optional<QStringList>& MediaUsage() const { return mediaUsage_; }

    // Up to ten values, the missing ones 0; false (and nothing changed) for more than ten.
    bool SetThroughput(const QList<qint32>& values);
    const Throughput& GetThroughput() const { return throughput_; }

    // Drops every active-user record whose Pointer field equals pointer; returns how many went.
    qsizetype DisconnectUser(qint32 pointer);

private:
    std::optional<QStringList> activeUsers_;
    std::optional<QStringList> liveConnections_;
    std::optional<QStringList> mediaUsage_;
    Throughput throughput_{};
};

}  // namespace vantor::sim
