#pragma once

#include <QHash>
#include <QString>

namespace vantor::sim {

inline constexpr char NotMulticastingText[] = "Not multicasting";

// What GetMulticastStatus answers: result 0 (S_OK) while multicasting, with multicastingText;
// any other result with otherText.
struct MulticastAnswer {
    quint32 result = 1;
    QString multicastingText;
    QString otherText;
};

// Which virtual folders the server multicasts, and where to.
class MulticastTracker {
public:
    void Start(const QString& folder, const QString& group, qint32 port);
    // False when the folder was not being multicast.
    bool Stop(const QString& folder);
    bool IsMulticasting(const QString& folder) const { return sessions_.contains(folder); }

    // A fixed answer for the folder, whatever its state; cleared by ClearAnswer.
    void SetAnswer(const QString& folder, const MulticastAnswer& answer);
    void ClearAnswer(const QString& folder) { overrides_.remove(folder); }

    // The fixed answer if one is set, else "group:port" with result 0 while multicasting and
    // "Not multicasting" with result 1 (S_FALSE) otherwise.
    MulticastAnswer Status(const QString& folder) const;

private:
    struct Session {
        QString group;
        qint32 port = 0;
    };

    QHash<QString, Session> sessions_;
    QHash<QString, MulticastAnswer> overrides_;
};

}  // namespace vantor::sim
