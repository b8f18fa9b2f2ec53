#pragma once

#include <optional>
#include <string_view>

#include "sim/job_authorization.h"

namespace vantor::sim {

// The states of the server's unit, named as systemd reports them in ActiveState.
enum class UnitState {
    Inactive,
    Activating,
    Active,
    Deactivating,
    Failed,
};

std::string_view ActiveStateText(UnitState state);

// How starting and stopping behave; changeable at any time, read when a step happens.
struct LifecycleSettings {
    unsigned startDelayMs = 1000;
    unsigned stopDelayMs = 1000;
    bool startFails = false;  // activating ends in failed instead of active
    bool stopHangs = false;   // deactivating never ends
    // Whether polkit lets a start or stop job through.
    JobAuthorization authorization = JobAuthorization::Granted;
};

// What the driver does after an event: when changed, it cancels its pending timer and arms a
// new one for armTimerMs if given; when not changed, its timer stays as it is.
struct LifecycleStep {
    bool changed = false;
    std::optional<unsigned> armTimerMs;
};

// The unit's state machine, without timers of its own so it can be driven by an event loop or
// by a test. Start and stop follow systemd: starting an active unit and stopping an inactive one
// succeed without a change; a stop replaces a pending start and a start a pending stop.
class UnitLifecycle {
public:
    explicit UnitLifecycle(UnitState initial = UnitState::Inactive) : state_(initial) {}

    UnitState State() const { return state_; }

    LifecycleStep Start(const LifecycleSettings& settings);
    LifecycleStep Stop(const LifecycleSettings& settings);
    // The timer armed by the last step has fired.
    LifecycleStep TimerElapsed(const LifecycleSettings& settings);
    // stopHangs was just cleared: a hung stop goes on and ends after the stop delay.
    LifecycleStep StopHangLifted(const LifecycleSettings& settings);

private:
    LifecycleStep MoveTo(UnitState state, std::optional<unsigned> timerMs = std::nullopt);

    UnitState state_;
};

}  // namespace vantor::sim
