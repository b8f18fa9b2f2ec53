#pragma once

#include <functional>
#include <string>

#include "platform/hresult.h"

namespace vantor {

// The outcome of trying to take the single-instance lock.
enum class InstanceLockState {
    // This process holds the lock now, and keeps it for the channel's life.
    Acquired,
    // Another process holds it.
    HeldElsewhere,
    // The lock could not be made at all; failure says why.
    Failed,
};

struct InstanceLockResult {
    InstanceLockState state = InstanceLockState::Failed;
    // EInvalidArg when the name cannot name a lock, EFail for any other failure.
    HResult failure = EFail;
};

// What became of asking the running copy to come forward.
enum class RestoreAnswer {
    // No running copy listens (yet): it may still be starting up.
    NoListener,
    // It restored its window to normal size and raised it.
    Restored,
    // Something listens but did not confirm in time.
    NotAnswered,
};

// How copies of the program find each other: a lock that only one process can hold, and a
// channel on which the holder's window listens for requests to come forward.
class InstanceChannel {
public:
    virtual ~InstanceChannel() = default;
    virtual InstanceLockResult TryLock(const std::u16string& name) = 0;
    virtual RestoreAnswer AskToRestore(const std::u16string& name) = 0;
    // Starts answering later copies; onRestore runs on the calling thread for every request.
    // False when the channel cannot listen (later copies then start after their retries).
    virtual bool Listen(const std::u16string& name, std::function<void()> onRestore) = 0;
};

}  // namespace vantor
