#include "ui/single_instance.h"

namespace vantor {

std::u16string SingleInstanceName(std::u16string_view frameTitle) {
    return std::u16string(frameTitle.substr(0, SingleInstanceNameLength));
}

HResult CheckSingleInstance(InstanceChannel& channel, Clock& clock,
                            std::u16string_view frameTitle) {
    const std::u16string name = SingleInstanceName(frameTitle);
    if (name.empty()) {
        return EFail;
    }
    for (int round = 0; round < SingleInstanceRounds; ++round) {
        const InstanceLockResult lock = channel.TryLock(name);
        switch (lock.state) {
            case InstanceLockState::Failed:
                return lock.failure;
            case InstanceLockState::Acquired:
                return InstanceCheckPassed;
            case InstanceLockState::HeldElsewhere:
                break;
        }
        switch (channel.AskToRestore(name)) {
            case RestoreAnswer::Restored:
                return AnotherInstanceRestored;
            case RestoreAnswer::NoListener:
                // The other copy has its lock but no window yet.
                clock.SleepMs(SingleInstanceRetryMs);
                break;
            case RestoreAnswer::NotAnswered:
                break;
        }
    }
    // Whatever holds the lock never answered: rather a second copy than none.
    return InstanceCheckPassed;
}

}  // namespace vantor
