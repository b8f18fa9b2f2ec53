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

TEST(UnitLifecycle, PendingChangesReplaceEachOtherFailuresClearAndHungStopsWait) {
    LifecycleSettings settings{250, 400, false, false};
    UnitLifecycle unit;
    unit.Start(settings);
    // A second start while one is pending changes nothing and leaves the timer running.
    EXPECT_EQ(After(unit.Start(settings), unit), "same - activating");
    // A stop replaces the pending start, and a start the pending stop.
    EXPECT_EQ(After(unit.Stop(settings), unit), "changed 400 deactivating");
    EXPECT_EQ(After(unit.Start(settings), unit), "changed 250 activating");
    EXPECT_EQ(After(unit.Stop(settings), unit), "changed 400 deactivating");
    EXPECT_EQ(After(unit.TimerElapsed(settings), unit), "changed - inactive");
    // Stopping a failed unit clears the failure.
    settings.startFails = true;
    unit.Start(settings);
    EXPECT_EQ(After(unit.TimerElapsed(settings), unit), "changed - failed");
    EXPECT_EQ(After(unit.Stop(settings), unit), "changed - inactive");

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
