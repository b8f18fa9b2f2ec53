#include "sim/unit_lifecycle.h"

namespace vantor::sim {

std::string_view ActiveStateText(UnitState state) {
    switch (state) {
        case UnitState::Inactive:
            return "inactive";
        case UnitState::Activating:
            return "activating";
        case UnitState::Active:
            return "active";
        case UnitState::Deactivating:
            return "deactivating";
        case UnitState::Failed:
            return "failed";
    }
    return "inactive";
}

LifecycleStep UnitLifecycle::MoveTo(UnitState state, std::optional<unsigned> timerMs) {
    state_ = state;
    return LifecycleStep{true, timerMs};
}

LifecycleStep UnitLifecycle::Start(const LifecycleSettings& settings) {
    switch (state_) {
        case UnitState::Inactive:
        case UnitState::Failed:
        case UnitState::Deactivating:
            return MoveTo(UnitState::Activating, settings.startDelayMs);
        case UnitState::Activating:
        case UnitState::Active:
            break;
    }
    return {};
}

LifecycleStep UnitLifecycle::Stop(const LifecycleSettings& settings) {
    switch (state_) {
        case UnitState::Active:
        case UnitState::Activating:
            if (settings.stopHangs) {
                return MoveTo(UnitState::Deactivating);
            }
            return MoveTo(UnitState::Deactivating, settings.stopDelayMs);
        case UnitState::Failed:
            // Stopping a failed unit clears the failure, as systemd does.
            return MoveTo(UnitState::Inactive);
        case UnitState::Inactive:
        case UnitState::Deactivating:
            break;
    }
    return {};
}

LifecycleStep UnitLifecycle::TimerElapsed(const LifecycleSettings& settings) {
    switch (state_) {
        case UnitState::Activating:
            return MoveTo(settings.startFails ? UnitState::Failed : UnitState::Active);
        case UnitState::Deactivating:
            // Told to hang after the stop began: keep deactivating.
            if (settings.stopHangs) {
                return {};
            }
            return MoveTo(UnitState::Inactive);
        case UnitState::Inactive:
        case UnitState::Active:
        case UnitState::Failed:
            break;
    }
    return {};
}

LifecycleStep UnitLifecycle::StopHangLifted(const LifecycleSettings& settings) {
    if (state_ != UnitState::Deactivating || settings.stopHangs) {
        return {};
    }
    return MoveTo(UnitState::Deactivating, settings.stopDelayMs);
}

}  // namespace vantor::sim
