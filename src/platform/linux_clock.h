#pragma once

#include <cstdint>

#include "platform/clock.h"

namespace vantor {

// The monotonic clock and a plain sleep of the calling thread.
class LinuxClock final : public Clock {
public:
    std::uint64_t NowMs() override;
    void SleepMs(std::uint32_t ms) override;
};

}  // namespace vantor
