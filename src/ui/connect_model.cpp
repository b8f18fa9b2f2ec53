#include "ui/connect_model.h"

#include <algorithm>

namespace vantor {

ConnectModel::ConnectModel(std::vector<std::string> recent) : recent_(std::move(recent)) {
    if (recent_.size() > RecentHostCount) {
        recent_.resize(RecentHostCount);
    }
    if (!recent_.empty()) {
        text_ = recent_.front();
    }
}

std::optional<std::u16string> ConnectModel::OnOk() {
    // Blanks around a pasted name are no part of it.
    const auto first = text_.find_first_not_of(" \t");
    const auto last = text_.find_last_not_of(" \t");
    const std::string typed =
        first == std::string::npos ? "" : text_.substr(first, last - first + 1);
    if (typed.empty()) {
        return std::u16string(ConnectNoHostMessage);
    }
    const std::optional<RemoteHost> host = ParseRemoteHost(typed);
    if (!host) {
        return std::u16string(ConnectBadHostMessage);
    }
    host_ = *host;
    const std::string label = HostLabel(*host);
    recent_.erase(std::remove(recent_.begin(), recent_.end(), label), recent_.end());
    recent_.insert(recent_.begin(), label);
    if (recent_.size() > RecentHostCount) {
        recent_.resize(RecentHostCount);
    }
    return std::nullopt;
}

}  // namespace vantor
