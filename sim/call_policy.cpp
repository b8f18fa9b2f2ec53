#include "sim/call_policy.h"

namespace vantor::sim {

void CallPolicy::Record(const QString& entry) {
    if (log_.size() >= MaxLogEntries) {
        log_.remove(0, log_.size() - MaxLogEntries + 1);
    }
    log_.append(entry);
}

void CallPolicy::SetHang(const QString& call, bool hang) {
    if (hang) {
        hangs_.insert(call);
    } else {
        hangs_.remove(call);
    }
}

std::optional<quint32> CallPolicy::Result(const QString& call) const {
    const auto found = results_.constFind(call);
    if (found == results_.cend()) {
        return std::nullopt;
    }
    return *found;
}

}  // namespace vantor::sim
