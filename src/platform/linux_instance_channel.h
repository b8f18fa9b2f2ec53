#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/instance_channel.h"

class QLocalServer;

namespace vantor {

// Copies of the program meet in a per-user folder: "<name>" there is a lock file held with
// flock for the life of the channel, "<name>.socket" the local socket on which the holder
// listens. A request is the line "restore"; the holder answers "restored" once its window is
// back. The folder is $XDG_RUNTIME_DIR, or /tmp with "-<uid>" after the names, since /tmp is
// shared by every user.
class LinuxInstanceChannel final : public InstanceChannel {
public:
    // folder empty: the default folder above. replyTimeoutMs bounds each request's wait.
    explicit LinuxInstanceChannel(std::string folder = {}, int replyTimeoutMs = 1000);
    ~LinuxInstanceChannel() override;
    LinuxInstanceChannel(const LinuxInstanceChannel&) = delete;
    LinuxInstanceChannel& operator=(const LinuxInstanceChannel&) = delete;

    InstanceLockResult TryLock(const std::u16string& name) override;
    RestoreAnswer AskToRestore(const std::u16string& name) override;
    // Must be called on a thread with a Qt event loop; onRestore runs there.
    bool Listen(const std::u16string& name, std::function<void()> onRestore) override;

    std::string LockPath(const std::u16string& name) const;
    std::string SocketPath(const std::u16string& name) const;

private:
    std::string folder_;
    std::string suffix_;
    int replyTimeoutMs_;
    int lockFd_ = -1;
    std::unique_ptr<QLocalServer> server_;
};

}  // namespace vantor
