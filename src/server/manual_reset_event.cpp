#include "server/manual_reset_event.h"

#include <chrono>

namespace vantor {

ManualResetEvent::ManualResetEvent(bool initiallySet) : set_(initiallySet) {}

void ManualResetEvent::Set() {
    {
        std::lock_guard lock(mutex_);
        set_.store(true, std::memory_order_release);
    }
    changed_.notify_all();
}

void ManualResetEvent::Reset() {
    std::lock_guard lock(mutex_);
    set_.store(false, std::memory_order_release);
}

bool ManualResetEvent::WaitFor(std::uint32_t timeoutMs) {
    std::unique_lock lock(mutex_);
    auto isSet = [this] { return set_.load(std::memory_order_acquire); };
    if (timeoutMs == Infinite) {
        changed_.wait(lock, isSet);
        return true;
    }
    return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs), isSet);
}

}  // namespace vantor
