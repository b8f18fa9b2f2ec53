#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace vantor {

// An event that stays set until it is reset, for any number of waiters.
class ManualResetEvent {
public:
    // Passed to WaitFor to wait without a limit.
    static constexpr std::uint32_t Infinite = 0xFFFFFFFFu;

    explicit ManualResetEvent(bool initiallySet = true);
    ManualResetEvent(const ManualResetEvent&) = delete;
    ManualResetEvent& operator=(const ManualResetEvent&) = delete;

    void Set();
    void Reset();
    // Takes no lock: the main window asks between every batch of events it dispatches.
    bool IsSet() const { return set_.load(std::memory_order_acquire); }
    // True when the event is set within timeoutMs (Infinite: waits as long as it takes).
    bool WaitFor(std::uint32_t timeoutMs);

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::atomic<bool> set_;
};

}  // namespace vantor
