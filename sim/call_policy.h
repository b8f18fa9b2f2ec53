#pragma once

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>
#include <optional>

namespace vantor::sim {

// The record of calls the server received, and what tests asked to happen to calls beyond their
// own logic: never answering, or answering with another result. Calls are named
// "Interface.Method", e.g. "Vantor.VTRConfig.ReloadConfiguration".
class CallPolicy {
public:
    // The log keeps the most recent entries only, so a demo left polling for days stays small.
    static constexpr qsizetype MaxLogEntries = 10000;

    void Record(const QString& entry);
    const QStringList& Log() const { return log_; }
    void ClearLog() { log_.clear(); }

    void SetHang(const QString& call, bool hang);
    bool Hangs(const QString& call) const { return hangs_.contains(call); }

    void SetResult(const QString& call, quint32 result) { results_.insert(call, result); }
    void ClearResult(const QString& call) { results_.remove(call); }
    std::optional<quint32> Result(const QString& call) const;

private:
    QStringList log_;
    QSet<QString> hangs_;
    QHash<QString, quint32> results_;
};

}  // namespace vantor::sim
