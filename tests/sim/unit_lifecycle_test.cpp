#include "sim/unit_lifecycle.h"

#include <string>

#include <gtest/gtest.h>

namespace vantor::sim {
namespace {

// A step and the state it left, as "changed|same <timer ms or -> <ActiveState>".
std::string After(const LifecycleStep& step, const UnitLifecycle& unit) {
    return std::string(step.changed ? "changed " : "same ") +
           (step.armTimerMs ? std::to_string(*step.armTimerMs) : "-") + " " +
           std::string(ActiveStateText(unit.State()));
}

TEST(UnitLifecycle, StartsAndStopsThroughTheChangingStatesWithTheirDelays) {
    const LifecycleSettings settings{250, 400, false, false};
    UnitLifecycle unit;
    EXPECT_EQ(ActiveStateText(unit.State()), "inactive");
    EXPECT_EQ(After(unit.Start(settings), unit), "changed 250 activating");
    // A second start while one is pending changes nothing and leaves the timer running.
    EXPECT_EQ(After(unit.Start(settings), unit), "same - activating");
    EXPECT_EQ(After(unit.TimerElapsed(settings), unit), "changed - active");
    // Starting an active unit succeeds without a change, as with systemd.
    EXPECT_EQ(After(unit.Start(settings), unit), "same - active");
    EXPECT_EQ(After(unit.Stop(settings), unit), "changed 400 deactivating");
    // A start replaces the pending stop, and a stop the pending start.
    EXPECT_EQ(After(unit.Start(settings), unit), "changed 250 activating");
    EXPECT_EQ(After(unit.Stop(settings), unit), "changed 400 deactivating");
    EXPECT_EQ(After(unit.TimerElapsed(settings), unit), "changed - inactive");
    EXPECT_EQ(After(unit.Stop(settings), unit), "same - inactive");
    // A stray timer after the unit settled does nothing.
    EXPECT_EQ(After(unit.TimerElapsed(settings), unit), "same - inactive");
}

TEST(UnitLifecycle, FailingStartsAndHangingStops) {
    LifecycleSettings settings{10, 20, true, false};
    UnitLifecycle unit;
    unit.Start(settings);
    EXPECT_EQ(After(unit.TimerElapsed(settings), unit), "changed - failed");
    // Stopping a failed unit clears the failure; starting it again tries again.
    EXPECT_EQ(After(unit.Stop(settings), unit), "changed - inactive");
    EXPECT_EQ(After(unit.Start(settings), unit), "changed 10 activating");
    EXPECT_EQ(After(unit.TimerElapsed(settings), unit), "changed - failed");
    EXPECT_EQ(After(unit.Start(settings), unit), "changed 10 activating");

    settings = LifecycleSettings{10, 20, false, true};
    UnitLifecycle hung(UnitState::Active);
    EXPECT_EQ(After(hung.Stop(settings), hung), "changed - deactivating");  // no end to wait for
    // A hang set after the stop began keeps the unit deactivating when its timer fires.
    settings.stopHangs = false;
    UnitLifecycle late(UnitState::Active);
    EXPECT_EQ(After(late.Stop(settings), late), "changed 20 deactivating");
    settings.stopHangs = true;
    EXPECT_EQ(After(late.TimerElapsed(settings), late), "same - deactivating");
    // Lifting the hang lets the stop finish after the stop delay.
    settings.stopHangs = false;
    EXPECT_EQ(After(hung.StopHangLifted(settings), hung), "changed 20 deactivating");
    EXPECT_EQ(After(hung.TimerElapsed(settings), hung), "changed - inactive");
    EXPECT_EQ(After(hung.StopHangLifted(settings), hung), "same - inactive");
}

}  // namespace
}  // namespace vantor::sim
