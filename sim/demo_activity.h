#pragma once

#include <array>
#include <cstdint>

#include <QList>
#include <QString>
#include <QStringList>

#include "sim/activity_feed.h"

namespace vantor::sim {

// A lively, changing activity for the demo: players join and leave the demo's folders and
// broadcasts, their times run on, the throughput moves. Deterministic for a seed, so tests can
// follow it. Users the tool disconnected stay gone.
class DemoActivity {
public:
    explicit DemoActivity(std::uint32_t seed = 1);

    // Lets seconds pass: some players leave, some join, and the rest play on. Players missing
    // from feed (disconnected) are dropped first. Then the feed gets every list anew.
    void Step(ActivityFeed& feed, int seconds);

    qsizetype PlayerCount() const { return players_.size(); }

private:
    struct Player {
        QString resource;   // a broadcast's name, or "folder\file" with the folder in lower case
        QString usageName;  // the usage page's name: a folder ends in '/'
        QString user;
        QString ip;
        int protocol = 0;  // index into the five protocols of GetThroughput
        qint64 seconds = 0;
        qint32 pointer = 0;
        qint32 kBytesPerSecond = 0;
    };

    std::uint32_t Next();
    int Below(int bound);
    void Join();
    void Feed(ActivityFeed& feed) const;

    std::uint32_t state_;
    qint32 nextPointer_ = 1001;
    int nextUser_ = 1;
    QList<Player> players_;
};

}  // namespace vantor::sim
