#include "ui/main_frame_model.h"

#include <condition_variable>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ui/ui_fakes.h"

namespace vantor {
namespace {

using test::FakeClock;
using test::ScriptedServiceManager;

// The window as the model leaves it, plus every timer call in order.
class FakeDisplay : public MainFrameDisplay {
public:
    void ShowStateIcon(ServerState state) override { icon = ServerStateIconId(state); }
    void ShowStateText(std::u16string_view text) override { stateText = text; }
    void ShowMessageText(std::u16string_view text) override { messageText = text; }
    void SetStartStopItem(std::u16string_view text, bool enabled) override {
        itemText = text;
        itemEnabled = enabled;
    }
    void StartTimer(int timerId, std::uint32_t periodMs) override {
        timerCalls.push_back("start " + std::to_string(timerId) + " " + std::to_string(periodMs));
    }
    void StopTimer(int timerId) override {
        timerCalls.push_back("stop " + std::to_string(timerId));
    }
    void PostCompletion(ServerState state) override {
        {
            std::lock_guard lock(mutex);
            posted.push_back(state);
        }
        postedChanged.notify_all();
    }

    // Waits (bounded) for the worker's report, as the window's event loop would.
    std::optional<ServerState> WaitForPost() {
        std::unique_lock lock(mutex);
        if (!postedChanged.wait_for(lock, std::chrono::seconds(10),
                                    [this] { return !posted.empty(); })) {
            return std::nullopt;
        }
        return posted.front();
    }

    int icon = 0;
    std::u16string stateText;
    std::u16string messageText;
    std::u16string itemText;
    bool itemEnabled = true;
    std::vector<std::string> timerCalls;

    std::mutex mutex;
    std::condition_variable postedChanged;
    std::vector<ServerState> posted;
};

class MainFrameModelTest : public ::testing::Test {
protected:
    ScriptedServiceManager manager;
    FakeClock clock;
    FakeDisplay display;
    MainFrameModel model{display, manager, clock};
};

TEST_F(MainFrameModelTest, EachPolledStateShowsItsTextIconItemAndSettledEvent) {
    struct Case {
        std::uint32_t serviceState;
        bool installed;
        ServerState state;
        const char16_t* text;
        int icon;
        const char16_t* item;
        bool settled;
    };
    const Case cases[] = {
        {ServiceRunning, true, ServerState::Running, u"Media Server is running", 220,
         u"&Stop Media Server", true},
        {ServiceStopped, true, ServerState::Stopped, u"Media Server is stopped", 219,
         u"&Start Media Server", true},
        {ServicePaused, true, ServerState::ChangingState, u"Media Server is changing state", 217,
         u"&Start Media Server", false},
        {ServiceStartPending, true, ServerState::ChangingState, u"Media Server is changing state",
         217, u"&Start Media Server", false},
        {ServiceRunning, false, ServerState::NotResponding, u"Media Server does not respond", 218,
         u"&Start Media Server", true},
    };
    model.OnCreate();
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.serviceState) + (c.installed ? "" : " not installed"));
        manager.SetInstalled(c.installed);
        manager.SetState(c.serviceState);
        // Start from the opposite event state, so each case shows its own effect.
        c.settled ? model.SettledEvent().Reset() : model.SettledEvent().Set();
        model.OnTimer(StatePollTimerId, u"Currently multicasting: Films");
        EXPECT_EQ(model.State(), c.state);
        EXPECT_EQ(display.stateText, c.text);
        EXPECT_EQ(display.icon, c.icon);
        EXPECT_EQ(display.itemText, c.item);
        EXPECT_TRUE(display.itemEnabled);
        EXPECT_EQ(model.SettledEvent().IsSet(), c.settled);
        EXPECT_EQ(display.messageText, u"Currently multicasting: Films");
    }

    // Another timer's tick is none of the state poll's business.
    const int queries = manager.Queries();
    model.OnTimer(StatePollTimerId + 1, u"other");
    EXPECT_EQ(manager.Queries(), queries);
    EXPECT_EQ(display.messageText, u"Currently multicasting: Films");
}

TEST_F(MainFrameModelTest, CreationStartsNotRespondingThenShowsThePolledStateAndPollsEverySecond) {
    EXPECT_EQ(model.State(), ServerState::NotResponding);
    EXPECT_TRUE(model.SettledEvent().IsSet());
    EXPECT_FALSE(model.PollPeriodMs());

    manager.SetState(ServiceRunning);
    model.OnCreate();
    EXPECT_EQ(model.State(), ServerState::Running);
    EXPECT_EQ(display.stateText, u"Media Server is running");
    EXPECT_EQ(display.icon, RunningIconId);
    EXPECT_EQ(display.itemText, u"&Stop Media Server");
    EXPECT_EQ(display.timerCalls, (std::vector<std::string>{"start 255 1000"}));
    EXPECT_EQ(model.PollPeriodMs(), 1000u);
}

TEST_F(MainFrameModelTest, StartGreysTheItemStopsPollingAndPollsFasterAfterCompletion) {
    manager.SetState(ServiceStopped);
    model.OnCreate();
    manager.CloseStartGate();
    display.timerCalls.clear();

    ASSERT_TRUE(model.OnStartStop());
    EXPECT_EQ(model.State(), ServerState::ChangingState);
    EXPECT_TRUE(model.IsOperationUnderWay());
    EXPECT_EQ(display.stateText, u"Media Server is starting");
    EXPECT_EQ(display.icon, ChangingStateIconId);
    EXPECT_EQ(display.itemText, u"&Start Media Server");
    EXPECT_FALSE(display.itemEnabled);
    EXPECT_FALSE(model.SettledEvent().IsSet());
    EXPECT_EQ(display.timerCalls, (std::vector<std::string>{"stop 255"}));
    EXPECT_FALSE(model.PollPeriodMs());
    // A second request while the first runs is refused.
    EXPECT_FALSE(model.OnStartStop());

    manager.OpenStartGate();
    const std::optional<ServerState> reported = display.WaitForPost();
    ASSERT_TRUE(reported);
    EXPECT_EQ(*reported, ServerState::Running);
    EXPECT_EQ(manager.Starts(), 1);
    // The report only travels; the frame changes when its own thread handles it.
    EXPECT_EQ(display.stateText, u"Media Server is starting");

    model.OnOperationCompleted(*reported);
    EXPECT_FALSE(model.IsOperationUnderWay());
    EXPECT_EQ(display.stateText, u"Media Server is running");
    EXPECT_EQ(display.icon, RunningIconId);
    EXPECT_EQ(display.itemText, u"&Stop Media Server");
    EXPECT_TRUE(display.itemEnabled);
    EXPECT_TRUE(model.SettledEvent().IsSet());
    EXPECT_EQ(display.timerCalls, (std::vector<std::string>{"stop 255", "start 255 250"}));

    // Stopping goes the other way and keeps the fast period.
    {
        std::lock_guard lock(display.mutex);
        display.posted.clear();
    }
    ASSERT_TRUE(model.OnStartStop());
    EXPECT_EQ(display.stateText, u"Media Server is stopping");
    const std::optional<ServerState> afterStop = display.WaitForPost();
    ASSERT_TRUE(afterStop);
    model.OnOperationCompleted(*afterStop);
    EXPECT_EQ(display.stateText, u"Media Server is stopped");
    EXPECT_EQ(display.itemText, u"&Start Media Server");
    EXPECT_EQ(manager.Stops(), 1);
    EXPECT_EQ(model.PollPeriodMs(), 250u);
}

TEST_F(MainFrameModelTest, StartStopDoesNothingWhileNotRespondingOrChangingState) {
    manager.SetInstalled(false);
    model.OnCreate();
    EXPECT_EQ(display.itemText, u"&Start Media Server");
    EXPECT_FALSE(model.OnStartStop());

    manager.SetInstalled(true);
    manager.SetState(ServiceStopPending);
    model.OnTimer(StatePollTimerId, u"OK");
    EXPECT_FALSE(model.OnStartStop());

    EXPECT_EQ(manager.Starts() + manager.Stops(), 0);
    EXPECT_EQ(model.PollPeriodMs(), 1000u);
    EXPECT_TRUE(display.itemEnabled);
    EXPECT_EQ(display.timerCalls, (std::vector<std::string>{"start 255 1000"}));
}

TEST_F(MainFrameModelTest, FailedStartShowsThePolledStateAfterwards) {
    manager.SetState(ServiceStopped);
    manager.FailStartWith(HResultFromError(ErrorAccessDenied));
    model.OnCreate();
    ASSERT_TRUE(model.OnStartStop());
    const std::optional<ServerState> reported = display.WaitForPost();
    ASSERT_TRUE(reported);
    model.OnOperationCompleted(*reported);
    EXPECT_EQ(display.stateText, u"Media Server is stopped");
    EXPECT_TRUE(display.itemEnabled);
}

TEST_F(MainFrameModelTest, CloseWaitsForTheWorkerAndPollsNoMore) {
    manager.SetState(ServiceStopped);
    model.OnCreate();
    ASSERT_TRUE(model.OnStartStop());
    EXPECT_TRUE(model.OnClose());
    EXPECT_EQ(manager.Starts(), 1);
    EXPECT_FALSE(model.Controller().IsOperationRunning());

    // A report that arrives after closing restores the item but not the timer.
    const std::optional<ServerState> reported = display.WaitForPost();
    ASSERT_TRUE(reported);
    display.timerCalls.clear();
    model.OnOperationCompleted(*reported);
    model.OnTimer(StatePollTimerId, u"late");
    EXPECT_TRUE(display.timerCalls.empty());
    EXPECT_NE(display.messageText, u"late");
    EXPECT_FALSE(model.OnStartStop());
}

TEST_F(MainFrameModelTest, MenuPromptsOverlayTheMessagePaneWhileAMenuIsOpen) {
    EXPECT_EQ(MenuPrompt(204), u"Create new virtual folder");
    EXPECT_EQ(MenuPrompt(205), u"Create new live broadcast configuration");
    EXPECT_EQ(MenuPrompt(215), u"Display Media Server properties");
    EXPECT_EQ(MenuPrompt(32773), u"Send request command to Media Server");
    EXPECT_EQ(MenuPrompt(57664), u"Display program information, version number and copyright");
    EXPECT_EQ(MenuPrompt(32786), u"Ready");
    EXPECT_EQ(MenuPrompt(0), u"Ready");

    model.SetMessageText(u"OK");
    EXPECT_EQ(display.messageText, u"OK");
    model.OnMenuItemHighlighted(StartStopServerCommand);
    EXPECT_EQ(display.messageText, u"Send request command to Media Server");
    // A poll while the menu is open changes the pane's own text underneath the prompt.
    model.OnCreate();
    model.OnTimer(StatePollTimerId, u"Currently multicasting: News");
    EXPECT_EQ(display.messageText, u"Send request command to Media Server");
    model.OnMenuItemHighlighted(HelpContentsCommand);
    EXPECT_EQ(display.messageText, u"Ready");
    model.OnMenuClosed();
    EXPECT_EQ(display.messageText, u"Currently multicasting: News");
    EXPECT_EQ(model.MessageText(), u"Currently multicasting: News");
}

TEST_F(MainFrameModelTest, WaitForSettledStateDispatchesUntilASettledStateIsShown) {
    // Before the frame polls, nothing could ever set the event: no wait at all.
    int dispatched = 0;
    auto countOnly = [&] {
        ++dispatched;
        return true;
    };
    EXPECT_FALSE(model.WaitForSettledState(countOnly));
    EXPECT_EQ(dispatched, 0);
    EXPECT_TRUE(model.SettledEvent().IsSet());

    // The wait resets the event and ends at the first poll that shows a settled state; a poll
    // that finds the state still changing does not end it.
    manager.SetState(ServiceStopped);
    model.OnCreate();
    std::vector<std::uint32_t> polledStates{ServiceStartPending, ServiceRunning};
    bool resetSeen = false;
    auto pollOnThirdDispatch = [&] {
        resetSeen = resetSeen || !model.SettledEvent().IsSet();
        if (++dispatched % 3 == 0 && !polledStates.empty()) {
            manager.SetState(polledStates.front());
            polledStates.erase(polledStates.begin());
            model.OnTimer(StatePollTimerId, u"OK");
        }
        return true;
    };
    dispatched = 0;
    EXPECT_TRUE(model.WaitForSettledState(pollOnThirdDispatch));
    EXPECT_TRUE(resetSeen);
    EXPECT_EQ(dispatched, 6);
    EXPECT_EQ(model.State(), ServerState::Running);

    // A dispatcher that cannot go on ends the wait unsettled.
    EXPECT_FALSE(model.WaitForSettledState([] { return false; }));

    // Closing the frame while waiting ends it too.
    dispatched = 0;
    auto closeOnSecond = [&] {
        if (++dispatched == 2) {
            model.OnClose();
        }
        return true;
    };
    EXPECT_FALSE(model.WaitForSettledState(closeOnSecond));
    EXPECT_EQ(dispatched, 2);
    EXPECT_FALSE(model.WaitForSettledState(countOnly));
    EXPECT_EQ(dispatched, 2);
}

TEST_F(MainFrameModelTest, WaitForSettledStateDuringAStartEndsWithItsCompletion) {
    manager.SetState(ServiceStopped);
    model.OnCreate();
    ASSERT_TRUE(model.OnStartStop());
    // Polling is off, but the completion will come.
    bool completed = false;
    EXPECT_TRUE(model.WaitForSettledState([&] {
        if (!completed) {
            const std::optional<ServerState> reported = display.WaitForPost();
            if (!reported) {
                return false;
            }
            completed = true;
            model.OnOperationCompleted(*reported);
        }
        return true;
    }));
    EXPECT_TRUE(completed);
    EXPECT_EQ(model.State(), ServerState::Running);
}

}  // namespace
}  // namespace vantor
