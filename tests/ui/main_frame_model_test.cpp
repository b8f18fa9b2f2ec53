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
        std::lock_guard lock(mutex_);
        posted_.push_back(state);
        postedChanged_.notify_all();
    }

    // Takes the worker's next report (bounded wait), as the window's event loop would.
    std::optional<ServerState> TakePost() {
        std::unique_lock lock(mutex_);
        if (!postedChanged_.wait_for(lock, std::chrono::seconds(10),
                                     [this] { return !posted_.empty(); })) {
            return std::nullopt;
        }
        const ServerState state = posted_.front();
        posted_.erase(posted_.begin());
        return state;
    }

    int icon = 0;
    std::u16string stateText;
    std::u16string messageText;
    std::u16string itemText;
    bool itemEnabled = true;
    std::vector<std::string> timerCalls;

private:
    std::mutex mutex_;
    std::condition_variable postedChanged_;
    std::vector<ServerState> posted_;
};

class MainFrameModelTest : public ::testing::Test {
protected:
    // Runs the worker's report through the model, as the window's event handler does.
    void Complete() {
        const std::optional<ServerState> reported = display.TakePost();
        ASSERT_TRUE(reported);
        model.OnOperationCompleted(*reported);
    }

    test::ScriptedServiceManager manager;
    test::FakeClock clock;
    FakeDisplay display;
    MainFrameModel model{display, manager, clock};
};

// The texts and icons of each state are server_state_display.h's; this is the frame's use of them.
TEST_F(MainFrameModelTest, CreationAndEachPolledStateShowTextIconItemAndSettledEvent) {
    EXPECT_EQ(model.State(), ServerState::NotResponding);
    EXPECT_TRUE(model.SettledEvent().IsSet());
    EXPECT_FALSE(model.PollPeriodMs());
    manager.state = ServiceRunning;
    model.OnCreate();
    EXPECT_EQ(display.stateText, u"Media Server is running");
    EXPECT_EQ(display.timerCalls, (std::vector<std::string>{"start 255 1000"}));

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
        {ServicePaused, true, ServerState::ChangingState, u"Media Server is changing state", 217,
         u"&Start Media Server", false},
        {ServiceRunning, false, ServerState::NotResponding, u"Media Server does not respond", 218,
         u"&Start Media Server", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.serviceState) + (c.installed ? "" : " not installed"));
        manager.installed = c.installed;
        manager.state = c.serviceState;
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
    const int queries = manager.queries;
    model.OnTimer(StatePollTimerId + 1, u"other");
    EXPECT_EQ(manager.queries, queries);
    EXPECT_EQ(display.messageText, u"Currently multicasting: Films");
}

TEST_F(MainFrameModelTest, StartGreysTheItemStopsPollingAndPollsFasterAfterCompletion) {
    model.OnCreate();
    manager.startGate.Reset();
    display.timerCalls.clear();

    ASSERT_TRUE(model.OnStartStop());
    EXPECT_EQ(model.State(), ServerState::ChangingState);
    EXPECT_EQ(display.stateText, u"Media Server is starting");
    EXPECT_EQ(display.icon, ChangingStateIconId);
    EXPECT_FALSE(display.itemEnabled);
    EXPECT_FALSE(model.SettledEvent().IsSet());
    EXPECT_EQ(display.timerCalls, (std::vector<std::string>{"stop 255"}));
    EXPECT_FALSE(model.OnStartStop());  // a second request while the first runs

    manager.startGate.Set();
    const std::optional<ServerState> reported = display.TakePost();
    ASSERT_TRUE(reported);
    EXPECT_EQ(*reported, ServerState::Running);
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
    ASSERT_TRUE(model.OnStartStop());
    EXPECT_EQ(display.stateText, u"Media Server is stopping");
    Complete();
    EXPECT_EQ(display.stateText, u"Media Server is stopped");
    EXPECT_EQ(display.itemText, u"&Start Media Server");
    EXPECT_EQ(manager.starts, 1);
    EXPECT_EQ(manager.stops, 1);
    EXPECT_EQ(model.PollPeriodMs(), 250u);

    // A failed start shows the state polled afterwards.
    manager.startResult = HResultFromError(ErrorAccessDenied);
    ASSERT_TRUE(model.OnStartStop());
    Complete();
    EXPECT_EQ(display.stateText, u"Media Server is stopped");
    EXPECT_TRUE(display.itemEnabled);
}

TEST_F(MainFrameModelTest, StartStopDoesNothingWhileNotRespondingOrChangingState) {
    manager.installed = false;
    model.OnCreate();
    EXPECT_EQ(display.itemText, u"&Start Media Server");
    EXPECT_FALSE(model.OnStartStop());

    manager.installed = true;
    manager.state = ServiceStopPending;
    model.OnTimer(StatePollTimerId, u"OK");
    EXPECT_FALSE(model.OnStartStop());

    EXPECT_EQ(manager.starts + manager.stops, 0);
    EXPECT_TRUE(display.itemEnabled);
    EXPECT_EQ(display.timerCalls, (std::vector<std::string>{"start 255 1000"}));
}

TEST_F(MainFrameModelTest, CloseWaitsForTheWorkerAndPollsNoMore) {
    model.OnCreate();
    ASSERT_TRUE(model.OnStartStop());
    EXPECT_TRUE(model.OnClose());
    EXPECT_EQ(manager.starts, 1);
    EXPECT_FALSE(model.Controller().IsOperationRunning());

    // A report that arrives after closing restores the item but not the timer.
    display.timerCalls.clear();
    Complete();
    model.OnTimer(StatePollTimerId, u"late");
    EXPECT_TRUE(display.timerCalls.empty());
    EXPECT_NE(display.messageText, u"late");
    EXPECT_FALSE(model.OnStartStop());
}

TEST_F(MainFrameModelTest, MenuPromptsOverlayTheMessagePaneWhileAMenuIsOpen) {
    const std::pair<int, const char16_t*> prompts[] = {
        {204, u"Create new virtual folder"},
        {205, u"Create new live broadcast configuration"},
        {215, u"Display Media Server properties"},
        {32773, u"Send request command to Media Server"},
        {57664, u"Display program information, version number and copyright"},
        {32786, u"Ready"},
        {0, u"Ready"}};
    for (const auto& [command, prompt] : prompts) {
        EXPECT_EQ(MenuPrompt(command), prompt) << command;
    }

    model.SetMessageText(u"OK");
    EXPECT_EQ(display.messageText, u"OK");
    model.OnMenuItemHighlighted(StartStopServerCommand);
    EXPECT_EQ(display.messageText, u"Send request command to Media Server");
    // A poll while the menu is open changes the pane's own text underneath the prompt.
    model.OnCreate();
    model.OnTimer(StatePollTimerId, u"Currently multicasting: News");
    EXPECT_EQ(display.messageText, u"Send request command to Media Server");
    model.OnMenuClosed();
    EXPECT_EQ(display.messageText, u"Currently multicasting: News");
}

TEST_F(MainFrameModelTest, WaitForSettledStateDispatchesUntilASettledStateIsShown) {
    // Before the frame polls, nothing could ever set the event: no wait at all.
    int dispatched = 0;
    auto countOnly = [&] { return ++dispatched, true; };
    EXPECT_FALSE(model.WaitForSettledState(countOnly));
    EXPECT_EQ(dispatched, 0);

    // The wait resets the event and ends at the first poll that shows a settled state; a poll
    // that finds the state still changing does not end it.
    model.OnCreate();
    std::vector<std::uint32_t> polledStates{ServiceStartPending, ServiceRunning};
    bool resetSeen = false;
    EXPECT_TRUE(model.WaitForSettledState([&] {
        resetSeen = resetSeen || !model.SettledEvent().IsSet();
        if (++dispatched % 3 == 0 && !polledStates.empty()) {
            manager.state = polledStates.front();
            polledStates.erase(polledStates.begin());
            model.OnTimer(StatePollTimerId, u"OK");
        }
        return true;
    }));
    EXPECT_TRUE(resetSeen);
    EXPECT_EQ(dispatched, 6);
    EXPECT_EQ(model.State(), ServerState::Running);

    // A dispatcher that cannot go on ends the wait unsettled.
    EXPECT_FALSE(model.WaitForSettledState([] { return false; }));

    // During a stop, polling is off but the completion ends the wait.
    ASSERT_TRUE(model.OnStartStop());
    bool completed = false;
    EXPECT_TRUE(model.WaitForSettledState([&] {
        if (!completed) {
            completed = true;
            Complete();
        }
        return true;
    }));
    EXPECT_EQ(model.State(), ServerState::Stopped);

    // Closing the frame while waiting ends it too, and later waits return at once.
    dispatched = 0;
    EXPECT_FALSE(model.WaitForSettledState([&] {
        if (++dispatched == 2) {
            model.OnClose();
        }
        return true;
    }));
    EXPECT_EQ(dispatched, 2);
    EXPECT_FALSE(model.WaitForSettledState(countOnly));
    EXPECT_EQ(dispatched, 2);
}

}  // namespace
}  // namespace vantor
