#include "sim/unit_lifecycle.h"

#include <gtest/gtest.h>

namespace vantor::sim {
namespace {

TEST(UnitLifecycle, StartsAndStopsThroughTheChangingStatesWithTheirDelays) {
    LifecycleSettings settings{250, 400, false, false};
    UnitLifecycle unit;
    EXPECT_EQ(ActiveStateText(unit.State()), "inactive");

    LifecycleStep step = unit.Start(settings);
    EXPECT_TRUE(step.changed);
    EXPECT_EQ(step.armTimerMs, 250u);
    EXPECT_EQ(ActiveStateText(unit.State()), "activating");
    // A second start while one is pending changes nothing and leaves the timer running.
    EXPECT_FALSE(unit.Start(settings).changed);

    step = unit.TimerElapsed(settings);
    EXPECT_TRUE(step.changed);
    EXPECT_FALSE(step.armTimerMs);
    EXPECT_EQ(ActiveStateText(unit.State()), "active");
    // Starting an active unit succeeds without a change, as with systemd.
    EXPECT_FALSE(unit.Start(settings).changed);

    step = unit.Stop(settings);
    EXPECT_EQ(step.armTimerMs, 400u);
    EXPECT_EQ(ActiveStateText(unit.State()), "deactivating");
    unit.TimerElapsed(settings);
    EXPECT_EQ(ActiveStateText(unit.State()), "inactive");
    EXPECT_FALSE(unit.Stop(settings).changed);
    // A stray timer after the unit settled does nothing.
    EXPECT_FALSE(unit.TimerElapsed(settings).changed);
}

TEST(UnitLifecycle, FailingStartsAndHangingStops) {
    LifecycleSettings settings{10, 20, true, false};
    UnitLifecycle unit;
    unit.Start(settings);
    unit.TimerElapsed(settings);
    EXPECT_EQ(ActiveStateText(unit.State()), "failed");
    // Stopping a failed unit clears the failure; starting it again tries again.
    EXPECT_TRUE(unit.Stop(settings).changed);
    EXPECT_EQ(unit.State(), UnitState::Inactive);
    unit.Start(settings);
    unit.TimerElapsed(settings);
    EXPECT_EQ(unit.State(), UnitState::Failed);
    EXPECT_EQ(unit.Start(settings).armTimerMs, 10u);

    settings = LifecycleSettings{10, 20, false, true};
    UnitLifecycle running(UnitState::Active);
    LifecycleStep step = running.Stop(settings);
    EXPECT_TRUE(step.changed);
    EXPECT_FALSE(step.armTimerMs);  // no end to wait for
    EXPECT_EQ(running.State(), UnitState::Deactivating);
    // A hang set after the stop began keeps the unit deactivating when its timer fires.
    settings.stopHangs = false;
    UnitLifecycle late(UnitState::Active);
    EXPECT_EQ(late.Stop(settings).armTimerMs, 20u);
    settings.stopHangs = true;
    EXPECT_FALSE(late.TimerElapsed(settings).changed);
    EXPECT_EQ(late.State(), UnitState::Deactivating);
    // Lifting the hang lets both stops finish after the stop delay.
    settings.stopHangs = false;
    EXPECT_EQ(running.StopHangLifted(settings).armTimerMs, 20u);
    running.TimerElapsed(settings);
    EXPECT_EQ(running.State(), UnitState::Inactive);
    EXPECT_FALSE(running.StopHangLifted(settings).changed);
}

TEST(UnitLifecycle, StartReplacesAPendingStopAndStopAPendingStart) {
    LifecycleSettings settings{100, 200, false, true};
    UnitLifecycle unit(UnitState::Active);
    unit.Stop(settings);
    LifecycleStep step = unit.Start(settings);
    EXPECT_TRUE(step.changed);
    EXPECT_EQ(step.armTimerMs, 100u);
    EXPECT_EQ(unit.State(), UnitState::Activating);

    settings.stopHangs = false;
    step = unit.Stop(settings);
    EXPECT_EQ(step.armTimerMs, 200u);
    EXPECT_EQ(unit.State(), UnitState::Deactivating);
    unit.TimerElapsed(settings);
    EXPECT_EQ(unit.State(), UnitState::Inactive);
}

}  // namespace
}  // namespace vantor::sim
