#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/clock.h"
#include "platform/hresult.h"
#include "platform/instance_channel.h"

namespace vantor {

// The lock and the channel are named after the first characters of the frame's title.
inline constexpr std::size_t SingleInstanceNameLength = 12;
inline constexpr int SingleInstanceRounds = 25;
inline constexpr std::uint32_t SingleInstanceRetryMs = 100;

// What the check returns besides a failure code.
inline constexpr HResult InstanceCheckPassed = SOk;
inline constexpr HResult AnotherInstanceRestored = SFalse;

// "Configuratio" for the frame's title; empty for an empty title.
std::u16string SingleInstanceName(std::u16string_view frameTitle);

// Decides whether this copy of the program goes on. Takes the lock named after the title and
// keeps it in channel; when another copy holds it, asks that copy to come forward and, if it
// does, returns AnotherInstanceRestored. A copy that does not listen yet (still starting up) is
// waited for, SingleInstanceRetryMs at a time; one that listens but does not confirm is asked
// again at once. After SingleInstanceRounds rounds this copy goes on anyway
// (InstanceCheckPassed). A lock that cannot be made returns its failure code, as does an empty
// title (EFail).
HResult CheckSingleInstance(InstanceChannel& channel, Clock& clock, std::u16string_view frameTitle);

// The process exit code for the check's result. A failure code is returned whole; a shell sees
// only its low eight bits (0x05 for EFail, 0x57 for EInvalidArg).
inline int InstanceCheckExitCode(HResult result) {
    return static_cast<int>(result);
}

}  // namespace vantor
