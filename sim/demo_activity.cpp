#include "sim/demo_activity.h"

#include <QMap>
#include <QSet>

#include "sim/tagged_record.h"

namespace vantor::sim {
namespace {

constexpr int kProtocols = 5;
constexpr int kMinPlayers = 6;
constexpr int kMaxPlayers = 40;

struct Source {
    const char* resource;
    const char* usageName;
};
// The demo configuration's resources that have players: files of its folders and its broadcasts.
constexpr Source kSources[] = {
    {"clips\\clip.mp4", "Clips/"},
    {"clips\\tone.mp3", "Clips/"},
    {"clips\\loop.mkv", "Clips/"},
    {"members\\intro.avi", "Members/"},
    {"open day\\chime.wav", "Open day/"},
    {"studio", "studio"},
    {"reporter", "reporter"},
    {"relay", "relay"},
};
constexpr const char* kUsers[] = {"guest", "anna", "bob", "carla", "dev", "emil", "fay"};

QString Tag(const char* name) {
    return QStringLiteral("<\u0001%1\u0001>").arg(QLatin1String(name));
}

}  // namespace

DemoActivity::DemoActivity(std::uint32_t seed) : state_(seed == 0 ? 1 : seed) {
    while (players_.size() < kMinPlayers * 2) {
        Join();
    }
}

std::uint32_t DemoActivity::Next() {
    // xorshift32: small, and the same sequence on every machine.
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return state_;
}

int DemoActivity::Below(int bound) {
    return static_cast<int>(Next() % static_cast<std::uint32_t>(bound));
}

void DemoActivity::Join() {
    const Source& source = kSources[Below(std::size(kSources))];
    Player player;
    player.resource = QLatin1String(source.resource);
    player.usageName = QLatin1String(source.usageName);
    player.user = QStringLiteral("%1%2")
                      .arg(QLatin1String(kUsers[Below(std::size(kUsers))]))
                      .arg(nextUser_++);
    player.ip = QStringLiteral("192.168.%1.%2").arg(Below(4) + 1).arg(Below(250) + 2);
    player.protocol = Below(kProtocols);
    player.seconds = Below(4000);
    player.pointer = nextPointer_++;
    player.kBytesPerSecond = 20 + Below(200);
    players_.append(player);
}

void DemoActivity::Step(ActivityFeed& feed, int seconds) {
    if (feed.ActiveUsers()) {
        QSet<qint32> present;
        for (const QString& record : *feed.ActiveUsers()) {
            if (const auto pointer = RecordPointer(record)) {
                present.insert(*pointer);
            }
        }
        players_.removeIf([&present](const Player& p) { return !present.contains(p.pointer); });
    }
    for (Player& player : players_) {
        player.seconds += seconds;
        player.kBytesPerSecond = qMax(5, player.kBytesPerSecond + Below(41) - 20);
    }
    if (players_.size() > kMinPlayers && Below(3) == 0) {
        players_.removeAt(Below(static_cast<int>(players_.size())));
    }
    const int joining = Below(3);
    for (int i = 0; i < joining && players_.size() < kMaxPlayers; ++i) {
        Join();
    }
    Feed(feed);
}

void DemoActivity::Feed(ActivityFeed& feed) const {
    static const char* const kProtocolNames[kProtocols] = {
        "VTR-TCP", "VTR-HTTP(S)", "VTR-RTP Multicast", "MMS-HTTP", "RTMP (FLASH)"};
    QStringList users;
    QMap<QString, QPair<int, int>> usage;  // name: users, kByte/sec
    QList<qint32> throughput(2 * kProtocols, 0);
    for (const Player& p : players_) {
        users << Tag("Resource") + p.resource + Tag("User") + p.user + Tag("IP") + p.ip +
                     Tag("Protocol") + QLatin1String(kProtocolNames[p.protocol]) + Tag("Time") +
                     QString::number(p.seconds) + Tag("Pointer") + QString::number(p.pointer);
        QPair<int, int>& total = usage[p.usageName];
        ++total.first;
        total.second += p.kBytesPerSecond;
        ++throughput[p.protocol];
        throughput[kProtocols + p.protocol] += p.kBytesPerSecond;
    }
    QStringList usageRecords;
    for (auto it = usage.cbegin(); it != usage.cend(); ++it) {
        usageRecords << Tag("ResourceName") + it.key() + Tag("Users") +
                            QString::number(it.value().first) + Tag("Throughput") +
                            QString::number(it.value().second);
    }
    const QStringList live = {
        Tag("LiveIP") + QStringLiteral("192.168.10.5") + Tag("ResourceName") +
            QStringLiteral("studio") + Tag("Initiator") + QStringLiteral("Server") +
            Tag("Activity") + QStringLiteral("Receiving"),
        Tag("LiveIP") + QStringLiteral("10.20.0.%1").arg(players_.size()) + Tag("ResourceName") +
            QStringLiteral("reporter") + Tag("Initiator") + QStringLiteral("Encoder") +
            Tag("Activity") +
            (players_.size() % 2 == 0 ? QStringLiteral("Receiving") : QStringLiteral("Buffering"))};
    feed.FeedActiveUsers(users);
    feed.FeedLiveConnections(live);
    feed.FeedMediaUsage(usageRecords);
    feed.SetThroughput(throughput);
}

}  // namespace vantor::sim
