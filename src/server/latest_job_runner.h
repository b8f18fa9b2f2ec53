#pragma once

#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

namespace vantor {

// Runs jobs one at a time on a thread of its own, keeping at most one waiting: a job submitted
// while another waits replaces it. Periodic queries of a server that hangs thus never pile up
// behind each other; when the server answers again, only the latest request is still there.
class LatestJobRunner {
public:
    LatestJobRunner();
    // Drops a waiting job and waits for the running one, if any, to end.
    ~LatestJobRunner();
    LatestJobRunner(const LatestJobRunner&) = delete;
    LatestJobRunner& operator=(const LatestJobRunner&) = delete;

    void Submit(std::function<void()> job);
    // A job runs or waits.
    bool Busy() const;

private:
    void Run();

    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::optional<std::function<void()>> waiting_;
    bool running_ = false;
    bool stopping_ = false;
    // Last: started once the rest is ready.
    std::thread thread_;
};

}  // namespace vantor
