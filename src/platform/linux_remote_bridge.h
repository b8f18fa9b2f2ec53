#pragma once

#include <atomic>
#include <chrono>
#include <mutex>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

#include "platform/linux_bridge_protocol.h"

namespace vantor {

// The tool's end of `vantorctl bridge` on the server's machine: the bridge runs as a child
// (`ssh HOST vantorctl bridge` for another machine; the program itself in tests) and each call
// is one request line out and its answer back. Calls may come from any thread, one at a time.
// A bridge that ends, garbles a line or does not answer in time is lost for good: every call
// after that fails at once, and the caller reports the connection as lost.
class RemoteBridge {
public:
    static constexpr std::chrono::milliseconds kDefaultCallTimeout{15000};

    // command: the program and its arguments, run without a shell.
    explicit RemoteBridge(std::vector<std::string> command,
                          std::chrono::milliseconds callTimeout = kDefaultCallTimeout);
    ~RemoteBridge();
    RemoteBridge(const RemoteBridge&) = delete;
    RemoteBridge& operator=(const RemoteBridge&) = delete;

    // The answer to request (its "id" is set here); nothing when the bridge is lost. An answer
    // with "ok": false is an answer.
    // timeout: for this call, instead of the bridge's (the first one may wait for the user to
    // answer ssh's questions). On a window's thread the exchange runs off it.
    std::optional<bridge::Json> Call(bridge::Json request,
                                     std::optional<std::chrono::milliseconds> timeout = {});
    bool Lost() const;
    // Ends the bridge under way, if any, and starts it again; true when the new one answers
    // within timeout.
    bool Restart(std::chrono::milliseconds timeout);

private:
    std::optional<bridge::Json> CallNow(bridge::Json request,
                                        std::optional<std::chrono::milliseconds> timeout);
    bool Start();
    bool WriteLine(const std::string& line);
    std::optional<std::string> ReadLine(std::chrono::milliseconds timeout);
    void Close();

    std::vector<std::string> command_;
    std::chrono::milliseconds callTimeout_;
    mutable std::mutex mutex_;
    pid_t child_ = -1;
    int toChild_ = -1;
    int fromChild_ = -1;
    std::string buffered_;
    long long nextId_ = 1;
    bool answered_ = false;  // the bridge has answered once: every line from now on is one
    // Read without the lock: a caller asking whether the link is lost must not wait for a call.
    std::atomic<bool> lost_ = false;
};

}  // namespace vantor
