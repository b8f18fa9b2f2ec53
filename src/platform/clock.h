#pragma once

#include <cstdint>

namespace vantor {

// Time as the waits see it, so tests can let hours pass at once.
class Clock {
public:
    virtual ~Clock() = default;
    // A steady count of milliseconds from an arbitrary start; never goes backwards.
    virtual std::uint64_t NowMs() = 0;
    virtual void SleepMs(std::uint32_t ms) = 0;
};

}  // namespace vantor
